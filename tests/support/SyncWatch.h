#pragma once

#include <QByteArray>
#include <QString>

namespace testing {

/// Watches every SQLite connection of the process (Qt's and the engine's own)
/// through a file layer over the default one, while it lives: counts the
/// syncs that reach the disk, and keeps, for each rollback journal, what a
/// power cut at this moment would leave of it. A journal deleted without its
/// folder being synced, or cut to nothing without being synced, may come back
/// after a power cut as it was before: then SQLite plays it back on the next
/// open and takes back what was committed. One watch at a time.
class SyncWatch {
public:
    SyncWatch();
    ~SyncWatch();
    SyncWatch(const SyncWatch&) = delete;
    SyncWatch& operator=(const SyncWatch&) = delete;

    bool installed() const { return m_installed; }

    /// Syncs of files and folders since the last reset: each file sync, each
    /// delete that syncs its folder, and the folder sync SQLite makes when a
    /// journal opened to be created is first synced.
    int syncs() const;
    void reset();

    /// The journal beside `database` as a power cut now would leave it: its
    /// bytes (empty when it would be gone or empty).
    QByteArray journalAfterPowerCut(const QString& database) const;

private:
    bool m_installed = false;
};

} // namespace testing

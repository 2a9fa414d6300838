#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <vector>

namespace testing {

/// A power cut for the database files of one folder, as SQLite's own crash
/// tests make one. Installed as the process's default SQLite VFS, it wraps the
/// real default VFS and changes nothing the engine sees: every call goes
/// through to the real files. While a folder is recorded it also keeps, in
/// memory, every write, truncation, sync, creation and deletion the engine
/// makes there, from which the folder a power cut would leave is built again
/// for any point of the record:
/// - a write or a truncation is on the disk for good only once its file is
///   synced (xSync); until then the cut keeps or drops it, a write each
///   512-byte sector on its own, so a write of many sectors is torn (a sector
///   itself is written whole or not at all, as disks promise; on request it may
///   also be left garbage, as SQLite's own crash tests try too);
/// - a file's creation or deletion is on the disk for good only once its
///   folder is synced afterwards, and the engine syncs it in two ways only:
///   xDelete with dirSync set, and the first xSync of a journal or WAL it
///   opened with SQLITE_OPEN_CREATE (the real VFS below then syncs the folder
///   too, unless the library was built without it); until then a cut undoes
///   it, or keeps the first few of the folder's changes in their order, as a
///   journalling file system may.
/// The choices come from a seeded generator, so a crash state is built again
/// the same on every run. Not modelled: file operations made outside the
/// engine (the program's own renames and copies), the WAL index (-shm, which
/// the engine rebuilds), a disk that acknowledges a sync it has not done, and
/// files outside the recorded folder.
class CrashVfs {
public:
    /// The VFS, registered as the default one the first time.
    static CrashVfs& install();

    /// Starts a new record of the engine's file operations in `folder`; the
    /// files it holds now count as on the disk for good.
    void record(const QString& folder);
    void stop();

    /// Operations recorded so far: a point of the record.
    int position() const;
    /// The points at which a sync of a file or of the folder starts.
    std::vector<int> syncPositions() const;

    /// The folder's files after a power cut just before the operation at
    /// `position`: what was not yet for good is kept, dropped or torn as
    /// `seed` chooses; `reorder` lets the cut keep some of the folder's
    /// unsynced changes instead of undoing all of them; `garble` lets it leave
    /// garbage in a sector being written.
    QMap<QString, QByteArray> crashState(int position, unsigned seed, bool reorder, bool garble = false) const;
    /// Writes a crash state into the folder `folder` (made if need be).
    static bool write(const QMap<QString, QByteArray>& files, const QString& folder);

    struct Operation {
        enum Kind { Write, Truncate, Sync, Create, Delete, FolderSync } kind;
        int node = -1; // the file, whatever its name is now
        QString name;
        long long offset = 0; // of a write; the size of a truncation
        QByteArray data;
    };

private:
    friend struct CrashHooks;
    CrashVfs() = default;

    bool tracks(const char* path, QString* name) const;
    int opened(const QString& name, bool created);
    void add(Operation operation);

    bool m_recording = false;
    int m_generation = 0;
    QString m_folder;
    QMap<QString, QByteArray> m_baseline;
    QMap<QString, int> m_baselineNodes;
    QMap<QString, int> m_live; // name -> node, as the folder is now
    int m_nodes = 0;
    std::vector<Operation> m_operations;
};

} // namespace testing

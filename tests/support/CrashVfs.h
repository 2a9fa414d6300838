#pragma once

#include "store/DurableFile.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QRecursiveMutex>
#include <QString>

#include <utility>
#include <vector>

namespace testing {

/// A power cut for the files of one folder, as SQLite's own crash tests make
/// one. Installed as the process's default SQLite VFS, it wraps the real
/// default VFS and changes nothing the engine sees: every call goes through to
/// the real files. While a folder is recorded it also keeps, in memory, every
/// write, truncation, sync, creation and deletion the engine makes there, and
/// every sync and rename the program makes itself through store::durable (its
/// observer), from which the folder a power cut would leave is built again for
/// any point of the record:
/// - a write or a truncation is on the disk for good only once its file is
///   synced; until then the cut keeps or drops it, a write each 512-byte
///   sector on its own, so a write of many sectors is torn (a sector itself is
///   written whole or not at all, as disks promise; on request it may also be
///   left garbage, as SQLite's own crash tests try too);
/// - a file's creation, deletion, second name (a hard link) or rename is on
///   the disk for good only once its folder is synced afterwards. The engine
///   syncs it in two ways only: xDelete with dirSync set, and the first xSync
///   of a journal or WAL it opened with SQLITE_OPEN_CREATE (the real VFS below
///   then syncs the folder too, unless the library was built without it); the
///   program through store::durable::syncFolder(). Until then a cut undoes the
///   change, keeps the first few of the folder's changes in their order (as a
///   journalling file system may), or keeps any of them (as one that does not
///   keep their order may);
/// - files made, linked and deleted outside the engine (QTemporaryFile,
///   link(2), QFile::remove) are reported to no one: they are found by
///   comparing the folder, by inode, with the record before each operation
///   recorded, before the engine opens or deletes a file, at position() and at
///   stop(). A change found late counts as made then; a cut treats it alike,
///   as it is not lasting before the folder's next sync anyway;
/// - a file made outside the engine (the staged file of a restore) is written
///   with no record of its writes: what it holds is taken when it is found,
///   and again, as far as it changed, each time the program syncs or renames
///   it and the engine opens it. What is taken counts as writes made then,
///   which a cut keeps, drops or tears until the file's next sync.
/// The choices come from a seeded generator, so a crash state is built again
/// the same on every run. Not modelled: writes outside the engine to a file
/// the engine made or that was there when the record began, and renames made
/// outside store::durable (the program makes neither; such a rename would show
/// as a deletion and a new file), the WAL index (-shm, which the engine
/// rebuilds), a disk that acknowledges a sync it has not done, and files
/// outside the recorded folder.
class CrashVfs {
public:
    /// The VFS, registered as the default one the first time.
    static CrashVfs& install();

    /// Starts a new record of the file operations in `folder`; the files it
    /// holds now count as on the disk for good.
    void record(const QString& folder);
    void stop();

    /// Operations recorded so far, changes made outside the engine since the
    /// record last looked taken in first: a point of the record.
    int position();
    /// The points at which a sync of a file or of the folder starts.
    std::vector<int> syncPositions() const;

    /// What a cut does with the folder's changes not yet synced: undo them
    /// all, keep the first few in their order, or keep any of them.
    enum class FolderCut { Undone, InOrder, AnyOrder };

    /// The folder's files after a power cut just before the operation at
    /// `position`: what was not yet for good is kept, dropped or torn as
    /// `seed` chooses, the folder's unsynced changes as `folder` says;
    /// `garble` lets it leave garbage in a sector being written.
    QMap<QString, QByteArray> crashState(int position, unsigned seed, FolderCut folder, bool garble = false) const;
    /// The same, keeping exactly the unsynced folder changes whose bit is set
    /// in `kept` (bit 0 the oldest of unsyncedFolderChanges(position)).
    QMap<QString, QByteArray> crashStateKeeping(int position, unsigned seed, quint64 kept, bool garble = false) const;
    /// How many of the folder's changes are not yet synced at `position`.
    int unsyncedFolderChanges(int position) const;
    /// Writes a crash state into the folder `folder` (made if need be).
    static bool write(const QMap<QString, QByteArray>& files, const QString& folder);

    struct Operation {
        enum Kind { Write, Truncate, Sync, Create, Link, Delete, Rename, FolderSync } kind;
        int node = -1;        // the file, whatever its name is now
        QString name;         // of a creation, link or deletion; the old name of a rename
        long long offset = 0; // of a write; the size of a truncation
        QByteArray data;
        QString target; // the new name of a rename
    };

private:
    friend struct CrashHooks;
    CrashVfs() = default;
    using Inode = std::pair<quint64, quint64>; // device, inode

    bool tracks(const char* path, QString* name) const;
    bool tracks(const QString& path, QString* name) const;
    int opened(const QString& name, bool created);
    void add(Operation operation);
    void observed(store::durable::Operation operation, const QString& path, const QString& target);
    void renamed(const QString& from, const QString& to);
    // Notes what was made, linked or deleted in the folder outside the engine
    // since the record last looked; names in `skip` are left for the caller.
    void takeInOutsideChanges(const QStringList& skip = {});
    // Notes, as writes, what a file made outside the engine holds now and the
    // record does not yet have.
    void takeInContent(int node, const QString& name);
    QMap<QString, QByteArray> replay(int position, unsigned seed, FolderCut folder, quint64 kept, bool garble) const;

    mutable QRecursiveMutex m_lock; // the engine and the program's syncs run on several threads
    bool m_recording = false;
    int m_generation = 0;
    QString m_folder;
    QMap<QString, QByteArray> m_baseline;
    QMap<QString, int> m_baselineNodes;
    QMap<QString, int> m_live; // name -> node, as the folder is now
    QHash<int, Inode> m_inodes;
    QHash<int, QByteArray> m_outside; // files made outside the engine: their content as recorded
    int m_nodes = 0;
    std::vector<Operation> m_operations;
    store::durable::Observer m_previousObserver;
};

} // namespace testing

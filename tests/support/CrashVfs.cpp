#include "CrashVfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace testing {
namespace {

sqlite3_vfs* g_real = nullptr; // the default VFS this one wraps
sqlite3_vfs g_vfs;
sqlite3_io_methods g_methods;
CrashVfs* g_crash = nullptr;
// The real VFS syncs the folder at the first sync of a journal it created,
// unless the library was built without that.
bool g_journalSyncsFolder = true;

struct FileState {
    QString path;
    int generation = -1; // of the record `node` belongs to
    int node = -1;
    bool syncFolder = false; // at the first sync, as the real VFS does
};

struct CrashFile {
    sqlite3_file base;
    sqlite3_file* real; // the real VFS's file, right behind this one
    FileState* state;
};

using Operation = CrashVfs::Operation;

std::optional<std::pair<quint64, quint64>> inodeOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return std::pair<quint64, quint64>(quint64(info.st_dev), quint64(info.st_ino));
}

} // namespace

// The VFS's entry points: each calls the real VFS, then notes what reached
// the files of the recorded folder.
struct CrashHooks {
    static CrashFile* file(sqlite3_file* f) { return reinterpret_cast<CrashFile*>(f); }
    static sqlite3_file* real(sqlite3_file* f) { return file(f)->real; }

    // The file in the current record, or -1 when it is not recorded.
    static int node(sqlite3_file* f)
    {
        QMutexLocker lock(&g_crash->m_lock);
        FileState* state = file(f)->state;
        if (state->generation != g_crash->m_generation) {
            QString name;
            state->generation = g_crash->m_generation;
            state->node = g_crash->tracks(state->path, &name) ? g_crash->m_live.value(name, -1) : -1;
        }
        return g_crash->m_recording ? state->node : -1;
    }

    // Opening and deleting hold the record still, so that a look at the
    // folder from another thread does not take the engine's own file for one
    // made outside it.
    static int open(sqlite3_vfs*, const char* path, sqlite3_file* f, int flags, int* outFlags)
    {
        CrashFile* crash = file(f);
        crash->base.pMethods = nullptr;
        crash->real = reinterpret_cast<sqlite3_file*>(crash + 1);
        crash->real->pMethods = nullptr;
        QMutexLocker lock(&g_crash->m_lock);
        QString name;
        const bool tracked = path && g_crash->tracks(path, &name);
        if (tracked)
            g_crash->takeInOutsideChanges();
        const bool existed = tracked && QFileInfo::exists(QString::fromUtf8(path));
        const int rc = g_real->xOpen(g_real, path, crash->real, flags, outFlags);
        if (!crash->real->pMethods)
            return rc;
        crash->state = new FileState;
        crash->state->path = path ? QString::fromUtf8(path) : QString();
        const int journals = SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL;
        crash->state->syncFolder = g_journalSyncsFolder && (flags & SQLITE_OPEN_CREATE) && (flags & journals);
        if (tracked && rc == SQLITE_OK) {
            crash->state->generation = g_crash->m_generation;
            crash->state->node = g_crash->opened(name, !existed);
        }
        crash->base.pMethods = &g_methods;
        return rc;
    }

    static int remove(sqlite3_vfs*, const char* path, int dirSync)
    {
        QMutexLocker lock(&g_crash->m_lock);
        QString name;
        const bool tracked = g_crash->tracks(path, &name);
        if (tracked)
            g_crash->takeInOutsideChanges();
        const int rc = g_real->xDelete(g_real, path, dirSync);
        if (rc == SQLITE_OK && tracked && g_crash->m_live.contains(name)) {
            g_crash->add({Operation::Delete, g_crash->m_live.take(name), name, 0, {}, {}});
            if (dirSync & 1)
                g_crash->add({Operation::FolderSync, -1, {}, 0, {}, {}});
        }
        return rc;
    }

    static int close(sqlite3_file* f)
    {
        const int rc = real(f)->pMethods->xClose(real(f));
        delete file(f)->state;
        file(f)->state = nullptr;
        return rc;
    }

    static int write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset)
    {
        const int rc = real(f)->pMethods->xWrite(real(f), data, amount, offset);
        const int n = node(f);
        if (rc == SQLITE_OK && n >= 0)
            g_crash->add({Operation::Write, n, {}, offset, QByteArray(static_cast<const char*>(data), amount), {}});
        return rc;
    }

    static int truncate(sqlite3_file* f, sqlite3_int64 size)
    {
        const int rc = real(f)->pMethods->xTruncate(real(f), size);
        const int n = node(f);
        if (rc == SQLITE_OK && n >= 0)
            g_crash->add({Operation::Truncate, n, {}, size, {}, {}});
        return rc;
    }

    static int sync(sqlite3_file* f, int flags)
    {
        const int rc = real(f)->pMethods->xSync(real(f), flags);
        if (rc != SQLITE_OK)
            return rc;
        QMutexLocker lock(&g_crash->m_lock);
        const int n = node(f);
        if (n >= 0)
            g_crash->add({Operation::Sync, n, {}, 0, {}, {}});
        FileState* state = file(f)->state;
        QString name;
        if (state->syncFolder && g_crash->tracks(state->path, &name)) {
            g_crash->takeInOutsideChanges();
            g_crash->add({Operation::FolderSync, -1, {}, 0, {}, {}});
        }
        state->syncFolder = false;
        return rc;
    }

    static void installMethods();
    static void installVfs();
};

void CrashHooks::installMethods()
{
    g_methods.iVersion = 3;
    g_methods.xClose = &CrashHooks::close;
    g_methods.xRead = [](sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
        return real(f)->pMethods->xRead(real(f), data, amount, offset);
    };
    g_methods.xWrite = &CrashHooks::write;
    g_methods.xTruncate = &CrashHooks::truncate;
    g_methods.xSync = &CrashHooks::sync;
    g_methods.xFileSize = [](sqlite3_file* f, sqlite3_int64* size) {
        return real(f)->pMethods->xFileSize(real(f), size);
    };
    g_methods.xLock = [](sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); };
    g_methods.xUnlock = [](sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); };
    g_methods.xCheckReservedLock = [](sqlite3_file* f, int* out) {
        return real(f)->pMethods->xCheckReservedLock(real(f), out);
    };
    g_methods.xFileControl = [](sqlite3_file* f, int op, void* arg) {
        return real(f)->pMethods->xFileControl(real(f), op, arg);
    };
    g_methods.xSectorSize = [](sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); };
    g_methods.xDeviceCharacteristics = [](sqlite3_file* f) {
        return real(f)->pMethods->xDeviceCharacteristics(real(f));
    };
    g_methods.xShmMap = [](sqlite3_file* f, int region, int size, int extend, void volatile** out) {
        return real(f)->pMethods->iVersion >= 2 ? real(f)->pMethods->xShmMap(real(f), region, size, extend, out)
                                                : SQLITE_IOERR_SHMMAP;
    };
    g_methods.xShmLock = [](sqlite3_file* f, int offset, int n, int flags) {
        return real(f)->pMethods->iVersion >= 2 ? real(f)->pMethods->xShmLock(real(f), offset, n, flags)
                                                : SQLITE_IOERR_SHMLOCK;
    };
    g_methods.xShmBarrier = [](sqlite3_file* f) {
        if (real(f)->pMethods->iVersion >= 2)
            real(f)->pMethods->xShmBarrier(real(f));
    };
    g_methods.xShmUnmap = [](sqlite3_file* f, int deleteFlag) {
        return real(f)->pMethods->iVersion >= 2 ? real(f)->pMethods->xShmUnmap(real(f), deleteFlag) : SQLITE_OK;
    };
    g_methods.xFetch = [](sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
        if (real(f)->pMethods->iVersion >= 3)
            return real(f)->pMethods->xFetch(real(f), offset, amount, out);
        *out = nullptr;
        return SQLITE_OK;
    };
    g_methods.xUnfetch = [](sqlite3_file* f, sqlite3_int64 offset, void* p) {
        return real(f)->pMethods->iVersion >= 3 ? real(f)->pMethods->xUnfetch(real(f), offset, p) : SQLITE_OK;
    };
}

void CrashHooks::installVfs()
{
    g_vfs = *g_real;
    g_vfs.szOsFile = int(sizeof(CrashFile)) + g_real->szOsFile;
    g_vfs.zName = "crash";
    g_vfs.pNext = nullptr;
    g_vfs.xOpen = &CrashHooks::open;
    g_vfs.xDelete = &CrashHooks::remove;
    g_vfs.xAccess = [](sqlite3_vfs*, const char* path, int flags, int* out) {
        return g_real->xAccess(g_real, path, flags, out);
    };
    g_vfs.xFullPathname = [](sqlite3_vfs*, const char* path, int size, char* out) {
        return g_real->xFullPathname(g_real, path, size, out);
    };
    g_vfs.xDlOpen = [](sqlite3_vfs*, const char* path) { return g_real->xDlOpen(g_real, path); };
    g_vfs.xDlError = [](sqlite3_vfs*, int size, char* out) { g_real->xDlError(g_real, size, out); };
    g_vfs.xDlSym = [](sqlite3_vfs*, void* handle, const char* symbol) {
        return g_real->xDlSym(g_real, handle, symbol);
    };
    g_vfs.xDlClose = [](sqlite3_vfs*, void* handle) { g_real->xDlClose(g_real, handle); };
    g_vfs.xRandomness = [](sqlite3_vfs*, int size, char* out) { return g_real->xRandomness(g_real, size, out); };
    g_vfs.xSleep = [](sqlite3_vfs*, int micro) { return g_real->xSleep(g_real, micro); };
    g_vfs.xCurrentTime = [](sqlite3_vfs*, double* out) { return g_real->xCurrentTime(g_real, out); };
    g_vfs.xGetLastError = [](sqlite3_vfs*, int size, char* out) { return g_real->xGetLastError(g_real, size, out); };
    if (g_real->iVersion >= 2 && g_real->xCurrentTimeInt64)
        g_vfs.xCurrentTimeInt64 = [](sqlite3_vfs*, sqlite3_int64* out) {
            return g_real->xCurrentTimeInt64(g_real, out);
        };
    if (g_real->iVersion >= 3) {
        g_vfs.xSetSystemCall = [](sqlite3_vfs*, const char* name, sqlite3_syscall_ptr call) {
            return g_real->xSetSystemCall(g_real, name, call);
        };
        g_vfs.xGetSystemCall = [](sqlite3_vfs*, const char* name) { return g_real->xGetSystemCall(g_real, name); };
        g_vfs.xNextSystemCall = [](sqlite3_vfs*, const char* name) { return g_real->xNextSystemCall(g_real, name); };
    }
}

CrashVfs& CrashVfs::install()
{
    // Never destroyed: the engine may touch its files until the very end.
    static CrashVfs* const vfs = [] {
        auto* crash = new CrashVfs;
        g_crash = crash;
        g_real = sqlite3_vfs_find(nullptr);
        g_journalSyncsFolder = sqlite3_compileoption_used("SQLITE_DISABLE_DIRSYNC") == 0;
        CrashHooks::installMethods();
        CrashHooks::installVfs();
        if (sqlite3_vfs_register(&g_vfs, 1) != SQLITE_OK)
            qFatal("cannot register the power-cut VFS");
        return crash;
    }();
    return *vfs;
}

bool CrashVfs::tracks(const char* path, QString* name) const
{
    return path && tracks(QString::fromUtf8(path), name);
}

bool CrashVfs::tracks(const QString& path, QString* name) const
{
    if (!m_recording || path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.absolutePath() != m_folder && QFileInfo(info.absolutePath()).canonicalFilePath() != m_folder)
        return false;
    *name = info.fileName();
    return true;
}

int CrashVfs::opened(const QString& name, bool created)
{
    const QString path = QDir(m_folder).filePath(name);
    if (!created) {
        const int node = m_live.value(name, -1);
        // The engine reads a file made outside it from what it holds now.
        if (m_outside.contains(node))
            takeInContent(node, name);
        return node;
    }
    const int node = m_nodes++;
    m_live.insert(name, node);
    m_inodes.insert(node, inodeOf(path).value_or(Inode()));
    add({Operation::Create, node, name, 0, {}, {}});
    return node;
}

void CrashVfs::add(Operation operation)
{
    QMutexLocker lock(&m_lock);
    m_operations.push_back(std::move(operation));
}

void CrashVfs::record(const QString& folder)
{
    QMutexLocker lock(&m_lock);
    if (!m_recording)
        m_previousObserver =
            store::durable::setObserver([this](store::durable::Operation operation, const QString& path,
                                               const QString& target) { observed(operation, path, target); });
    m_folder = QFileInfo(folder).canonicalFilePath();
    ++m_generation;
    m_operations.clear();
    m_baseline.clear();
    m_baselineNodes.clear();
    m_inodes.clear();
    m_outside.clear();
    m_nodes = 0;
    QHash<Inode, int> byInode; // a second name of a file is the same file
    const QFileInfoList files = QDir(m_folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        const std::optional<Inode> inode = inodeOf(info.filePath());
        if (!inode || !file.open(QIODevice::ReadOnly))
            continue;
        m_baseline.insert(info.fileName(), file.readAll());
        if (!byInode.contains(*inode)) {
            byInode.insert(*inode, m_nodes);
            m_inodes.insert(m_nodes++, *inode);
        }
        m_baselineNodes.insert(info.fileName(), byInode.value(*inode));
    }
    m_live = m_baselineNodes;
    m_recording = true;
}

void CrashVfs::stop()
{
    QMutexLocker lock(&m_lock);
    if (m_recording) {
        takeInOutsideChanges();
        store::durable::setObserver(std::move(m_previousObserver));
        m_previousObserver = {};
    }
    m_recording = false;
    ++m_generation;
}

int CrashVfs::position()
{
    QMutexLocker lock(&m_lock);
    if (m_recording)
        takeInOutsideChanges();
    return int(m_operations.size());
}

std::vector<int> CrashVfs::syncPositions() const
{
    QMutexLocker lock(&m_lock);
    std::vector<int> positions;
    for (size_t i = 0; i < m_operations.size(); ++i)
        if (m_operations[i].kind == Operation::Sync || m_operations[i].kind == Operation::FolderSync)
            positions.push_back(int(i));
    return positions;
}

void CrashVfs::observed(store::durable::Operation operation, const QString& path, const QString& target)
{
    QMutexLocker lock(&m_lock);
    if (!m_recording)
        return;
    QString name;
    switch (operation) {
    case store::durable::Operation::SyncFile:
        if (!tracks(path, &name))
            return;
        takeInOutsideChanges();
        if (const int node = m_live.value(name, -1); node >= 0) {
            if (m_outside.contains(node))
                takeInContent(node, name);
            add({Operation::Sync, node, name, 0, {}, {}});
        }
        return;
    case store::durable::Operation::SyncFolder:
        if (QFileInfo(path).canonicalFilePath() != m_folder)
            return;
        takeInOutsideChanges();
        add({Operation::FolderSync, -1, {}, 0, {}, {}});
        return;
    case store::durable::Operation::Rename:
        renamed(path, target);
        return;
    }
}

void CrashVfs::renamed(const QString& from, const QString& to)
{
    QString fromName;
    QString toName;
    // A file moved in from elsewhere or out of the folder is, for the folder,
    // a file made or deleted.
    if (!tracks(from, &fromName) || !tracks(to, &toName)) {
        takeInOutsideChanges();
        return;
    }
    takeInOutsideChanges({fromName, toName});
    int node = m_live.value(fromName, -1);
    if (node < 0) {
        // Made outside the engine and renamed before anyone looked.
        node = m_nodes++;
        m_inodes.insert(node, inodeOf(to).value_or(Inode()));
        m_outside.insert(node, {});
        add({Operation::Create, node, fromName, 0, {}, {}});
    }
    if (m_outside.contains(node))
        takeInContent(node, toName);
    add({Operation::Rename, node, fromName, 0, {}, toName});
    m_live.remove(fromName);
    m_live.insert(toName, node);
}

void CrashVfs::takeInOutsideChanges(const QStringList& skip)
{
    QMap<QString, Inode> onDisk;
    const QFileInfoList files = QDir(m_folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& info : files) {
        if (skip.contains(info.fileName()))
            continue;
        if (const std::optional<Inode> inode = inodeOf(info.filePath()))
            onDisk.insert(info.fileName(), *inode);
    }
    // Gone, or another file under the same name.
    const QMap<QString, int> live = m_live;
    for (auto it = live.cbegin(); it != live.cend(); ++it) {
        const auto found = onDisk.constFind(it.key());
        if (skip.contains(it.key()) || (found != onDisk.cend() && *found == m_inodes.value(it.value())))
            continue;
        add({Operation::Delete, it.value(), it.key(), 0, {}, {}});
        m_live.remove(it.key());
    }
    for (auto it = onDisk.cbegin(); it != onDisk.cend(); ++it) {
        if (m_live.contains(it.key()))
            continue;
        int node = -1;
        for (const int known : std::as_const(m_live))
            if (m_inodes.value(known) == it.value())
                node = known;
        if (node >= 0) {
            add({Operation::Link, node, it.key(), 0, {}, {}});
        } else {
            node = m_nodes++;
            m_inodes.insert(node, it.value());
            m_outside.insert(node, {});
            add({Operation::Create, node, it.key(), 0, {}, {}});
            takeInContent(node, it.key());
        }
        m_live.insert(it.key(), node);
    }
}

void CrashVfs::takeInContent(int node, const QString& name)
{
    QFile file(QDir(m_folder).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray now = file.readAll();
    QByteArray& had = m_outside[node];
    if (now == had)
        return;
    if (now.size() < had.size())
        add({Operation::Truncate, node, {}, now.size(), {}, {}});
    // One write for each run of sectors that changed, torn by a cut like the engine's.
    constexpr qsizetype kSector = 512;
    auto changed = [&](qsizetype at) {
        const qsizetype end = std::min(now.size(), at + kSector);
        return end > had.size() || std::memcmp(now.constData() + at, had.constData() + at, size_t(end - at)) != 0;
    };
    for (qsizetype at = 0; at < now.size();) {
        if (!changed(at)) {
            at += kSector;
            continue;
        }
        qsizetype end = at;
        while (end < now.size() && changed(end))
            end = std::min(now.size(), end + kSector);
        add({Operation::Write, node, {}, at, now.mid(at, end - at), {}});
        at = end;
    }
    had = now;
}

} // namespace testing

#include "CrashVfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace testing {
namespace {

constexpr long long kSector = 512;

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

} // namespace

// The VFS's entry points: each calls the real VFS, then notes what reached
// the files of the recorded folder.
struct CrashHooks {
    static CrashFile* file(sqlite3_file* f) { return reinterpret_cast<CrashFile*>(f); }
    static sqlite3_file* real(sqlite3_file* f) { return file(f)->real; }

    // The file in the current record, or -1 when it is not recorded.
    static int node(sqlite3_file* f)
    {
        FileState* state = file(f)->state;
        if (state->generation != g_crash->m_generation) {
            QString name;
            state->generation = g_crash->m_generation;
            state->node =
                g_crash->tracks(state->path.toUtf8().constData(), &name) ? g_crash->m_live.value(name, -1) : -1;
        }
        return g_crash->m_recording ? state->node : -1;
    }

    static int open(sqlite3_vfs*, const char* path, sqlite3_file* f, int flags, int* outFlags)
    {
        CrashFile* crash = file(f);
        crash->base.pMethods = nullptr;
        crash->real = reinterpret_cast<sqlite3_file*>(crash + 1);
        crash->real->pMethods = nullptr;
        QString name;
        const bool tracked = path && g_crash->tracks(path, &name);
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
        const int rc = g_real->xDelete(g_real, path, dirSync);
        QString name;
        if (rc == SQLITE_OK && g_crash->tracks(path, &name) && g_crash->m_live.contains(name)) {
            g_crash->add({Operation::Delete, g_crash->m_live.take(name), name, 0, {}});
            if (dirSync & 1)
                g_crash->add({Operation::FolderSync, -1, {}, 0, {}});
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
            g_crash->add({Operation::Write, n, {}, offset, QByteArray(static_cast<const char*>(data), amount)});
        return rc;
    }

    static int truncate(sqlite3_file* f, sqlite3_int64 size)
    {
        const int rc = real(f)->pMethods->xTruncate(real(f), size);
        const int n = node(f);
        if (rc == SQLITE_OK && n >= 0)
            g_crash->add({Operation::Truncate, n, {}, size, {}});
        return rc;
    }

    static int sync(sqlite3_file* f, int flags)
    {
        const int rc = real(f)->pMethods->xSync(real(f), flags);
        if (rc != SQLITE_OK)
            return rc;
        const int n = node(f);
        if (n >= 0)
            g_crash->add({Operation::Sync, n, {}, 0, {}});
        FileState* state = file(f)->state;
        QString name;
        if (state->syncFolder && g_crash->tracks(state->path.toUtf8().constData(), &name))
            g_crash->add({Operation::FolderSync, -1, {}, 0, {}});
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
    if (!m_recording || !path)
        return false;
    const QFileInfo info(QString::fromUtf8(path));
    if (info.absolutePath() != m_folder && QFileInfo(info.absolutePath()).canonicalFilePath() != m_folder)
        return false;
    *name = info.fileName();
    return true;
}

int CrashVfs::opened(const QString& name, bool created)
{
    if (!created)
        return m_live.value(name, -1); // -1: a file made outside the engine, not modelled
    const int node = m_nodes++;
    m_live.insert(name, node);
    add({Operation::Create, node, name, 0, {}});
    return node;
}

void CrashVfs::add(Operation operation)
{
    m_operations.push_back(std::move(operation));
}

void CrashVfs::record(const QString& folder)
{
    m_folder = QFileInfo(folder).canonicalFilePath();
    ++m_generation;
    m_operations.clear();
    m_baseline.clear();
    m_baselineNodes.clear();
    m_nodes = 0;
    const QFileInfoList files = QDir(m_folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        m_baseline.insert(info.fileName(), file.readAll());
        m_baselineNodes.insert(info.fileName(), m_nodes++);
    }
    m_live = m_baselineNodes;
    m_recording = true;
}

void CrashVfs::stop()
{
    m_recording = false;
    ++m_generation;
}

int CrashVfs::position() const
{
    return int(m_operations.size());
}

std::vector<int> CrashVfs::syncPositions() const
{
    std::vector<int> positions;
    for (size_t i = 0; i < m_operations.size(); ++i)
        if (m_operations[i].kind == Operation::Sync || m_operations[i].kind == Operation::FolderSync)
            positions.push_back(int(i));
    return positions;
}

namespace {

using Random = std::mt19937;

// One file as the disk holds it: for good, as the program sees it, and what
// lies between.
struct Node {
    QByteArray durable;
    QByteArray current;
    std::vector<const Operation*> pending;
};

void put(QByteArray& bytes, long long offset, const char* data, long long size)
{
    const long long old = bytes.size();
    if (old < offset + size) {
        bytes.resize(offset + size);
        std::memset(bytes.data() + old, 0, size_t(offset + size - old));
    }
    std::memcpy(bytes.data() + offset, data, size_t(size));
}

void resize(QByteArray& bytes, long long size)
{
    const long long old = bytes.size();
    bytes.resize(size);
    if (size > old)
        std::memset(bytes.data() + old, 0, size_t(size - old));
}

// A write not yet synced, as a power cut leaves it: each sector it touches
// is left as it was, written, or (when garbled) garbage.
void tear(QByteArray& bytes, const Operation& write, bool garble, Random& random)
{
    const long long end = write.offset + write.data.size();
    for (long long at = write.offset; at < end;) {
        const long long next = std::min(end, (at / kSector + 1) * kSector);
        switch (random() % (garble ? 3 : 2)) {
        case 0:
            break;
        case 1:
            put(bytes, at, write.data.constData() + (at - write.offset), next - at);
            break;
        default: {
            QByteArray junk(qsizetype(next - at), Qt::Uninitialized);
            for (char& c : junk)
                c = char(random() & 0xff);
            put(bytes, at, junk.constData(), junk.size());
        }
        }
        at = next;
    }
}

QByteArray afterCut(const Node& node, bool garble, Random& random)
{
    QByteArray bytes = node.durable;
    for (const Operation* op : node.pending) {
        if (op->kind == Operation::Write)
            tear(bytes, *op, garble, random);
        else if (random() % 2)
            resize(bytes, op->offset);
    }
    return bytes;
}

} // namespace

QMap<QString, QByteArray> CrashVfs::crashState(int position, unsigned seed, bool reorder, bool garble) const
{
    Random random(seed);
    QHash<int, Node> nodes;
    for (auto it = m_baselineNodes.cbegin(); it != m_baselineNodes.cend(); ++it)
        nodes.insert(it.value(), Node{m_baseline.value(it.key()), m_baseline.value(it.key()), {}});
    QMap<QString, int> durable = m_baselineNodes;
    QMap<QString, int> current = m_baselineNodes;
    std::vector<const Operation*> unsynced; // the folder's changes since its last sync
    const size_t end = std::min(size_t(std::max(position, 0)), m_operations.size());
    for (size_t i = 0; i < end; ++i) {
        const Operation& op = m_operations[i];
        switch (op.kind) {
        case Operation::Write:
            put(nodes[op.node].current, op.offset, op.data.constData(), op.data.size());
            nodes[op.node].pending.push_back(&op);
            break;
        case Operation::Truncate:
            resize(nodes[op.node].current, op.offset);
            nodes[op.node].pending.push_back(&op);
            break;
        case Operation::Sync:
            nodes[op.node].durable = nodes[op.node].current;
            nodes[op.node].pending.clear();
            break;
        case Operation::Create:
            nodes.insert(op.node, Node{});
            current.insert(op.name, op.node);
            unsynced.push_back(&op);
            break;
        case Operation::Delete:
            current.remove(op.name);
            unsynced.push_back(&op);
            break;
        case Operation::FolderSync:
            durable = current;
            unsynced.clear();
            break;
        }
    }
    // In order, as a journalling file system commits them: the first few, or none.
    const size_t kept = reorder ? random() % (unsynced.size() + 1) : 0;
    for (size_t i = 0; i < kept; ++i) {
        if (unsynced[i]->kind == Operation::Create)
            durable.insert(unsynced[i]->name, unsynced[i]->node);
        else
            durable.remove(unsynced[i]->name);
    }
    QMap<QString, QByteArray> files;
    for (auto it = durable.cbegin(); it != durable.cend(); ++it)
        files.insert(it.key(), afterCut(nodes[it.value()], garble, random));
    return files;
}

bool CrashVfs::write(const QMap<QString, QByteArray>& files, const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(QDir(folder).filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

} // namespace testing

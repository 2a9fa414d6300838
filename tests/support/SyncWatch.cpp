#include "SyncWatch.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <sqlite3.h>

#include <atomic>
#include <cstddef>

namespace testing {
namespace {

// What a power cut would leave of one journal: `pending` when its removal
// has not reached the disk, with the bytes it held before.
struct Journal {
    bool pending = false;
    QByteArray before;
};

struct WatchedFile {
    sqlite3_file base; // first: SQLite reads pMethods here
    sqlite3_file* real;
    bool journal;
    bool newJournal; // opened to be created: SQLite syncs its folder on the first sync
    char key[1];     // the journal's path, as journals() knows it
};

struct Watch {
    sqlite3_vfs* real = nullptr;
    sqlite3_vfs vfs{};
    sqlite3_io_methods methods{};
    std::atomic<int> syncs{0};
    QMutex mutex;
    QHash<QString, Journal> journals;
};

Watch& watch()
{
    static Watch w;
    return w;
}

constexpr int kKeyRoom = 1024;
// Where the real file's structure starts, aligned as any structure may need.
constexpr size_t kRealAt = (offsetof(WatchedFile, key) + kKeyRoom + 15) & ~size_t(15);

QString keyOf(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

sqlite3_file* realOf(sqlite3_file* file)
{
    return reinterpret_cast<WatchedFile*>(file)->real;
}

QByteArray contentOf(sqlite3_file* real)
{
    sqlite3_int64 size = 0;
    if (real->pMethods->xFileSize(real, &size) != SQLITE_OK || size <= 0)
        return {};
    QByteArray bytes(int(size), '\0');
    if (real->pMethods->xRead(real, bytes.data(), int(size), 0) != SQLITE_OK)
        return {};
    return bytes;
}

void setJournal(const char* key, bool pending, const QByteArray& before = {})
{
    QMutexLocker lock(&watch().mutex);
    Journal& journal = watch().journals[QString::fromUtf8(key)];
    journal.pending = pending;
    journal.before = before;
}

int xClose(sqlite3_file* file)
{
    sqlite3_file* real = realOf(file);
    const int rc = real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
    return rc;
}
int xRead(sqlite3_file* f, void* b, int n, sqlite3_int64 o)
{
    return realOf(f)->pMethods->xRead(realOf(f), b, n, o);
}
int xWrite(sqlite3_file* f, const void* b, int n, sqlite3_int64 o)
{
    auto* w = reinterpret_cast<WatchedFile*>(f);
    if (w->journal)
        setJournal(w->key, false);
    return w->real->pMethods->xWrite(w->real, b, n, o);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    auto* w = reinterpret_cast<WatchedFile*>(f);
    if (w->journal && size == 0)
        setJournal(w->key, true, contentOf(w->real));
    return w->real->pMethods->xTruncate(w->real, size);
}
int xSync(sqlite3_file* f, int flags)
{
    auto* w = reinterpret_cast<WatchedFile*>(f);
    const int rc = w->real->pMethods->xSync(w->real, flags);
    if (rc == SQLITE_OK) {
        watch().syncs += w->newJournal ? 2 : 1;
        w->newJournal = false;
        if (w->journal)
            setJournal(w->key, false);
    }
    return rc;
}
int xFileSize(sqlite3_file* f, sqlite3_int64* s)
{
    return realOf(f)->pMethods->xFileSize(realOf(f), s);
}
int xLock(sqlite3_file* f, int l)
{
    return realOf(f)->pMethods->xLock(realOf(f), l);
}
int xUnlock(sqlite3_file* f, int l)
{
    return realOf(f)->pMethods->xUnlock(realOf(f), l);
}
int xCheckReservedLock(sqlite3_file* f, int* r)
{
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), r);
}
int xFileControl(sqlite3_file* f, int op, void* a)
{
    return realOf(f)->pMethods->xFileControl(realOf(f), op, a);
}
int xSectorSize(sqlite3_file* f)
{
    return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int xDeviceCharacteristics(sqlite3_file* f)
{
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}
int xShmMap(sqlite3_file* f, int i, int s, int e, void volatile** p)
{
    return realOf(f)->pMethods->xShmMap(realOf(f), i, s, e, p);
}
int xShmLock(sqlite3_file* f, int o, int n, int fl)
{
    return realOf(f)->pMethods->xShmLock(realOf(f), o, n, fl);
}
void xShmBarrier(sqlite3_file* f)
{
    realOf(f)->pMethods->xShmBarrier(realOf(f));
}
int xShmUnmap(sqlite3_file* f, int d)
{
    return realOf(f)->pMethods->xShmUnmap(realOf(f), d);
}
int xFetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p)
{
    return realOf(f)->pMethods->xFetch(realOf(f), o, n, p);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 o, void* p)
{
    return realOf(f)->pMethods->xUnfetch(realOf(f), o, p);
}

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    auto* w = reinterpret_cast<WatchedFile*>(file);
    w->base.pMethods = nullptr;
    w->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(w) + kRealAt);
    const QString path = name ? QString::fromUtf8(name) : QString();
    w->journal = (flags & SQLITE_OPEN_MAIN_JOURNAL) != 0 && !path.isEmpty();
    // As SQLite's own layer does: a journal opened to be created has its
    // folder synced with its first sync, whether it was there or not.
    w->newJournal = w->journal && (flags & SQLITE_OPEN_CREATE);
    const QByteArray key = w->journal ? keyOf(path).toUtf8().left(kKeyRoom - 1) : QByteArray();
    memcpy(w->key, key.constData(), size_t(key.size()));
    w->key[key.size()] = '\0';
    const int rc = watch().real->xOpen(watch().real, name, w->real, flags, outFlags);
    if (w->real->pMethods)
        w->base.pMethods = &watch().methods;
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    const QString path = QString::fromUtf8(name);
    if (path.endsWith(QLatin1String("-journal"))) {
        QFile file(path);
        const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        setJournal(keyOf(path).toUtf8().constData(), syncDir == 0, before);
    }
    const int rc = watch().real->xDelete(watch().real, name, syncDir);
    if (rc == SQLITE_OK && syncDir)
        ++watch().syncs;
    return rc;
}

int xAccess(sqlite3_vfs*, const char* n, int f, int* r)
{
    return watch().real->xAccess(watch().real, n, f, r);
}
int xFullPathname(sqlite3_vfs*, const char* n, int size, char* out)
{
    return watch().real->xFullPathname(watch().real, n, size, out);
}
void* xDlOpen(sqlite3_vfs*, const char* n)
{
    return watch().real->xDlOpen(watch().real, n);
}
void xDlError(sqlite3_vfs*, int n, char* m)
{
    watch().real->xDlError(watch().real, n, m);
}
void (*xDlSym(sqlite3_vfs*, void* h, const char* s))(void)
{
    return watch().real->xDlSym(watch().real, h, s);
}
void xDlClose(sqlite3_vfs*, void* h)
{
    watch().real->xDlClose(watch().real, h);
}
int xRandomness(sqlite3_vfs*, int n, char* o)
{
    return watch().real->xRandomness(watch().real, n, o);
}
int xSleep(sqlite3_vfs*, int us)
{
    return watch().real->xSleep(watch().real, us);
}
int xCurrentTime(sqlite3_vfs*, double* t)
{
    return watch().real->xCurrentTime(watch().real, t);
}
int xGetLastError(sqlite3_vfs*, int n, char* m)
{
    return watch().real->xGetLastError ? watch().real->xGetLastError(watch().real, n, m) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t)
{
    return watch().real->xCurrentTimeInt64(watch().real, t);
}

void prepare(Watch& w)
{
    if (w.real)
        return;
    w.real = sqlite3_vfs_find(nullptr);
    w.vfs = sqlite3_vfs{};
    w.vfs.iVersion = 2;
    w.vfs.szOsFile = int(kRealAt) + w.real->szOsFile;
    w.vfs.mxPathname = w.real->mxPathname;
    w.vfs.zName = "stopwell-syncwatch";
    w.vfs.xOpen = xOpen;
    w.vfs.xDelete = xDelete;
    w.vfs.xAccess = xAccess;
    w.vfs.xFullPathname = xFullPathname;
    w.vfs.xDlOpen = xDlOpen;
    w.vfs.xDlError = xDlError;
    w.vfs.xDlSym = xDlSym;
    w.vfs.xDlClose = xDlClose;
    w.vfs.xRandomness = xRandomness;
    w.vfs.xSleep = xSleep;
    w.vfs.xCurrentTime = xCurrentTime;
    w.vfs.xGetLastError = xGetLastError;
    w.vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    w.methods = sqlite3_io_methods{};
    w.methods.iVersion = 3;
    w.methods.xClose = xClose;
    w.methods.xRead = xRead;
    w.methods.xWrite = xWrite;
    w.methods.xTruncate = xTruncate;
    w.methods.xSync = xSync;
    w.methods.xFileSize = xFileSize;
    w.methods.xLock = xLock;
    w.methods.xUnlock = xUnlock;
    w.methods.xCheckReservedLock = xCheckReservedLock;
    w.methods.xFileControl = xFileControl;
    w.methods.xSectorSize = xSectorSize;
    w.methods.xDeviceCharacteristics = xDeviceCharacteristics;
    w.methods.xShmMap = xShmMap;
    w.methods.xShmLock = xShmLock;
    w.methods.xShmBarrier = xShmBarrier;
    w.methods.xShmUnmap = xShmUnmap;
    w.methods.xFetch = xFetch;
    w.methods.xUnfetch = xUnfetch;
}

} // namespace

SyncWatch::SyncWatch()
{
    sqlite3_initialize();
    Watch& w = watch();
    prepare(w);
    m_installed = w.real && sqlite3_vfs_register(&w.vfs, 1) == SQLITE_OK;
    reset();
}

SyncWatch::~SyncWatch()
{
    if (!m_installed)
        return;
    // Connections opened meanwhile keep working through the layer.
    sqlite3_vfs_unregister(&watch().vfs);
    sqlite3_vfs_register(watch().real, 1);
}

int SyncWatch::syncs() const
{
    return watch().syncs;
}

void SyncWatch::reset()
{
    watch().syncs = 0;
}

QByteArray SyncWatch::journalAfterPowerCut(const QString& database) const
{
    const QString key = keyOf(database + QStringLiteral("-journal"));
    {
        QMutexLocker lock(&watch().mutex);
        const auto it = watch().journals.constFind(key);
        if (it != watch().journals.constEnd() && it->pending)
            return it->before;
    }
    QFile file(key);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testing

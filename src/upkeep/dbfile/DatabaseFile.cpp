#include "DatabaseFile.h"

#include "store/Database.h"
#include "store/DurableFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>

#include <chrono>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace upkeep::dbfile {
namespace {

// How long another program's lock is waited for before the file counts as in use.
constexpr int kBusyMilliseconds = 5000;

class Connection {
public:
    Connection(const QString& path, int flags)
    {
        m_rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
        if (m_db)
            sqlite3_busy_timeout(m_db, kBusyMilliseconds);
        // What this connection writes, a rollback of a cut-short transaction
        // included, commits as the program's own connections do.
        if (m_rc == SQLITE_OK && (flags & SQLITE_OPEN_READWRITE) && !store::useDurableJournal(m_db))
            m_rc = sqlite3_errcode(m_db);
    }
    ~Connection()
    {
        if (m_db) {
            if (!sqlite3_get_autocommit(m_db))
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close_v2(m_db);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    int rc() const { return m_rc; }
    sqlite3* get() const { return m_db; }
    int exec(const char* sql)
    {
        m_rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
        return m_rc;
    }
    /// The first column of every row of a statement.
    QStringList column(const char* sql)
    {
        QStringList values;
        sqlite3_stmt* statement = nullptr;
        m_rc = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        if (m_rc != SQLITE_OK)
            return values;
        while ((m_rc = sqlite3_step(statement)) == SQLITE_ROW)
            values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        if (m_rc == SQLITE_DONE)
            m_rc = SQLITE_OK;
        sqlite3_finalize(statement);
        return values;
    }
    qint64 dataVersion()
    {
        const QStringList version = column("PRAGMA data_version");
        return version.isEmpty() ? -1 : version.first().toLongLong();
    }
    QString message() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString(); }

private:
    sqlite3* m_db = nullptr;
    int m_rc = SQLITE_OK;
};

using store::Error;

bool fail(Error* error, const Error& what)
{
    if (error)
        *error = what;
    return false;
}

/// Renames `from` over `to` in one step, for good (store::durable::commitBeside).
/// The new file takes the group and permissions of the one it replaces: SQLite
/// makes a compacted copy with modes of its own, and a restored file comes with
/// the archive's, yet every user who could write the database before must
/// still be able to (the users of a PC may share it through a group).
bool renameOver(const QString& from, const QString& to)
{
    struct stat old {};
    if (::stat(QFile::encodeName(to).constData(), &old) == 0) {
        const QByteArray source = QFile::encodeName(from);
        // The group is refused when this user is not in it: the file then
        // keeps the group it was made with.
        [[maybe_unused]] const int grouped = ::chown(source.constData(), uid_t(-1), old.st_gid);
        [[maybe_unused]] const int permitted = ::chmod(source.constData(), old.st_mode & 0777);
    }
    return store::durable::commitBeside(from, to);
}

void reach(const Hooks& hooks, Step step)
{
    if (hooks.step)
        hooks.step(step);
}

// Checks a file while its data go to the disk: the check reads what the page
// cache holds, the flush writes it out, and neither waits for the other. Both
// run beside the calling thread, which keeps pumping (the window repaints
// while SQLite's integrity check, one long step, runs). True when the file is
// whole; `synced` tells whether it reached the disk.
bool verifyWhileSyncing(const QString& path, const QString& subject, Error* problem, const Hooks& hooks, bool* synced,
                        Depth depth)
{
    std::future<bool> flushed = std::async(std::launch::async, [path] { return store::durable::syncFile(path); });
    Error why;
    std::future<bool> checked = std::async(std::launch::async, [&path, &subject, &why, depth] {
        return verifyDatabase(path, subject, &why, nullptr, depth);
    });
    while (checked.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (hooks.pump)
            hooks.pump();
    }
    const bool whole = checked.get();
    *synced = flushed.get();
    if (!whole && problem)
        *problem = why;
    return whole;
}

int pumpWhileBusy(void* hooks)
{
    const auto* h = static_cast<const Hooks*>(hooks);
    if (h->pump)
        h->pump();
    return 0;
}

} // namespace

QString compactCopyPath(const QString& database)
{
    return QFileInfo(database).absoluteDir().filePath(QStringLiteral("SL.MDB"));
}

QString previousPath(const QString& database)
{
    return database + QStringLiteral(".previous");
}

QString compactCopyJournalPath(const QString& database)
{
    return compactCopyPath(database) + QStringLiteral("-journal");
}

void removeLeftovers(const QString& database)
{
    // A journal without its database belongs to nothing; with the copy still
    // there, both stay until the user chose to delete the copy.
    if (!QFileInfo::exists(compactCopyPath(database)))
        QFile::remove(compactCopyJournalPath(database));
}

bool removeCompactCopy(const QString& database)
{
    const QString copy = compactCopyPath(database);
    if (QFileInfo::exists(copy) && !QFile::remove(copy))
        return false;
    QFile::remove(compactCopyJournalPath(database));
    return true;
}

bool verifyDatabase(const QString& path, const QString& subject, Error* error, const Hooks* hooks, Depth depth)
{
    if (!QFileInfo(path).isFile())
        return fail(error, Error::aboutSubject(Error::Kind::Missing, subject));
    Connection db(path, SQLITE_OPEN_READONLY);
    auto engineFailed = [&] {
        return fail(error, Error::aboutSubject(Error::kindOfSqlite(db.rc(), db.message()), subject, db.message()));
    };
    if (!db.ok())
        return engineFailed();
    const QStringList tables = db.column("SELECT name FROM sqlite_master WHERE type = 'table'");
    if (!db.ok())
        return engineFailed();
    QSet<QString> present;
    for (const QString& table : tables)
        present.insert(table.toLower());
    for (const QString& table : store::requiredTables()) {
        if (!present.contains(table.toLower()))
            return fail(error, Error::make(Error::Kind::Foreign,
                                           subject + QStringLiteral(" is not a Tarrowby Stopwell database: it has no "
                                                                    "table %1.")
                                                         .arg(table)));
    }
    if (hooks && hooks->pump)
        sqlite3_progress_handler(db.get(), 4000, &pumpWhileBusy, const_cast<Hooks*>(hooks));
    // Mapped, the file is read without copying every page.
    db.exec("PRAGMA mmap_size=1073741824");
    const QStringList problems = db.column(depth == Depth::Full ? "PRAGMA integrity_check" : "PRAGMA quick_check");
    if (!db.ok())
        return engineFailed();
    if (problems != QStringList{QStringLiteral("ok")})
        return fail(error,
                    Error::make(Error::Kind::Damaged, subject + QStringLiteral(" is damaged."), problems.value(0)));
    return true;
}

Error compactDatabase(const QString& database, const Hooks& hooks)
{
    const QString copy = compactCopyPath(database);
    auto failed = [&copy](const Error& error) {
        QFile::remove(copy);
        return error;
    };
    auto engineFailed = [&failed, &database](int rc, const QString& engineText) {
        return failed(Error::fromSqlite(rc, engineText, database));
    };
    // No record source and no connection of this program may hold the file:
    // a connection left open would read the file that was replaced.
    if (store::Database::openSources(database) > 0 || store::Database::isConnected(database))
        return Error::make(Error::Kind::InUse, QStringLiteral("The database is open on another screen."));
    removeLeftovers(database);
    if (QFileInfo::exists(copy))
        return Error::make(Error::Kind::Leftover,
                           QStringLiteral("A copy left over from a compaction that did not finish is in the way."),
                           QDir::toNativeSeparators(copy));
    if (!QFileInfo(database).isFile())
        return Error::about(Error::Kind::Missing, database);

    auto connection = std::make_unique<Connection>(database, SQLITE_OPEN_READWRITE);
    Connection& db = *connection;
    if (!db.ok())
        return Error::fromSqlite(db.rc(), db.message(), database);
    const qint64 before = db.dataVersion();
    if (before < 0)
        return Error::fromSqlite(db.rc(), db.message(), database);

    // The copy goes to the disk while it is checked, below.
    db.exec("PRAGMA synchronous=OFF");
    reach(hooks, Step::Copying);
    sqlite3_progress_handler(db.get(), 4000, &pumpWhileBusy, const_cast<Hooks*>(&hooks));
    sqlite3_stmt* vacuum = nullptr;
    int rc = sqlite3_prepare_v2(db.get(), "VACUUM INTO ?1", -1, &vacuum, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray target = QFile::encodeName(copy);
        sqlite3_bind_text(vacuum, 1, target.constData(), int(target.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(vacuum);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    const QString engineText = db.message();
    sqlite3_finalize(vacuum);
    sqlite3_progress_handler(db.get(), 0, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return engineFailed(rc, engineText);
    reach(hooks, Step::Copied);

    Error problem;
    bool synced = false;
    // The copy keeps the database's indexes as they stand, so only the full
    // check finds one that no longer matches its table.
    if (!verifyWhileSyncing(copy, QStringLiteral("The compacted copy"), &problem, hooks, &synced, Depth::Full))
        return failed(problem);
    if (!synced)
        return failed(
            Error::make(Error::Kind::Io, QStringLiteral("The compacted copy could not be written to the disk.")));
    reach(hooks, Step::Checked);

    // No one may write between the check that nothing changed and the rename.
    if (db.exec("BEGIN IMMEDIATE") != SQLITE_OK)
        return engineFailed(db.rc(), db.message());
    if (db.dataVersion() != before)
        return failed(Error::make(Error::Kind::InUse,
                                  QStringLiteral("Another program changed the database while it was being compacted. "
                                                 "Try again once it has finished.")));
    // The folder is synced before the rename too: a rollback's journal
    // deleted earlier must not come back beside the compacted copy.
    if (!renameOver(copy, database))
        return failed(
            Error::make(Error::Kind::Io, QStringLiteral("The compacted copy could not take the database's place.")));
    reach(hooks, Step::Replaced);
    // Closing lets the old file go, and giving its space back takes a moment:
    // that happens beside the window, which can tell the user at once.
    std::thread([old = std::move(connection)]() mutable { old.reset(); }).detach();
    return {};
}

bool replaceDatabase(const QString& staged, const QString& database, Error* error, const Hooks& hooks)
{
    if (store::Database::openSources(database) > 0 || store::Database::isConnected(database))
        return fail(error, Error::make(Error::Kind::InUse, QStringLiteral("The database is open on another screen.")));
    bool synced = false;
    if (!verifyWhileSyncing(staged, QStringLiteral("The database in the backup"), error, hooks, &synced,
                            Depth::Structure))
        return false;
    if (!synced)
        return fail(error, Error::make(Error::Kind::Io,
                                       QStringLiteral("The restored database could not be written to the disk.")));
    reach(hooks, Step::Checked);

    const QString previous = previousPath(database);
    std::unique_ptr<Connection> live;
    if (QFileInfo(database).isFile()) {
        // Reading first lets SQLite roll back what a crash may have left half
        // written; the lock then keeps other programs out until the swap.
        live = std::make_unique<Connection>(database, SQLITE_OPEN_READWRITE);
        if (live->ok())
            live->column("SELECT count(*) FROM sqlite_master");
        if (live->ok())
            live->exec("BEGIN IMMEDIATE");
        if (!live->ok())
            return fail(error, Error::fromSqlite(live->rc(), live->message(), database));
        QFile::remove(previous);
        // A second name for the file being replaced: it stays whole on the disk.
        if (::link(QFile::encodeName(database).constData(), QFile::encodeName(previous).constData()) != 0 &&
            !(QFile::copy(database, previous) && store::durable::syncFile(previous)))
            return fail(error, Error::make(Error::Kind::Io, QStringLiteral("No copy of the database could be kept "
                                                                           "while it is replaced.")));
    }
    if (!renameOver(staged, database)) {
        QFile::remove(previous);
        return fail(error, Error::make(Error::Kind::Io, QStringLiteral("The restored database could not take the "
                                                                       "database's place.")));
    }
    reach(hooks, Step::Replaced);
    live.reset();

    Error openError;
    if (!store::Database::open(database, &openError)) {
        if (QFileInfo::exists(previous))
            renameOver(previous, database);
        return fail(error,
                    Error::make(openError.kind,
                                QStringLiteral("The restored database could not be opened. ") + openError.message,
                                openError.detail));
    }
    reach(hooks, Step::Opened);
    QFile::remove(previous);
    return true;
}

ReadLock::ReadLock(const QString& database)
{
    if (sqlite3_open_v2(QFile::encodeName(database).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return;
    sqlite3_busy_timeout(m_db, kBusyMilliseconds);
    store::useDurableJournal(m_db);
    m_held = sqlite3_exec(m_db, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

ReadLock::~ReadLock()
{
    if (m_db) {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
    }
}

} // namespace upkeep::dbfile

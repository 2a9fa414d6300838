#include "Database.h"
#include "JetSql.h"

#include "Dialect.h"
#include "DurableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>
#include <unistd.h>

namespace store {
namespace {

QHash<QString, std::weak_ptr<Database>>& connections()
{
    static QHash<QString, std::weak_ptr<Database>> map;
    return map;
}

QHash<QString, int>& sourceCounts()
{
    static QHash<QString, int> counts;
    return counts;
}

int& busyMilliseconds()
{
    static int milliseconds = 4000;
    return milliseconds;
}

QString keyFor(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

bool writable(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// A power cut while a commit was being written can leave the file's first sector garbled
// beside the journal that mends it; the engine plays that journal back when it opens the
// file, so such a file is not yet damaged.
bool hotJournalBeside(const QString& path)
{
    QFile journal(path + QStringLiteral("-journal"));
    static const QByteArray magic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    return journal.open(QIODevice::ReadOnly) && journal.read(8) == magic;
}

QStringList numbered(const char* stem, int count, const char* suffix = "")
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString::fromLatin1(stem) + QString::number(i) + QString::fromLatin1(suffix);
    return names;
}

} // namespace

QStringList requiredTables()
{
    return {QStringLiteral("DData"), QStringLiteral("Calls"),  QStringLiteral("DWork"), QStringLiteral("WAssign"),
            QStringLiteral("WList"), QStringLiteral("Frames"), QStringLiteral("PWord")};
}

QStringList requiredFields(const QString& table)
{
    const QString t = table.toLower();
    if (t == QLatin1String("ddata"))
        return {QStringLiteral("DateNow"),  QStringLiteral("Time"), QStringLiteral("Weekday"), QStringLiteral("LaneNo"),
                QStringLiteral("callmade"), QStringLiteral("Type"), QStringLiteral("Name1"),   QStringLiteral("Name2"),
                QStringLiteral("Notes"),    QStringLiteral("Recno")};
    if (t == QLatin1String("calls"))
        return numbered("C", 100) + numbered("S", 5);
    if (t == QLatin1String("dwork"))
        return {QStringLiteral("DateNow"), QStringLiteral("mecha1"),  QStringLiteral("mecha2"),
                QStringLiteral("mechp1"),  QStringLiteral("mechp2"),  QStringLiteral("noteam1"),
                QStringLiteral("noteam2"), QStringLiteral("notepm1"), QStringLiteral("notepm2")};
    if (t == QLatin1String("wassign")) {
        QStringList fields{QStringLiteral("DateNow")};
        for (int i = 1; i <= 20; ++i)
            fields << QString::number(i) + QLatin1Char('W') << QString::number(i) + QLatin1Char('M');
        return fields;
    }
    if (t == QLatin1String("wlist"))
        return QStringList{QStringLiteral("Weekno")} + numbered("WL", 20);
    if (t == QLatin1String("frames"))
        return {QStringLiteral("DateNow"), QStringLiteral("Open"), QStringLiteral("League"),
                QStringLiteral("Rent"),    QStringLiteral("Misc"), QStringLiteral("total")};
    if (t == QLatin1String("pword"))
        return {QStringLiteral("assign"), QStringLiteral("premade"), QStringLiteral("dailyd")};
    return {};
}

Database::~Database()
{
    m_control.clear();
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

void Database::setBusyTimeout(int milliseconds)
{
    busyMilliseconds() = milliseconds;
}

int Database::busyTimeout()
{
    return busyMilliseconds();
}

std::shared_ptr<Database> Database::open(const QString& path, Error* error)
{
    const QString key = keyFor(path);
    if (auto existing = connections().value(key).lock())
        return existing;

    auto fail = [&](const Error& why) -> std::shared_ptr<Database> {
        if (error)
            *error = why;
        return nullptr;
    };
    const QString file = shownPath(path);
    const QFileInfo info(path);
    if (!info.exists())
        return fail(Error::about(Error::Kind::Missing, path));
    {
        QFile raw(path);
        if (!info.isFile() || !raw.open(QIODevice::ReadOnly))
            return fail(Error::make(Error::Kind::Io,
                                    QStringLiteral("The database file \"%1\" cannot be read.").arg(file),
                                    raw.errorString()));
        if (raw.read(16) != QByteArray("SQLite format 3\0", 16) && !hotJournalBeside(key))
            return fail(Error::about(Error::Kind::Damaged, path));
    }

    std::shared_ptr<Database> db(new Database);
    db->m_path = key;
    db->m_connection = QStringLiteral("stopwell-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    db->m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db->m_connection);
    // mode=rw: the driver must never create a missing file.
    db->m_db.setDatabaseName(QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(key, "/")) +
                             QStringLiteral("?mode=rw"));
    db->m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=") +
                               QString::number(busyMilliseconds()));
    if (!db->m_db.open())
        return fail(db->errorOf(db->m_db.lastError()));
    jet::installTextRules(db->handle()); // every letter, not ASCII alone, compares without regard to case
    QSqlQuery q(db->m_db);
    // A commit is on the disk for good when it returns.
    if (!useDurableJournal(db->handle()))
        return fail(
            Error::fromSqlite(sqlite3_errcode(db->handle()), QString::fromUtf8(sqlite3_errmsg(db->handle())), key));
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return fail(db->errorOf(q.lastError()));
    while (q.next()) {
        const QString name = q.value(0).toString();
        db->m_tables.insert(name.toLower(), name);
    }
    q.finish();
    // Every table and field the screens bind to is there before any screen binds to one:
    // a field missing would be dropped from every record stored without a word.
    for (const QString& table : requiredTables()) {
        if (!db->m_tables.contains(table.toLower()))
            return fail(
                Error::make(Error::Kind::Foreign,
                            QStringLiteral("The file \"%1\" is not a Tarrowby Stopwell database: it has no table %2.")
                                .arg(file, table)));
        const QList<FieldInfo> fields = db->tableFields(table);
        for (const QString& field : requiredFields(table)) {
            const bool found = std::any_of(fields.begin(), fields.end(), [&](const FieldInfo& f) {
                return f.name.compare(field, Qt::CaseInsensitive) == 0;
            });
            if (!found)
                return fail(Error::make(
                    Error::Kind::Foreign,
                    QStringLiteral("The database file \"%1\" has no field %2 in its table %3: another program may "
                                   "have changed it. Nothing was stored. Restore a backup of the database, or ask for "
                                   "help.")
                        .arg(file, field, table)));
        }
    }
    db->m_readOnly =
        sqlite3_db_readonly(db->handle(), "main") == 1 || !writable(key) || !writable(QFileInfo(key).absolutePath());
    connections().insert(key, db);
    return db;
}

sqlite3* Database::handle() const
{
    const QVariant v = m_db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

int Database::openSources(const QString& path)
{
    return sourceCounts().value(keyFor(path));
}

void Database::sourceOpened(const QString& path)
{
    ++sourceCounts()[keyFor(path)];
}

void Database::sourceClosed(const QString& path)
{
    auto& counts = sourceCounts();
    const QString key = keyFor(path);
    if (counts.value(key) > 1)
        --counts[key];
    else
        counts.remove(key);
}

bool Database::isConnected(const QString& path)
{
    return !connections().value(keyFor(path)).expired();
}

QString Database::quoted(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString Database::tableName(const QString& name)
{
    return m_tables.value(name.toLower());
}

QList<FieldInfo> Database::tableFields(const QString& table)
{
    const QString stored = tableName(table);
    if (stored.isEmpty())
        return {};
    if (const auto it = m_fields.constFind(stored); it != m_fields.constEnd())
        return *it;
    QList<FieldInfo> fields;
    QSqlQuery q(m_db);
    if (q.exec(QStringLiteral("PRAGMA table_info(") + quoted(stored) + QLatin1Char(')'))) {
        while (q.next()) {
            FieldInfo field;
            field.name = q.value(1).toString();
            field.type = typeFromDeclared(q.value(2).toString());
            field.isKey = q.value(5).toInt() > 0;
            if (field.isKey)
                field.type = FieldType::Long;
            fields.append(field);
        }
    }
    m_fields.insert(stored, fields);
    return fields;
}

bool Database::execute(const QString& statement, Error* error, int* rowsAffected)
{
    auto fail = [&](const Error& why) {
        if (error)
            *error = why;
        return false;
    };
    Error why;
    const auto sql = translateAccessSql(statement, &why);
    if (!sql)
        return fail(why);
    Transaction transaction(*this);
    if (!transaction.begun())
        return fail(transaction.error());
    QSqlQuery q(m_db);
    if (!q.exec(*sql))
        return fail(errorOf(q.lastError()));
    if (rowsAffected)
        *rowsAffected = q.numRowsAffected();
    q.finish();
    if (!transaction.commit())
        return fail(transaction.error());
    return true;
}

bool Database::runControl(const QString& statement, Error* error)
{
    auto& query = m_control[statement];
    if (!query) {
        query = std::make_shared<QSqlQuery>(m_db);
        query->setForwardOnly(true);
        if (!query->prepare(statement)) {
            if (error)
                *error = errorOf(query->lastError());
            query.reset();
            return false;
        }
    }
    const bool ran = query->exec();
    if (!ran && error)
        *error = errorOf(query->lastError());
    query->finish();
    return ran;
}

Transaction::Transaction(Database& db) : m_db(db)
{
    if (m_db.isReadOnly()) {
        m_error = Error::about(Error::Kind::ReadOnly, m_db.path());
        return;
    }
    m_begun = m_db.runControl(QStringLiteral("BEGIN IMMEDIATE"), &m_error);
}

Transaction::~Transaction()
{
    if (m_begun && !m_done)
        m_db.runControl(QStringLiteral("ROLLBACK"), nullptr);
}

bool Transaction::commit()
{
    if (!m_begun)
        return false;
    if (!m_db.runControl(QStringLiteral("COMMIT"), &m_error))
        return false;
    m_done = true;
    return true;
}

bool useDurableJournal(sqlite3* db)
{
    return db && sqlite3_exec(db, kJournalPragmas, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool createDatabase(const QString& path, Error* error)
{
    auto fail = [&](Error::Kind kind, const QString& why, const QString& detail = {}) {
        if (error)
            *error = Error::make(kind, why, detail);
        return false;
    };
    if (QFileInfo::exists(path))
        return fail(Error::Kind::Refused, QStringLiteral("\"%1\" exists already.").arg(shownPath(path)));
    QFile script(QStringLiteral(":/store/Zuvevadu.sql"));
    if (!script.open(QIODevice::ReadOnly))
        return fail(Error::Kind::Missing, QStringLiteral("The database script is missing from the program."));
    const QByteArray text = script.readAll();

    // Built beside the target, then renamed into place once complete.
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-journal"));
    sqlite3* raw = nullptr;
    const QByteArray file = QFile::encodeName(partial);
    int rc = sqlite3_open_v2(file.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        char* message = nullptr;
        rc = sqlite3_exec(raw, kJournalPragmas, nullptr, nullptr, &message);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(raw, "BEGIN;", nullptr, nullptr, &message);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(raw, text.constData(), nullptr, nullptr, &message);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, &message);
        if (rc != SQLITE_OK) {
            const QString why = QString::fromUtf8(message ? message : sqlite3_errmsg(raw));
            sqlite3_free(message);
            sqlite3_close(raw);
            QFile::remove(partial);
            return fail(Error::kindOfSqlite(rc, why), QStringLiteral("Cannot make \"%1\".").arg(shownPath(path)), why);
        }
    }
    const QString openError = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString();
    sqlite3_close(raw);
    // The journal of the partial file, empty once it committed, goes with its name.
    QFile::remove(partial + QStringLiteral("-journal"));
    if (rc != SQLITE_OK) {
        QFile::remove(partial);
        return fail(Error::kindOfSqlite(rc, openError), QStringLiteral("Cannot make \"%1\".").arg(shownPath(path)),
                    openError);
    }
    if (!durable::commitBeside(partial, path)) {
        QFile::remove(partial);
        return fail(Error::Kind::Io, QStringLiteral("Cannot write \"%1\".").arg(shownPath(path)));
    }
    return true;
}

} // namespace store

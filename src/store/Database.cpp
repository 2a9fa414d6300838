#include "Database.h"

#include "Dialect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

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

QString keyFor(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

QStringList requiredTables()
{
    return {QStringLiteral("DData"), QStringLiteral("Calls"),  QStringLiteral("DWork"), QStringLiteral("WAssign"),
            QStringLiteral("WList"), QStringLiteral("Frames"), QStringLiteral("PWord")};
}

Database::~Database()
{
    m_control.clear();
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

std::shared_ptr<Database> Database::open(const QString& path, QString* error)
{
    const QString key = keyFor(path);
    if (auto existing = connections().value(key).lock())
        return existing;

    auto fail = [&](const QString& why) -> std::shared_ptr<Database> {
        if (error)
            *error = why;
        return nullptr;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("The database file \"%1\" cannot be found.").arg(native(path)));
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("The database file \"%1\" cannot be read.").arg(native(path)));
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("The database file \"%1\" cannot be read.").arg(native(path)));
        if (file.read(16) != QByteArray("SQLite format 3\0", 16))
            return fail(QStringLiteral("The file \"%1\" is not a Tarrowby Stopwell database, or it is damaged.")
                            .arg(native(path)));
    }

    std::shared_ptr<Database> db(new Database);
    db->m_path = key;
    db->m_connection = QStringLiteral("stopwell-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    db->m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db->m_connection);
    // mode=rw: the driver must never create a missing file.
    db->m_db.setDatabaseName(QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(key, "/")) +
                             QStringLiteral("?mode=rw"));
    db->m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db->m_db.open())
        return fail(QStringLiteral("The database file \"%1\" cannot be opened: %2")
                        .arg(native(path), db->m_db.lastError().text()));
    QSqlQuery q(db->m_db);
    // One file between transactions, and a write is on the disk when it returns.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=DELETE")) || !q.exec(QStringLiteral("PRAGMA synchronous=FULL")))
        return fail(
            QStringLiteral("The file \"%1\" is not a Tarrowby Stopwell database, or it is damaged.").arg(native(path)));
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return fail(
            QStringLiteral("The file \"%1\" is not a Tarrowby Stopwell database, or it is damaged.").arg(native(path)));
    while (q.next()) {
        const QString name = q.value(0).toString();
        db->m_tables.insert(name.toLower(), name);
    }
    for (const QString& table : requiredTables()) {
        if (!db->m_tables.contains(table.toLower()))
            return fail(QStringLiteral("The file \"%1\" is not a Tarrowby Stopwell database: it has no table %2.")
                            .arg(native(path), table));
    }
    connections().insert(key, db);
    return db;
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

bool Database::execute(const QString& statement, QString* error, int* rowsAffected)
{
    QString why;
    const auto sql = translateAccessSql(statement, &why);
    if (!sql) {
        if (error)
            *error = why;
        return false;
    }
    Transaction transaction(*this);
    if (!transaction.begun()) {
        if (error)
            *error = m_db.lastError().text();
        return false;
    }
    QSqlQuery q(m_db);
    if (!q.exec(*sql)) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    if (rowsAffected)
        *rowsAffected = q.numRowsAffected();
    return transaction.commit(error);
}

bool Database::runControl(const QString& statement, QString* error)
{
    auto& query = m_control[statement];
    if (!query) {
        query = std::make_shared<QSqlQuery>(m_db);
        query->setForwardOnly(true);
        if (!query->prepare(statement)) {
            if (error)
                *error = query->lastError().text();
            query.reset();
            return false;
        }
    }
    const bool ran = query->exec();
    if (!ran && error)
        *error = query->lastError().text();
    query->finish();
    return ran;
}

Transaction::Transaction(Database& db) : m_db(db)
{
    m_begun = m_db.runControl(QStringLiteral("BEGIN IMMEDIATE"), nullptr);
}

Transaction::~Transaction()
{
    if (m_begun && !m_done)
        m_db.runControl(QStringLiteral("ROLLBACK"), nullptr);
}

bool Transaction::commit(QString* error)
{
    if (!m_db.runControl(QStringLiteral("COMMIT"), error))
        return false;
    m_done = true;
    return true;
}

bool createDatabase(const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("\"%1\" exists already.").arg(native(path)));
    QFile script(QStringLiteral(":/store/Zuvevadu.sql"));
    if (!script.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("The database script is missing from the program."));
    const QByteArray text = script.readAll();

    // Built beside the target, then renamed into place once complete.
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    sqlite3* raw = nullptr;
    const QByteArray file = QFile::encodeName(partial);
    int rc = sqlite3_open_v2(file.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        char* message = nullptr;
        rc = sqlite3_exec(raw, "PRAGMA journal_mode=DELETE; BEGIN;", nullptr, nullptr, &message);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(raw, text.constData(), nullptr, nullptr, &message);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, &message);
        if (rc != SQLITE_OK) {
            const QString why = QString::fromUtf8(message ? message : sqlite3_errmsg(raw));
            sqlite3_free(message);
            sqlite3_close(raw);
            QFile::remove(partial);
            return fail(QStringLiteral("Cannot make \"%1\": %2").arg(native(path), why));
        }
    }
    const QString openError = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString();
    sqlite3_close(raw);
    if (rc != SQLITE_OK) {
        QFile::remove(partial);
        return fail(QStringLiteral("Cannot make \"%1\": %2").arg(native(path), openError));
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return fail(QStringLiteral("Cannot write \"%1\".").arg(native(path)));
    }
    return true;
}

} // namespace store

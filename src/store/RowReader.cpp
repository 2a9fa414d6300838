#include "RecordCursor.h"

#include "FieldValue.h"

#include <QSqlError>

#include <sqlite3.h>

namespace store::detail {

RowReader::RowReader(Database& db, const QString& table, const QList<FieldInfo>& fields, Error& error)
    : m_db(db), m_quoted(Database::quoted(table)), m_fields(fields), m_error(error)
{
}

QSqlQuery& RowReader::prepared(const QString& sql)
{
    auto& slot = m_queries[sql];
    if (!slot) {
        slot = std::make_shared<QSqlQuery>(m_db.sql());
        slot->setForwardOnly(true);
        slot->prepare(sql);
    }
    return *slot;
}

bool RowReader::fail(const Error& error)
{
    m_error = error;
    return false;
}

bool RowReader::failSql(const QSqlError& error)
{
    return fail(m_db.errorOf(error));
}

Load RowReader::loadFrom(QSqlQuery& query, Record* record)
{
    if (!query.next()) {
        const QSqlError error = query.lastError();
        query.finish();
        if (error.isValid()) {
            failSql(error);
            return Load::Failed;
        }
        return Load::NoRow;
    }
    record->key = query.value(0).toLongLong();
    record->values = QVariantList(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i)
        record->values[i] = fromStored(m_fields.at(i).type, query.value(i + 1));
    query.finish();
    return Load::Row;
}

Load RowReader::loadRow(qint64 key, Record* record)
{
    QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + m_quoted + QStringLiteral(" WHERE rowid = ?"));
    q.bindValue(0, key);
    if (!q.exec()) {
        failSql(q.lastError());
        return Load::Failed;
    }
    return loadFrom(q, record);
}

bool RowReader::readKeys(const QString& sql, QList<qint64>* keys, const QList<qint64>& bound)
{
    sqlite3* handle = m_db.handle();
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr);
    for (int i = 0; rc == SQLITE_OK && i < bound.size(); ++i)
        rc = sqlite3_bind_int64(statement, i + 1, bound.at(i));
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW)
            keys->append(sqlite3_column_int64(statement, 0));
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        return fail(Error::fromSqlite(rc, message, m_db.path()));
    return true;
}

std::optional<qint64> RowReader::readKey(const QString& sql, const QList<qint64>& bound, qint64 missing)
{
    QList<qint64> keys;
    if (!readKeys(sql, &keys, bound))
        return std::nullopt;
    return keys.isEmpty() ? missing : keys.first();
}

} // namespace store::detail

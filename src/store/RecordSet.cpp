#include "RecordSet.h"

#include "Dialect.h"

#include <QSqlError>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>
#include <limits>

namespace store {

Snapshot::Snapshot(QList<FieldInfo> fields, QList<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows))
{
}

QVariant Snapshot::value(const QString& field) const
{
    if (isEOF() || isBOF())
        return {};
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(field, Qt::CaseInsensitive) == 0)
            return m_rows.at(m_pos).value(i);
    }
    return {};
}

RecordSet::~RecordSet()
{
    close();
}

bool RecordSet::fail(const StoreError& error)
{
    m_error = error;
    return false;
}

bool RecordSet::failSql(const QSqlError& error)
{
    return fail(m_db ? m_db->errorOf(error) : StoreError::fromSql(error, m_path));
}

QSqlQuery& RecordSet::prepared(const QString& sql)
{
    auto& slot = m_queries[sql];
    if (!slot) {
        slot = std::make_shared<QSqlQuery>(m_db->sql());
        slot->setForwardOnly(true);
        slot->prepare(sql);
    }
    return *slot;
}

bool RecordSet::open(const QString& path, const QString& source, StoreError* error)
{
    close();
    m_error = {};
    auto refuse = [&](const StoreError& why) {
        m_error = why;
        if (error)
            *error = why;
        m_db.reset();
        m_queries.clear();
        return false;
    };
    StoreError why;
    m_db = Database::open(path, &why);
    if (!m_db)
        return refuse(why);
    m_path = path;
    m_fields.clear();
    m_index.clear();
    m_keys.clear();
    m_copy.clear();
    m_ownAdded.clear();
    m_baseKeys.clear();
    m_indexed = false;
    m_pos = -1;

    const QString trimmed = source.trimmed();
    const bool isStatement = trimmed.contains(QLatin1Char(' '));
    m_table = isStatement ? singleTableOf(trimmed) : trimmed;
    if (!m_table.isEmpty()) {
        const QString stored = m_db->tableName(m_table);
        if (stored.isEmpty())
            return refuse(StoreError::make(StoreError::Kind::Refused,
                                           QStringLiteral("The database has no table named %1.").arg(m_table)));
        m_table = stored;
        m_fields = m_db->tableFields(m_table);
    }
    if (!isStatement) {
        m_mode = Mode::Table;
        QSqlQuery q(m_db->sql());
        if (!q.exec(QStringLiteral("SELECT max(rowid) FROM ") + Database::quoted(m_table)))
            return refuse(m_db->errorOf(q.lastError()));
        m_snapMax = q.next() ? q.value(0).toLongLong() : 0;
    } else {
        // A record set shows records: a statement that changes them is refused, never run.
        QString refusal;
        const auto sql = translateAccessSelect(trimmed, m_fields, &refusal);
        if (!sql || !sql->startsWith(QLatin1String("select"), Qt::CaseInsensitive))
            return refuse(StoreError::make(StoreError::Kind::Refused,
                                           refusal.isEmpty() ? QStringLiteral("Only a Select statement can be opened "
                                                                              "to show records; nothing was run.")
                                                             : refusal));
        if (!m_table.isEmpty()) {
            // Whole rows of one table: keep the keys, read rows as they are reached.
            m_mode = Mode::Keys;
            const qsizetype from = sql->indexOf(QLatin1String(" from "), 0, Qt::CaseInsensitive);
            const QString keysSql =
                QStringLiteral("SELECT ") + Database::quoted(m_table) + QStringLiteral(".rowid") + sql->mid(from);
            if (!readKeys(keysSql, &m_keys))
                return refuse(m_error);
        } else {
            m_mode = Mode::Copy;
            QSqlQuery q(m_db->sql());
            q.setForwardOnly(true);
            if (!q.exec(*sql))
                return refuse(m_db->errorOf(q.lastError()));
            const QSqlRecord record = q.record();
            for (int i = 0; i < record.count(); ++i)
                m_fields.append({record.fieldName(i), FieldType::Text, false});
            while (q.next()) {
                QVariantList row;
                for (int i = 0; i < record.count(); ++i)
                    row.append(q.value(i));
                m_copy.append(row);
            }
            if (q.lastError().isValid())
                return refuse(m_db->errorOf(q.lastError()));
        }
    }
    for (int i = 0; i < m_fields.size(); ++i)
        m_index.insert(m_fields.at(i).name.toLower(), i);
    Database::sourceOpened(m_path);

    m_state = State::None;
    m_bof = m_eof = true;
    m_row = QVariantList(m_fields.size());
    // The first record becomes current; an empty set has none.
    bool failed = false;
    if (m_mode == Mode::Table) {
        QSqlQuery& first = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                                    QStringLiteral(" WHERE rowid <= ? ORDER BY rowid LIMIT 1"));
        first.bindValue(0, m_snapMax);
        failed = !first.exec() ? (failSql(first.lastError()), true) : loadFrom(first) == Load::Failed;
    } else {
        failed = !setCurrentIndex(0, 1) && m_error.isError();
    }
    if (failed) {
        const StoreError reason = m_error;
        close();
        return refuse(reason);
    }
    moved();
    return true;
}

void RecordSet::close()
{
    if (!m_db)
        return;
    m_queries.clear();
    Database::sourceClosed(m_path);
    m_db.reset();
    m_state = State::None;
    m_bof = m_eof = true;
}

bool RecordSet::readKeys(const QString& sql, QList<qint64>* keys, const QVariantList& bound)
{
    // Read through the engine directly: a million keys in a fraction of the
    // time Qt's row-by-row values would take.
    sqlite3* handle = m_db->handle();
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr);
    for (int i = 0; rc == SQLITE_OK && i < bound.size(); ++i)
        rc = sqlite3_bind_int64(statement, i + 1, bound.at(i).toLongLong());
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW)
            keys->append(sqlite3_column_int64(statement, 0));
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        return fail(StoreError::fromSqlite(rc, message, m_path));
    return true;
}

int RecordSet::fieldIndex(const QString& name) const
{
    return m_index.value(name.toLower(), -1);
}

QVariant RecordSet::value(int field) const
{
    return field >= 0 && field < m_row.size() ? m_row.at(field) : QVariant();
}

QVariant RecordSet::value(const QString& field) const
{
    return value(fieldIndex(field));
}

QVariantList RecordSet::rowFrom(QSqlQuery& query) const
{
    QVariantList row(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i)
        row[i] = fromStored(m_fields.at(i).type, query.value(i + 1));
    return row;
}

RecordSet::Load RecordSet::loadFrom(QSqlQuery& query)
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
    m_key = query.value(0).toLongLong();
    m_row = rowFrom(query);
    query.finish();
    m_state = State::Row;
    m_bof = m_eof = false;
    return Load::Row;
}

RecordSet::Load RecordSet::loadRow(qint64 key)
{
    QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                            QStringLiteral(" WHERE rowid = ?"));
    q.bindValue(0, key);
    if (!q.exec()) {
        failSql(q.lastError());
        return Load::Failed;
    }
    return loadFrom(q);
}

std::optional<QVariantList> RecordSet::readRow(qint64 key)
{
    QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                            QStringLiteral(" WHERE rowid = ?"));
    q.bindValue(0, key);
    if (!q.exec()) {
        failSql(q.lastError());
        return std::nullopt;
    }
    if (!q.next()) {
        if (q.lastError().isValid())
            failSql(q.lastError());
        q.finish();
        return std::nullopt;
    }
    QVariantList row = rowFrom(q);
    q.finish();
    return row;
}

// Makes the record at `index` of the key list current; a key whose row was
// deleted meanwhile is dropped and the next one in `direction` is taken.
bool RecordSet::setCurrentIndex(qsizetype index, int direction)
{
    if (m_mode == Mode::Copy) {
        if (index < 0 || index >= m_copy.size())
            return false;
        m_pos = index;
        m_row = m_copy.at(index);
        m_key = index;
        m_state = State::Row;
        m_bof = m_eof = false;
        return true;
    }
    while (index >= 0 && index < m_keys.size()) {
        switch (loadRow(m_keys.at(index))) {
        case Load::Row:
            m_pos = index;
            return true;
        case Load::Failed:
            return false;
        case Load::NoRow:
            m_keys.removeAt(index);
            if (direction < 0)
                --index;
            break;
        }
    }
    return false;
}

bool RecordSet::leave()
{
    return !beforeLeave || beforeLeave();
}

void RecordSet::moved()
{
    if (afterMove)
        afterMove();
}

// One step through a table in row-id order, over the rows of the snapshot and
// then the rows this set added.
RecordSet::Load RecordSet::tableStep(bool forward)
{
    const qint64 from = m_key;
    if (forward) {
        if (from < m_snapMax || m_state == State::None) {
            QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                                    QStringLiteral(" WHERE rowid > ? AND rowid <= ? ORDER BY rowid LIMIT 1"));
            q.bindValue(0, m_state == State::None ? std::numeric_limits<qint64>::min() : from);
            q.bindValue(1, m_snapMax);
            if (!q.exec()) {
                failSql(q.lastError());
                return Load::Failed;
            }
            if (const Load load = loadFrom(q); load != Load::NoRow)
                return load;
        }
        for (auto it = std::upper_bound(m_ownAdded.cbegin(), m_ownAdded.cend(), from); it != m_ownAdded.cend(); ++it) {
            if (const Load load = loadRow(*it); load != Load::NoRow)
                return load;
        }
        return Load::NoRow;
    }
    auto it = std::lower_bound(m_ownAdded.cbegin(), m_ownAdded.cend(), from);
    while (it != m_ownAdded.cbegin()) {
        --it;
        if (const Load load = loadRow(*it); load != Load::NoRow)
            return load;
    }
    QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                            QStringLiteral(" WHERE rowid < ? AND rowid <= ? ORDER BY rowid DESC LIMIT 1"));
    q.bindValue(0, from);
    q.bindValue(1, m_snapMax);
    if (!q.exec()) {
        failSql(q.lastError());
        return Load::Failed;
    }
    return loadFrom(q);
}

bool RecordSet::MoveFirst()
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    bool found = false;
    if (m_mode == Mode::Table) {
        m_key = std::numeric_limits<qint64>::min();
        m_state = State::None;
        found = tableStep(true) == Load::Row;
    } else {
        found = setCurrentIndex(0, 1);
    }
    if (m_error)
        return false;
    if (!found) {
        m_state = State::None;
        m_bof = m_eof = true;
    }
    moved();
    return found;
}

bool RecordSet::MoveLast()
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    bool found = false;
    if (m_mode == Mode::Table) {
        m_key = std::numeric_limits<qint64>::max();
        found = tableStep(false) == Load::Row;
    } else {
        found = setCurrentIndex(m_mode == Mode::Copy ? m_copy.size() - 1 : m_keys.size() - 1, -1);
    }
    if (m_error)
        return false;
    if (!found) {
        m_state = State::None;
        m_bof = m_eof = true;
    }
    moved();
    return found;
}

bool RecordSet::MoveNext()
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    if (m_state == State::New) {
        CancelUpdate();
        return hasCurrent();
    }
    bool found = false;
    if (m_mode == Mode::Table) {
        found = m_state != State::None && tableStep(true) == Load::Row;
    } else if (m_state != State::None) {
        // After a delete the next key already stands at the old position.
        found = setCurrentIndex(m_state == State::Deleted ? m_pos : m_pos + 1, 1);
    }
    if (m_error)
        return false;
    if (!found) {
        // Stay on the last record, flagged past the end.
        m_eof = true;
        return false;
    }
    moved();
    return true;
}

bool RecordSet::MovePrevious()
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    if (m_state == State::New) {
        CancelUpdate();
        return hasCurrent();
    }
    bool found = false;
    if (m_mode == Mode::Table)
        found = m_state != State::None && tableStep(false) == Load::Row;
    else if (m_state != State::None)
        found = setCurrentIndex(m_pos - 1, -1);
    if (m_error)
        return false;
    if (!found) {
        m_bof = true;
        return false;
    }
    moved();
    return true;
}

bool RecordSet::moveToKey(qint64 key)
{
    m_error = {};
    if (!isOpen() || m_mode == Mode::Copy)
        return false;
    if (m_mode == Mode::Keys) {
        const qsizetype index = m_keys.indexOf(key);
        if (index < 0 || loadRow(key) != Load::Row)
            return false;
        m_pos = index;
        return true;
    }
    if (key > m_snapMax && !std::binary_search(m_ownAdded.cbegin(), m_ownAdded.cend(), key))
        return false;
    return loadRow(key) == Load::Row;
}

bool RecordSet::moveToPosition(qint64 position)
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    if (m_state == State::New)
        CancelUpdate();
    bool found = false;
    if (m_mode == Mode::Table) {
        const auto key = keyAt(position);
        found = key && loadRow(*key) == Load::Row;
    } else {
        found = position >= 0 && position < (m_mode == Mode::Copy ? m_copy.size() : m_keys.size()) &&
                setCurrentIndex(qsizetype(position), 1);
    }
    if (!found)
        return false;
    moved();
    return true;
}

bool RecordSet::buildIndex()
{
    if (m_indexed)
        return true;
    const QString table = Database::quoted(m_table);
    QSqlQuery q(m_db->sql());
    q.setForwardOnly(true);
    // A bare count(*) is the engine's fastest (anything beside it in the same
    // statement makes it read every row); rows added above the snapshot are few.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !q.next())
        return failSql(q.lastError());
    const qint64 all = q.value(0).toLongLong();
    q.finish();
    if (!q.exec(QStringLiteral("SELECT min(rowid) FROM ") + table) || !q.next())
        return failSql(q.lastError());
    const qint64 first = q.value(0).toLongLong();
    q.finish();
    QList<qint64> above;
    if (!readKeys(QStringLiteral("SELECT rowid FROM ") + table + QStringLiteral(" WHERE rowid > ?1"), &above,
                  {m_snapMax}))
        return false;
    m_baseCount = all - above.size();
    m_firstKey = first;
    m_dense = m_baseCount == 0 || m_snapMax - first + 1 == m_baseCount;
    m_baseKeys.clear();
    if (!m_dense &&
        !readKeys(QStringLiteral("SELECT rowid FROM ") + table + QStringLiteral(" WHERE rowid <= ?1 ORDER BY rowid"),
                  &m_baseKeys, {m_snapMax}))
        return false;
    m_indexed = true;
    return true;
}

std::optional<qint64> RecordSet::count()
{
    m_error = {};
    if (!isOpen())
        return 0;
    switch (m_mode) {
    case Mode::Copy:
        return m_copy.size();
    case Mode::Keys:
        return m_keys.size();
    case Mode::Table:
        break;
    }
    if (!buildIndex())
        return std::nullopt;
    return m_baseCount + m_ownAdded.size();
}

std::optional<qint64> RecordSet::keyAt(qint64 position)
{
    if (position < 0 || !isOpen())
        return std::nullopt;
    switch (m_mode) {
    case Mode::Copy:
        return position < m_copy.size() ? std::optional<qint64>(position) : std::nullopt;
    case Mode::Keys:
        return position < m_keys.size() ? std::optional<qint64>(m_keys.at(position)) : std::nullopt;
    case Mode::Table:
        break;
    }
    if (!buildIndex())
        return std::nullopt;
    if (position < m_baseCount)
        return m_dense ? m_firstKey + position : m_baseKeys.at(position);
    position -= m_baseCount;
    return position < m_ownAdded.size() ? std::optional<qint64>(m_ownAdded.at(position)) : std::nullopt;
}

qint64 RecordSet::currentPosition()
{
    if (m_state != State::Row)
        return -1;
    if (m_mode != Mode::Table)
        return m_pos;
    if (!buildIndex())
        return -1;
    if (m_key <= m_snapMax) {
        if (m_dense)
            return m_key - m_firstKey;
        const auto it = std::lower_bound(m_baseKeys.cbegin(), m_baseKeys.cend(), m_key);
        return it != m_baseKeys.cend() && *it == m_key ? it - m_baseKeys.cbegin() : -1;
    }
    const auto it = std::lower_bound(m_ownAdded.cbegin(), m_ownAdded.cend(), m_key);
    return it != m_ownAdded.cend() && *it == m_key ? m_baseCount + (it - m_ownAdded.cbegin()) : -1;
}

std::optional<QVariantList> RecordSet::rowAt(qint64 position)
{
    m_error = {};
    if (m_mode == Mode::Copy)
        return position >= 0 && position < m_copy.size() ? std::optional<QVariantList>(m_copy.at(position))
                                                         : std::nullopt;
    const auto key = keyAt(position);
    if (!key)
        return std::nullopt;
    return readRow(*key);
}

void RecordSet::AddNew()
{
    if (!isOpen() || isReadOnly() || !leave())
        return;
    if (m_state != State::New) {
        m_keyBeforeNew = m_key;
        m_stateBeforeNew = m_state;
    }
    m_state = State::New;
    m_row = QVariantList(m_fields.size());
    moved();
}

void RecordSet::CancelUpdate()
{
    if (m_state != State::New)
        return;
    m_state = State::None;
    m_row = QVariantList(m_fields.size());
    if (m_stateBeforeNew != State::Row || m_mode == Mode::Copy || !moveToKey(m_keyBeforeNew))
        m_bof = m_eof = true;
    // The bound controls still hold what was typed into the dropped record:
    // they must show the record now current before anything writes them back.
    moved();
}

bool RecordSet::Delete(StoreError* error)
{
    m_error = {};
    auto refuse = [&](const StoreError& why) {
        m_error = why;
        if (error)
            *error = why;
        return false;
    };
    if (m_state == State::New) {
        CancelUpdate();
        return true;
    }
    if (!hasCurrent() || isReadOnly())
        return refuse(
            StoreError::make(StoreError::Kind::Refused, QStringLiteral("There is no current record to delete.")));
    Transaction transaction(*m_db);
    if (!transaction.begun())
        return refuse(transaction.error());
    QSqlQuery& q =
        prepared(QStringLiteral("DELETE FROM ") + Database::quoted(m_table) + QStringLiteral(" WHERE rowid = ?"));
    q.bindValue(0, m_key);
    if (!q.exec())
        return refuse(m_db->errorOf(q.lastError()));
    q.finish();
    if (!transaction.commit())
        return refuse(transaction.error());
    if (const auto it = std::lower_bound(m_ownAdded.begin(), m_ownAdded.end(), m_key);
        it != m_ownAdded.end() && *it == m_key)
        m_ownAdded.erase(it);
    else if (m_key <= m_snapMax)
        m_indexed = false; // positions after it moved up by one
    if (m_mode == Mode::Keys)
        m_keys.removeAt(m_pos);
    m_state = State::Deleted;
    return true;
}

bool RecordSet::store(const QHash<int, QVariant>& values, StoreError* error)
{
    m_error = {};
    auto refuse = [&](const StoreError& why) {
        m_error = why;
        if (error)
            *error = why;
        return false;
    };
    if (isReadOnly())
        return refuse(StoreError::make(StoreError::Kind::Refused, QStringLiteral("These records can only be read.")));
    if (m_state != State::New && m_state != State::Row)
        return true;
    QList<int> columns;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        if (it.key() >= 0 && it.key() < m_fields.size() && !m_fields.at(it.key()).isKey)
            columns.append(it.key());
    }
    std::sort(columns.begin(), columns.end());
    if (columns.isEmpty() && m_state == State::Row)
        return true;

    QString sql;
    if (m_state == State::New) {
        QStringList names;
        QStringList marks;
        for (int c : columns) {
            names << Database::quoted(m_fields.at(c).name);
            marks << QStringLiteral("?");
        }
        if (columns.isEmpty())
            sql = QStringLiteral("INSERT INTO ") + Database::quoted(m_table) + QStringLiteral(" DEFAULT VALUES");
        else
            sql = QStringLiteral("INSERT INTO ") + Database::quoted(m_table) + QStringLiteral(" (") +
                  names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                  QLatin1Char(')');
    } else {
        QStringList sets;
        for (int c : columns)
            sets << Database::quoted(m_fields.at(c).name) + QStringLiteral(" = ?");
        sql = QStringLiteral("UPDATE ") + Database::quoted(m_table) + QStringLiteral(" SET ") +
              sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ?");
    }
    QSqlQuery& q = prepared(sql);
    int place = 0;
    for (int c : columns)
        q.bindValue(place++, toStored(m_fields.at(c).type, values.value(c)));
    if (m_state == State::Row)
        q.bindValue(place, m_key);

    Transaction transaction(*m_db);
    if (!transaction.begun())
        return refuse(transaction.error());
    if (!q.exec())
        return refuse(m_db->errorOf(q.lastError()));
    const qint64 key = m_state == State::New ? q.lastInsertId().toLongLong() : m_key;
    q.finish();
    if (!transaction.commit())
        return refuse(transaction.error());
    if (m_state == State::New) {
        if (m_mode == Mode::Table) {
            if (key > m_snapMax)
                m_ownAdded.insert(std::upper_bound(m_ownAdded.begin(), m_ownAdded.end(), key), key);
        } else if (m_mode == Mode::Keys) {
            m_keys.append(key);
            m_pos = m_keys.size() - 1;
        }
    }
    // Read the row back, so store-assigned values (the record number) show.
    if (loadRow(key) != Load::Row) {
        m_error = {}; // stored all the same; show what was written
        m_key = key;
        m_state = State::Row;
        for (int c : columns)
            m_row[c] = values.value(c);
    }
    return true;
}

std::unique_ptr<Snapshot> RecordSet::OpenRecordset() const
{
    if (!isOpen())
        return nullptr;
    if (m_mode == Mode::Copy)
        return std::make_unique<Snapshot>(m_fields, m_copy);
    QList<QVariantList> rows;
    QSqlQuery q(m_db->sql());
    q.setForwardOnly(true);
    if (m_mode == Mode::Table) {
        q.prepare(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                  QStringLiteral(" WHERE rowid <= ? ORDER BY rowid"));
        q.bindValue(0, m_snapMax);
        if (q.exec()) {
            while (q.next())
                rows.append(rowFrom(q));
        }
        for (qint64 key : m_ownAdded) {
            q.prepare(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                      QStringLiteral(" WHERE rowid = ?"));
            q.bindValue(0, key);
            if (q.exec() && q.next())
                rows.append(rowFrom(q));
        }
    } else {
        q.prepare(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                  QStringLiteral(" WHERE rowid = ?"));
        for (qint64 key : m_keys) {
            q.bindValue(0, key);
            if (q.exec() && q.next())
                rows.append(rowFrom(q));
        }
    }
    return std::make_unique<Snapshot>(m_fields, rows);
}

} // namespace store

#include "RecordSet.h"

#include "Dialect.h"

#include <QSqlError>
#include <QSqlRecord>

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

bool RecordSet::open(const QString& path, const QString& source, QString* error)
{
    close();
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        m_db.reset();
        m_queries.clear();
        return false;
    };
    QString why;
    m_db = Database::open(path, &why);
    if (!m_db)
        return fail(why);
    m_path = path;
    m_fields.clear();
    m_index.clear();
    m_keys.clear();
    m_copy.clear();
    m_ownAdded.clear();

    const QString trimmed = source.trimmed();
    const bool isStatement = trimmed.contains(QLatin1Char(' '));
    m_table = isStatement ? singleTableOf(trimmed) : trimmed;
    if (!m_table.isEmpty()) {
        const QString stored = m_db->tableName(m_table);
        if (stored.isEmpty())
            return fail(QStringLiteral("The database has no table named %1.").arg(m_table));
        m_table = stored;
        m_fields = m_db->tableFields(m_table);
    }
    if (!isStatement) {
        m_mode = Mode::Table;
        QSqlQuery q(m_db->sql());
        if (!q.exec(QStringLiteral("SELECT max(rowid) FROM ") + Database::quoted(m_table)))
            return fail(q.lastError().text());
        m_snapMax = q.next() ? q.value(0).toLongLong() : 0;
    } else {
        const auto sql = translateAccessSql(trimmed, &why);
        if (!sql)
            return fail(why);
        QSqlQuery q(m_db->sql());
        q.setForwardOnly(true);
        if (!m_table.isEmpty()) {
            // Whole rows of one table: keep the keys, read rows as they are reached.
            m_mode = Mode::Keys;
            const qsizetype from = sql->indexOf(QLatin1String(" from "), 0, Qt::CaseInsensitive);
            const QString keysSql =
                QStringLiteral("SELECT ") + Database::quoted(m_table) + QStringLiteral(".rowid") + sql->mid(from);
            if (!q.exec(keysSql))
                return fail(q.lastError().text());
            while (q.next())
                m_keys.append(q.value(0).toLongLong());
        } else {
            m_mode = Mode::Copy;
            if (!q.exec(*sql))
                return fail(q.lastError().text());
            const QSqlRecord record = q.record();
            for (int i = 0; i < record.count(); ++i)
                m_fields.append({record.fieldName(i), FieldType::Text, false});
            while (q.next()) {
                QVariantList row;
                for (int i = 0; i < record.count(); ++i)
                    row.append(q.value(i));
                m_copy.append(row);
            }
        }
    }
    for (int i = 0; i < m_fields.size(); ++i)
        m_index.insert(m_fields.at(i).name.toLower(), i);
    Database::sourceOpened(m_path);

    m_state = State::None;
    m_bof = m_eof = true;
    m_row = QVariantList(m_fields.size());
    // The first record becomes current; an empty set has none.
    if (m_mode == Mode::Table) {
        QSqlQuery& first = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                                    QStringLiteral(" WHERE rowid <= ? ORDER BY rowid LIMIT 1"));
        first.bindValue(0, m_snapMax);
        if (!first.exec())
            return fail(first.lastError().text());
        loadFrom(first);
    } else {
        setCurrentIndex(0);
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

bool RecordSet::loadFrom(QSqlQuery& query)
{
    if (!query.next()) {
        query.finish();
        return false;
    }
    m_key = query.value(0).toLongLong();
    m_row = QVariantList(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i)
        m_row[i] = fromStored(m_fields.at(i).type, query.value(i + 1));
    query.finish();
    m_state = State::Row;
    m_bof = m_eof = false;
    return true;
}

bool RecordSet::loadRow(qint64 key)
{
    QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                            QStringLiteral(" WHERE rowid = ?"));
    q.bindValue(0, key);
    if (!q.exec())
        return false;
    return loadFrom(q);
}

bool RecordSet::setCurrentIndex(qsizetype index)
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
    // Key mode: skip keys whose rows were deleted meanwhile.
    while (index >= 0 && index < m_keys.size()) {
        if (loadRow(m_keys.at(index))) {
            m_pos = index;
            return true;
        }
        m_keys.removeAt(index);
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
bool RecordSet::tableStep(bool forward)
{
    const qint64 from = m_key;
    if (forward) {
        if (from < m_snapMax || m_state == State::None) {
            QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                                    QStringLiteral(" WHERE rowid > ? AND rowid <= ? ORDER BY rowid LIMIT 1"));
            q.bindValue(0, m_state == State::None ? std::numeric_limits<qint64>::min() : from);
            q.bindValue(1, m_snapMax);
            if (q.exec() && loadFrom(q))
                return true;
        }
        for (auto it = m_ownAdded.upper_bound(from); it != m_ownAdded.end(); ++it) {
            if (loadRow(*it))
                return true;
        }
        return false;
    }
    for (auto it = std::make_reverse_iterator(m_ownAdded.lower_bound(from)); it != m_ownAdded.rend(); ++it) {
        if (loadRow(*it))
            return true;
    }
    QSqlQuery& q = prepared(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                            QStringLiteral(" WHERE rowid < ? AND rowid <= ? ORDER BY rowid DESC LIMIT 1"));
    q.bindValue(0, from);
    q.bindValue(1, m_snapMax);
    return q.exec() && loadFrom(q);
}

bool RecordSet::MoveFirst()
{
    if (!isOpen() || !leave())
        return false;
    bool found = false;
    if (m_mode == Mode::Table) {
        m_key = std::numeric_limits<qint64>::min();
        m_state = State::None;
        found = tableStep(true);
    } else {
        found = setCurrentIndex(0);
    }
    if (!found) {
        m_state = State::None;
        m_bof = m_eof = true;
    }
    moved();
    return found;
}

bool RecordSet::MoveLast()
{
    if (!isOpen() || !leave())
        return false;
    bool found = false;
    if (m_mode == Mode::Table) {
        m_key = std::numeric_limits<qint64>::max();
        found = tableStep(false);
    } else {
        found = setCurrentIndex(m_mode == Mode::Copy ? m_copy.size() - 1 : m_keys.size() - 1);
    }
    if (!found) {
        m_state = State::None;
        m_bof = m_eof = true;
    }
    moved();
    return found;
}

bool RecordSet::MoveNext()
{
    if (!isOpen() || !leave())
        return false;
    if (m_state == State::New) {
        CancelUpdate();
        return hasCurrent();
    }
    bool found = false;
    if (m_mode == Mode::Table) {
        found = m_state != State::None && tableStep(true);
    } else if (m_state != State::None) {
        // After a delete the next key already stands at the old position.
        found = setCurrentIndex(m_state == State::Deleted ? m_pos : m_pos + 1);
    }
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
    if (!isOpen() || !leave())
        return false;
    if (m_state == State::New) {
        CancelUpdate();
        return hasCurrent();
    }
    bool found = false;
    if (m_mode == Mode::Table)
        found = m_state != State::None && tableStep(false);
    else if (m_state != State::None)
        found = setCurrentIndex(m_pos - 1);
    if (!found) {
        m_bof = true;
        return false;
    }
    moved();
    return true;
}

bool RecordSet::moveToKey(qint64 key)
{
    if (!isOpen() || m_mode == Mode::Copy)
        return false;
    if (m_mode == Mode::Keys) {
        const qsizetype index = m_keys.indexOf(key);
        return index >= 0 && setCurrentIndex(index);
    }
    if (key > m_snapMax && !m_ownAdded.count(key))
        return false;
    return loadRow(key);
}

qint64 RecordSet::RecordCount()
{
    if (!isOpen())
        return 0;
    if (m_mode == Mode::Copy)
        return m_copy.size();
    if (m_mode == Mode::Keys)
        return m_keys.size();
    // All rows, less those added by others since the snapshot, plus our own.
    QSqlQuery q(m_db->sql());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM ") + Database::quoted(m_table)) || !q.next())
        return 0;
    qint64 count = q.value(0).toLongLong();
    q.finish();
    QSqlQuery& above =
        prepared(QStringLiteral("SELECT rowid FROM ") + Database::quoted(m_table) + QStringLiteral(" WHERE rowid > ?"));
    above.bindValue(0, m_snapMax);
    if (above.exec()) {
        while (above.next()) {
            if (!m_ownAdded.count(above.value(0).toLongLong()))
                --count;
        }
        above.finish();
    }
    return count;
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

bool RecordSet::Delete(QString* error)
{
    if (m_state == State::New) {
        CancelUpdate();
        return true;
    }
    if (!hasCurrent() || isReadOnly()) {
        if (error)
            *error = QStringLiteral("There is no current record to delete.");
        return false;
    }
    Transaction transaction(*m_db);
    QSqlQuery& q =
        prepared(QStringLiteral("DELETE FROM ") + Database::quoted(m_table) + QStringLiteral(" WHERE rowid = ?"));
    q.bindValue(0, m_key);
    if (!transaction.begun() || !q.exec()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    q.finish();
    if (!transaction.commit(error))
        return false;
    m_ownAdded.erase(m_key);
    if (m_mode == Mode::Keys)
        m_keys.removeAt(m_pos);
    m_state = State::Deleted;
    return true;
}

bool RecordSet::store(const QHash<int, QVariant>& values, QString* error)
{
    if (isReadOnly()) {
        if (error)
            *error = QStringLiteral("These records can only be read.");
        return false;
    }
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
    if (!transaction.begun() || !q.exec()) {
        if (error)
            *error = transaction.begun() ? q.lastError().text() : m_db->sql().lastError().text();
        return false;
    }
    const qint64 key = m_state == State::New ? q.lastInsertId().toLongLong() : m_key;
    q.finish();
    if (!transaction.commit(error))
        return false;
    if (m_state == State::New) {
        if (m_mode == Mode::Table) {
            if (key > m_snapMax)
                m_ownAdded.insert(key);
        } else if (m_mode == Mode::Keys) {
            m_keys.append(key);
            m_pos = m_keys.size() - 1;
        }
    }
    // Read the row back, so store-assigned values (the record number) show.
    if (!loadRow(key)) {
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
    auto readRow = [&] {
        QVariantList row;
        for (int i = 0; i < m_fields.size(); ++i)
            row.append(fromStored(m_fields.at(i).type, q.value(i + 1)));
        rows.append(row);
    };
    if (m_mode == Mode::Table) {
        q.prepare(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                  QStringLiteral(" WHERE rowid <= ? ORDER BY rowid"));
        q.bindValue(0, m_snapMax);
        if (q.exec()) {
            while (q.next())
                readRow();
        }
        for (qint64 key : m_ownAdded) {
            q.prepare(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                      QStringLiteral(" WHERE rowid = ?"));
            q.bindValue(0, key);
            if (q.exec() && q.next())
                readRow();
        }
    } else {
        q.prepare(QStringLiteral("SELECT rowid, * FROM ") + Database::quoted(m_table) +
                  QStringLiteral(" WHERE rowid = ?"));
        for (qint64 key : m_keys) {
            q.bindValue(0, key);
            if (q.exec() && q.next())
                readRow();
        }
    }
    return std::make_unique<Snapshot>(m_fields, rows);
}

} // namespace store

#include "RecordSet.h"

#include "Dialect.h"
#include "FieldValue.h"
#include "RecordCursor.h"

#include <QSqlError>

#include <algorithm>

namespace store {

using detail::Load;
using detail::Record;

RecordSet::RecordSet() = default;

RecordSet::~RecordSet()
{
    close();
}

bool RecordSet::fail(const Error& error)
{
    m_error = error;
    return false;
}

bool RecordSet::open(const QString& path, const QString& source, Error* error)
{
    close();
    m_error = {};
    Error why;
    m_db = Database::open(path, &why);
    if (m_db) {
        m_path = path;
        if (openSource(source.trimmed())) {
            for (int i = 0; i < m_fields.size(); ++i)
                m_index.insert(m_fields.at(i).name.toLower(), i);
            Database::sourceOpened(m_path);
            m_state = State::None;
            m_bof = m_eof = true;
            m_row = QVariantList(m_fields.size());
            // The first record becomes current; an empty set has none.
            Record record;
            const Load load = m_cursor->first(&record);
            if (load != Load::Failed) {
                take(int(load), record);
                moved();
                return true;
            }
            why = m_error;
            close();
        } else {
            why = m_error;
        }
    }
    m_error = why;
    if (error)
        *error = why;
    m_cursor.reset();
    m_reader.reset();
    m_db.reset();
    return false;
}

// Picks the cursor for a table name or a select statement.
bool RecordSet::openSource(const QString& source)
{
    m_fields.clear();
    m_index.clear();
    const bool isStatement = source.contains(QLatin1Char(' '));
    m_table = isStatement ? singleTableOf(source) : source;
    if (!m_table.isEmpty()) {
        const QString stored = m_db->tableName(m_table);
        if (stored.isEmpty())
            return fail(
                Error::make(Error::Kind::Refused, QStringLiteral("The database has no table named %1.").arg(m_table)));
        m_table = stored;
        m_fields = m_db->tableFields(m_table);
    }
    m_reader = std::make_unique<detail::RowReader>(*m_db, m_table, m_fields, m_error);
    m_readOnly = false;
    if (!isStatement) {
        const auto snapMax =
            m_reader->readKey(QStringLiteral("SELECT max(rowid) FROM ") + m_reader->quotedTable(), {}, 0);
        if (!snapMax)
            return false;
        m_cursor = std::make_unique<detail::TableCursor>(*m_reader, *snapMax);
        return true;
    }
    // A record set shows records: a statement that changes them is refused, never run.
    Error refusal;
    const auto sql = translateAccessSelect(source, m_fields, &refusal);
    if (!sql || !sql->startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        return fail(refusal ? refusal
                            : Error::make(Error::Kind::Refused, QStringLiteral("Only a Select statement can be opened "
                                                                               "to show records; nothing was run.")));
    if (!m_table.isEmpty()) {
        // Whole rows of one table: keep the keys, read rows as they are reached.
        const qsizetype from = sql->indexOf(QLatin1String(" from "), 0, Qt::CaseInsensitive);
        QList<qint64> keys;
        if (!m_reader->readKeys(
                QStringLiteral("SELECT ") + m_reader->quotedTable() + QStringLiteral(".rowid") + sql->mid(from), &keys))
            return false;
        m_cursor = std::make_unique<detail::KeyCursor>(*m_reader, std::move(keys));
        return true;
    }
    m_readOnly = true;
    Error why;
    m_cursor = detail::CopyCursor::read(*m_db, *sql, &m_fields, &why);
    return m_cursor ? true : fail(why);
}

void RecordSet::close()
{
    if (!m_db)
        return;
    m_cursor.reset();
    m_reader.reset();
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

bool RecordSet::leave()
{
    return !beforeLeave || beforeLeave();
}

void RecordSet::moved()
{
    if (afterMove)
        afterMove();
}

// A record the cursor reached becomes current; true when there was one.
bool RecordSet::take(int load, const Record& record)
{
    if (Load(load) != Load::Row)
        return false;
    m_key = record.key;
    m_row = record.values;
    m_state = State::Row;
    m_bof = m_eof = false;
    return true;
}

// The end of MoveFirst and MoveLast: an empty set has no current record.
bool RecordSet::arrive(bool found)
{
    if (m_error)
        return false;
    if (!found) {
        m_state = State::None;
        m_bof = m_eof = true;
    }
    moved();
    return found;
}

bool RecordSet::MoveFirst()
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    Record record;
    return arrive(take(int(m_cursor->first(&record)), record));
}

bool RecordSet::MoveLast()
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    Record record;
    return arrive(take(int(m_cursor->last(&record)), record));
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
    Record record;
    const bool found = m_state != State::None && take(int(m_cursor->next(m_key, &record)), record);
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
    Record record;
    const bool found = m_state != State::None && take(int(m_cursor->previous(m_key, &record)), record);
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
    if (!isOpen())
        return false;
    Record record;
    return take(int(m_cursor->toKey(key, &record)), record);
}

bool RecordSet::moveToPosition(qint64 position)
{
    m_error = {};
    if (!isOpen() || !leave())
        return false;
    if (m_state == State::New)
        CancelUpdate();
    Record record;
    if (!take(int(m_cursor->toPosition(position, &record)), record))
        return false;
    moved();
    return true;
}

std::optional<qint64> RecordSet::count()
{
    m_error = {};
    if (!isOpen())
        return 0;
    return m_cursor->count();
}

std::optional<qint64> RecordSet::keyAt(qint64 position)
{
    if (position < 0 || !isOpen())
        return std::nullopt;
    return m_cursor->keyAt(position);
}

qint64 RecordSet::currentPosition()
{
    return m_state == State::Row ? m_cursor->positionOf(m_key) : -1;
}

std::optional<QVariantList> RecordSet::rowAt(qint64 position)
{
    m_error = {};
    if (!isOpen())
        return std::nullopt;
    return m_cursor->rowAt(position);
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
    if (m_stateBeforeNew != State::Row || isReadOnly() || !moveToKey(m_keyBeforeNew))
        m_bof = m_eof = true;
    // The bound controls still hold what was typed into the dropped record:
    // they must show the record now current before anything writes them back.
    moved();
}

bool RecordSet::Delete(Error* error)
{
    m_error = {};
    auto refuse = [&](const Error& why) {
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
        return refuse(Error::make(Error::Kind::Refused, QStringLiteral("There is no current record to delete.")));
    Transaction transaction(*m_db);
    if (!transaction.begun())
        return refuse(transaction.error());
    QSqlQuery& q = m_reader->prepared(QStringLiteral("DELETE FROM ") + m_reader->quotedTable() +
                                      QStringLiteral(" WHERE rowid = ?"));
    q.bindValue(0, m_key);
    if (!q.exec())
        return refuse(m_db->errorOf(q.lastError()));
    q.finish();
    if (!transaction.commit())
        return refuse(transaction.error());
    m_cursor->removed(m_key);
    m_state = State::Deleted;
    return true;
}

// The insert of a new record or the update of the current one, of these columns.
QString RecordSet::writeSql(const QList<int>& columns) const
{
    const QString table = m_reader->quotedTable();
    if (m_state != State::New) {
        QStringList sets;
        for (int c : columns)
            sets << Database::quoted(m_fields.at(c).name) + QStringLiteral(" = ?");
        return QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + sets.join(QStringLiteral(", ")) +
               QStringLiteral(" WHERE rowid = ?");
    }
    if (columns.isEmpty())
        return QStringLiteral("INSERT INTO ") + table + QStringLiteral(" DEFAULT VALUES");
    QStringList names;
    QStringList marks;
    for (int c : columns) {
        names << Database::quoted(m_fields.at(c).name);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + names.join(QStringLiteral(", ")) +
           QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

bool RecordSet::store(const QHash<int, QVariant>& values, Error* error)
{
    m_error = {};
    auto refuse = [&](const Error& why) {
        m_error = why;
        if (error)
            *error = why;
        return false;
    };
    if (isReadOnly())
        return refuse(Error::make(Error::Kind::Refused, QStringLiteral("These records can only be read.")));
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

    QSqlQuery& q = m_reader->prepared(writeSql(columns));
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
    if (m_state == State::New)
        m_cursor->added(key);
    // Read the row back, so store-assigned values (the record number) show.
    Record record;
    if (!take(int(m_reader->loadRow(key, &record)), record)) {
        m_error = {}; // stored all the same; show what was written
        m_key = key;
        m_state = State::Row;
        for (int c : columns)
            m_row[c] = values.value(c);
    }
    return true;
}

} // namespace store

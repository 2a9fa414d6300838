#include "RecordCursor.h"

#include <QSqlError>
#include <QSqlRecord>

namespace store::detail {

// Makes the record at `index` of the key list current; a key whose row was
// deleted meanwhile is dropped and the next one in `direction` is taken.
Load KeyCursor::toIndex(qsizetype index, int direction, Record* record)
{
    while (index >= 0 && index < m_keys.size()) {
        switch (m_reader.loadRow(m_keys.at(index), record)) {
        case Load::Row:
            m_pos = index;
            m_onRemoved = false;
            return Load::Row;
        case Load::Failed:
            return Load::Failed;
        case Load::NoRow:
            m_keys.removeAt(index);
            if (direction < 0)
                --index;
            break;
        }
    }
    return Load::NoRow;
}

Load KeyCursor::next(qint64, Record* record)
{
    // After a removal the next key already stands at the old position.
    return toIndex(m_onRemoved ? m_pos : m_pos + 1, 1, record);
}

Load KeyCursor::previous(qint64, Record* record)
{
    return toIndex(m_pos - 1, -1, record);
}

Load KeyCursor::toKey(qint64 key, Record* record)
{
    const qsizetype index = m_keys.indexOf(key);
    if (index < 0)
        return Load::NoRow;
    const Load load = m_reader.loadRow(key, record);
    if (load == Load::Row) {
        m_pos = index;
        m_onRemoved = false;
    }
    return load;
}

Load KeyCursor::toPosition(qint64 position, Record* record)
{
    return position >= 0 && position < m_keys.size() ? toIndex(qsizetype(position), 1, record) : Load::NoRow;
}

std::optional<qint64> KeyCursor::keyAt(qint64 position)
{
    if (position < 0 || position >= m_keys.size())
        return std::nullopt;
    return m_keys.at(position);
}

std::optional<QVariantList> KeyCursor::rowAt(qint64 position)
{
    const auto key = keyAt(position);
    Record record;
    if (!key || m_reader.loadRow(*key, &record) != Load::Row)
        return std::nullopt;
    return record.values;
}

void KeyCursor::added(qint64 key)
{
    m_keys.append(key);
    m_pos = m_keys.size() - 1;
    m_onRemoved = false;
}

void KeyCursor::removed(qint64)
{
    m_keys.removeAt(m_pos);
    m_onRemoved = true;
}

std::unique_ptr<CopyCursor> CopyCursor::read(Database& db, const QString& sql, QList<FieldInfo>* fields, Error* error)
{
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        *error = db.errorOf(q.lastError());
        return nullptr;
    }
    auto cursor = std::make_unique<CopyCursor>();
    const QSqlRecord columns = q.record();
    for (int i = 0; i < columns.count(); ++i)
        fields->append({columns.fieldName(i), FieldType::Text, false});
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < columns.count(); ++i)
            row.append(q.value(i));
        cursor->m_rows.append(row);
    }
    if (q.lastError().isValid()) {
        *error = db.errorOf(q.lastError());
        return nullptr;
    }
    return cursor;
}

Load CopyCursor::toPosition(qint64 position, Record* record)
{
    if (position < 0 || position >= m_rows.size())
        return Load::NoRow;
    m_pos = qsizetype(position);
    record->key = position;
    record->values = m_rows.at(m_pos);
    return Load::Row;
}

std::optional<qint64> CopyCursor::keyAt(qint64 position)
{
    return position >= 0 && position < m_rows.size() ? std::optional<qint64>(position) : std::nullopt;
}

std::optional<QVariantList> CopyCursor::rowAt(qint64 position)
{
    if (position < 0 || position >= m_rows.size())
        return std::nullopt;
    return m_rows.at(position);
}

} // namespace store::detail

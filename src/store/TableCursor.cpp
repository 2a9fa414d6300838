#include "RecordCursor.h"

#include <QSqlError>

#include <algorithm>
#include <limits>

namespace store::detail {

Load TableCursor::first(Record* record)
{
    return step(std::numeric_limits<qint64>::min(), true, record);
}

Load TableCursor::last(Record* record)
{
    return step(std::numeric_limits<qint64>::max(), false, record);
}

// The next (previous) row of the snapshot in row-id order.
Load TableCursor::stepSnapshot(qint64 from, bool forward, Record* record)
{
    QSqlQuery& q = m_reader.prepared(
        QStringLiteral("SELECT rowid, * FROM ") + m_reader.quotedTable() +
        (forward ? QStringLiteral(" WHERE rowid > ? AND rowid <= ? ORDER BY rowid LIMIT 1")
                 : QStringLiteral(" WHERE rowid < ? AND rowid <= ? ORDER BY rowid DESC LIMIT 1")));
    q.bindValue(0, from);
    q.bindValue(1, m_snapMax);
    if (!q.exec()) {
        m_reader.failSql(q.lastError());
        return Load::Failed;
    }
    return m_reader.loadFrom(q, record);
}

// One step in row-id order, over the rows of the snapshot and then the rows
// this set added.
Load TableCursor::step(qint64 from, bool forward, Record* record)
{
    if (forward) {
        if (from < m_snapMax) {
            if (const Load load = stepSnapshot(from, true, record); load != Load::NoRow)
                return load;
        }
        for (auto it = std::upper_bound(m_ownAdded.cbegin(), m_ownAdded.cend(), from); it != m_ownAdded.cend(); ++it) {
            if (const Load load = m_reader.loadRow(*it, record); load != Load::NoRow)
                return load;
        }
        return Load::NoRow;
    }
    auto it = std::lower_bound(m_ownAdded.cbegin(), m_ownAdded.cend(), from);
    while (it != m_ownAdded.cbegin()) {
        --it;
        if (const Load load = m_reader.loadRow(*it, record); load != Load::NoRow)
            return load;
    }
    return stepSnapshot(from, false, record);
}

Load TableCursor::toKey(qint64 key, Record* record)
{
    if (key > m_snapMax && !std::binary_search(m_ownAdded.cbegin(), m_ownAdded.cend(), key))
        return Load::NoRow;
    return m_reader.loadRow(key, record);
}

Load TableCursor::toPosition(qint64 position, Record* record)
{
    const auto key = keyAt(position);
    return key ? m_reader.loadRow(*key, record) : Load::NoRow;
}

std::optional<qint64> TableCursor::count()
{
    const auto base = m_positions.count();
    if (!base)
        return std::nullopt;
    return *base + m_ownAdded.size();
}

std::optional<qint64> TableCursor::keyAt(qint64 position)
{
    if (position < 0)
        return std::nullopt;
    const auto base = m_positions.count();
    if (!base)
        return std::nullopt;
    if (position < *base)
        return m_positions.keyAt(position);
    position -= *base;
    return position < m_ownAdded.size() ? std::optional<qint64>(m_ownAdded.at(position)) : std::nullopt;
}

qint64 TableCursor::positionOf(qint64 key)
{
    if (key <= m_snapMax)
        return m_positions.positionOf(key);
    const auto base = m_positions.count();
    if (!base)
        return -1;
    const auto it = std::lower_bound(m_ownAdded.cbegin(), m_ownAdded.cend(), key);
    return it != m_ownAdded.cend() && *it == key ? *base + (it - m_ownAdded.cbegin()) : -1;
}

std::optional<QVariantList> TableCursor::rowAt(qint64 position)
{
    const auto key = keyAt(position);
    Record record;
    if (!key || m_reader.loadRow(*key, &record) != Load::Row)
        return std::nullopt;
    return record.values;
}

void TableCursor::added(qint64 key)
{
    if (key > m_snapMax)
        m_ownAdded.insert(std::upper_bound(m_ownAdded.begin(), m_ownAdded.end(), key), key);
}

void TableCursor::removed(qint64 key)
{
    if (const auto it = std::lower_bound(m_ownAdded.begin(), m_ownAdded.end(), key);
        it != m_ownAdded.end() && *it == key)
        m_ownAdded.erase(it);
    else if (key <= m_snapMax)
        m_positions.removed(key);
}

} // namespace store::detail

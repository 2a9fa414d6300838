#include "RecordCursor.h"

#include <QSqlError>

namespace store::detail {

namespace {
// Positions remembered before the list starts afresh: a grid scrolled through
// a million calls remembers what it showed, not the million.
constexpr qsizetype kMaxRemembered = 4096;
} // namespace

// The count, the first and the last row id up to m_upTo. A bare count(*) is
// the engine's fastest (anything beside it in the same statement makes it
// read every row); rows above m_upTo are few, and the ends are two seeks.
bool TablePositions::survey()
{
    if (m_surveyed)
        return true;
    const QString table = m_reader.quotedTable();
    const auto all = m_reader.readKey(QStringLiteral("SELECT count(*) FROM ") + table, {}, 0);
    const auto above =
        all ? m_reader.readKey(QStringLiteral("SELECT count(*) FROM ") + table + QStringLiteral(" WHERE rowid > ?1"),
                               {m_upTo}, 0)
            : std::nullopt;
    const auto first = above ? m_reader.readKey(QStringLiteral("SELECT min(rowid) FROM ") + table +
                                                    QStringLiteral(" WHERE rowid <= ?1"),
                                                {m_upTo}, 0)
                             : std::nullopt;
    const auto last = first ? m_reader.readKey(QStringLiteral("SELECT max(rowid) FROM ") + table +
                                                   QStringLiteral(" WHERE rowid <= ?1"),
                                               {m_upTo}, 0)
                            : std::nullopt;
    if (!last)
        return false;
    m_count = *all - *above;
    m_first = *first;
    m_last = *last;
    m_keyOf.clear();
    m_positionOf.clear();
    m_surveyed = true;
    return true;
}

std::optional<qint64> TablePositions::count()
{
    if (!survey())
        return std::nullopt;
    return m_count;
}

void TablePositions::remember(qint64 position, qint64 key)
{
    if (m_keyOf.size() >= kMaxRemembered) {
        m_keyOf.clear();
        m_positionOf.clear();
    }
    m_keyOf.insert(position, key);
    m_positionOf.insert(key, position);
}

std::optional<qint64> TablePositions::keyAt(qint64 position)
{
    if (!survey() || position < 0 || position >= m_count)
        return std::nullopt;
    if (dense())
        return m_first + position;
    // The nearest known positions below and above: the ends, or ones reached before.
    qint64 belowAt = 0, below = m_first, aboveAt = m_count - 1, above = m_last;
    auto it = m_keyOf.lowerBound(position);
    if (it != m_keyOf.end()) {
        if (it.key() == position)
            return it.value();
        aboveAt = it.key();
        above = it.value();
    }
    if (it != m_keyOf.begin()) {
        --it;
        belowAt = it.key();
        below = it.value();
    }
    // No row is missing between them: the key is a sum.
    if (above - below == aboveAt - belowAt)
        return below + (position - belowAt);
    const bool forward = position - belowAt <= aboveAt - position;
    const auto key =
        forward ? m_reader.readKey(QStringLiteral("SELECT rowid FROM ") + m_reader.quotedTable() +
                                       QStringLiteral(" WHERE rowid >= ?1 ORDER BY rowid LIMIT 1 OFFSET ?2"),
                                   {below, position - belowAt}, -1)
                : m_reader.readKey(QStringLiteral("SELECT rowid FROM ") + m_reader.quotedTable() +
                                       QStringLiteral(" WHERE rowid <= ?1 ORDER BY rowid DESC LIMIT 1 OFFSET ?2"),
                                   {above, aboveAt - position}, -1);
    if (!key || *key < 0)
        return std::nullopt; // a failure, or rows deleted meanwhile by another program
    remember(position, *key);
    return *key;
}

qint64 TablePositions::positionOf(qint64 key)
{
    if (!survey() || key < m_first || key > m_last)
        return -1;
    if (dense())
        return key - m_first;
    qint64 belowAt = 0, below = m_first, aboveAt = m_count - 1, above = m_last;
    auto it = m_positionOf.lowerBound(key);
    if (it != m_positionOf.end()) {
        if (it.key() == key)
            return it.value();
        above = it.key();
        aboveAt = it.value();
    }
    if (it != m_positionOf.begin()) {
        --it;
        below = it.key();
        belowAt = it.value();
    }
    if (above - below == aboveAt - belowAt)
        return belowAt + (key - below);
    const bool forward = key - below <= above - key;
    const auto between =
        forward ? m_reader.readKey(QStringLiteral("SELECT count(*) FROM ") + m_reader.quotedTable() +
                                       QStringLiteral(" WHERE rowid > ?1 AND rowid <= ?2"),
                                   {below, key}, 0)
                : m_reader.readKey(QStringLiteral("SELECT count(*) FROM ") + m_reader.quotedTable() +
                                       QStringLiteral(" WHERE rowid >= ?1 AND rowid < ?2"),
                                   {key, above}, 0);
    if (!between)
        return -1;
    const qint64 position = forward ? belowAt + *between : aboveAt - *between;
    remember(position, key);
    return position;
}

void TablePositions::removed(qint64 key)
{
    if (!m_surveyed || key < m_first || key > m_last)
        return;
    if (key == m_first || key == m_last || m_count <= 1) {
        m_surveyed = false; // a new end: taken again on next use
        return;
    }
    --m_count;
    QMap<qint64, qint64> keyOf;
    QMap<qint64, qint64> positionOf;
    for (auto it = m_positionOf.cbegin(); it != m_positionOf.cend(); ++it) {
        if (it.key() == key)
            continue;
        const qint64 position = it.key() > key ? it.value() - 1 : it.value();
        keyOf.insert(position, it.key());
        positionOf.insert(it.key(), position);
    }
    m_keyOf = std::move(keyOf);
    m_positionOf = std::move(positionOf);
}

} // namespace store::detail

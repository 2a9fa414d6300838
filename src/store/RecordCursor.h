#pragma once

// The ways a record set walks its records, one cursor per kind of source:
// a table opened by name, the keys a select of whole rows found, and a
// read-only copy of any other select. Private to the store.
#include "Database.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSqlQuery>
#include <QVariant>

#include <memory>
#include <optional>

namespace store::detail {

enum class Load { Row, NoRow, Failed };

/// One record as read: its row id (its index in a copy) and its values.
struct Record {
    qint64 key = 0;
    QVariantList values;
};

/// Reads rows of one table for the cursors, with prepared statements kept for
/// reuse. A failure is written into the error the set reports.
class RowReader {
public:
    RowReader(Database& db, const QString& table, const QList<FieldInfo>& fields, Error& error);

    Database& database() { return m_db; }
    /// The table's name quoted for a statement.
    const QString& quotedTable() const { return m_quoted; }
    QSqlQuery& prepared(const QString& sql);
    bool failSql(const QSqlError& error);
    bool fail(const Error& error);

    /// Reads the next row of a "SELECT rowid, * ..." query into `record`.
    Load loadFrom(QSqlQuery& query, Record* record);
    /// Reads the row with this row id.
    Load loadRow(qint64 key, Record* record);
    /// Runs a statement of integer results straight on the engine: a million
    /// keys in a fraction of the time Qt's row-by-row values would take.
    bool readKeys(const QString& sql, QList<qint64>* keys, const QList<qint64>& bound = {});
    /// The first integer a statement gives; `missing` when it gives no row.
    std::optional<qint64> readKey(const QString& sql, const QList<qint64>& bound, qint64 missing);

private:
    Database& m_db;
    QString m_quoted;
    const QList<FieldInfo>& m_fields;
    Error& m_error;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_queries;
};

/// What a record set asks of its cursor. Moves fill `record` and tell
/// "no row" from a failure; the cursor keeps whatever position it needs.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual Load first(Record* record) = 0;
    virtual Load last(Record* record) = 0;
    /// The record after (before) the current one, whose key is given; after
    /// a removal, the record that followed (preceded) the removed one.
    virtual Load next(qint64 key, Record* record) = 0;
    virtual Load previous(qint64 key, Record* record) = 0;
    /// The stored record with this key, if the set holds it.
    virtual Load toKey(qint64 key, Record* record) = 0;
    virtual Load toPosition(qint64 position, Record* record) = 0;
    virtual std::optional<qint64> count() = 0;
    virtual std::optional<qint64> keyAt(qint64 position) = 0;
    /// Position of the current record, whose key is given; -1 when unknown.
    virtual qint64 positionOf(qint64 key) = 0;
    virtual std::optional<QVariantList> rowAt(qint64 position) = 0;
    /// The set stored a new record with this key.
    virtual void added(qint64 key) = 0;
    /// The set deleted its current record, with this key.
    virtual void removed(qint64 key) = 0;
};

/// Positions of a table's rows up to a row id, worked out on first use. When
/// the row ids run without a gap the key of a position is a sum. Otherwise a
/// position is reached from the nearest one already known (the first, the
/// last, or one reached before) by stepping over the rows between them in the
/// row-id order, and remembered; the keys are never all read.
class TablePositions {
public:
    TablePositions(RowReader& reader, qint64 upTo) : m_reader(reader), m_upTo(upTo) {}
    std::optional<qint64> count();
    /// Key of a position; nullopt past the end or on a failure.
    std::optional<qint64> keyAt(qint64 position);
    /// Position of a key of the table up to the row id; -1 when unknown.
    qint64 positionOf(qint64 key);
    /// The row with this key was deleted: the positions after it move up.
    void removed(qint64 key);

private:
    bool survey();
    bool dense() const { return m_count == 0 || m_last - m_first + 1 == m_count; }
    void remember(qint64 position, qint64 key);

    RowReader& m_reader;
    qint64 m_upTo = 0;
    bool m_surveyed = false;
    qint64 m_count = 0;
    qint64 m_first = 0;
    qint64 m_last = 0;
    QMap<qint64, qint64> m_keyOf;      // position -> key, both ascending
    QMap<qint64, qint64> m_positionOf; // key -> position
};

/// A table opened by name, read lazily in row-id order: the rows up to the
/// largest row id at opening, then the rows this set added.
class TableCursor final : public Cursor {
public:
    TableCursor(RowReader& reader, qint64 snapMax) : m_reader(reader), m_snapMax(snapMax), m_positions(reader, snapMax)
    {
    }
    Load first(Record* record) override;
    Load last(Record* record) override;
    Load next(qint64 key, Record* record) override { return step(key, true, record); }
    Load previous(qint64 key, Record* record) override { return step(key, false, record); }
    Load toKey(qint64 key, Record* record) override;
    Load toPosition(qint64 position, Record* record) override;
    std::optional<qint64> count() override;
    std::optional<qint64> keyAt(qint64 position) override;
    qint64 positionOf(qint64 key) override;
    std::optional<QVariantList> rowAt(qint64 position) override;
    void added(qint64 key) override;
    void removed(qint64 key) override;

private:
    Load step(qint64 from, bool forward, Record* record);
    Load stepSnapshot(qint64 from, bool forward, Record* record);

    RowReader& m_reader;
    qint64 m_snapMax = 0;
    QList<qint64> m_ownAdded; // ascending
    TablePositions m_positions;
};

/// The keys a select of whole rows of one table found, in its order; rows are
/// read as they are reached, and a key whose row is gone is dropped.
class KeyCursor final : public Cursor {
public:
    KeyCursor(RowReader& reader, QList<qint64> keys) : m_reader(reader), m_keys(std::move(keys)) {}
    Load first(Record* record) override { return toIndex(0, 1, record); }
    Load last(Record* record) override { return toIndex(m_keys.size() - 1, -1, record); }
    Load next(qint64 key, Record* record) override;
    Load previous(qint64 key, Record* record) override;
    Load toKey(qint64 key, Record* record) override;
    Load toPosition(qint64 position, Record* record) override;
    std::optional<qint64> count() override { return m_keys.size(); }
    std::optional<qint64> keyAt(qint64 position) override;
    qint64 positionOf(qint64) override { return m_pos; }
    std::optional<QVariantList> rowAt(qint64 position) override;
    void added(qint64 key) override;
    void removed(qint64 key) override;

private:
    Load toIndex(qsizetype index, int direction, Record* record);

    RowReader& m_reader;
    QList<qint64> m_keys;
    qsizetype m_pos = -1;
    bool m_onRemoved = false;
};

/// A read-only copy of the rows of a select; a record's key is its index.
class CopyCursor final : public Cursor {
public:
    /// Runs `sql` and copies its rows, appending its columns to `fields`.
    static std::unique_ptr<CopyCursor> read(Database& db, const QString& sql, QList<FieldInfo>* fields, Error* error);
    Load first(Record* record) override { return toPosition(0, record); }
    Load last(Record* record) override { return toPosition(m_rows.size() - 1, record); }
    Load next(qint64, Record* record) override { return toPosition(m_pos + 1, record); }
    Load previous(qint64, Record* record) override { return toPosition(m_pos - 1, record); }
    Load toKey(qint64, Record*) override { return Load::NoRow; }
    Load toPosition(qint64 position, Record* record) override;
    std::optional<qint64> count() override { return m_rows.size(); }
    std::optional<qint64> keyAt(qint64 position) override;
    qint64 positionOf(qint64) override { return m_pos; }
    std::optional<QVariantList> rowAt(qint64 position) override;
    void added(qint64) override {}
    void removed(qint64) override {}

private:
    QList<QVariantList> m_rows;
    qsizetype m_pos = -1;
};

} // namespace store::detail

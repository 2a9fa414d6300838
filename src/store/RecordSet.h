#pragma once

#include "Database.h"

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace store {

namespace detail {
class Cursor;
struct Record;
class RowReader;
} // namespace detail

/// The open set of records of one record source, with one current record.
///
/// A table opened by name is read lazily in insertion order (by row id), so
/// opening a table of a million calls reads one row, and a record is reached
/// by its position without reading the rows before it. The set keeps its own
/// snapshot: rows added by another record set appear after a reopen, rows
/// this set adds appear at once. A select reading whole rows of one table
/// keeps the keys it found; any other select is a read-only copy. Only a
/// select is ever opened.
///
/// Every operation tells "no row" from a failure: after a false return,
/// error() says whether (and why) the store failed.
class RecordSet {
public:
    RecordSet();
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    /// Opens `source` (a table name or a select statement) in the database at
    /// `path`; the first record becomes current. False with `error` set on failure.
    bool open(const QString& path, const QString& source, Error* error = nullptr);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    /// A copy that cannot be written (a select that is not of whole rows of one table).
    bool isReadOnly() const { return m_readOnly; }
    Database* database() const { return m_db.get(); }
    /// The table behind the set, when there is one.
    const QString& table() const { return m_table; }

    const QList<FieldInfo>& Fields() const { return m_fields; }
    /// Index of a field by name, matched without regard to case; -1 if absent.
    int fieldIndex(const QString& name) const;

    bool isBOF() const { return m_bof; }
    bool isEOF() const { return m_eof; }
    /// A stored record is current (not a new one, not a deleted one).
    bool hasCurrent() const { return m_state == State::Row; }
    /// A record started with AddNew is current and not stored yet.
    bool isNew() const { return m_state == State::New; }
    /// Row id of the current stored record.
    qint64 currentKey() const { return m_key; }

    bool MoveFirst();
    bool MoveLast();
    bool MoveNext();
    bool MovePrevious();
    /// Makes the stored record with this row id current, if the set holds it.
    bool moveToKey(qint64 key);
    /// Makes the record at a position (0 to count() - 1) current.
    bool moveToPosition(qint64 position);
    /// Position of the current record; -1 when none is current.
    qint64 currentPosition();

    /// Number of records in the set; nullopt on a failure.
    std::optional<qint64> count();
    /// Number of records in the set (0 on a failure, which error() tells).
    qint64 RecordCount() { return count().value_or(0); }
    /// Row id of the record at a position; nullopt past the end or on a failure.
    std::optional<qint64> keyAt(qint64 position);
    /// Values of the record at a position, without making it current; nullopt
    /// for a record gone meanwhile (another program deleted it) or a failure.
    std::optional<QVariantList> rowAt(qint64 position);

    /// A new empty record becomes current; it is stored by store().
    void AddNew();
    /// Drops a pending new record and returns to the record current before AddNew
    /// (none when there was none); reported as a move, so bound controls show it.
    void CancelUpdate();
    /// Deletes the current record in its own transaction.
    bool Delete(Error* error = nullptr);

    QVariant value(int field) const;
    QVariant value(const QString& field) const;

    /// Writes `values` (field index -> value) into the current record, or adds
    /// the new record, in one transaction. The record stays current.
    bool store(const QHash<int, QVariant>& values, Error* error = nullptr);

    /// The failure of the last operation; no error after a success or "no row".
    const Error& error() const { return m_error; }

    /// Runs before the current record is left; a false return cancels the move.
    std::function<bool()> beforeLeave;
    /// Runs after a new record became current (moves, AddNew, open).
    std::function<void()> afterMove;

private:
    enum class State { None, Row, New, Deleted };

    bool leave();
    void moved();
    bool fail(const Error& error);
    bool openSource(const QString& source);
    bool take(int load, const detail::Record& record);
    bool arrive(bool found);
    QString writeSql(const QList<int>& columns) const;

    std::shared_ptr<Database> m_db;
    QString m_path;
    QString m_table;
    bool m_readOnly = false;
    QList<FieldInfo> m_fields;
    QHash<QString, int> m_index;
    Error m_error;
    std::unique_ptr<detail::RowReader> m_reader;
    std::unique_ptr<detail::Cursor> m_cursor;

    State m_state = State::None;
    qint64 m_key = 0;
    qint64 m_keyBeforeNew = 0;
    State m_stateBeforeNew = State::None;
    QVariantList m_row;
    bool m_bof = true;
    bool m_eof = true;
};

} // namespace store

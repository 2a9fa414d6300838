#pragma once

#include "Database.h"

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QVariant>

#include <functional>
#include <memory>
#include <set>

namespace store {

/// A read-only copy of a record set, taken at one moment.
class Snapshot {
public:
    Snapshot(QList<FieldInfo> fields, QList<QVariantList> rows);
    const QList<FieldInfo>& Fields() const { return m_fields; }
    qint64 RecordCount() const { return m_rows.size(); }
    bool isEOF() const { return m_pos >= m_rows.size(); }
    bool isBOF() const { return m_pos < 0; }
    void MoveFirst() { m_pos = 0; }
    void MoveNext()
    {
        if (m_pos < m_rows.size())
            ++m_pos;
    }
    void MoveLast() { m_pos = m_rows.size() - 1; }
    QVariant value(const QString& field) const;
    const QList<QVariantList>& rows() const { return m_rows; }

private:
    QList<FieldInfo> m_fields;
    QList<QVariantList> m_rows;
    qsizetype m_pos = 0;
};

/// The open set of records of one record source, with one current record.
///
/// A table opened by name is read lazily in insertion order (by row id), so
/// opening a table of a million calls reads one row. The set keeps its own
/// snapshot of keys: rows added by another record set appear after a reopen,
/// rows this set adds appear at once. A statement reading whole rows of one
/// table keeps the keys it found; any other statement is a read-only copy.
class RecordSet {
public:
    RecordSet() = default;
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    /// Opens `source` (a table name or a statement) in the database at `path`;
    /// the first record becomes current. False with `error` set on failure.
    bool open(const QString& path, const QString& source, QString* error);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const { return m_mode == Mode::Copy; }
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
    /// Number of records in the set.
    qint64 RecordCount();

    /// A new empty record becomes current; it is stored by store().
    void AddNew();
    /// Drops a pending new record and returns to the record current before AddNew
    /// (none when there was none); reported as a move, so bound controls show it.
    void CancelUpdate();
    /// Deletes the current record in its own transaction.
    bool Delete(QString* error);

    QVariant value(int field) const;
    QVariant value(const QString& field) const;

    /// Writes `values` (field index -> value) into the current record, or adds
    /// the new record, in one transaction. The record stays current.
    bool store(const QHash<int, QVariant>& values, QString* error);

    std::unique_ptr<Snapshot> OpenRecordset() const;

    /// Runs before the current record is left; a false return cancels the move.
    std::function<bool()> beforeLeave;
    /// Runs after a new record became current (moves, AddNew, open).
    std::function<void()> afterMove;

private:
    enum class Mode { Table, Keys, Copy };
    enum class State { None, Row, New, Deleted };

    bool leave();
    void moved();
    bool loadRow(qint64 key);
    bool loadFrom(QSqlQuery& query);
    bool tableStep(bool forward);
    bool setCurrentIndex(qsizetype index);
    QSqlQuery& prepared(const QString& sql);

    std::shared_ptr<Database> m_db;
    QString m_path;
    QString m_table;
    Mode m_mode = Mode::Table;
    QList<FieldInfo> m_fields;
    QHash<QString, int> m_index;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_queries;

    // Table mode: rows up to m_snapMax plus the rows this set added.
    qint64 m_snapMax = 0;
    std::set<qint64> m_ownAdded;
    // Key mode: the keys found; copy mode: the rows.
    QList<qint64> m_keys;
    QList<QVariantList> m_copy;
    qsizetype m_pos = -1;

    State m_state = State::None;
    qint64 m_key = 0;
    qint64 m_keyBeforeNew = 0;
    State m_stateBeforeNew = State::None;
    QVariantList m_row;
    bool m_bof = true;
    bool m_eof = true;
    bool m_counted = false;
};

} // namespace store

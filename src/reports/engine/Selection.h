#pragma once

#include "Formula.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace store {
class Database;
}

namespace reports {

/// The current row of a statement being read: its columns by number from 0.
class SqlRow {
public:
    explicit SqlRow(sqlite3_stmt* statement) : m_statement(statement) {}
    QVariant value(int column) const;
    double number(int column) const;
    qint64 integer(int column) const;

private:
    sqlite3_stmt* m_statement;
};

/// The records of one table a report or the filter window asks for: a
/// selection formula, the order (leading fields, then sort fields, then the
/// record number) and the SQL that selects them.
class Selection {
public:
    /// Checks `formula` and `sortFields` against `table`; CurrentDate is `today`.
    /// `leading` fields order before the sort fields (a report's group). A
    /// formula or sort field refused is a Refused `error` saying what and where.
    static std::optional<Selection> prepare(store::Database& db, const QString& table, const QString& formula,
                                            const QStringList& sortFields, const QDate& today, store::Error* error,
                                            const QList<SortField>& leading = {});

    const QString& table() const { return m_table; }
    const Formula& formula() const { return m_formula; }
    const QList<SortField>& order() const { return m_order; }

    /// "WHERE ..." (or empty) for the parts of the formula SQL can run.
    QString whereClause() const;
    /// "ORDER BY ..., rowid".
    QString orderByClause() const;

    /// Runs SELECT rowid, `columns` in the selection's order, calling `row`
    /// for each selected row (column 0 the rowid, then `columns`).
    bool forEach(store::Database& db, const QStringList& columns, const std::function<void(const SqlRow&)>& row,
                 store::Error* error) const;

private:
    Selection() = default;
    QString m_table;
    Formula m_formula;
    QList<SortField> m_order;
};

/// SQL text of an ORDER BY term for a field.
QString orderTerm(const SortField& field);

/// The field of `fields` named `name` (names match without regard to case); null when there is none.
const store::FieldInfo* fieldNamed(const QList<store::FieldInfo>& fields, const QString& name);
/// Whether a field of this type holds text (compared and grouped without regard to case).
bool holdsText(store::FieldType type);

/// A column of the current row of a raw statement as a stored value.
QVariant columnValue(sqlite3_stmt* statement, int column);

/// Runs `sql` on the database's own connection, calling `row` for each row;
/// false with the engine's failure in words.
bool forEachRow(store::Database& db, const QString& sql, const std::function<void(const SqlRow&)>& row,
                store::Error* error);

} // namespace reports

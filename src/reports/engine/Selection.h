#pragma once

#include "Formula.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace store {
class Database;
}

namespace reports {

/// The records of one table a report or the filter window asks for: a
/// selection formula, the order (leading fields, then sort fields, then the
/// record number) and the SQL that selects them.
class Selection {
public:
    /// Checks `formula` and `sortFields` against `table`; CurrentDate is `today`.
    /// `leading` fields order before the sort fields (a report's group).
    static std::optional<Selection> prepare(store::Database& db, const QString& table, const QString& formula,
                                            const QStringList& sortFields, const QDate& today, QString* error,
                                            const QList<SortField>& leading = {});

    const QString& table() const { return m_table; }
    const Formula& formula() const { return m_formula; }
    const QList<SortField>& order() const { return m_order; }

    /// "WHERE ..." (or empty) for the parts of the formula SQL can run.
    QString whereClause() const;
    /// "ORDER BY ..., rowid".
    QString orderByClause() const;

    /// Runs SELECT rowid, `columns`, <the formula's residual fields> in the
    /// selection's order, calling `row` for each selected row with the
    /// statement positioned on it (column 0 the rowid, then `columns`).
    bool forEach(store::Database& db, const QStringList& columns, const std::function<void(sqlite3_stmt*)>& row,
                 QString* error) const;

private:
    Selection() = default;
    QString m_table;
    Formula m_formula;
    QList<SortField> m_order;
};

/// SQL text of an ORDER BY term for a field.
QString orderTerm(const SortField& field);

/// The SQLite connection under a database, for statements stepped by hand.
sqlite3* sqliteHandle(store::Database& db);

/// A column of the current row of a raw statement as a stored value.
QVariant columnValue(sqlite3_stmt* statement, int column);

/// Runs `sql` on the database's own connection, calling `row` for each row.
bool forEachRow(store::Database& db, const QString& sql, const std::function<void(sqlite3_stmt*)>& row, QString* error);

/// The call log is read by date in most reports: keeps it indexed by date.
/// Best effort: a database that cannot be written is read without the index.
void ensureDateIndex(store::Database& db, const QString& table, const QString& field);

} // namespace reports

#pragma once

#include "FilterRows.h"

#include <QString>

namespace filter::engine {

/// What one find row adds to the statement and to the report formula. Both
/// are empty when the row's kind and operator have no clause (a byte field
/// without operator, an unknown operator).
struct RowClause {
    QString statement;
    QString formula;
};

/// The clauses of one row over `table`. The statement clause is the classic
/// dialect's; the formula clause selects exactly the records the statement
/// clause selects once translated: text compared without regard to case, an
/// empty field (Null or empty text) compared as the empty text.
RowClause rowClause(const FindRow& row, const QString& table);

/// The report engine's date of a criteria read month first: "yyyy,mm,dd".
QString reportDate(const QString& criteria);

/// A text as a double-quoted string of the report formula language.
QString formulaString(const QString& text);

} // namespace filter::engine

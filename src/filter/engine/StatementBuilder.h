#pragma once

#include "FilterRows.h"

#include <QString>
#include <QStringList>

namespace filter::engine {

/// What one build of the filter yields.
struct BuiltFilter {
    /// The statement in the classic query dialect: a select over the table,
    /// or a delete when "&Delete Found Records" is ticked. Empty when there is
    /// nothing to build.
    QString statement;
    /// The report selection formula (Label4): selects exactly the records the
    /// statement selects. Empty for "** Find All Records **" and for deletes.
    QString reportFormula;
    /// The report sort fields (Label6 to Label8), "+{T.F}" or "-{T.F}"; always three, empty where unused.
    QStringList sortTexts;
    /// Row 0 is "** Find All Records **": the browser's "Filter is ON" label is to be hidden.
    bool findsAll = false;
};

/// The criteria as a quoted literal's inside: trailing blanks dropped, an
/// apostrophe doubled, each of # ? ( ) * : ; enclosed in brackets, blanks
/// around dropped. Exactly two apostrophes stay as they are.
QString QuoteCriteria(const QString& criteria);

/// The table a record source's source names: the source itself when it is a
/// table name, else the name between "Select " and the first "." after it,
/// without brackets ("Select [DData].* From DData" gives "DData").
QString CurrentTableName(const QString& source);

/// Builds the statement, the report formula and the sort texts from the rows
/// over `table`. Reads the rows as they stand; the caller runs CheckCriteria first.
BuiltFilter CreateSQLStatement(const FilterRows& rows, const QString& table);

} // namespace filter::engine

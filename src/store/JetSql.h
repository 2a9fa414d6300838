#pragma once

#include "Error.h"
#include <QDate>

#include <QString>

#include <optional>

struct sqlite3;

/// The text, LIKE and date-part rules of the query dialect, once in C++ and
/// once as plain SQLite SQL with exactly the same results: the filter window's
/// statements run as SQL, the report formulas may run either way, and the
/// calls printed must be the calls browsed.
namespace store::jet {

/// Text comparison as the query dialect has it: case-insensitive for every
/// letter (each character upper-cased, then case-folded: "Müller" equals
/// "MÜLLER", "ölwanne" equals "Ölwanne"), ordered by the folded characters'
/// code points, as the NOCASE collation that installTextRules() puts on a
/// connection orders them. For ASCII it is SQLite's own NOCASE.
int compareText(const QString& a, const QString& b);

/// The text as compareText() sees it: equal texts give equal keys, so a key
/// groups what compares equal.
QString caseKey(const QString& text);

/// Puts the dialect's text rules on an SQLite connection, in place of
/// SQLite's ASCII-only built-ins of the same names: the NOCASE collation
/// compares as compareText() does, and upper() upper-cases every letter as
/// likeSql() expects. The SQL text stays plain SQLite, which the sqlite3
/// command line runs too (with its ASCII-only rules). False when SQLite
/// refused one of them.
bool installTextRules(sqlite3* db);

/// The classic LIKE: * any run, ? one character, # one digit, [abc] and [a-z]
/// one of, [!abc] none of; the whole value must match; letters compared
/// without regard to case, as compareText does. False for a malformed pattern
/// (an unclosed "[") and for one of more than 16,000 characters.
bool like(const QString& value, const QString& pattern);

/// The same test as plain SQLite SQL over the SQL expression `sql`, an
/// `upper(sql) GLOB '...'` form that the sqlite3 command line runs too; its
/// upper() must be the one installTextRules() puts on the connection for
/// letters beyond ASCII.
/// Nullopt for a malformed pattern, with `error` set.
std::optional<QString> likeSql(const QString& sql, const QString& pattern, Error* error = nullptr);

/// DatePart of a date: "yyyy" year, "q" quarter, "m" month, "y" day of the
/// year, "d" day of the month, "w" weekday (Sunday 1), "ww" week of the year
/// (weeks start on Sunday; week 1 holds January 1). Nullopt for another unit
/// or an invalid date.
std::optional<int> datePart(const QString& unit, const QDate& date);

/// The same as a plain SQLite integer expression over `sql`, an ISO date text
/// (Null for Null or text that is no date). Nullopt for another unit.
std::optional<QString> datePartSql(const QString& unit, const QString& sql);

} // namespace store::jet

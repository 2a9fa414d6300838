#pragma once

#include <QDate>
#include <QString>

#include <optional>

/// The text, LIKE and date-part rules of the query dialect, once in C++ and
/// once as plain SQLite SQL with exactly the same results: the filter window's
/// statements run as SQL, the report formulas may run either way, and the
/// calls printed must be the calls browsed.
namespace store::jet {

/// Text comparison as the query dialect has it: case-insensitive for the
/// ASCII letters (SQLite's built-in NOCASE collation), exact for every other
/// character; ordered as SQLite orders UTF-8 text.
int compareText(const QString& a, const QString& b);

/// The classic LIKE: * any run, ? one character, # one digit, [abc] and [a-z]
/// one of, [!abc] none of; the whole value must match; letters compared as
/// compareText does. False for a malformed pattern (an unclosed "[").
bool like(const QString& value, const QString& pattern);

/// The same test as plain SQLite SQL over the SQL expression `sql`, an
/// `upper(sql) GLOB '...'` form that the sqlite3 command line runs too.
/// Nullopt for a malformed pattern, with `error` set.
std::optional<QString> likeSql(const QString& sql, const QString& pattern, QString* error = nullptr);

/// DatePart of a date: "yyyy" year, "q" quarter, "m" month, "y" day of the
/// year, "d" day of the month, "w" weekday (Sunday 1), "ww" week of the year
/// (weeks start on Sunday; week 1 holds January 1). Nullopt for another unit
/// or an invalid date.
std::optional<int> datePart(const QString& unit, const QDate& date);

/// The same as a plain SQLite integer expression over `sql`, an ISO date text
/// (Null for Null or text that is no date). Nullopt for another unit.
std::optional<QString> datePartSql(const QString& unit, const QString& sql);

} // namespace store::jet

#pragma once

#include "Database.h"

#include <QList>
#include <QString>

#include <optional>

namespace store {

/// Translates one statement of the classic query dialect into plain SQLite
/// (the sqlite3 command line runs it too; the store's connections compare
/// letters beyond ASCII through jet::installTextRules):
/// - `Select T.* From T`, `Select [T].* From T`, `Select * From T` or a list of
///   fields, with an optional Where and ORDER BY; `Delete * From T` (or
///   `Delete T.* From T`) with an optional Where. Nothing else: one statement,
///   one table, an optional trailing ";".
/// - Conditions: `=`, `<>`, `<`, `>`, `<=`, `>=`, `[NOT] LIKE 'pattern'`,
///   `IS [NOT] NULL`, `AND`, `OR`, `NOT`, parentheses; operands are field
///   names (bare or in brackets), numbers, quoted texts, `#m/d/yy#` and
///   `#m/d/yyyy#` dates (two-digit years 00-29 are 2000-2029, 30-99 are
///   1930-1999), Yes/No/True/False, Null and `DatePart("unit", x)`.
/// - A comparison with a quoted text compares without regard to the case of
///   any letter (the NOCASE of jet::installTextRules), and an empty field
///   (Null or empty text) compares as the empty text. Comparing with Null
///   compares with the empty text: `= Null` finds the empty fields. The text
///   of one lone apostrophe (`''''`) is that apostrophe, and no empty field
///   compares with it, so `<> ''''` (the filter's "Is Not Equal To empty")
///   finds the fields that hold something other than it. In a compared text,
///   `[c]` stands for c when c is one of `# ? ( ) * : ;` (the filter encloses
///   these so that a LIKE takes them literally).
/// - LIKE takes `*`, `?`, `#`, `[..]`, `[!..]` without regard to case.
/// - `= Yes`/`= True` finds every value but 0; `= No`/`= False` finds 0 and
///   Null.
/// User text stays inside quoted literals; comment marks, a second statement,
/// unknown functions or characters are refused (nullopt, `error` says why).
std::optional<QString> translateAccessSql(const QString& statement, Error* error);

/// The same for a record source, which only ever reads and knows the fields
/// of the statement's table: a Delete statement is refused (nullopt, `error`
/// set), never run; sorting by a text or memo field ignores the case of
/// letters; rows that sort alike come in the order they were logged.
std::optional<QString> translateAccessSelect(const QString& statement, const QList<FieldInfo>& fields, Error* error);

/// The number of records a Select or Delete statement finds or deletes, as
/// one SQLite statement `SELECT count(*) FROM ... WHERE ...` (its ORDER BY
/// dropped), so counting never reads the records themselves.
std::optional<QString> translateAccessCount(const QString& statement, Error* error);

/// The text a comparison compares with, given the value of a quoted literal:
/// `[c]` is c for the characters the filter encloses.
QString comparisonText(const QString& literalValue);

/// When a statement reads whole rows of one table ("Select T.* From T ...",
/// with an optional Where and ORDER BY), the table's name; else empty.
QString singleTableOf(const QString& statement);

} // namespace store

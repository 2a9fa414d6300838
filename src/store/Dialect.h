#pragma once

#include <QString>

#include <optional>

namespace store {

/// Translates one statement of the classic query dialect into SQLite's:
/// bracketed names become quoted names, `Select T.* From T` and
/// `Delete * From T` take SQLite's form, `#m/d/yyyy#` dates become ISO text.
/// Text inside quoted literals is kept as typed. Refuses (nullopt, `error` set)
/// anything but a single SELECT or DELETE statement.
std::optional<QString> translateAccessSql(const QString& statement, QString* error);

/// When a statement reads whole rows of one table ("Select T.* From T ...",
/// with an optional Where and ORDER BY), the table's name; else empty.
QString singleTableOf(const QString& statement);

} // namespace store

#pragma once

#include "Error.h"

#include <QString>

#include <optional>

namespace store {

class Database;

/// The centre's own settings, kept in the table `Settings` beside the seven
/// tables of the log: one row per setting, its name and its value written
/// the same way whatever the machine's language. A database made before the
/// table existed still opens everywhere; the table is added only when the
/// user agrees.
namespace settings {

/// The centre's number of lanes, which other windows share.
inline const QString kLanes = QStringLiteral("Lanes");
/// The goal of the frames per stop figure.
inline const QString kFramesPerStopGoal = QStringLiteral("FramesPerStopGoal");

/// How near its interval a maintenance task counts as due soon, in percent.
inline const QString kMaintenanceMargin = QStringLiteral("MaintenanceMargin");

inline constexpr int kDefaultGoal = 1500;
inline constexpr int kMostFramesPerStop = 1000000;
inline constexpr int kMostLanes = 999;
inline constexpr int kDefaultMargin = 10;
inline constexpr int kMostMargin = 50;

/// Whether the database has the table; false with `error` set when the
/// database could not be asked.
bool present(Database& db, Error* error);
/// Adds the table, and nothing else, in one transaction.
bool add(Database& db, Error* error);
/// A setting as a whole number: nullopt when it is not kept (no row, no
/// table). A kept value that is not a whole number is an error naming it.
std::optional<int> readNumber(Database& db, const QString& name, Error* error);
/// The same, kept only from `lowest` to `highest`: a value outside is an
/// error that says so of `what` ("number of lanes").
std::optional<int> readNumberWithin(Database& db, const QString& name, int lowest, int highest, const QString& what,
                                    Error* error);
/// Keeps a whole number under `name` in one transaction: on the disk when it returns true.
bool writeNumber(Database& db, const QString& name, int value, Error* error);

/// The statement that makes the table, as the delivered database has it.
QString createStatement();

} // namespace settings
} // namespace store

#pragma once

#include "store/Error.h"

#include <QStringList>

namespace store {
class Database;
}

/// The maintenance schedule's own tables beside the seven of the log:
/// `MaintTasks` (the tasks), `MaintDone` (every completion, kept for good)
/// and `MaintSheet` (which rows of a day's work sheet the schedule filled).
/// A database made before them still opens everywhere; they are added only
/// when the user agrees.
namespace maint::schema {

/// The tables, in the order they are made.
QStringList tables();
/// Whether every one of the tables is there; false with `error` set when the
/// database could not be asked, or when a table of that name lacks a field
/// of ours (another program made it).
bool present(store::Database& db, store::Error* error);
/// The tables the schedule needs that the database lacks: its own, and the
/// centre's settings (`Settings`, where the number of lanes is kept). Empty
/// with `error` set when the database could not be asked.
QStringList missing(store::Database& db, store::Error* error);
/// Adds the tables that are missing (those of missing()) with their indexes,
/// and nothing else, in one transaction: on the disk when it returns true.
bool add(store::Database& db, store::Error* error);
/// The statements that make the tables and their indexes, as the delivered database has them.
QStringList createStatements();

} // namespace maint::schema

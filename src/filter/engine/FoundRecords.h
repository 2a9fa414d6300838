#pragma once

#include "store/Error.h"

#include <QString>

#include <optional>

namespace filter::engine {

/// The number of records a filter statement (a select or a delete) finds in
/// the database at `databasePath`, counted by the database without reading
/// the records. Nullopt with `error` set when the statement is refused or the
/// database cannot be read.
std::optional<qint64> countFoundRecords(const QString& databasePath, const QString& statement, store::Error* error);

} // namespace filter::engine

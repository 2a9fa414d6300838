#pragma once

#include "ReportDefinition.h"

#include "store/Error.h"

#include <QList>
#include <QString>

namespace store {
class Database;
struct FieldInfo;
} // namespace store

namespace reports {

class Selection;
struct ReportPrivate;

/// A graph report: counts (or totals) per value of its category counted in
/// SQLite, the graph above the table of them, and the dates of the first and
/// last row counted under the title.
bool buildChart(ReportPrivate& report, const ReportDefinition& definition, store::Database& db,
                const Selection& selection, const QList<store::FieldInfo>& fields, store::Error* error);

} // namespace reports

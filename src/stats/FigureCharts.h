#pragma once

#include "stats/engine/Figures.h"

#include <QList>
#include <QString>

class QChart;

namespace stats::charts {

/// The frames per stop line: one line piece per run of periods with a
/// figure (a period without one is a gap), and the goal as a dashed line
/// across the range.
QChart* framesPerStop(const FramesPerStop& figure, Grain grain, int goal);

/// Upright bars, one per category, its value above it.
QChart* bars(const QString& title, const QList<Bar>& bars, const QString& categoryTitle, const QString& valueTitle);
/// Lying bars, for long names (a lane and its call), the first at the top.
QChart* lyingBars(const QString& title, const QList<Bar>& bars, const QString& valueTitle);

/// Calls per mechanic by week, a line for each mechanic.
QChart* mechanicWeeks(const MechanicFigures& figure);
/// Each mechanic's share of every section's calls, a bar set per mechanic.
QChart* sectionShares(const MechanicFigures& figure);

/// The bars of a table's first column against another column.
QList<Bar> barsOf(const FigureTable& table, int valueColumn);

} // namespace stats::charts

#pragma once

#include "reports/engine/Report.h"

namespace reports {

/// Draws a graph report's bars or pie with Qt Charts, labelled with the
/// categories and their values, into `area` (points) of the painter.
void paintChart(QPainter& painter, const QRectF& area, const ChartData& data, double fontScale);

} // namespace reports

#pragma once

class QPainter;
class QRectF;

namespace reports {

struct ChartData;

/// Draws a graph with Qt Charts into `area` (in the painter's units, points):
/// bars, lines or a pie, labelled with the categories and their values.
void drawChart(QPainter& painter, const QRectF& area, const ChartData& data);

} // namespace reports

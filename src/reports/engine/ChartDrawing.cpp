#include "ChartDrawing.h"

#include "Report.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>

#include <cmath>

namespace reports {
namespace {

// Neighbouring bars, lines and slices in clearly different colours; the rest in grey.
const QColor kPalette[] = {QColor(0x3B, 0x6E, 0xA5), QColor(0xE0, 0x8A, 0x2E), QColor(0x4E, 0x9A, 0x4A),
                           QColor(0xC0, 0x45, 0x3B), QColor(0x7B, 0x5E, 0xA7), QColor(0x2F, 0x9C, 0xA8),
                           QColor(0xC9, 0xA2, 0x27), QColor(0x8C, 0x56, 0x3C), QColor(0xD1, 0x6B, 0xA5),
                           QColor(0x5C, 0x7A, 0x29)};
const QColor kRest(0xB0, 0xB0, 0xB0);

QString valueText(double value)
{
    return value == std::floor(value) ? QString::number(qint64(value)) : QString::number(value, 'f', 1);
}

double valueOf(const ChartSlice& slice, int series)
{
    return series == 0 ? slice.value : slice.values.value(series);
}

QBarCategoryAxis* categoryAxis(QChart* chart, const ChartData& data)
{
    QStringList categories;
    qsizetype longest = 0;
    for (const ChartSlice& slice : data.slices) {
        categories << slice.label;
        longest = std::max(longest, slice.label.size());
    }
    auto* axis = new QBarCategoryAxis;
    axis->append(categories);
    axis->setTitleText(data.categoryHeading);
    axis->setTruncateLabels(false); // a name is shown whole, as everywhere on a report
    // Names stand upright once they no longer fit side by side; lane numbers do.
    if (longest > 4 && categories.size() * (longest + 2) > 110)
        axis->setLabelsAngle(-90);
    axis->setGridLineVisible(false);
    chart->addAxis(axis, Qt::AlignBottom);
    return axis;
}

QValueAxis* valueAxis(QChart* chart, const ChartData& data, double top)
{
    auto* axis = new QValueAxis;
    // Room above the tallest bar for its value.
    const double ceiling = std::max(1.0, std::ceil(top * 1.15));
    axis->setRange(0, ceiling);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTickType(QValueAxis::TicksDynamic);
    const double step = std::max(1.0, std::pow(10.0, std::floor(std::log10(ceiling / 2))));
    axis->setTickInterval(ceiling / step > 10 ? step * 2 : step);
    axis->setTickAnchor(0);
    // Several series are named by the legend: the axis named after the first would mislead.
    if (data.series.size() < 2)
        axis->setTitleText(data.series.value(0));
    chart->addAxis(axis, Qt::AlignLeft);
    return axis;
}

double highest(const ChartData& data)
{
    double top = 0;
    for (const ChartSlice& slice : data.slices) {
        for (int s = 0; s < std::max<qsizetype>(1, data.series.size()); ++s) {
            if (std::isfinite(valueOf(slice, s)))
                top = std::max(top, valueOf(slice, s));
        }
    }
    return top;
}

void addBars(QChart* chart, const ChartData& data)
{
    auto* series = new QBarSeries;
    for (int s = 0; s < std::max<qsizetype>(1, data.series.size()); ++s) {
        auto* set = new QBarSet(data.series.value(s));
        set->setColor(kPalette[s % 10]);
        set->setLabelColor(QColor(0x20, 0x20, 0x20));
        for (const ChartSlice& slice : data.slices)
            *set << (std::isfinite(valueOf(slice, s)) ? valueOf(slice, s) : 0.0);
        series->append(set);
    }
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setBarWidth(0.7);
    chart->addSeries(series);
    series->attachAxis(categoryAxis(chart, data));
    series->attachAxis(valueAxis(chart, data, highest(data)));
    if (data.series.size() < 2)
        chart->legend()->hide();
}

void addLines(QChart* chart, const ChartData& data)
{
    QBarCategoryAxis* x = categoryAxis(chart, data);
    QValueAxis* y = valueAxis(chart, data, highest(data));
    for (int s = 0; s < std::max<qsizetype>(1, data.series.size()); ++s) {
        // A point without a value breaks the line: one piece per run of values,
        // the legend naming the series once.
        QLineSeries* piece = nullptr;
        bool named = false;
        for (int i = 0; i < data.slices.size(); ++i) {
            const double value = valueOf(data.slices.at(i), s);
            if (!std::isfinite(value)) {
                piece = nullptr;
                continue;
            }
            if (!piece) {
                piece = new QLineSeries;
                piece->setName(data.series.value(s));
                piece->setColor(kPalette[s % 10]);
                piece->setPointsVisible(true);
                chart->addSeries(piece);
                piece->attachAxis(x);
                piece->attachAxis(y);
                for (QLegendMarker* marker : chart->legend()->markers(piece))
                    marker->setVisible(!named);
                named = true;
            }
            piece->append(i, value);
        }
    }
    if (data.series.size() < 2)
        chart->legend()->hide();
}

void addPie(QChart* chart, const ChartData& data)
{
    auto* series = new QPieSeries;
    series->setPieSize(0.55);
    const double total = data.total();
    for (int i = 0; i < data.slices.size(); ++i) {
        const ChartSlice& slice = data.slices.at(i);
        if (!std::isfinite(slice.value))
            continue;
        const double share = total > 0 ? 100.0 * slice.value / total : 0;
        QPieSlice* piece = series->append(slice.label, slice.value);
        piece->setLabel(
            QStringLiteral("%1: %2 (%3%)").arg(slice.label, valueText(slice.value), QString::number(share, 'f', 1)));
        piece->setLabelVisible(true);
        piece->setLabelPosition(QPieSlice::LabelOutside);
        piece->setBorderColor(Qt::white);
        const bool rest = data.lastIsRest && i == data.slices.size() - 1;
        piece->setColor(rest ? kRest : kPalette[i % 10]);
    }
    chart->addSeries(series);
    chart->legend()->hide();
}

void setFonts(QChart* chart, const QFont& labels)
{
    for (QAbstractAxis* axis : chart->axes()) {
        QFont axisLabels = labels;
        // Many lanes: smaller numbers, so that each fits under its bar.
        if (auto* categories = qobject_cast<QBarCategoryAxis*>(axis); categories && categories->count() > 24)
            axisLabels.setPointSizeF(6);
        axis->setLabelsFont(axisLabels);
        QFont title = labels;
        title.setBold(true);
        axis->setTitleFont(title);
    }
    for (QAbstractSeries* series : chart->series()) {
        if (auto* bars = qobject_cast<QBarSeries*>(series)) {
            for (QBarSet* set : bars->barSets())
                set->setLabelFont(labels);
        } else if (auto* pie = qobject_cast<QPieSeries*>(series)) {
            for (QPieSlice* slice : pie->slices())
                slice->setLabelFont(labels);
        }
    }
    chart->legend()->setFont(labels);
}

} // namespace

void drawChart(QPainter& painter, const QRectF& area, const ChartData& data)
{
    // The chart is laid out as on a screen of 96 dots per inch, with fonts in
    // points, and drawn as an image sharp enough for the device it goes to.
    const double screenPerPoint = 96.0 / 72.0;
    const QSizeF sceneSize = area.size() * screenPerPoint;
    QGraphicsScene scene;
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTheme(QChart::ChartThemeLight);
    chart->setBackgroundVisible(false);
    chart->setPlotAreaBackgroundVisible(false);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QFont labels(QStringLiteral("DejaVu Sans"));
    labels.setPointSizeF(7.5);
    chart->setFont(labels);
    if (data.kind == ChartData::Kind::Pie)
        addPie(chart, data);
    else if (data.kind == ChartData::Kind::Line)
        addLines(chart, data);
    else
        addBars(chart, data);
    setFonts(chart, labels);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), sceneSize));

    // 300 dots per inch at most: enough for paper, and a PDF of many graphs stays small.
    const double devicePerPoint = std::abs(painter.worldTransform().m11());
    const double pixelsPerPoint = std::clamp(devicePerPoint, 1.0, 300.0 / 72.0);
    QImage image((area.size() * pixelsPerPoint).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter onImage(&image);
        onImage.setRenderHint(QPainter::Antialiasing);
        onImage.setRenderHint(QPainter::TextAntialiasing);
        scene.render(&onImage, QRectF(QPointF(0, 0), QSizeF(image.size())), QRectF(QPointF(0, 0), sceneSize));
    }
    painter.drawImage(area, image);
}

} // namespace reports

#include "ChartPainter.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>

#include <cmath>

namespace reports {
namespace {

QString valueText(double value)
{
    return value == std::floor(value) ? QString::number(qint64(value)) : QString::number(value, 'f', 1);
}

void addBars(QChart* chart, const ChartData& data)
{
    auto* set =
        new QBarSet(data.definition.valueHeading.isEmpty() ? QStringLiteral("Calls") : data.definition.valueHeading);
    set->setColor(QColor(0x3B, 0x6E, 0xA5));
    set->setLabelColor(QColor(0x20, 0x20, 0x20));
    QStringList categories;
    double top = 0;
    qsizetype longest = 0;
    for (const ChartSlice& slice : data.slices) {
        *set << slice.value;
        categories << slice.label;
        top = std::max(top, slice.value);
        longest = std::max(longest, slice.label.size());
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setBarWidth(0.7);
    chart->addSeries(series);

    auto* axisX = new QBarCategoryAxis;
    axisX->append(categories);
    axisX->setTitleText(data.definition.categoryHeading);
    // Names stand upright once they no longer fit side by side; lane numbers do.
    if (longest > 4 && categories.size() * (longest + 2) > 110)
        axisX->setLabelsAngle(-90);
    axisX->setGridLineVisible(false);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);

    auto* axisY = new QValueAxis;
    // Room above the tallest bar for its value.
    const double ceiling = std::max(1.0, std::ceil(top * 1.15));
    axisY->setRange(0, ceiling);
    axisY->setLabelFormat(QStringLiteral("%d"));
    axisY->setTickType(QValueAxis::TicksDynamic);
    const double step = std::max(1.0, std::pow(10.0, std::floor(std::log10(ceiling / 2))));
    axisY->setTickInterval(ceiling / step > 10 ? step * 2 : step);
    axisY->setTickAnchor(0);
    axisY->setTitleText(data.definition.valueHeading);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    chart->legend()->hide();
}

void addPie(QChart* chart, const ChartData& data)
{
    // Neighbouring slices in clearly different colours; the rest in grey.
    static const QColor palette[] = {QColor(0x3B, 0x6E, 0xA5), QColor(0xE0, 0x8A, 0x2E), QColor(0x4E, 0x9A, 0x4A),
                                     QColor(0xC0, 0x45, 0x3B), QColor(0x7B, 0x5E, 0xA7), QColor(0x2F, 0x9C, 0xA8),
                                     QColor(0xC9, 0xA2, 0x27), QColor(0x8C, 0x56, 0x3C), QColor(0xD1, 0x6B, 0xA5),
                                     QColor(0x5C, 0x7A, 0x29)};
    auto* series = new QPieSeries;
    series->setPieSize(0.55);
    int index = 0;
    for (const ChartSlice& slice : data.slices) {
        const double share = data.total > 0 ? 100.0 * slice.value / data.total : 0;
        QPieSlice* piece = series->append(slice.label, slice.value);
        piece->setLabel(
            QStringLiteral("%1: %2 (%3%)").arg(slice.label, valueText(slice.value), QString::number(share, 'f', 1)));
        piece->setLabelVisible(true);
        piece->setLabelPosition(QPieSlice::LabelOutside);
        piece->setBorderColor(Qt::white);
        const bool rest = data.definition.top > 0 && index == data.definition.top;
        piece->setColor(rest ? QColor(0xB0, 0xB0, 0xB0) : palette[index % 10]);
        ++index;
    }
    chart->addSeries(series);
    chart->legend()->hide();
}

} // namespace

void paintChart(QPainter& painter, const QRectF& area, const ChartData& data, double fontScale)
{
    Q_UNUSED(fontScale)
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
    if (data.definition.kind == Chart::Kind::Pie)
        addPie(chart, data);
    else
        addBars(chart, data);
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
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), sceneSize));

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

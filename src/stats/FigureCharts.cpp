#include "FigureCharts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>

#include <cmath>

namespace stats::charts {
namespace {

const QColor kBlue(0x3B, 0x6E, 0xA5);
const QColor kGoal(0x2E, 0x8B, 0x3A);
// Neighbouring lines and bars in clearly different colours.
const QColor kPalette[] = {QColor(0x3B, 0x6E, 0xA5), QColor(0xE0, 0x8A, 0x2E), QColor(0x4E, 0x9A, 0x4A),
                           QColor(0xC0, 0x45, 0x3B), QColor(0x7B, 0x5E, 0xA7), QColor(0x2F, 0x9C, 0xA8),
                           QColor(0xC9, 0xA2, 0x27), QColor(0x8C, 0x56, 0x3C), QColor(0xD1, 0x6B, 0xA5),
                           QColor(0x5C, 0x7A, 0x29)};

QColor colour(qsizetype i)
{
    return kPalette[size_t(i) % std::size(kPalette)];
}

qreal at(QDate day)
{
    return qreal(day.startOfDay().toMSecsSinceEpoch());
}

QChart* newChart(const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    return chart;
}

/// A value axis from 0 with room above the highest value for its label, its
/// ticks on whole steps of 1, 2 or 5 times a power of ten.
QValueAxis* valueAxis(double top, const QString& title)
{
    const double room = std::max(1.0, std::ceil(top * 1.15));
    const double magnitude = std::pow(10.0, std::floor(std::log10(room / 5)));
    double step = magnitude;
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * magnitude;
        if (step * 5 >= room)
            break;
    }
    step = std::max(1.0, step);
    auto* axis = new QValueAxis;
    axis->setRange(0, std::ceil(room / step) * step);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTitleText(title);
    return axis;
}

QDateTimeAxis* dateAxis(QDate first, QDate last, Grain grain)
{
    auto* axis = new QDateTimeAxis;
    if (last <= first)
        last = first.addDays(1);
    axis->setRange(first.startOfDay(), last.startOfDay());
    const bool oneYear = first.year() == last.year();
    switch (grain) {
    case Grain::Day:
    case Grain::Week:
        axis->setFormat(oneYear ? QStringLiteral("MM/dd") : QStringLiteral("MM/dd/yy"));
        break;
    case Grain::Month:
        axis->setFormat(QStringLiteral("MMM yy"));
        break;
    case Grain::Year:
        axis->setFormat(QStringLiteral("yyyy"));
        break;
    }
    // A few periods get a tick each, on the period; more share six ticks.
    const int periods = int(periodsOf({first, last}, grain).size());
    axis->setTickCount(periods >= 2 && periods <= 8 ? periods : 6);
    if (!oneYear || grain == Grain::Month)
        axis->setLabelsAngle(-45);
    axis->setTruncateLabels(false);
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y)
{
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QBarSet* barSet(const QString& name, const QList<Bar>& bars, QColor fill)
{
    auto* set = new QBarSet(name);
    set->setColor(fill);
    set->setLabelColor(QColor(0x20, 0x20, 0x20));
    for (const Bar& bar : bars)
        *set << bar.value;
    return set;
}

/// The axis under the bars: every name while they fit, else every few names
/// on their bars (a category axis would shorten each name to nothing).
QAbstractAxis* categoryAxis(const QList<Bar>& bars, const QString& title)
{
    const qsizetype every = bars.size() > 16 ? (bars.size() + 11) / 12 : 1;
    QAbstractAxis* axis = nullptr;
    if (every == 1) {
        auto* names = new QBarCategoryAxis;
        qsizetype longest = 0;
        for (const Bar& bar : bars) {
            names->append(bar.label);
            longest = std::max(longest, bar.label.size());
        }
        // Names in full, upright once they no longer fit side by side (the
        // engine leaves out a name that would overlap another).
        names->setTruncateLabels(false);
        if (longest * bars.size() > 50)
            names->setLabelsAngle(-90);
        axis = names;
    } else {
        auto* sparse = new QCategoryAxis;
        sparse->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        sparse->setRange(-0.5, double(bars.size()) - 0.5);
        for (qsizetype i = 0; i < bars.size(); i += every)
            sparse->append(bars.at(i).label, double(i));
        axis = sparse;
    }
    axis->setTitleText(title);
    axis->setGridLineVisible(false);
    return axis;
}

} // namespace

QChart* framesPerStop(const FramesPerStop& figure, Grain grain, int goal)
{
    QChart* chart = newChart(QStringLiteral("Frames per Stop"));
    if (figure.line.isEmpty())
        return chart;
    const QDate first = figure.line.first().period;
    const QDate last = figure.line.last().period;
    QDateTimeAxis* x = dateAxis(first, last, grain);
    double top = goal;
    for (const LinePoint& point : figure.line)
        top = std::max(top, point.value.value_or(0));
    QValueAxis* y = valueAxis(top, QStringLiteral("Frames per stop"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    QLineSeries* piece = nullptr;
    int pieces = 0;
    for (const LinePoint& point : figure.line) {
        if (!point.value) {
            piece = nullptr; // a period without a figure breaks the line
            continue;
        }
        if (!piece) {
            piece = new QLineSeries;
            piece->setName(QStringLiteral("Frames per stop"));
            piece->setPen(QPen(kBlue, 2));
            piece->setPointsVisible(true);
            attach(chart, piece, x, y);
            // One entry in the legend for all the pieces.
            if (pieces++ > 0)
                chart->legend()->markers(piece).value(0)->setVisible(false);
        }
        piece->append(at(point.period), *point.value);
    }
    auto* goalLine = new QLineSeries;
    goalLine->setName(QStringLiteral("Goal (%1)").arg(QLocale().toString(goal)));
    goalLine->setPen(QPen(kGoal, 2, Qt::DashLine));
    goalLine->append(at(first), goal);
    goalLine->append(at(std::max(last, first.addDays(1))), goal);
    attach(chart, goalLine, x, y);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QChart* bars(const QString& title, const QList<Bar>& bars, const QString& categoryTitle, const QString& valueTitle)
{
    QChart* chart = newChart(title);
    auto* series = new QBarSeries;
    series->append(barSet(valueTitle, bars, kBlue));
    // Values above the bars while there is room for them; the grid beside the chart has them all.
    series->setLabelsVisible(bars.size() <= 16);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setBarWidth(0.7);
    double top = 0;
    for (const Bar& bar : bars)
        top = std::max(top, bar.value);
    QAbstractAxis* x = categoryAxis(bars, categoryTitle);
    chart->addAxis(x, Qt::AlignBottom);
    QValueAxis* y = valueAxis(top, valueTitle);
    chart->addAxis(y, Qt::AlignLeft);
    attach(chart, series, x, y);
    chart->legend()->hide();
    return chart;
}

QChart* lyingBars(const QString& title, const QList<Bar>& bars, const QString& valueTitle)
{
    QChart* chart = newChart(title);
    // The engine draws the first category at the bottom; the first bar goes on top.
    QList<Bar> upward(bars.crbegin(), bars.crend());
    auto* series = new QHorizontalBarSeries;
    series->append(barSet(valueTitle, upward, kBlue));
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    QStringList categories;
    double top = 0;
    for (const Bar& bar : upward) {
        categories << bar.label;
        top = std::max(top, bar.value);
    }
    auto* y = new QBarCategoryAxis;
    y->append(categories);
    y->setGridLineVisible(false);
    // Names in full: where they would overlap the engine leaves some out rather than cut them all.
    y->setTruncateLabels(false);
    QFont small = y->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    y->setLabelsFont(small);
    chart->addAxis(y, Qt::AlignLeft);
    QValueAxis* x = valueAxis(top, valueTitle);
    chart->addAxis(x, Qt::AlignBottom);
    attach(chart, series, x, y);
    chart->legend()->hide();
    return chart;
}

QChart* mechanicWeeks(const MechanicFigures& figure)
{
    QChart* chart = newChart(QStringLiteral("Calls per Mechanic by Week"));
    const FigureTable& table = figure.byWeek;
    if (table.rowCount() == 0)
        return chart;
    const QDate first = table.value(0, 0).toDate();
    const QDate last = table.value(table.rowCount() - 1, 0).toDate();
    QDateTimeAxis* x = dateAxis(first, last, Grain::Week);
    double top = 0;
    for (int row = 0; row < table.rowCount(); ++row)
        for (int column = 1; column <= figure.mechanics.size(); ++column)
            top = std::max(top, table.number(row, column));
    QValueAxis* y = valueAxis(top, QStringLiteral("Calls"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (int m = 0; m < figure.mechanics.size(); ++m) {
        auto* line = new QLineSeries;
        line->setName(figure.mechanics.at(m));
        line->setPen(QPen(colour(m), 2));
        line->setPointsVisible(true);
        for (int row = 0; row < table.rowCount(); ++row)
            line->append(at(table.value(row, 0).toDate()), table.number(row, m + 1));
        attach(chart, line, x, y);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QChart* sectionShares(const MechanicFigures& figure)
{
    QChart* chart = newChart(QStringLiteral("Share of Each Section's Calls"));
    const FigureTable& table = figure.sectionShares;
    QStringList sections;
    for (int row = 0; row < table.rowCount(); ++row)
        if (!sections.contains(table.value(row, 1).toString()))
            sections << table.value(row, 1).toString();
    auto* series = new QBarSeries;
    for (int m = 0; m < figure.mechanics.size(); ++m) {
        QList<Bar> shares;
        for (const QString& section : sections) {
            double share = 0;
            for (int row = 0; row < table.rowCount(); ++row)
                if (table.value(row, 0).toString() == figure.mechanics.at(m) && table.value(row, 1) == section)
                    share = table.number(row, 4);
            shares.append({section, share});
        }
        series->append(barSet(figure.mechanics.at(m), shares, colour(m)));
    }
    QList<Bar> names;
    for (const QString& section : sections)
        names.append({section, 0});
    QAbstractAxis* x = categoryAxis(names, QString());
    chart->addAxis(x, Qt::AlignBottom);
    auto* y = new QValueAxis;
    y->setRange(0, 100);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(20);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("Share of the section's calls (%)"));
    chart->addAxis(y, Qt::AlignLeft);
    attach(chart, series, x, y);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QList<Bar> barsOf(const FigureTable& table, int valueColumn)
{
    QList<Bar> result;
    for (int row = 0; row < table.rowCount(); ++row)
        result.append({table.text(row, 0), table.number(row, valueColumn)});
    return result;
}

} // namespace stats::charts

#include "FigurePrint.h"

#include <QLocale>

#include <cmath>

namespace stats::print {
namespace {

using Printed = reports::FigureTable;

// Columns of counts that fit across a landscape page with every value whole
// (a week's date takes the room of about two lane numbers): 12 weeks with a
// lane and its total, or 32 lanes of up to 99 calls a week beside a week.
constexpr int kWeeksAcross = 12;
constexpr int kLanesAcross = 32;
// Tables wider than this many columns are printed across the page's length.
constexpr int kPortraitColumns = 8;

QString count(qint64 n)
{
    return QLocale().toString(n);
}

QString counted(qint64 n, const QString& one, const QString& many)
{
    return count(n) + QLatin1Char(' ') + (n == 1 ? one : many);
}

Printed::Column column(const Column& shown)
{
    switch (shown.kind) {
    case Kind::Day:
    case Kind::Week:
        return {shown.caption, Printed::Type::Date, 0};
    case Kind::Month:
    case Kind::Year:
    case Kind::Text:
        return {shown.caption, Printed::Type::Text, 0};
    case Kind::Count:
    case Kind::Ratio:
        return {shown.caption, Printed::Type::Number, 0};
    case Kind::Decimal:
        return {shown.caption, Printed::Type::Number, 1};
    case Kind::Percent:
        return {shown.caption + QStringLiteral(" (%)"), Printed::Type::Number, 1};
    }
    return {shown.caption, Printed::Type::Text, 0};
}

QVariant value(const FigureTable& figures, int row, int c)
{
    const QVariant v = figures.value(row, c);
    if (v.isNull() || v.typeId() == QMetaType::QString)
        return v;
    switch (figures.columns().at(c).kind) {
    case Kind::Month:
        // Months in English like every word of the program, whatever the user's language.
        return QLocale::c().toString(v.toDate(), QStringLiteral("MMMM yyyy"));
    case Kind::Year:
        return QString::number(v.toDate().year());
    case Kind::Ratio:
        // Whole, rounded as the window rounds it.
        return qint64(std::llround(v.toDouble()));
    default:
        return v;
    }
}

Printed bare(const QString& title, const QString& period)
{
    Printed printed;
    printed.title = title;
    printed.period = period;
    printed.fileName = title.toLower();
    return printed;
}

void fitPaper(Printed& printed)
{
    printed.landscape = printed.columns.size() > kPortraitColumns;
}

void chart(Printed& printed, Printed::ChartPlace place, reports::ChartData::Kind kind, int category, QList<int> values)
{
    printed.chartPlace = place;
    printed.chartKind = kind;
    printed.chartCategory = category;
    printed.chartValues = std::move(values);
}

QString withRange(const Request& request, const QString& more)
{
    return more.isEmpty() ? periodWords(request.range) : periodWords(request.range) + QLatin1Char('\n') + more;
}

// The grid with its weeks' captions as dates printed everywhere else.
Printed weeksAcross(const FigureTable& grid, const QList<QDate>& weeks, const QString& period)
{
    Printed printed = table(grid, period);
    for (int w = 0; w < weeks.size() && w + 1 < printed.columns.size(); ++w)
        printed.columns[w + 1].caption = reports::reportDate(weeks.at(w));
    return printed;
}

// The grid turned: a row a week, a column a lane. Each lane's total, three
// digits over a year, would not fit under its number: "Lanes That Need
// Attention" has it.
Printed lanesAcross(const FigureTable& grid, const QList<QDate>& weeks, const QString& period)
{
    const int lanes = grid.rowCount();
    Printed printed = bare(
        grid.title(), period + QStringLiteral("\nOne row a week, one column a lane; each lane's total calls are in "
                                              "Lanes That Need Attention."));
    printed.columns << Printed::Column{QStringLiteral("Week of"), Printed::Type::Date, 0};
    for (int lane = 0; lane < lanes; ++lane)
        printed.columns << Printed::Column{grid.value(lane, 0).toString(), Printed::Type::Number, 0};
    for (int w = 0; w < weeks.size(); ++w) {
        QList<QVariant> row{weeks.at(w)};
        for (int lane = 0; lane < lanes; ++lane)
            row << qint64(grid.number(lane, w + 1));
        printed.rows << row;
    }
    printed.landscape = true;
    return printed;
}

Printed listed(const FigureTable& grid, const QList<QDate>& weeks, const QString& period)
{
    Printed printed = bare(grid.title(), period + QStringLiteral("\nEach lane's weeks with calls."));
    printed.columns = {{QStringLiteral("Lane"), Printed::Type::Number, 0},
                       {QStringLiteral("Week of"), Printed::Type::Date, 0},
                       {QStringLiteral("Calls"), Printed::Type::Number, 0}};
    for (int lane = 0; lane < grid.rowCount(); ++lane) {
        for (int w = 0; w < weeks.size(); ++w) {
            const qint64 calls = qint64(grid.number(lane, w + 1));
            if (calls > 0)
                printed.rows << QList<QVariant>{grid.value(lane, 0), weeks.at(w), calls};
        }
    }
    return printed;
}

} // namespace

QString periodWords(const DateRange& range)
{
    const qint64 days = range.days();
    return QStringLiteral("Figures of %1 to %2 (%3).")
        .arg(reports::reportDate(range.from), reports::reportDate(range.to),
             counted(days, QStringLiteral("day"), QStringLiteral("days")));
}

Printed table(const FigureTable& figures, const QString& period)
{
    Printed printed = bare(figures.title(), period);
    for (const Column& shown : figures.columns())
        printed.columns << column(shown);
    printed.rows.reserve(figures.rowCount());
    for (int row = 0; row < figures.rowCount(); ++row) {
        QList<QVariant> values;
        values.reserve(figures.columnCount());
        for (int c = 0; c < figures.columnCount(); ++c)
            values << value(figures, row, c);
        printed.rows << values;
    }
    fitPaper(printed);
    return printed;
}

Printed framesPerStop(const FramesPerStop& figure, const Request& request)
{
    QString notes = framesSummary(figure);
    if (const QString leftOut = leftOutNote(figure); !leftOut.isEmpty())
        notes += QLatin1Char('\n') + leftOut;
    Printed printed = table(figure.table, withRange(request, notes));
    // The goal in every row: the chart draws it as a line beside the figure.
    printed.columns << Printed::Column{QStringLiteral("Goal"), Printed::Type::Number, 0};
    for (QList<QVariant>& row : printed.rows)
        row << qint64(request.goal);
    const int ratio = 3;
    chart(printed, Printed::ChartPlace::Above, reports::ChartData::Kind::Line, 0,
          {ratio, int(printed.columns.size()) - 1});
    return printed;
}

Printed lanesRanked(const LaneFigures& figure, const Request& request)
{
    const QString which = request.lanes > 0 ? QStringLiteral("Lanes 1 to %1, most calls first.").arg(request.lanes)
                                            : QStringLiteral("Every lane logged, most calls first.");
    Printed printed = table(figure.ranked, withRange(request, which));
    const int lane = 1, calls = 2;
    chart(printed, Printed::ChartPlace::Above, reports::ChartData::Kind::Bar, lane, {calls});
    return printed;
}

Printed laneWeeks(const LaneFigures& figure, const Request& request)
{
    const QList<QDate> weeks = periodsOf(request.range, Grain::Week);
    const FigureTable& grid = figure.grid;
    const QString period = periodWords(request.range);
    if (grid.columnCount() != weeks.size() + 2 || weeks.size() <= kWeeksAcross)
        return weeksAcross(grid, weeks, period);
    if (grid.rowCount() <= kLanesAcross)
        return lanesAcross(grid, weeks, period);
    return listed(grid, weeks, period);
}

Printed otherLanes(const LaneFigures& figure, const Request& request)
{
    return table(figure.outside, periodWords(request.range));
}

Printed repeatsRanked(const RepeatCalls& figure, const Request& request)
{
    return table(figure.ranked, withRange(request, repeatsNote(figure, request.repeatDays)));
}

Printed eachRepeat(const RepeatCalls& figure, const Request& request)
{
    return table(figure.repeats, withRange(request, repeatsNote(figure, request.repeatDays)));
}

Printed stopTimes(const FigureTable& shown, const Request& request, bool charted)
{
    Printed printed = table(shown, periodWords(request.range));
    if (charted)
        chart(printed, Printed::ChartPlace::Beside, reports::ChartData::Kind::Bar, 0, {1});
    return printed;
}

Printed mechanicWeeks(const MechanicFigures& figure, const Request& request)
{
    Printed printed = table(figure.byWeek, periodWords(request.range));
    QList<int> lines;
    for (int m = 0; m < figure.mechanics.size(); ++m)
        lines << m + 1;
    if (!lines.isEmpty())
        chart(printed, Printed::ChartPlace::Above, reports::ChartData::Kind::Line, 0, lines);
    return printed;
}

Printed sectionShares(const MechanicFigures& figure, const Request& request)
{
    return table(figure.sectionShares, periodWords(request.range));
}

QString framesSummary(const FramesPerStop& figure)
{
    if (figure.table.rowCount() == 0)
        return QStringLiteral("No call and no frame count between these dates.");
    if (figure.daysCounted == 0)
        return QStringLiteral("Over the range: no day with a frame count.");
    const QString days = counted(figure.daysCounted, QStringLiteral("day"), QStringLiteral("days"));
    if (const auto overall = figure.overall())
        return QStringLiteral("Over the range: %1 frames per stop (%2 frames, %3 on %4 with a frame count).")
            .arg(count(std::llround(*overall)), count(figure.frames),
                 counted(figure.calls, QStringLiteral("call"), QStringLiteral("calls")), days);
    return QStringLiteral("Over the range: %1 frames and no stop on %2 with a frame count.")
        .arg(count(figure.frames), days);
}

QString leftOutNote(const FramesPerStop& figure)
{
    if (figure.table.rowCount() == 0)
        return {};
    if (figure.daysLeftOut == 0)
        return QStringLiteral("No day was left out: every day with calls has a frame count.");
    return QStringLiteral("%1 with calls but no frame count %2 left out (%3): enter their frame counts to count them.")
        .arg(counted(figure.daysLeftOut, QStringLiteral("day"), QStringLiteral("days")),
             figure.daysLeftOut == 1 ? QStringLiteral("was") : QStringLiteral("were"),
             counted(figure.callsLeftOut, QStringLiteral("call"), QStringLiteral("calls")));
}

QString repeatsNote(const RepeatCalls& figure, int days)
{
    return QStringLiteral("%1: the same call on the same lane again within %2.")
        .arg(counted(figure.repeats.rowCount(), QStringLiteral("repeat"), QStringLiteral("repeats")),
             counted(days, QStringLiteral("day"), QStringLiteral("days")));
}

} // namespace stats::print

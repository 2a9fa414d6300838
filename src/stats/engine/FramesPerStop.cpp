#include "Figures.h"

#include <QHash>

namespace stats {
namespace {

enum FrameColumn { kPeriod, kFrames, kCalls, kPerStop, kDaysCounted, kDaysLeftOut, kCallsLeftOut };

Kind periodKind(Grain grain)
{
    switch (grain) {
    case Grain::Day:
        return Kind::Day;
    case Grain::Week:
        return Kind::Week;
    case Grain::Month:
        return Kind::Month;
    case Grain::Year:
        return Kind::Year;
    }
    return Kind::Day;
}

QString grainName(Grain grain)
{
    switch (grain) {
    case Grain::Day:
        return QStringLiteral("Day");
    case Grain::Week:
        return QStringLiteral("Week");
    case Grain::Month:
        return QStringLiteral("Month");
    case Grain::Year:
        return QStringLiteral("Year");
    }
    return {};
}

FigureTable emptyTable(Grain grain)
{
    return FigureTable(QStringLiteral("Frames per Stop by ") + grainName(grain),
                       {{grain == Grain::Week ? QStringLiteral("Week of") : grainName(grain), periodKind(grain)},
                        {QStringLiteral("Frames"), Kind::Count},
                        {QStringLiteral("Calls"), Kind::Count},
                        {QStringLiteral("Frames per stop"), Kind::Ratio},
                        {QStringLiteral("Days counted"), Kind::Count},
                        {QStringLiteral("Days left out"), Kind::Count},
                        {QStringLiteral("Calls left out"), Kind::Count}});
}

} // namespace

std::optional<double> FramesPerStop::overall() const
{
    if (daysCounted == 0 || calls == 0)
        return std::nullopt;
    return double(frames) / double(calls);
}

QVariantList rangeParameters(const DateRange& range)
{
    return {range.from.toString(Qt::ISODate), range.to.toString(Qt::ISODate)};
}

QList<Statement> framesPerStopStatements(const Request& request)
{
    // A day counts when its frame count is above 0: calls are logged only
    // while lanes run, so a day of calls and no frames is a count not entered.
    // The figure of a period is its counted days' frames over their calls.
    const QString sql =
        QStringLiteral(
            "WITH c AS (SELECT DateNow AS d, count(*) AS calls FROM DData WHERE DateNow BETWEEN ?1 AND ?2 "
            "GROUP BY DateNow), "
            "f AS (SELECT DateNow AS d, sum(total) AS frames FROM Frames WHERE DateNow BETWEEN ?1 AND ?2 "
            "AND total > 0 GROUP BY DateNow), "
            "days AS (SELECT d FROM c UNION SELECT d FROM f), "
            "daily AS (SELECT days.d AS d, f.frames AS frames, coalesce(c.calls, 0) AS calls "
            "FROM days LEFT JOIN f USING (d) LEFT JOIN c USING (d)) "
            "SELECT %1 AS p, sum(frames), total(CASE WHEN frames IS NOT NULL THEN calls END), count(frames), "
            "total(frames IS NULL AND calls > 0), total(CASE WHEN frames IS NULL THEN calls END) "
            "FROM daily GROUP BY p ORDER BY p")
            .arg(periodSql(QStringLiteral("d"), QStringLiteral("?3")));
    QVariantList parameters = rangeParameters(request.range);
    parameters << int(request.grain);
    return {{QStringLiteral("frames and calls per period"), sql, parameters}};
}

bool workOut(FigureRun& run, const Request& request, FramesPerStop* figure)
{
    *figure = FramesPerStop();
    FigureTable& table = figure->table;
    table = emptyTable(request.grain);
    QHash<qint64, std::optional<double>> perPeriod;
    const bool ran = run.each(framesPerStopStatements(request).first(), [&](const Row& row) {
        const QDate period = row.date(0);
        const qint64 frames = row.integer(1);
        const qint64 calls = qint64(row.real(2));
        const int counted = int(row.integer(3));
        const int leftOut = int(row.real(4));
        const qint64 callsLeftOut = qint64(row.real(5));
        table.addRow();
        table.setDate(kPeriod, period);
        if (counted > 0) {
            table.setCount(kFrames, frames);
            table.setCount(kCalls, calls);
            if (calls > 0)
                table.setReal(kPerStop, double(frames) / double(calls));
            else
                table.setText(kPerStop, QStringLiteral("no stop"));
        }
        table.setCount(kDaysCounted, counted);
        table.setCount(kDaysLeftOut, leftOut);
        table.setCount(kCallsLeftOut, callsLeftOut);
        if (counted > 0 && calls > 0)
            perPeriod.insert(period.toJulianDay(), double(frames) / double(calls));
        figure->frames += counted > 0 ? frames : 0;
        figure->calls += calls;
        figure->daysCounted += counted;
        figure->daysLeftOut += leftOut;
        figure->callsLeftOut += callsLeftOut;
    });
    if (!ran)
        return false;
    for (const QDate& period : periodsOf(request.range, request.grain))
        figure->line.append({period, perPeriod.value(period.toJulianDay())});
    return true;
}

} // namespace stats

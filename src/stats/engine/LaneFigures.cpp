#include "Figures.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <map>

namespace stats {
namespace {

/// A lane as stored: a lane number, or what was stored when it is not a whole number.
struct Lane {
    bool numbered = false;
    qint64 number = 0;
    QString stored;

    static Lane of(const Row& row, int column)
    {
        // The type is asked before any value is read: reading converts it.
        Lane lane;
        if (row.isInteger(column)) {
            lane.numbered = true;
            lane.number = row.integer(column);
        } else if (row.isReal(column)) {
            const double value = row.real(column);
            lane.numbered = std::trunc(value) == value && std::abs(value) < 1e15;
            lane.number = lane.numbered ? qint64(value) : 0;
            lane.stored = QString::number(value);
        } else if (!row.isNull(column)) {
            const std::string_view text = row.text(column);
            lane.stored = QString::fromUtf8(text.data(), qsizetype(text.size()));
        }
        return lane;
    }
    QString key() const { return numbered ? QString::number(number) : QStringLiteral("~") + stored; }
    bool operator<(const Lane& other) const
    {
        if (numbered != other.numbered)
            return numbered;
        return numbered ? number < other.number : stored < other.stored;
    }
};

struct LaneTally {
    Lane lane;
    qint64 calls = 0;
    QList<QPair<QString, qint64>> topCalls;
};

enum RankColumn { kRank, kLane, kCalls, kShare, kFirstCall };

QList<Column> rankColumns(bool ranked)
{
    QList<Column> columns;
    if (ranked)
        columns << Column{QStringLiteral("Rank"), Kind::Count};
    columns << Column{QStringLiteral("Lane"), Kind::Count} << Column{QStringLiteral("Calls"), Kind::Count}
            << Column{QStringLiteral("Share of calls"), Kind::Percent};
    const char* const names[] = {"Most frequent call", "Second", "Third"};
    for (const char* name : names)
        columns << Column{QString::fromLatin1(name), Kind::Text} << Column{QStringLiteral("Times"), Kind::Count};
    return columns;
}

void setLane(FigureTable& table, int column, const Lane& lane)
{
    if (lane.numbered)
        table.setCount(column, lane.number);
    else
        table.setText(column, lane.stored.isEmpty() ? QStringLiteral("(no lane)") : lane.stored);
}

void addTally(FigureTable& table, const LaneTally& tally, qint64 all, int rank)
{
    table.addRow();
    const int first = rank > 0 ? 0 : -1;
    if (rank > 0)
        table.setCount(kRank, rank);
    setLane(table, first + kLane, tally.lane);
    table.setCount(first + kCalls, tally.calls);
    if (all > 0)
        table.setReal(first + kShare, 100.0 * double(tally.calls) / double(all));
    for (int i = 0; i < tally.topCalls.size(); ++i) {
        table.setText(first + kFirstCall + 2 * i, tally.topCalls.at(i).first);
        table.setCount(first + kFirstCall + 2 * i + 1, tally.topCalls.at(i).second);
    }
}

bool inCentre(const Lane& lane, int lanes)
{
    return lane.numbered && lane.number >= 1 && (lanes <= 0 || lane.number <= lanes);
}

} // namespace

QList<Statement> laneStatements(const Request& request)
{
    const QVariantList range = rangeParameters(request.range);
    // Calls per day and lane first (in the order of the index on DateNow,
    // LaneNo), then per week: the date arithmetic runs once a day, not once a call.
    const QString grid =
        QStringLiteral("SELECT date(d, '-6 days', 'weekday 0') AS w, lane, sum(n) FROM "
                       "(SELECT DateNow AS d, LaneNo AS lane, count(*) AS n FROM DData WHERE DateNow BETWEEN ?1 AND ?2 "
                       "GROUP BY DateNow, LaneNo) GROUP BY w, lane ORDER BY w, lane");
    const QString top = QStringLiteral(
        "SELECT lane, call, n FROM (SELECT LaneNo AS lane, callmade AS call, count(*) AS n, "
        "row_number() OVER (PARTITION BY LaneNo ORDER BY count(*) DESC, callmade) AS r "
        "FROM DData WHERE DateNow BETWEEN ?1 AND ?2 GROUP BY LaneNo, callmade) WHERE r <= 3 ORDER BY lane, r");
    return {{QStringLiteral("calls per lane and week"), grid, range},
            {QStringLiteral("three most frequent calls of each lane"), top, range}};
}

bool workOut(FigureRun& run, const Request& request, LaneFigures* figure)
{
    *figure = LaneFigures();
    const QList<Statement> statements = laneStatements(request);
    std::map<Lane, LaneTally> lanes;
    QHash<QString, QHash<qint64, qint64>> weekly; // lane key -> week (Julian day) -> calls
    bool ran = run.each(statements.at(0), [&](const Row& row) {
        const Lane lane = Lane::of(row, 1);
        LaneTally& tally = lanes[lane];
        tally.lane = lane;
        tally.calls += row.integer(2);
        weekly[lane.key()][row.date(0).toJulianDay()] += row.integer(2);
        figure->calls += row.integer(2);
    });
    ran = ran && run.each(statements.at(1), [&](const Row& row) {
        const std::string_view call = row.text(1);
        lanes[Lane::of(row, 0)].topCalls.append(
            {QString::fromUtf8(call.data(), qsizetype(call.size())), row.integer(2)});
    });
    if (!ran)
        return false;
    // Every lane of the centre is listed, a lane without calls too.
    for (int number = 1; number <= request.lanes; ++number) {
        Lane lane{true, number, {}};
        lanes[lane].lane = lane;
    }
    QList<LaneTally> inside, outside;
    for (const auto& [lane, tally] : lanes)
        (inCentre(lane, request.lanes) ? inside : outside).append(tally);

    for (const LaneTally& tally : inside)
        figure->perLane.append({QString::number(tally.lane.number), double(tally.calls)});
    std::stable_sort(inside.begin(), inside.end(),
                     [](const LaneTally& a, const LaneTally& b) { return a.calls > b.calls; });
    const QString lanesText = request.lanes > 0 ? QString::number(request.lanes) : QString();
    figure->ranked = FigureTable(QStringLiteral("Lanes That Need Attention"), rankColumns(true));
    for (int i = 0; i < inside.size(); ++i) {
        // Lanes with as many calls share a rank.
        const bool tie = i > 0 && inside.at(i).calls == inside.at(i - 1).calls;
        const int rank = tie ? int(figure->ranked.value(i - 1, kRank).toLongLong()) : i + 1;
        addTally(figure->ranked, inside.at(i), figure->calls, rank);
    }
    figure->outside = FigureTable(request.lanes > 0 ? QStringLiteral("Calls on Lanes Other Than 1 to ") + lanesText
                                                    : QStringLiteral("Calls on Lanes That Are Not Lane Numbers"),
                                  rankColumns(false));
    for (const LaneTally& tally : outside)
        addTally(figure->outside, tally, figure->calls, 0);

    const QList<QDate> weeks = periodsOf(request.range, Grain::Week);
    QList<Column> columns{{QStringLiteral("Lane"), Kind::Count}};
    for (const QDate& week : weeks)
        columns << Column{shownDay(week), Kind::Count};
    columns << Column{QStringLiteral("Total"), Kind::Count};
    figure->grid = FigureTable(QStringLiteral("Calls per Lane and Week"), columns);
    for (const auto& [lane, tally] : lanes) {
        if (!inCentre(lane, request.lanes))
            continue;
        figure->grid.addRow();
        figure->grid.setCount(0, lane.number);
        const QHash<qint64, qint64> perWeek = weekly.value(lane.key());
        for (int w = 0; w < weeks.size(); ++w)
            figure->grid.setCount(w + 1, perWeek.value(weeks.at(w).toJulianDay()));
        figure->grid.setCount(int(weeks.size()) + 1, tally.calls);
    }
    return true;
}

} // namespace stats

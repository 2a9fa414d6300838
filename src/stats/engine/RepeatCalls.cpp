#include "Figures.h"

#include <algorithm>
#include <string>
#include <numeric>

namespace stats {
namespace {

enum RepeatColumn {
    kLane,
    kCall,
    kTimes,
    kFirstDay,
    kFirstTime,
    kFirstFixedBy,
    kAgainDay,
    kAgainTime,
    kAgainFixedBy,
    kDaysBetween
};

/// Who fixed a call, from its two ticked names: "Dave & Marco", "Dave", or nothing.
QString fixedBySql(const QString& first, const QString& second)
{
    return QStringLiteral("CASE WHEN trim(%1) <> '' AND trim(%2) <> '' THEN trim(%1) || ' & ' || trim(%2) "
                          "ELSE coalesce(trim(%1), '') || coalesce(trim(%2), '') END")
        .arg(first, second);
}

void setLane(FigureTable& table, int column, const Row& row, int from)
{
    if (row.isInteger(from))
        table.setCount(column, row.integer(from));
    else if (row.isNull(from))
        table.setText(column, QStringLiteral("(no lane)"));
    else
        table.setText(column, row.text(from));
}

/// One lane and call's run of repeats: rows [first, first + count) of the listing.
struct Block {
    int first = 0;
    int count = 0;
};

/// Ranks the lanes and calls by their repeats (ties in lane order), fills the
/// ranked table and the chart's ten, and gives the listing's rows in that order.
std::vector<int> rank(RepeatCalls* figure, std::vector<Block>& blocks)
{
    // Most repeating lane and call first; ties stay in lane order.
    std::stable_sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.count > b.count; });
    std::vector<int> order;
    order.reserve(size_t(figure->repeats.rowCount()));
    figure->ranked =
        FigureTable(QStringLiteral("Repeat Calls by Lane and Call"), {{QStringLiteral("Rank"), Kind::Count},
                                                                      {QStringLiteral("Lane"), Kind::Count},
                                                                      {QStringLiteral("Call"), Kind::Text},
                                                                      {QStringLiteral("Repeats"), Kind::Count}});
    FigureTable& ranked = figure->ranked;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const Block& block = blocks[i];
        for (int r = block.first; r < block.first + block.count; ++r)
            order.push_back(r);
        const bool tie = i > 0 && blocks[i - 1].count == block.count;
        ranked.addRow();
        ranked.setCount(0, tie ? ranked.value(int(i) - 1, 0).toLongLong() : qint64(i) + 1);
        const QVariant lane = figure->repeats.value(block.first, kLane);
        if (lane.typeId() == QMetaType::LongLong)
            ranked.setCount(1, lane.toLongLong());
        else
            ranked.setText(1, lane.toString());
        ranked.setText(2, figure->repeats.value(block.first, kCall).toString());
        ranked.setCount(3, block.count);
        if (figure->top.size() < 10)
            figure->top.append({QStringLiteral("Lane %1: %2")
                                    .arg(figure->repeats.text(block.first, kLane),
                                         figure->repeats.value(block.first, kCall).toString()),
                                double(block.count)});
    }
    return order;
}

} // namespace

QList<Statement> repeatStatements(const Request& request)
{
    // Each call paired with the next call of the same text on the same lane,
    // in the order they were logged; the pair is a repeat when the second came
    // within the chosen days of the first.
    const QString sql =
        QStringLiteral(
            "SELECT LaneNo, callmade, DateNow, Time, %1, d2, t2, %2, "
            "CAST(julianday(d2) - julianday(DateNow) AS INTEGER) FROM "
            "(SELECT Recno, LaneNo, callmade, DateNow, Time, Name1, Name2, lead(DateNow) OVER w AS d2, "
            "lead(Time) OVER w AS t2, lead(Name1) OVER w AS a2, lead(Name2) OVER w AS b2 FROM DData "
            "WHERE DateNow BETWEEN ?1 AND ?2 WINDOW w AS (PARTITION BY LaneNo, callmade ORDER BY DateNow, Recno)) "
            "WHERE julianday(d2) - julianday(DateNow) <= ?3 ORDER BY LaneNo, callmade, DateNow, Recno")
            .arg(fixedBySql(QStringLiteral("Name1"), QStringLiteral("Name2")),
                 fixedBySql(QStringLiteral("a2"), QStringLiteral("b2")));
    QVariantList parameters = rangeParameters(request.range);
    parameters << request.repeatDays;
    return {{QStringLiteral("each call again on its lane within the days"), sql, parameters}};
}

bool workOut(FigureRun& run, const Request& request, RepeatCalls* figure)
{
    *figure = RepeatCalls();
    FigureTable& repeats = figure->repeats;
    repeats = FigureTable(QStringLiteral("Each Repeat Call"), {{QStringLiteral("Lane"), Kind::Count},
                                                               {QStringLiteral("Call"), Kind::Text},
                                                               {QStringLiteral("Repeats"), Kind::Count},
                                                               {QStringLiteral("First call"), Kind::Day},
                                                               {QStringLiteral("Time"), Kind::Text},
                                                               {QStringLiteral("Fixed by"), Kind::Text},
                                                               {QStringLiteral("Called again"), Kind::Day},
                                                               {QStringLiteral("Time"), Kind::Text},
                                                               {QStringLiteral("Fixed by"), Kind::Text},
                                                               {QStringLiteral("Days between"), Kind::Count}});
    std::vector<Block> blocks;
    std::string lastLane;
    std::string lastCall;
    const bool ran = run.each(repeatStatements(request).first(), [&](const Row& row) {
        // Rows come lane by lane and call by call: a new pair of them starts a block.
        repeats.addRow();
        setLane(repeats, kLane, row, 0);
        const std::string_view lane = row.text(0);
        const std::string_view call = row.text(1);
        if (blocks.empty() || lane != lastLane || call != lastCall) {
            blocks.push_back({repeats.rowCount() - 1, 0});
            lastLane.assign(lane);
            lastCall.assign(call);
        }
        ++blocks.back().count;
        repeats.setText(kCall, call);
        repeats.setDate(kFirstDay, row.date(2));
        repeats.setText(kFirstTime, row.text(3));
        repeats.setText(kFirstFixedBy, row.text(4));
        repeats.setDate(kAgainDay, row.date(5));
        repeats.setText(kAgainTime, row.text(6));
        repeats.setText(kAgainFixedBy, row.text(7));
        repeats.setCount(kDaysBetween, row.integer(8));
    });
    if (!ran)
        return false;

    const std::vector<int> order = rank(figure, blocks);
    repeats.reorder(order);
    // Each repeat says how often its lane and call repeated.
    int row = 0;
    for (const Block& block : blocks) {
        for (const int end = row + block.count; row < end; ++row)
            repeats.setCountAt(row, kTimes, block.count);
    }
    return true;
}

} // namespace stats

#pragma once

#include "FigureRun.h"
#include "FigureTable.h"
#include "Period.h"

#include <QList>

#include <optional>

namespace stats {

/// What the figures are worked out for, as the window's boxes hold it.
struct Request {
    DateRange range;
    Grain grain = Grain::Week;
    /// The centre's goal in frames per stop (the goal line).
    int goal = 1500;
    /// The centre's lanes are 1 to `lanes`; 0 while the number is not set.
    int lanes = 0;
    /// A call again on the same lane within this many days is a repeat.
    int repeatDays = 3;
};

/// One point of a line: a period and its figure; no figure is a gap.
struct LinePoint {
    QDate period;
    std::optional<double> value;
};

/// One bar of a bar chart.
struct Bar {
    QString label;
    double value = 0;
};

/// Frames bowled divided by calls logged, per period. Only days with a frame
/// count (a total above 0) are counted; the calls of days without one are left
/// out and counted apart. A period with frames and no call reads "no stop".
struct FramesPerStop {
    FigureTable table;
    QList<LinePoint> line; ///< every period of the range, gaps included
    qint64 frames = 0;     ///< over the counted days of the range
    qint64 calls = 0;      ///< logged on the counted days
    int daysCounted = 0;
    int daysLeftOut = 0; ///< days with calls and no frame count
    qint64 callsLeftOut = 0;
    /// Frames per stop over the whole range; empty without counted days or calls.
    std::optional<double> overall() const;
};

/// Calls per lane, ranked, with each lane's three most frequent calls; lanes
/// outside 1 to the centre's number of lanes apart; calls per lane and week.
struct LaneFigures {
    FigureTable ranked;
    FigureTable outside;
    FigureTable grid; ///< lane, one column per week, total
    QList<Bar> perLane;
    qint64 calls = 0;
};

/// The same call on the same lane again within the chosen days.
struct RepeatCalls {
    FigureTable ranked;  ///< lane and call, how often it repeated
    FigureTable repeats; ///< each repeat with both calls, most repeating first
    QList<Bar> top;      ///< the ten lanes and calls that repeat most
};

/// Calls by section of the board, by hour of the day and by weekday.
struct StopTimes {
    FigureTable bySection;
    FigureTable byHour;
    FigureTable byWeekday;
    FigureTable weekdayByHour; ///< weekday rows, hour columns
    qint64 calls = 0;
};

/// Calls per mechanic as ticked on each call, by week, and each mechanic's
/// share of every section's calls.
struct MechanicFigures {
    FigureTable byWeek;
    FigureTable sectionShares;
    QStringList mechanics; ///< busiest first
};

QList<Statement> framesPerStopStatements(const Request& request);
QList<Statement> laneStatements(const Request& request);
QList<Statement> repeatStatements(const Request& request);
QList<Statement> stopTimeStatements(const Request& request);
QList<Statement> mechanicStatements(const Request& request);

/// Each works out one figure in `run`; false when the run was cancelled or
/// failed (the run says which), the figure then being incomplete.
bool workOut(FigureRun& run, const Request& request, FramesPerStop* figure);
bool workOut(FigureRun& run, const Request& request, LaneFigures* figure);
bool workOut(FigureRun& run, const Request& request, RepeatCalls* figure);
bool workOut(FigureRun& run, const Request& request, StopTimes* figure);
bool workOut(FigureRun& run, const Request& request, MechanicFigures* figure);

/// The range's ends as the statements take them, ?1 and ?2.
QVariantList rangeParameters(const DateRange& range);
/// The names of the five sections of the board as stored ("Section 3" for an empty one).
Statement sectionNamesStatement();
/// The section a call's `Type` stands for: its name, or what is stored when it is none of 1 to 5.
QString sectionName(const QStringList& names, std::string_view type);

} // namespace stats

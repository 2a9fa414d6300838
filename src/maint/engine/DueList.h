#pragma once

#include "Table.h"
#include "Tasks.h"

#include "store/Error.h"

#include <QDate>
#include <QList>

#include <optional>
#include <vector>

namespace store {
class Database;
}

namespace maint {

/// Where a task stands, from the least to the most pressing.
enum class State { Done, DueSoon, Due, Overdue };
QString stateName(State state);

/// The state of `used` (frames or days) of an interval of `interval`, with a
/// margin in percent: due soon from (100 - margin)% of the interval, due from
/// the interval itself up to (100 + margin)% of it, overdue past that.
/// Worked in whole numbers, so a task falls due exactly on its interval.
State stateOf(qint64 used, qint64 interval, int margin);

/// The centre's frame counts day by day, to sum the frames of any run of
/// days at once. Only days with a count above 0 are counted: a day of 0 or
/// without a row is a count not entered (or a day closed), never guessed.
class FrameLedger {
public:
    /// Reads the days up to and including `last`.
    bool read(store::Database& db, QDate last, store::Error* error);
    /// The frames of the counted days after `after`, up to and including `upTo`.
    qint64 framesAfter(QDate after, QDate upTo) const;
    /// How many days after `after`, up to and including `upTo`, have a count.
    int countedAfter(QDate after, QDate upTo) const;

private:
    qsizetype index(QDate day) const; // days counted on or before `day`
    std::vector<qint64> m_days;       // Julian days, in order
    std::vector<qint64> m_sums;       // m_sums[i]: frames of the first i days
};

/// One task on one lane (lane 0: the centre as a whole) in the due list.
struct DueEntry {
    Task task;
    int lane = 0;
    QDate lastDone; ///< invalid when never done
    QString lastBy;
    /// The centre's frames on the counted days since it was last done (the
    /// day it was done not counted), and those frames per machine, rounded down.
    qint64 frames = 0;
    qint64 framesPerMachine = 0;
    int daysSince = 0;
    /// Days from the day after it was done to yesterday without a frame count.
    int daysWithoutCount = 0;
    State state = State::Done;
    /// How much of its interval is used, in percent rounded down (the larger of the two).
    int percentUsed = 0;

    bool neverDone() const { return !lastDone.isValid(); }
};

/// What the due list is worked out for.
struct DueRequest {
    QDate today;
    int lanes = 0;  ///< the centre's lanes are 1 to `lanes`
    int margin = 0; ///< percent
};

/// The due list: every task on the schedule, and every lane for a per-lane
/// task, most pressing first.
struct DueList {
    DueRequest request;
    QList<Task> tasks; ///< in the order they were added
    QList<DueEntry> entries;

    /// The list as a table: task, lane, interval, last done, by, frames per
    /// machine since, days since, days without a count, state. The intervals
    /// are written in `locale` ("25,000 frames or 30 days").
    Table table(const QLocale& locale = QLocale()) const;
    /// The per-lane tasks by lane: a row a task, a column a lane, each cell its state.
    Table grid() const;
    /// The per-lane tasks as a table of states: a row a task, and in each
    /// state's column the lanes in it ("1-4, 7"), so that a printed page holds
    /// every lane of a centre of any size.
    Table lanesByState() const;
    /// The entry of a task on a lane, or null.
    const DueEntry* find(qint64 taskId, int lane) const;
};

/// Works out the due list from the tasks, their history and the frame counts.
std::optional<DueList> workOutDueList(store::Database& db, const DueRequest& request, store::Error* error);

/// Works out one entry from the task's last completion and the frame counts.
DueEntry dueEntry(const Task& task, int lane, QDate lastDone, const FrameLedger& ledger, const DueRequest& request);

/// A stamp of what the due list is worked out from (the frame counts, the
/// tasks and their completions): another stamp means the list is out of date.
/// Empty with `error` set when the database could not be asked.
QString dataStamp(store::Database& db, store::Error* error);

/// The statements the due list runs, for the benchmark to show and compare.
QStringList dueListStatements();

} // namespace maint

#pragma once

#include "DueList.h"

#include "store/Error.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace store {
class Database;
}

namespace maint {

/// The rows of a day's work sheet, and the longest job a row holds.
inline constexpr int kSheetRows = 20;
inline constexpr int kLongestJob = 40;

/// One row of the work sheet made from the due list: its text and the lanes
/// it stands for ({0} for the centre).
struct SheetJob {
    qint64 taskId = 0;
    QString text;
    QList<int> lanes;
};

/// Lanes as runs: "1-3, 7, 9-12".
QString laneRanges(QList<int> lanes);
/// A task's jobs for these lanes, "Clean deck, lanes 5-8", the lanes split
/// over as many rows as it takes for each to fit 40 characters. A text too
/// long to leave room for its lanes is cut short on the sheet (the task keeps it).
QList<SheetJob> jobsFor(qint64 taskId, const QString& text, QList<int> lanes);

/// What putting the due tasks on a day's sheet did.
struct SheetFill {
    QDate day;
    int added = 0;     ///< jobs put on empty rows
    int leftOff = 0;   ///< jobs that found no empty row
    int alreadyOn = 0; ///< jobs of due tasks the sheet holds already
    bool dayAdded = false;
};

/// Puts the due and overdue tasks of `list` on the work sheet of its day
/// (the first sheet of that day; one is started when there is none), each
/// on an empty row (no job, no name), never over a filled one, in one
/// transaction. Tasks on that sheet already are not put on it again.
std::optional<SheetFill> putOnSheet(store::Database& db, const DueList& list, store::Error* error);

/// A day of the work sheet as Work Completed stored it: its 20 jobs and the names beside them.
struct SheetDay {
    QDate day;
    QStringList jobs;
    QStringList names;
};

/// Brings the history in line with the names stored beside the jobs the
/// schedule put on that day's sheet: a name records the task done on its
/// lanes on that day by that mechanic, another name changes the mechanic, an
/// emptied box withdraws it. A row whose job no longer reads as the schedule
/// wrote it is left alone. Returns how many rows changed the history.
std::optional<int> recordSheetNames(store::Database& db, const SheetDay& day, store::Error* error);

} // namespace maint

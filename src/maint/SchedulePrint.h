#pragma once

#include "maint/engine/Done.h"
#include "maint/engine/DueList.h"

#include "reports/engine/Report.h"

namespace maint {

/// The locale of everything the schedule prints or saves: English words and
/// numbers, whatever the user's language, as every report of the program.
QLocale printLocale();

/// A table of the schedule as the report engine prints it: days as dates,
/// counts as numbers, everything else as text; `period` is the line under
/// the title and `fileName` the name a saved file is offered under.
reports::FigureTable figuresOf(const Table& table, const QString& period, const QString& fileName);

/// The line under the due list's title: the day, the lanes, the margin, how
/// many entries are in each state, and the days without a frame count.
QString duePeriod(const DueList& list);

/// The history chosen, in words: which task (`taskText`, empty for every
/// one), which lanes, which days, and how many of the days covered
/// (`uncounted` of `days`) have no frame count.
struct HistoryWords {
    HistoryFilter filter;
    QString taskText;
    QDate first; ///< the days the frame counts were looked at
    QDate last;
    int uncounted = 0;
};
QString historyPeriod(const HistoryWords& words);

} // namespace maint

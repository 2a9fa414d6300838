#pragma once

#include "Table.h"

#include "store/Error.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace store {
class Database;
}

namespace maint {

/// The longest mechanic's name, as the work sheet keeps it.
inline constexpr int kLongestName = 10;

/// A task done on some lanes (lane 0: the centre) on a day, by a mechanic.
struct Completion {
    qint64 taskId = 0;
    QList<int> lanes;
    QDate day;
    QString mechanic;
};

/// Why a completion cannot be recorded, in a sentence; empty when it can.
QString completionProblem(const Completion& completion, QDate today);

/// Records completions, every lane of each, in one transaction: on the disk
/// when it returns true. Each keeps the frames per machine counted since the
/// same task was last done on the same lane before that day; the centre has
/// `lanes` lanes.
bool markDone(store::Database& db, const QList<Completion>& completions, int lanes, store::Error* error);

/// Adds one completion inside the caller's transaction (`sheetId` 0 when it
/// was not made from the work sheet).
bool recordCompletion(store::Database& db, qint64 taskId, int lane, QDate day, const QString& mechanic, qint64 sheetId,
                      int lanes, store::Error* error);

/// Which completions the history lists: one task (0: all), one lane (-1:
/// all, 0: the centre), from and to (both included; invalid: no bound).
struct HistoryFilter {
    qint64 taskId = 0;
    int lane = -1;
    QDate from;
    QDate to;
};

/// The completions chosen, by date: date, task, lane, mechanic, frames per
/// machine since the time before, and where it was recorded.
std::optional<Table> historyTable(store::Database& db, const HistoryFilter& filter, store::Error* error);

/// How many of the days from `from` to `to` (both included) have no frame
/// count (no row, or a count of 0); nullopt with `error` set when the counts
/// could not be read.
std::optional<int> daysWithoutCount(store::Database& db, QDate from, QDate to, store::Error* error);

} // namespace maint

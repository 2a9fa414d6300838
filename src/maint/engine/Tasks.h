#pragma once

#include "store/Error.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace store {
class Database;
}

namespace maint {

/// The longest text of a task: it must fit a row of the work sheet.
inline constexpr int kLongestTask = 40;
/// The longest interval in frames per machine, and in days (ten years).
inline constexpr qint64 kMostFrames = 10000000;
inline constexpr int kMostDays = 3660;

/// A maintenance task: done every `frames` frames per machine and/or every
/// `days` days (0 where it has no such interval), once for the centre or on
/// every lane. A removed task keeps its history.
struct Task {
    qint64 id = 0;
    QString text;
    qint64 frames = 0;
    int days = 0;
    bool perLane = false;
    QDate added;
    QDate removed; ///< invalid while the task is on the schedule

    /// The interval in words: "25,000 frames or 30 days".
    QString every(const QLocale& locale = QLocale()) const;
};

/// Why a task cannot be kept as it is, in a sentence; empty when it can.
QString taskProblem(const Task& task);

/// The tasks in the order they were added; removed ones too when asked.
std::optional<QList<Task>> readTasks(store::Database& db, bool withRemoved, store::Error* error);
/// Adds a task checked by taskProblem(); its id is set. On the disk when it returns true.
bool addTask(store::Database& db, Task* task, store::Error* error);
/// Stores a task's text, intervals and place; its history stays as it was.
bool updateTask(store::Database& db, const Task& task, store::Error* error);
/// Takes a task off the schedule on `day`, keeping its history.
bool removeTask(store::Database& db, qint64 id, QDate day, store::Error* error);

} // namespace maint

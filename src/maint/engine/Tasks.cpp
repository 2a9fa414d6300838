#include "Tasks.h"

#include "store/Database.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

namespace maint {
namespace {

bool failed(store::Error* error, const store::Error& why)
{
    if (error)
        *error = why;
    return false;
}

QVariant isoOrNull(QDate day)
{
    return day.isValid() ? QVariant(day.toString(Qt::ISODate)) : QVariant(QMetaType(QMetaType::QString));
}

QVariant numberOrNull(qint64 value)
{
    return value > 0 ? QVariant(value) : QVariant(QMetaType(QMetaType::LongLong));
}

/// Runs one prepared statement in its own transaction.
bool writeOne(store::Database& db, const QString& sql, const QVariantList& values, store::Error* error,
              qint64* insertedId = nullptr)
{
    store::Transaction transaction(db);
    if (!transaction.begun())
        return failed(error, transaction.error());
    QSqlQuery q(db.sql());
    q.prepare(sql);
    for (const QVariant& value : values)
        q.addBindValue(value);
    if (!q.exec())
        return failed(error, db.errorOf(q.lastError()));
    if (insertedId)
        *insertedId = q.lastInsertId().toLongLong();
    q.finish();
    if (!transaction.commit())
        return failed(error, transaction.error());
    return true;
}

} // namespace

QString Task::every(const QLocale& locale) const
{
    QStringList parts;
    if (frames > 0)
        parts << locale.toString(frames) + (frames == 1 ? QStringLiteral(" frame") : QStringLiteral(" frames"));
    if (days > 0)
        parts << locale.toString(days) + (days == 1 ? QStringLiteral(" day") : QStringLiteral(" days"));
    return parts.join(QStringLiteral(" or "));
}

QString taskProblem(const Task& task)
{
    if (task.text.trimmed().isEmpty())
        return QStringLiteral("Type what the task is, for example \"Clean deck\".");
    if (task.text.size() > kLongestTask)
        return QStringLiteral("The task \"%1\" is %2 characters long; it must fit a row of the work sheet, at most "
                              "%3 characters.")
            .arg(task.text)
            .arg(task.text.size())
            .arg(kLongestTask);
    if (task.frames <= 0 && task.days <= 0)
        return QStringLiteral("Give the task an interval: every so many frames per machine, every so many days, or "
                              "both.");
    if (task.frames < 0 || task.frames > kMostFrames)
        return QStringLiteral("The frames per machine must be a whole number from 1 to %1.")
            .arg(QLocale().toString(kMostFrames));
    if (task.days < 0 || task.days > kMostDays)
        return QStringLiteral("The days must be a whole number from 1 to %1.").arg(QLocale().toString(kMostDays));
    return {};
}

std::optional<QList<Task>> readTasks(store::Database& db, bool withRemoved, store::Error* error)
{
    if (error)
        *error = {};
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    const QString sql =
        QStringLiteral("SELECT TaskId, Task, Frames, Days, PerLane, Added, Removed FROM MaintTasks %1 ORDER BY TaskId")
            .arg(withRemoved ? QString() : QStringLiteral("WHERE Removed IS NULL"));
    if (!q.exec(sql)) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    QList<Task> tasks;
    while (q.next()) {
        Task task;
        task.id = q.value(0).toLongLong();
        task.text = q.value(1).toString();
        task.frames = q.value(2).toLongLong();
        task.days = q.value(3).toInt();
        task.perLane = q.value(4).toLongLong() != 0;
        task.added = QDate::fromString(q.value(5).toString(), Qt::ISODate);
        task.removed = QDate::fromString(q.value(6).toString(), Qt::ISODate);
        tasks << task;
    }
    return tasks;
}

bool addTask(store::Database& db, Task* task, store::Error* error)
{
    const QString problem = taskProblem(*task);
    if (!problem.isEmpty())
        return failed(error, store::Error::make(store::Error::Kind::Refused, problem));
    return writeOne(
        db, QStringLiteral("INSERT INTO MaintTasks (Task, Frames, Days, PerLane, Added) VALUES (?, ?, ?, ?, ?)"),
        {task->text, numberOrNull(task->frames), numberOrNull(task->days), task->perLane ? 1 : 0,
         isoOrNull(task->added)},
        error, &task->id);
}

bool updateTask(store::Database& db, const Task& task, store::Error* error)
{
    const QString problem = taskProblem(task);
    if (!problem.isEmpty())
        return failed(error, store::Error::make(store::Error::Kind::Refused, problem));
    return writeOne(
        db, QStringLiteral("UPDATE MaintTasks SET Task = ?, Frames = ?, Days = ?, PerLane = ? WHERE TaskId = ?"),
        {task.text, numberOrNull(task.frames), numberOrNull(task.days), task.perLane ? 1 : 0, task.id}, error);
}

bool removeTask(store::Database& db, qint64 id, QDate day, store::Error* error)
{
    return writeOne(db, QStringLiteral("UPDATE MaintTasks SET Removed = ? WHERE TaskId = ?"), {isoOrNull(day), id},
                    error);
}

} // namespace maint

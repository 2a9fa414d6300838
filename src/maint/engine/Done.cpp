#include "Done.h"

#include "DueList.h"

#include "store/Database.h"

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

QString iso(QDate day)
{
    return day.toString(Qt::ISODate);
}

/// Frames per machine counted after the task's previous completion on the
/// lane, up to and including `day`; null when it was never done before.
std::optional<QVariant> framesSincePrevious(store::Database& db, qint64 taskId, int lane, QDate day, int lanes,
                                            store::Error* error)
{
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT max(DateDone) FROM MaintDone WHERE TaskId = ? AND Lane = ? AND DateDone < ?"));
    q.addBindValue(taskId);
    q.addBindValue(lane);
    q.addBindValue(iso(day));
    if (!q.exec() || !q.next()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    const QVariant previous = q.value(0);
    q.finish();
    if (previous.isNull() || lanes <= 0)
        return QVariant(QMetaType(QMetaType::LongLong));
    q.prepare(QStringLiteral("SELECT total(total) FROM Frames WHERE DateNow > ? AND DateNow <= ? AND total > 0"));
    q.addBindValue(previous.toString());
    q.addBindValue(iso(day));
    if (!q.exec() || !q.next()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    return QVariant(qint64(q.value(0).toDouble()) / lanes);
}

} // namespace

QString completionProblem(const Completion& completion, QDate today)
{
    if (completion.mechanic.trimmed().isEmpty())
        return QStringLiteral("Type the name of the mechanic who did the work.");
    if (completion.mechanic.size() > kLongestName)
        return QStringLiteral("The name \"%1\" is longer than %2 characters.")
            .arg(completion.mechanic)
            .arg(kLongestName);
    if (!completion.day.isValid())
        return QStringLiteral("Type the day the work was done.");
    if (completion.day > today)
        return QStringLiteral("The day the work was done cannot be after today.");
    if (completion.lanes.isEmpty())
        return QStringLiteral("Choose the lanes the work was done on.");
    return {};
}

bool recordCompletion(store::Database& db, qint64 taskId, int lane, QDate day, const QString& mechanic, qint64 sheetId,
                      int lanes, store::Error* error)
{
    const std::optional<QVariant> frames = framesSincePrevious(db, taskId, lane, day, lanes, error);
    if (!frames)
        return false;
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("INSERT INTO MaintDone (TaskId, Lane, DateDone, Mechanic, FramesPerMachine, SheetId) "
                             "VALUES (?, ?, ?, ?, ?, ?)"));
    q.addBindValue(taskId);
    q.addBindValue(lane);
    q.addBindValue(iso(day));
    q.addBindValue(mechanic);
    q.addBindValue(*frames);
    q.addBindValue(sheetId > 0 ? QVariant(sheetId) : QVariant(QMetaType(QMetaType::LongLong)));
    if (!q.exec())
        return failed(error, db.errorOf(q.lastError()));
    return true;
}

bool markDone(store::Database& db, const QList<Completion>& completions, int lanes, store::Error* error)
{
    store::Transaction transaction(db);
    if (!transaction.begun())
        return failed(error, transaction.error());
    for (const Completion& c : completions) {
        for (const int lane : c.lanes)
            if (!recordCompletion(db, c.taskId, lane, c.day, c.mechanic, 0, lanes, error))
                return false;
    }
    if (!transaction.commit())
        return failed(error, transaction.error());
    return true;
}

std::optional<Table> historyTable(store::Database& db, const HistoryFilter& filter, store::Error* error)
{
    QStringList where;
    QVariantList values;
    if (filter.taskId > 0) {
        where << QStringLiteral("d.TaskId = ?");
        values << filter.taskId;
    }
    if (filter.lane >= 0) {
        where << QStringLiteral("d.Lane = ?");
        values << filter.lane;
    }
    if (filter.from.isValid()) {
        where << QStringLiteral("d.DateDone >= ?");
        values << iso(filter.from);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("d.DateDone <= ?");
        values << iso(filter.to);
    }
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT d.DateDone, t.Task, t.Removed, d.Lane, d.Mechanic, d.FramesPerMachine, d.SheetId "
                             "FROM MaintDone d LEFT JOIN MaintTasks t ON t.TaskId = d.TaskId %1 "
                             "ORDER BY d.DateDone, t.Task, d.Lane, d.DoneId")
                  .arg(where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND "))));
    for (const QVariant& value : values)
        q.addBindValue(value);
    if (!q.exec()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    Table t;
    t.title = QStringLiteral("Maintenance History");
    t.columns = {{QStringLiteral("Done on"), Kind::Day},
                 {QStringLiteral("Task"), Kind::Text},
                 {QStringLiteral("Lane"), Kind::Text},
                 {QStringLiteral("By"), Kind::Text},
                 {QStringLiteral("Frames per machine since the time before"), Kind::Count},
                 {QStringLiteral("Recorded from"), Kind::Text}};
    while (q.next()) {
        QString task = q.value(1).toString();
        if (!q.value(2).isNull())
            task += QStringLiteral(" (removed)");
        const int lane = q.value(3).toInt();
        t.rows << QVariantList{QDate::fromString(q.value(0).toString(), Qt::ISODate),
                               task,
                               lane == 0 ? QStringLiteral("Centre") : QString::number(lane),
                               q.value(4).toString(),
                               q.value(5).isNull() ? QVariant() : QVariant(q.value(5).toLongLong()),
                               q.value(6).isNull() ? QStringLiteral("Maintenance window")
                                                   : QStringLiteral("Work Completed")};
    }
    return t;
}

std::optional<int> daysWithoutCount(store::Database& db, QDate from, QDate to, store::Error* error)
{
    if (!from.isValid() || !to.isValid() || to < from)
        return 0;
    FrameLedger ledger;
    if (!ledger.read(db, to, error))
        return std::nullopt;
    const QDate before = from.addDays(-1);
    return int(before.daysTo(to)) - ledger.countedAfter(before, to);
}

} // namespace maint

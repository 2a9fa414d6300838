#include "Sheet.h"

#include "Done.h"
#include "Schema.h"

#include "store/CentreSettings.h"
#include "store/Database.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace maint {
namespace {

bool failed(store::Error* error, const store::Error& why)
{
    if (error)
        *error = why;
    return false;
}

QString jobField(int row)
{
    return store::Database::quoted(QString::number(row) + QLatin1Char('W'));
}

/// Runs of consecutive lanes, each as its first and last lane.
QList<QPair<int, int>> runsOf(QList<int> lanes)
{
    std::sort(lanes.begin(), lanes.end());
    lanes.erase(std::unique(lanes.begin(), lanes.end()), lanes.end());
    QList<QPair<int, int>> runs;
    for (const int lane : lanes) {
        if (!runs.isEmpty() && runs.last().second + 1 == lane)
            runs.last().second = lane;
        else
            runs.append({lane, lane});
    }
    return runs;
}

QString runsText(const QList<QPair<int, int>>& runs)
{
    QStringList parts;
    for (const auto& [first, last] : runs)
        parts << (first == last ? QString::number(first) : QStringLiteral("%1-%2").arg(first).arg(last));
    return parts.join(QStringLiteral(", "));
}

QString lanesSuffix(const QList<QPair<int, int>>& runs)
{
    const bool one = runs.size() == 1 && runs.first().first == runs.first().second;
    return (one ? QStringLiteral(", lane ") : QStringLiteral(", lanes ")) + runsText(runs);
}

QString lanesStored(const QList<int>& lanes)
{
    QStringList parts;
    for (const int lane : lanes)
        parts << QString::number(lane);
    return parts.join(QLatin1Char(' '));
}

QList<int> lanesRead(const QString& stored)
{
    QList<int> lanes;
    for (const QString& part : stored.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        lanes << part.toInt();
    return lanes;
}

/// Today's sheet: the first row of the day, its jobs and names; rowid 0 when there is none.
struct DaySheet {
    qint64 rowid = 0;
    QStringList jobs;
    QStringList names;
};

std::optional<DaySheet> readDaySheet(store::Database& db, QDate day, store::Error* error)
{
    QStringList fields;
    for (int row = 1; row <= kSheetRows; ++row)
        fields << jobField(row) << store::Database::quoted(QString::number(row) + QLatin1Char('M'));
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT rowid, %1 FROM WAssign WHERE DateNow = ? ORDER BY rowid LIMIT 1")
                  .arg(fields.join(QStringLiteral(", "))));
    q.addBindValue(day.toString(Qt::ISODate));
    if (!q.exec()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    DaySheet sheet;
    for (int row = 0; row < kSheetRows; ++row) {
        sheet.jobs << QString();
        sheet.names << QString();
    }
    if (q.next()) {
        sheet.rowid = q.value(0).toLongLong();
        for (int row = 0; row < kSheetRows; ++row) {
            sheet.jobs[row] = q.value(1 + 2 * row).toString();
            sheet.names[row] = q.value(2 + 2 * row).toString();
        }
    }
    return sheet;
}

/// The task and lanes the schedule put on the sheet's rows that still read as it wrote them.
std::optional<QSet<QPair<qint64, int>>> onSheet(store::Database& db, QDate day, const DaySheet& sheet,
                                                store::Error* error)
{
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT JobRow, TaskId, Lanes, Job FROM MaintSheet WHERE DateNow = ?"));
    q.addBindValue(day.toString(Qt::ISODate));
    if (!q.exec()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    QSet<QPair<qint64, int>> found;
    while (q.next()) {
        const int row = q.value(0).toInt();
        if (row < 1 || row > kSheetRows || sheet.rowid == 0 || sheet.jobs.at(row - 1) != q.value(3).toString())
            continue;
        for (const int lane : lanesRead(q.value(2).toString()))
            found.insert({q.value(1).toLongLong(), lane});
    }
    return found;
}

/// The jobs of the due and overdue tasks not on the sheet yet, most pressing task first.
QList<SheetJob> dueJobs(const DueList& list, const QSet<QPair<qint64, int>>& already, int* alreadyOn)
{
    QList<qint64> order;
    QHash<qint64, QList<int>> lanes;
    QHash<qint64, QString> texts;
    QSet<qint64> seenOn;
    for (const DueEntry& e : list.entries) {
        if (e.state != State::Due && e.state != State::Overdue)
            continue;
        if (already.contains({e.task.id, e.lane})) {
            seenOn.insert(e.task.id);
            continue;
        }
        if (!lanes.contains(e.task.id))
            order << e.task.id;
        lanes[e.task.id] << e.lane;
        texts.insert(e.task.id, e.task.text);
    }
    *alreadyOn = int(seenOn.size());
    QList<SheetJob> jobs;
    for (const qint64 id : order)
        jobs << jobsFor(id, texts.value(id), lanes.value(id));
    return jobs;
}

bool writeJobs(store::Database& db, QDate day, const DaySheet& sheet, const QList<QPair<int, SheetJob>>& placed,
               store::Error* error)
{
    QSqlQuery q(db.sql());
    QStringList fields;
    for (const auto& [row, job] : placed)
        fields << jobField(row);
    if (sheet.rowid == 0) {
        q.prepare(QStringLiteral("INSERT INTO WAssign (DateNow, %1) VALUES (?%2)")
                      .arg(fields.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(placed.size())));
        q.addBindValue(day.toString(Qt::ISODate));
    } else {
        // Each job only where the row is still empty: a filled row is never written over.
        QStringList sets;
        for (const QString& field : fields)
            sets << QStringLiteral("%1 = CASE WHEN coalesce(%1, '') = '' THEN ? ELSE %1 END").arg(field);
        q.prepare(QStringLiteral("UPDATE WAssign SET %1 WHERE rowid = %2")
                      .arg(sets.join(QStringLiteral(", ")))
                      .arg(sheet.rowid));
    }
    for (const auto& [row, job] : placed)
        q.addBindValue(job.text);
    if (!q.exec())
        return failed(error, db.errorOf(q.lastError()));
    q.finish();
    q.prepare(QStringLiteral("INSERT INTO MaintSheet (DateNow, JobRow, TaskId, Lanes, Job) VALUES (?, ?, ?, ?, ?)"));
    for (const auto& [row, job] : placed) {
        q.addBindValue(day.toString(Qt::ISODate));
        q.addBindValue(row);
        q.addBindValue(job.taskId);
        q.addBindValue(lanesStored(job.lanes));
        q.addBindValue(job.text);
        if (!q.exec())
            return failed(error, db.errorOf(q.lastError()));
    }
    return true;
}

} // namespace

QString laneRanges(QList<int> lanes)
{
    return runsText(runsOf(std::move(lanes)));
}

QList<SheetJob> jobsFor(qint64 taskId, const QString& text, QList<int> lanes)
{
    if (lanes.isEmpty() || (lanes.size() == 1 && lanes.first() == 0))
        return {{taskId, text.left(kLongestJob), {0}}};
    QList<SheetJob> jobs;
    QList<QPair<int, int>> group;
    auto flush = [&] {
        const QString suffix = lanesSuffix(group);
        SheetJob job{taskId, text.left(std::max(0, int(kLongestJob - suffix.size()))).trimmed() + suffix, {}};
        for (const auto& [first, last] : group)
            for (int lane = first; lane <= last; ++lane)
                job.lanes << lane;
        jobs << job;
        group.clear();
    };
    for (const auto& run : runsOf(std::move(lanes))) {
        QList<QPair<int, int>> wider = group;
        wider << run;
        if (!group.isEmpty() && text.size() + lanesSuffix(wider).size() > kLongestJob)
            flush();
        group << run;
    }
    flush();
    return jobs;
}

std::optional<SheetFill> putOnSheet(store::Database& db, const DueList& list, store::Error* error)
{
    SheetFill fill;
    fill.day = list.request.today;
    store::Transaction transaction(db);
    if (!transaction.begun()) {
        failed(error, transaction.error());
        return std::nullopt;
    }
    // Read inside the transaction: no one changes the sheet between the look and the write.
    const std::optional<DaySheet> sheet = readDaySheet(db, fill.day, error);
    if (!sheet)
        return std::nullopt;
    const auto already = onSheet(db, fill.day, *sheet, error);
    if (!already)
        return std::nullopt;
    const QList<SheetJob> jobs = dueJobs(list, *already, &fill.alreadyOn);
    QList<QPair<int, SheetJob>> placed;
    for (int row = 1; row <= kSheetRows && placed.size() < jobs.size(); ++row) {
        if (sheet->jobs.at(row - 1).isEmpty() && sheet->names.at(row - 1).isEmpty())
            placed.append({row, jobs.at(placed.size())});
    }
    fill.added = int(placed.size());
    fill.leftOff = int(jobs.size() - placed.size());
    if (placed.isEmpty())
        return fill;
    fill.dayAdded = sheet->rowid == 0;
    if (!writeJobs(db, fill.day, *sheet, placed, error))
        return std::nullopt;
    if (!transaction.commit()) {
        failed(error, transaction.error());
        return std::nullopt;
    }
    return fill;
}

namespace {

/// One row the schedule put on a sheet, as MaintSheet keeps it.
struct Placed {
    qint64 sheetId = 0;
    int row = 0;
    qint64 taskId = 0;
    QList<int> lanes;
    QString job;
};

std::optional<QList<Placed>> placedOn(store::Database& db, QDate day, store::Error* error)
{
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT SheetId, JobRow, TaskId, Lanes, Job FROM MaintSheet WHERE DateNow = ? "
                             "ORDER BY SheetId"));
    q.addBindValue(day.toString(Qt::ISODate));
    if (!q.exec()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    QList<Placed> placed;
    while (q.next())
        placed << Placed{q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toLongLong(),
                         lanesRead(q.value(3).toString()), q.value(4).toString()};
    return placed;
}

/// Brings one placed row's completions in line with its name; true when the history changed.
std::optional<bool> syncRow(store::Database& db, const Placed& placed, QDate day, const QString& name, int lanes,
                            store::Error* error)
{
    QSqlQuery q(db.sql());
    q.prepare(QStringLiteral("SELECT Mechanic FROM MaintDone WHERE SheetId = ?"));
    q.addBindValue(placed.sheetId);
    if (!q.exec()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    const bool recorded = q.next();
    const QString mechanic = recorded ? q.value(0).toString() : QString();
    q.finish();
    const bool named = !name.trimmed().isEmpty();
    if (named && !recorded) {
        for (const int lane : placed.lanes)
            if (!recordCompletion(db, placed.taskId, lane, day, name, placed.sheetId, lanes, error))
                return std::nullopt;
        return true;
    }
    if ((named && mechanic == name) || (!named && !recorded))
        return false;
    if (named)
        q.prepare(QStringLiteral("UPDATE MaintDone SET Mechanic = ? WHERE SheetId = ?"));
    else
        q.prepare(QStringLiteral("DELETE FROM MaintDone WHERE SheetId = ?"));
    if (named)
        q.addBindValue(name);
    q.addBindValue(placed.sheetId);
    if (!q.exec()) {
        failed(error, db.errorOf(q.lastError()));
        return std::nullopt;
    }
    return true;
}

} // namespace

std::optional<int> recordSheetNames(store::Database& db, const SheetDay& day, store::Error* error)
{
    if (error)
        *error = {};
    // A database without the schedule's tables has nothing of the schedule on its sheets.
    if (!schema::present(db, error))
        return error && error->isError() ? std::nullopt : std::optional<int>(0);
    std::optional<QList<Placed>> placed = placedOn(db, day.day, error);
    if (!placed || placed->isEmpty())
        return placed ? std::optional<int>(0) : std::nullopt;
    store::Error ignored;
    const int lanes = store::settings::readNumber(db, store::settings::kLanes, &ignored).value_or(0);
    store::Transaction transaction(db);
    if (!transaction.begun()) {
        failed(error, transaction.error());
        return std::nullopt;
    }
    int changed = 0;
    for (const Placed& p : *placed) {
        const int index = p.row - 1;
        // A row that no longer holds what the schedule wrote is another job now.
        if (index < 0 || index >= day.jobs.size() || index >= day.names.size() || day.jobs.at(index) != p.job)
            continue;
        const std::optional<bool> row = syncRow(db, p, day.day, day.names.at(index), lanes, error);
        if (!row)
            return std::nullopt;
        changed += *row ? 1 : 0;
    }
    if (changed > 0 && !transaction.commit()) {
        failed(error, transaction.error());
        return std::nullopt;
    }
    return changed;
}

} // namespace maint

#include "DueList.h"

#include "Sheet.h"

#include "store/Database.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <array>

namespace maint {
namespace {

QString lastDoneStatement()
{
    // SQLite takes the other columns of a max() group from the row holding the maximum: the mechanic of
    // the last completion. A completion dated after today (a clock set back) does not count yet.
    return QStringLiteral("SELECT TaskId, Lane, max(DateDone), Mechanic FROM MaintDone WHERE DateDone <= ?1 "
                          "GROUP BY TaskId, Lane");
}

QString ledgerStatement()
{
    return QStringLiteral("SELECT DateNow, sum(total) FROM Frames WHERE DateNow <= ?1 AND total > 0 GROUP BY DateNow "
                          "ORDER BY DateNow");
}

QString laneText(int lane)
{
    return lane == 0 ? QStringLiteral("Centre") : QString::number(lane);
}

} // namespace

QString stateName(State state)
{
    switch (state) {
    case State::Done:
        return QStringLiteral("Done");
    case State::DueSoon:
        return QStringLiteral("Due soon");
    case State::Due:
        return QStringLiteral("Due");
    case State::Overdue:
        return QStringLiteral("Overdue");
    }
    return {};
}

State stateOf(qint64 used, qint64 interval, int margin)
{
    if (interval <= 0)
        return State::Done;
    if (used * 100 > interval * (100 + margin))
        return State::Overdue;
    if (used >= interval)
        return State::Due;
    if (used * 100 >= interval * (100 - margin))
        return State::DueSoon;
    return State::Done;
}

bool FrameLedger::read(store::Database& db, QDate last, store::Error* error)
{
    m_days.clear();
    m_sums.assign(1, 0);
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare(ledgerStatement());
    q.addBindValue(last.toString(Qt::ISODate));
    if (!q.exec()) {
        if (error)
            *error = db.errorOf(q.lastError());
        return false;
    }
    while (q.next()) {
        // A date that is not one (typed by another program) cannot be placed in time: it is left out.
        const QDate day = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        if (!day.isValid())
            continue;
        m_days.push_back(day.toJulianDay());
        m_sums.push_back(m_sums.back() + q.value(1).toLongLong());
    }
    return true;
}

qsizetype FrameLedger::index(QDate day) const
{
    return std::upper_bound(m_days.begin(), m_days.end(), day.toJulianDay()) - m_days.begin();
}

qint64 FrameLedger::framesAfter(QDate after, QDate upTo) const
{
    if (upTo <= after)
        return 0;
    return m_sums.at(size_t(index(upTo))) - m_sums.at(size_t(index(after)));
}

int FrameLedger::countedAfter(QDate after, QDate upTo) const
{
    if (upTo <= after)
        return 0;
    return int(index(upTo) - index(after));
}

DueEntry dueEntry(const Task& task, int lane, QDate lastDone, const FrameLedger& ledger, const DueRequest& request)
{
    DueEntry entry;
    entry.task = task;
    entry.lane = lane;
    entry.lastDone = lastDone;
    if (!lastDone.isValid()) {
        // Never done: nothing to count from, and nothing is guessed. It is due.
        entry.state = State::Due;
        return entry;
    }
    const QDate today = request.today;
    entry.daysSince = int(std::max<qint64>(0, lastDone.daysTo(today)));
    entry.frames = ledger.framesAfter(lastDone, today);
    if (request.lanes > 0)
        entry.framesPerMachine = entry.frames / request.lanes;
    // Today's count is entered when the day ends: only the days before it can be missing.
    const QDate yesterday = today.addDays(-1);
    if (task.frames > 0 && yesterday > lastDone)
        entry.daysWithoutCount = int(lastDone.daysTo(yesterday)) - ledger.countedAfter(lastDone, yesterday);
    if (task.frames > 0 && request.lanes > 0) {
        const qint64 interval = task.frames * request.lanes;
        entry.state = std::max(entry.state, stateOf(entry.frames, interval, request.margin));
        entry.percentUsed = int(std::min<qint64>(entry.frames * 100 / interval, 99999));
    }
    if (task.days > 0) {
        entry.state = std::max(entry.state, stateOf(entry.daysSince, task.days, request.margin));
        entry.percentUsed =
            std::max(entry.percentUsed, int(std::min<qint64>(qint64(entry.daysSince) * 100 / task.days, 99999)));
    }
    return entry;
}

std::optional<DueList> workOutDueList(store::Database& db, const DueRequest& request, store::Error* error)
{
    if (error)
        *error = {};
    auto fail = [&](const QSqlQuery& q) -> std::optional<DueList> {
        if (error)
            *error = db.errorOf(q.lastError());
        return std::nullopt;
    };
    DueList list;
    list.request = request;
    std::optional<QList<Task>> tasks = readTasks(db, false, error);
    if (!tasks)
        return std::nullopt;
    list.tasks = std::move(*tasks);
    FrameLedger ledger;
    if (!ledger.read(db, request.today, error))
        return std::nullopt;
    QHash<QPair<qint64, int>, QPair<QDate, QString>> last;
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare(lastDoneStatement());
    q.addBindValue(request.today.toString(Qt::ISODate));
    if (!q.exec())
        return fail(q);
    while (q.next())
        last.insert({q.value(0).toLongLong(), q.value(1).toInt()},
                    {QDate::fromString(q.value(2).toString(), Qt::ISODate), q.value(3).toString()});
    q.finish();
    for (const Task& task : list.tasks) {
        const int first = task.perLane ? 1 : 0;
        const int lastLane = task.perLane ? request.lanes : 0;
        for (int lane = first; lane <= lastLane; ++lane) {
            const auto done = last.value({task.id, lane});
            DueEntry entry = dueEntry(task, lane, done.first, ledger, request);
            entry.lastBy = done.second;
            list.entries << entry;
        }
    }
    // Most pressing first: by state, then by how much of the interval is used.
    std::stable_sort(list.entries.begin(), list.entries.end(), [](const DueEntry& a, const DueEntry& b) {
        if (a.state != b.state)
            return a.state > b.state;
        // Figures known first: a task never done has none to rank it by.
        if (a.neverDone() != b.neverDone())
            return !a.neverDone();
        return a.percentUsed > b.percentUsed;
    });
    return list;
}

const DueEntry* DueList::find(qint64 taskId, int lane) const
{
    for (const DueEntry& entry : entries)
        if (entry.task.id == taskId && entry.lane == lane)
            return &entry;
    return nullptr;
}

Table DueList::table(const QLocale& locale) const
{
    Table t;
    t.title = QStringLiteral("Maintenance Due List");
    t.columns = {
        {QStringLiteral("Task"), Kind::Text},        {QStringLiteral("Lane"), Kind::Text},
        {QStringLiteral("Every"), Kind::Text},       {QStringLiteral("Last done"), Kind::Day},
        {QStringLiteral("By"), Kind::Text},          {QStringLiteral("Frames per machine since"), Kind::Count},
        {QStringLiteral("Days since"), Kind::Count}, {QStringLiteral("Days without a frame count"), Kind::Count},
        {QStringLiteral("State"), Kind::State}};
    for (const DueEntry& e : entries) {
        QVariantList row{e.task.text, laneText(e.lane), e.task.every(locale)};
        if (e.neverDone()) {
            row << QStringLiteral("never") << QVariant() << QVariant() << QVariant() << QVariant();
        } else {
            row << e.lastDone << e.lastBy;
            row << (e.task.frames > 0 ? QVariant(e.framesPerMachine) : QVariant());
            row << QVariant(qint64(e.daysSince));
            row << (e.task.frames > 0 ? QVariant(qint64(e.daysWithoutCount)) : QVariant());
        }
        row << stateName(e.state);
        t.rows << row;
    }
    return t;
}

Table DueList::grid() const
{
    Table t;
    t.title = QStringLiteral("Maintenance Due by Lane");
    t.columns << Column{QStringLiteral("Task"), Kind::Text};
    for (int lane = 1; lane <= request.lanes; ++lane)
        t.columns << Column{QString::number(lane), Kind::State};
    QHash<QPair<qint64, int>, State> states;
    for (const DueEntry& entry : entries)
        states.insert({entry.task.id, entry.lane}, entry.state);
    for (const Task& task : tasks) {
        if (!task.perLane)
            continue;
        QVariantList row{task.text};
        for (int lane = 1; lane <= request.lanes; ++lane) {
            const auto it = states.constFind({task.id, lane});
            row << (it != states.constEnd() ? QVariant(stateName(*it)) : QVariant());
        }
        t.rows << row;
    }
    return t;
}

Table DueList::lanesByState() const
{
    static constexpr std::array<State, 4> kOrder{State::Overdue, State::Due, State::DueSoon, State::Done};
    Table t;
    t.title = QStringLiteral("Maintenance Due by Lane");
    t.columns << Column{QStringLiteral("Task"), Kind::Text};
    for (State state : kOrder)
        t.columns << Column{stateName(state), Kind::Text};
    for (const Task& task : tasks) {
        if (!task.perLane)
            continue;
        std::array<QList<int>, 4> lanes;
        for (const DueEntry& entry : entries)
            if (entry.task.id == task.id)
                lanes[size_t(entry.state)] << entry.lane;
        QVariantList row{task.text};
        for (State state : kOrder)
            row << (lanes[size_t(state)].isEmpty() ? QVariant() : QVariant(laneRanges(lanes[size_t(state)])));
        t.rows << row;
    }
    return t;
}

QString dataStamp(store::Database& db, store::Error* error)
{
    // Counts, sums and the last numbers given: a row added, removed or changed in its figures shows.
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT (SELECT count(*) || ' ' || total(total) || ' ' || max(rowid) || ' ' || "
                               "total(julianday(DateNow)) FROM Frames), "
                               "(SELECT count(*) || ' ' || max(DoneId) || ' ' || total(length(Mechanic)) FROM "
                               "MaintDone), (SELECT count(*) || ' ' || max(TaskId) || ' ' || total(Frames) || ' ' || "
                               "total(Days) || ' ' || total(PerLane) || ' ' || count(Removed) FROM MaintTasks)")) ||
        !q.next()) {
        if (error)
            *error = db.errorOf(q.lastError());
        return {};
    }
    return q.value(0).toString() + QLatin1Char('/') + q.value(1).toString() + QLatin1Char('/') + q.value(2).toString();
}

QStringList dueListStatements()
{
    return {
        QStringLiteral("SELECT TaskId, Task, Frames, Days, PerLane, Added, Removed FROM MaintTasks WHERE Removed IS "
                       "NULL ORDER BY TaskId"),
        ledgerStatement(), lastDoneStatement()};
}

} // namespace maint

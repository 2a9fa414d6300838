#include "SchedulePrint.h"

#include <array>

namespace maint {
namespace {

QString day(QDate date)
{
    return reports::reportDate(date);
}

QString count(int n, const QString& one, const QString& many)
{
    return QStringLiteral("%1 %2").arg(printLocale().toString(n), n == 1 ? one : many);
}

QString lanesChosen(int lane)
{
    if (lane < 0)
        return QStringLiteral("every lane and the centre");
    return lane == 0 ? QStringLiteral("the centre") : QStringLiteral("lane %1").arg(lane);
}

QString daysChosen(QDate from, QDate to)
{
    if (from.isValid() && to.isValid())
        return QStringLiteral("from %1 to %2").arg(day(from), day(to));
    if (from.isValid())
        return QStringLiteral("from %1 on").arg(day(from));
    if (to.isValid())
        return QStringLiteral("up to %1").arg(day(to));
    return QStringLiteral("on every day");
}

} // namespace

QLocale printLocale()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

reports::FigureTable figuresOf(const Table& table, const QString& period, const QString& fileName)
{
    using Figures = reports::FigureTable;
    Figures figures;
    figures.title = table.title;
    figures.period = period;
    figures.fileName = fileName;
    // The due list's nine columns need the width of the page turned.
    figures.landscape = table.columnCount() > 6;
    for (const Column& column : table.columns) {
        Figures::Type type = Figures::Type::Text;
        if (column.kind == Kind::Day)
            type = Figures::Type::Date;
        else if (column.kind == Kind::Count)
            type = Figures::Type::Number;
        figures.columns << Figures::Column{column.caption, type, 0};
    }
    for (const QVariantList& row : table.rows)
        figures.rows << row;
    return figures;
}

QString duePeriod(const DueList& list)
{
    const DueRequest& request = list.request;
    QString line = QStringLiteral("Due on %1 at a centre of %2, due soon within %3% of an interval")
                       .arg(day(request.today), count(request.lanes, QStringLiteral("lane"), QStringLiteral("lanes")))
                       .arg(request.margin);
    if (list.tasks.isEmpty())
        return line + QStringLiteral(": no task is on the schedule.");
    std::array<int, 4> states{};
    int uncounted = 0;
    bool byFrames = false;
    for (const DueEntry& e : list.entries) {
        ++states[size_t(e.state)];
        if (e.task.frames > 0 && !e.neverDone()) {
            byFrames = true;
            uncounted = std::max(uncounted, e.daysWithoutCount);
        }
    }
    line += QStringLiteral(": %1 overdue, %2 due, %3 due soon, %4 done.")
                .arg(states[size_t(State::Overdue)])
                .arg(states[size_t(State::Due)])
                .arg(states[size_t(State::DueSoon)])
                .arg(states[size_t(State::Done)]);
    if (uncounted > 0)
        line += QStringLiteral(" Some days since a task by frames was done have no frame count (up to %1): their "
                               "frames are not counted.")
                    .arg(count(uncounted, QStringLiteral("day"), QStringLiteral("days")));
    else if (byFrames)
        line += QStringLiteral(" Every day since a task by frames was done has a frame count.");
    return line;
}

QString historyPeriod(const HistoryWords& words)
{
    const HistoryFilter& filter = words.filter;
    const QString task =
        words.taskText.isEmpty() ? QStringLiteral("every task") : QStringLiteral("\"%1\"").arg(words.taskText);
    QString line = QStringLiteral("Completions of %1 on %2, %3.")
                       .arg(task, lanesChosen(filter.lane), daysChosen(filter.from, filter.to));
    if (!words.first.isValid() || !words.last.isValid() || words.last < words.first)
        return line;
    const QString span = words.first == words.last
                             ? QStringLiteral("on %1").arg(day(words.first))
                             : QStringLiteral("from %1 to %2").arg(day(words.first), day(words.last));
    if (words.uncounted == 0)
        return line + QStringLiteral(" Every day %1 has a frame count.").arg(span);
    return line +
           QStringLiteral(" %1 %2 no frame count: the frames per machine leave %3 out.")
               .arg(count(words.uncounted, QStringLiteral("day"), QStringLiteral("days")) + QLatin1Char(' ') + span,
                    words.uncounted == 1 ? QStringLiteral("has") : QStringLiteral("have"),
                    words.uncounted == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

} // namespace maint

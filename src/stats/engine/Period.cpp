#include "Period.h"

namespace stats {

QDate weekStart(QDate day)
{
    // Qt numbers Monday 1 to Sunday 7; a Sunday starts its own week.
    return day.addDays(-(day.dayOfWeek() % 7));
}

QDate periodStart(QDate day, Grain grain)
{
    switch (grain) {
    case Grain::Day:
        return day;
    case Grain::Week:
        return weekStart(day);
    case Grain::Month:
        return QDate(day.year(), day.month(), 1);
    case Grain::Year:
        return QDate(day.year(), 1, 1);
    }
    return day;
}

QDate nextPeriod(QDate start, Grain grain)
{
    switch (grain) {
    case Grain::Day:
        return start.addDays(1);
    case Grain::Week:
        return start.addDays(7);
    case Grain::Month:
        return start.addMonths(1);
    case Grain::Year:
        return start.addYears(1);
    }
    return start.addDays(1);
}

QList<QDate> periodsOf(const DateRange& range, Grain grain)
{
    QList<QDate> periods;
    if (!range.from.isValid() || !range.to.isValid() || range.to < range.from)
        return periods;
    for (QDate start = periodStart(range.from, grain); start <= range.to; start = nextPeriod(start, grain))
        periods.append(start);
    return periods;
}

DateRange quickRange(QuickChoice choice, QDate today)
{
    switch (choice) {
    case QuickChoice::LastFourWeeks: {
        const QDate thisWeek = weekStart(today);
        return {thisWeek.addDays(-28), thisWeek.addDays(-1)};
    }
    case QuickChoice::ThisWeek:
        return {weekStart(today), today};
    case QuickChoice::ThisMonth:
        return {QDate(today.year(), today.month(), 1), today};
    case QuickChoice::ThisYear:
        return {QDate(today.year(), 1, 1), today};
    case QuickChoice::Last12Months:
        return {QDate(today.year(), today.month(), 1).addMonths(-11), today};
    }
    return {today, today};
}

QString quickChoiceName(QuickChoice choice)
{
    switch (choice) {
    case QuickChoice::LastFourWeeks:
        return QStringLiteral("Last four full weeks");
    case QuickChoice::ThisWeek:
        return QStringLiteral("This week");
    case QuickChoice::ThisMonth:
        return QStringLiteral("This month");
    case QuickChoice::ThisYear:
        return QStringLiteral("This year");
    case QuickChoice::Last12Months:
        return QStringLiteral("Last 12 months");
    }
    return {};
}

QString periodSql(const QString& column, const QString& grainParameter)
{
    // date(d, '-6 days', 'weekday 0') is the Sunday on or before d.
    return QStringLiteral("CASE %2 WHEN 0 THEN %1 WHEN 1 THEN date(%1, '-6 days', 'weekday 0') "
                          "WHEN 2 THEN substr(%1, 1, 8) || '01' ELSE substr(%1, 1, 5) || '01-01' END")
        .arg(column, grainParameter);
}

} // namespace stats

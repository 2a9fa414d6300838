#include "Figures.h"

#include <QLocale>

#include <array>
#include <map>

namespace stats {
namespace {

constexpr int kUnreadableHour = 24;

/// The hour of a call's time as the lane entry stored it: in the long time
/// form of the machine it was logged on, "1:05:09 PM" or "13:05:09". A time
/// that does not start with its hour gives no hour.
QString hourSql(const QString& time)
{
    return QStringLiteral("CASE WHEN %1 GLOB '[0-9]*' THEN CASE "
                          "WHEN instr(upper(%1), 'PM') THEN CAST(%1 AS INTEGER) % 12 + 12 "
                          "WHEN instr(upper(%1), 'AM') THEN CAST(%1 AS INTEGER) % 12 "
                          "ELSE CAST(%1 AS INTEGER) END END")
        .arg(time);
}

QString weekdayName(int sqlWeekday)
{
    // The engine numbers Sunday 0; Qt numbers it 7.
    return QLocale::c().dayName(sqlWeekday == 0 ? 7 : sqlWeekday, QLocale::LongFormat);
}

FigureTable shareTable(const QString& title, const QString& caption, Kind kind)
{
    return FigureTable(
        title, {{caption, kind}, {QStringLiteral("Calls"), Kind::Count}, {QStringLiteral("Share"), Kind::Percent}});
}

void addShare(FigureTable& table, qint64 calls, qint64 all)
{
    table.setCount(1, calls);
    if (all > 0)
        table.setReal(2, 100.0 * double(calls) / double(all));
}

/// How many of each weekday (the engine's numbering) the range holds.
std::array<int, 7> weekdaysIn(const DateRange& range)
{
    std::array<int, 7> days{};
    for (QDate day = range.from; day.isValid() && day <= range.to; day = day.addDays(1))
        ++days[size_t(day.dayOfWeek() % 7)];
    return days;
}

struct Tally {
    std::map<QString, qint64> sections;
    std::array<qint64, kUnreadableHour + 1> hours{};
    std::array<qint64, 7> weekdays{};
    std::array<std::array<qint64, 24>, 7> grid{};
};

void fillSections(StopTimes* figure, const Tally& tally, const QStringList& names)
{
    figure->bySection = shareTable(QStringLiteral("Calls by Section"), QStringLiteral("Section"), Kind::Text);
    // The five sections of the board in their order, then anything else stored.
    QStringList order;
    for (int i = 1; i <= 5; ++i)
        order << sectionName(names, std::to_string(i));
    for (const auto& [name, calls] : tally.sections)
        if (!order.contains(name))
            order << name;
    for (const QString& name : order) {
        figure->bySection.addRow();
        figure->bySection.setText(0, name);
        const auto found = tally.sections.find(name);
        addShare(figure->bySection, found == tally.sections.end() ? 0 : found->second, figure->calls);
    }
}

void fillHours(StopTimes* figure, const Tally& tally)
{
    figure->byHour = shareTable(QStringLiteral("Calls by Hour of the Day"), QStringLiteral("Hour"), Kind::Text);
    for (int hour = 0; hour <= kUnreadableHour; ++hour) {
        if (hour == kUnreadableHour && tally.hours[size_t(hour)] == 0)
            break;
        figure->byHour.addRow();
        figure->byHour.setText(0, hour == kUnreadableHour ? QStringLiteral("time not readable")
                                                          : QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')));
        addShare(figure->byHour, tally.hours[size_t(hour)], figure->calls);
    }
}

void fillWeekdays(StopTimes* figure, const Tally& tally, const DateRange& range)
{
    QList<Column> columns = shareTable({}, QStringLiteral("Weekday"), Kind::Text).columns();
    columns << Column{QStringLiteral("Days in range"), Kind::Count}
            << Column{QStringLiteral("Calls per day"), Kind::Decimal};
    figure->byWeekday = FigureTable(QStringLiteral("Calls by Weekday"), columns);
    const std::array<int, 7> days = weekdaysIn(range);
    for (int weekday = 0; weekday < 7; ++weekday) {
        const qint64 calls = tally.weekdays[size_t(weekday)];
        figure->byWeekday.addRow();
        figure->byWeekday.setText(0, weekdayName(weekday));
        addShare(figure->byWeekday, calls, figure->calls);
        figure->byWeekday.setCount(3, days[size_t(weekday)]);
        if (days[size_t(weekday)] > 0)
            figure->byWeekday.setReal(4, double(calls) / days[size_t(weekday)]);
    }

    QList<Column> hourColumns{{QStringLiteral("Weekday"), Kind::Text}};
    for (int hour = 0; hour < 24; ++hour)
        hourColumns << Column{QString::number(hour), Kind::Count};
    hourColumns << Column{QStringLiteral("Total"), Kind::Count};
    figure->weekdayByHour = FigureTable(QStringLiteral("Calls by Weekday and Hour"), hourColumns);
    for (int weekday = 0; weekday < 7; ++weekday) {
        figure->weekdayByHour.addRow();
        figure->weekdayByHour.setText(0, weekdayName(weekday));
        qint64 total = 0;
        for (int hour = 0; hour < 24; ++hour) {
            figure->weekdayByHour.setCount(hour + 1, tally.grid[size_t(weekday)][size_t(hour)]);
            total += tally.grid[size_t(weekday)][size_t(hour)];
        }
        figure->weekdayByHour.setCount(25, total);
    }
}

} // namespace

Statement sectionNamesStatement()
{
    return {QStringLiteral("the names of the sections"),
            QStringLiteral("SELECT S1, S2, S3, S4, S5 FROM Calls LIMIT 1"),
            {}};
}

QString sectionName(const QStringList& names, std::string_view type)
{
    const QString stored = QString::fromUtf8(type.data(), qsizetype(type.size())).trimmed();
    bool isNumber = false;
    const int section = stored.toInt(&isNumber);
    if (isNumber && section >= 1 && section <= 5) {
        const QString name = names.value(section - 1).trimmed();
        return name.isEmpty() ? QStringLiteral("Section %1").arg(section) : name;
    }
    return stored.isEmpty() ? QStringLiteral("(no section)") : QStringLiteral("Section ") + stored;
}

QList<Statement> stopTimeStatements(const Request& request)
{
    // Grouped by day first: the weekday is worked out once a day, not once a call.
    const QString sql = QStringLiteral("SELECT t, CAST(strftime('%w', d) AS INTEGER) AS wd, h, sum(n) FROM "
                                       "(SELECT DateNow AS d, Type AS t, %1 AS h, count(*) AS n FROM DData "
                                       "WHERE DateNow BETWEEN ?1 AND ?2 GROUP BY DateNow, Type, h) GROUP BY t, wd, h")
                            .arg(hourSql(QStringLiteral("Time")));
    return {sectionNamesStatement(),
            {QStringLiteral("calls per section, weekday and hour"), sql, rangeParameters(request.range)}};
}

bool workOut(FigureRun& run, const Request& request, StopTimes* figure)
{
    *figure = StopTimes();
    const QList<Statement> statements = stopTimeStatements(request);
    QStringList names;
    bool ran = run.each(statements.at(0), [&](const Row& row) {
        for (int i = 0; i < 5; ++i)
            names << QString::fromUtf8(row.text(i).data(), qsizetype(row.text(i).size()));
    });
    Tally tally;
    ran = ran && run.each(statements.at(1), [&](const Row& row) {
        const qint64 n = row.integer(3);
        const int weekday = int(row.integer(1));
        const bool hourKnown = !row.isNull(2) && row.integer(2) >= 0 && row.integer(2) < 24;
        const int hour = hourKnown ? int(row.integer(2)) : kUnreadableHour;
        tally.sections[sectionName(names, row.text(0))] += n;
        tally.hours[size_t(hour)] += n;
        if (weekday >= 0 && weekday < 7) {
            tally.weekdays[size_t(weekday)] += n;
            if (hourKnown)
                tally.grid[size_t(weekday)][size_t(hour)] += n;
        }
        figure->calls += n;
    });
    if (!ran)
        return false;
    fillSections(figure, tally, names);
    fillHours(figure, tally);
    fillWeekdays(figure, tally, request.range);
    return true;
}

} // namespace stats

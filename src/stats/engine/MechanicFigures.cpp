#include "Figures.h"

#include <QHash>

#include <algorithm>
#include <map>

namespace stats {
namespace {

const QString kNobody = QStringLiteral("Nobody ticked");

struct Tally {
    std::map<qint64, QHash<QString, qint64>> byWeek; // week (Julian day) -> mechanic -> calls
    std::map<qint64, qint64> allByWeek;
    QHash<QString, QHash<QString, qint64>> bySection; // mechanic -> section -> calls
    QHash<QString, qint64> sectionCalls;              // section -> every call of it
    QHash<QString, qint64> perMechanic;
};

void fillByWeek(MechanicFigures* figure, const Tally& tally, const DateRange& range)
{
    QList<Column> columns{{QStringLiteral("Week of"), Kind::Week}};
    for (const QString& name : figure->mechanics)
        columns << Column{name, Kind::Count};
    columns << Column{kNobody, Kind::Count} << Column{QStringLiteral("All calls"), Kind::Count};
    figure->byWeek = FigureTable(QStringLiteral("Calls per Mechanic by Week"), columns);
    for (const QDate& week : periodsOf(range, Grain::Week)) {
        const auto found = tally.byWeek.find(week.toJulianDay());
        const QHash<QString, qint64> calls = found == tally.byWeek.end() ? QHash<QString, qint64>() : found->second;
        figure->byWeek.addRow();
        figure->byWeek.setDate(0, week);
        int column = 1;
        for (const QString& name : figure->mechanics)
            figure->byWeek.setCount(column++, calls.value(name));
        figure->byWeek.setCount(column++, calls.value(QString()));
        const auto all = tally.allByWeek.find(week.toJulianDay());
        figure->byWeek.setCount(column, all == tally.allByWeek.end() ? 0 : all->second);
    }
}

void fillShares(MechanicFigures* figure, const Tally& tally, const QStringList& sections)
{
    figure->sectionShares =
        FigureTable(QStringLiteral("Share of Each Section's Calls"), {{QStringLiteral("Mechanic"), Kind::Text},
                                                                      {QStringLiteral("Section"), Kind::Text},
                                                                      {QStringLiteral("Handled"), Kind::Count},
                                                                      {QStringLiteral("Section's calls"), Kind::Count},
                                                                      {QStringLiteral("Share"), Kind::Percent}});
    QStringList who = figure->mechanics;
    if (tally.perMechanic.contains(QString()))
        who << QString();
    for (const QString& name : who) {
        const QHash<QString, qint64> handled = tally.bySection.value(name);
        for (const QString& section : sections) {
            const qint64 all = tally.sectionCalls.value(section);
            if (all == 0)
                continue;
            FigureTable& table = figure->sectionShares;
            table.addRow();
            table.setText(0, name.isEmpty() ? kNobody : name);
            table.setText(1, section);
            table.setCount(2, handled.value(section));
            table.setCount(3, all);
            table.setReal(4, 100.0 * double(handled.value(section)) / double(all));
        }
    }
}

} // namespace

QList<Statement> mechanicStatements(const Request& request)
{
    // Each call counts once for every mechanic ticked on it (the same name
    // ticked twice counts once), once for "nobody" when none is, and once
    // among all calls (who is null).
    const QString sql = QStringLiteral(
        "WITH g AS (SELECT DateNow AS d, Type AS t, trim(coalesce(Name1, '')) AS a, trim(coalesce(Name2, '')) AS b, "
        "count(*) AS n FROM DData WHERE DateNow BETWEEN ?1 AND ?2 GROUP BY DateNow, Type, a, b), "
        "m AS (SELECT d, t, a AS who, n FROM g WHERE a <> '' "
        "UNION ALL SELECT d, t, b, n FROM g WHERE b <> '' AND b <> a "
        "UNION ALL SELECT d, t, '', n FROM g WHERE a = '' AND b = '' "
        "UNION ALL SELECT d, t, NULL, n FROM g) "
        "SELECT date(d, '-6 days', 'weekday 0') AS w, who, t, sum(n) FROM m GROUP BY w, who, t");
    return {sectionNamesStatement(),
            {QStringLiteral("calls per mechanic, week and section"), sql, rangeParameters(request.range)}};
}

bool workOut(FigureRun& run, const Request& request, MechanicFigures* figure)
{
    *figure = MechanicFigures();
    const QList<Statement> statements = mechanicStatements(request);
    QStringList names;
    bool ran = run.each(statements.at(0), [&](const Row& row) {
        for (int i = 0; i < 5; ++i)
            names << QString::fromUtf8(row.text(i).data(), qsizetype(row.text(i).size()));
    });
    Tally tally;
    QStringList sections;
    for (int i = 1; i <= 5; ++i)
        sections << sectionName(names, std::to_string(i));
    ran = ran && run.each(statements.at(1), [&](const Row& row) {
        const qint64 week = row.date(0).toJulianDay();
        const QString section = sectionName(names, row.text(2));
        const qint64 n = row.integer(3);
        if (!sections.contains(section))
            sections << section;
        if (row.isNull(1)) {
            tally.allByWeek[week] += n;
            tally.sectionCalls[section] += n;
            return;
        }
        const std::string_view who = row.text(1);
        const QString name = QString::fromUtf8(who.data(), qsizetype(who.size()));
        tally.byWeek[week][name] += n;
        tally.bySection[name][section] += n;
        tally.perMechanic[name] += n;
    });
    if (!ran)
        return false;
    for (auto it = tally.perMechanic.cbegin(); it != tally.perMechanic.cend(); ++it)
        if (!it.key().isEmpty())
            figure->mechanics << it.key();
    std::sort(figure->mechanics.begin(), figure->mechanics.end(), [&](const QString& a, const QString& b) {
        const qint64 ca = tally.perMechanic.value(a), cb = tally.perMechanic.value(b);
        return ca != cb ? ca > cb : a < b;
    });
    fillByWeek(figure, tally, request.range);
    fillShares(figure, tally, sections);
    return true;
}

} // namespace stats

#include "HostileLog.h"

#include <QLocale>
#include <QTest>

namespace testing {
namespace {

QString quoted(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString nullable(const QString& text)
{
    return text.isNull() ? QStringLiteral("NULL") : quoted(text);
}

// Each call its own time, all of them between 10 and 13 o'clock: "10:00:37 AM", "12:59:59 PM".
QString timeOf(int k)
{
    const int step = k / 2 * 83;
    const int t = k % 2 ? 10799 - step : step; // from 10:00:00 up and from 12:59:59 down
    return QStringLiteral("%1:%2:%3 %4")
        .arg(10 + t / 3600)
        .arg(t / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(t % 60, 2, 10, QLatin1Char('0'))
        .arg(k % 4 < 2 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

const QStringList& calls()
{
    static const QStringList list = {
        QStringLiteral("Pin elevator jammed at the top"), // 30 characters
        QStringLiteral("Ball return accelerator belt 2"), // 30
        QStringLiteral("Turret indexing fault on cycle"), // 30
        QStringLiteral("Out of range"),
        QStringLiteral("ölwanne leaking"),
        QStringLiteral("Ölwanne leaking"),
        QStringLiteral("Deck not lowering"),
    };
    return list;
}

const QStringList& names()
{
    static const QStringList list = {
        QStringLiteral("Maximilian"),
        QStringLiteral("Jean-Baptiste Montgomery-Smith"), // 30 characters, more than the field is meant to hold
        QStringLiteral("Dave"),
        QStringLiteral(" "),
    };
    return list;
}

QStringList notes()
{
    return {
        QString(),
        QStringLiteral(""),
        QStringLiteral("replaced the respot cell and adjusted the table clutch, then ran twenty frames to check the "
                       "cycle; the deck still hesitates on the downstroke, so order a new shock absorber before the "
                       "weekend leagues"),
        QStringLiteral("Chain came off the sprocket.\nPut it back, checked the tension.\nWatch it tonight."),
        QStringLiteral("Short note"),
        QStringLiteral("Customer's child in the pit again: stopped the machine, reset it, told the desk"),
    };
}

struct Day {
    QDate date;
    int calls;
};

} // namespace

QDate hostileToday()
{
    return QDate(2026, 12, 8);
}

QDateTime hostileNow()
{
    return QDateTime(hostileToday(), QTime(16, 5));
}

QString unbreakableWord()
{
    return QStringLiteral("see-manual-section-12-4-7-deck-lowering-adjustment-procedure-and-cam-timing-chart");
}

namespace {

using Exec = std::function<bool(const QString&)>;

void fillCalls(const Exec& exec)
{
    const QDate today = hostileToday();
    const QList<Day> days = {
        {QDate(2025, 3, 5), 3},   {QDate(2026, 2, 11), 4},
        {QDate(2026, 6, 17), 3},  {QDate(2026, 11, 4), 3},
        {QDate(2026, 11, 30), 2}, {QDate(2026, 12, 1), 3},
        {QDate(2026, 12, 2), 5},  {QDate(2026, 12, 6), 4},
        {today.addDays(-1), 12},  {today, 75},
        {QDate(2026, 12, 9), 4},  {QDate(2026, 12, 12), 2},
        {QDate(2026, 12, 13), 2},
    };
    const QStringList texts = notes();
    int k = 0;
    // Today's calls first: the order of the rows in the file is not the order of a report.
    QList<Day> order = days;
    std::rotate(order.begin(), order.begin() + 9, order.end());
    for (const Day& day : std::as_const(order)) {
        for (int i = 0; i < day.calls; ++i, ++k) {
            const QString name1 = names().at(k % 4);
            const QString name2 = names().at((k + 1) % 4);
            const QString values = QStringList{quoted(day.date.toString(Qt::ISODate)),
                                               quoted(timeOf(k)),
                                               quoted(QLocale::c().dayName(day.date.dayOfWeek())),
                                               QString::number(1 + (k * 7) % 60),
                                               quoted(calls().at(k % calls().size())),
                                               quoted(QString::number(1 + k % 5)),
                                               quoted(name1),
                                               quoted(name2),
                                               nullable(texts.at(k % texts.size()))}
                                       .join(QStringLiteral(", "));
            QVERIFY2(exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, "
                                         "Name2, Notes) VALUES (") +
                          values + QLatin1Char(')')),
                     qPrintable(values));
        }
    }
}

// Notes of every kind, for enough days to fill several pages.
void fillNotes(const Exec& exec)
{
    const QDate today = hostileToday();
    const QStringList texts = notes();
    const QString longNote =
        QStringLiteral("Oiled the turret chains on lanes 1 to 16 and cleaned the pit carpets. The turret on 7 still "
                       "sticks now and then, it needs a new spring before the weekend leagues start; ") +
        unbreakableWord() + QStringLiteral(" tells how.");
    for (int d = 0; d < 14; ++d) {
        const QDate date = today.addDays(-13 + d);
        const QString values =
            QStringList{quoted(date.toString(Qt::ISODate)),
                        quoted(names().at(d % 2)),
                        quoted(QStringLiteral("Dave")),
                        quoted(names().at((d + 1) % 2)),
                        d % 3 == 0 ? QStringLiteral("NULL") : quoted(names().at(0)),
                        quoted(longNote),
                        quoted(QStringLiteral("Lane 2 ball lift slow;\nwatch it.\nCalled the desk.")),
                        d % 2 ? QStringLiteral("NULL") : quoted(texts.at(2)),
                        quoted(texts.at(5))}
                .join(QStringLiteral(", "));
        QVERIFY2(exec(QStringLiteral("INSERT INTO DWork (DateNow, mecha1, mecha2, mechp1, mechp2, noteam1, noteam2, "
                                     "notepm1, notepm2) VALUES (") +
                      values + QLatin1Char(')')),
                 qPrintable(values));
    }
}

// Work sheets: every row filled with 40 characters, and who completed it.
void fillSheets(const Exec& exec)
{
    for (const QDate& date : {QDate(2026, 12, 2), hostileToday()}) {
        QStringList fields{QStringLiteral("DateNow")};
        QStringList values{quoted(date.toString(Qt::ISODate))};
        for (int i = 1; i <= 20; ++i) {
            fields << QStringLiteral("\"%1W\"").arg(i) << QStringLiteral("\"%1M\"").arg(i);
            values << quoted(QStringLiteral("Check and clean deck number %1 on lane %2").arg(i, 2).arg(40 + i).left(40))
                   << quoted(i % 3 ? names().at(i % 2) : QStringLiteral(""));
        }
        QVERIFY(exec(QStringLiteral("INSERT INTO WAssign (") + fields.join(QStringLiteral(", ")) +
                     QStringLiteral(") VALUES (") + values.join(QStringLiteral(", ")) + QLatin1Char(')')));
    }
}

// Preset calls and section names as long as their fields allow.
void fillPresets(const Exec& exec)
{
    QStringList sets;
    for (int i = 1; i <= 100; i += 9)
        sets << QStringLiteral("C%1 = ").arg(i) + quoted(calls().at(i % 3) + QString());
    for (int s = 1; s <= 5; ++s)
        sets << QStringLiteral("S%1 = ").arg(s) + quoted(QStringLiteral("Section %1 calls").arg(s).left(15));
    QVERIFY(exec(QStringLiteral("UPDATE Calls SET ") + sets.join(QStringLiteral(", "))));
}

} // namespace

void fillHostileLog(const std::function<bool(const QString&)>& exec)
{
    fillCalls(exec);
    fillNotes(exec);
    fillSheets(exec);
    fillPresets(exec);
}

} // namespace testing

#include "CallLogGenerator.h"

#include "store/Database.h"
#include "store/FieldValue.h"

#include <QDate>
#include <QLocale>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

namespace testing {

using namespace store;

bool CallLogGenerator::fill(const QString& path, qint64 rows, QString* error) const
{
    Error why;
    auto db = Database::open(path, &why);
    if (!db) {
        if (error)
            *error = why.text();
        return false;
    }
    QStringList calls;
    {
        QSqlQuery q(db->sql());
        if (q.exec(QStringLiteral("SELECT * FROM \"Calls\"")) && q.next()) {
            for (int i = 0; i < 100; ++i)
                calls << q.value(i).toString();
        }
    }
    if (calls.size() != 100) {
        if (error)
            *error = QStringLiteral("The database has no preset calls to draw from.");
        return false;
    }
    const QStringList am = {QStringLiteral("Dave"), QStringLiteral("Marco")};
    const QStringList pm = {QStringLiteral("Ray"), QStringLiteral("Tomasz")};
    QRandomGenerator random(seed);
    QDate day = QDate::fromString(firstDay, Qt::ISODate);
    const QLocale locale;
    QSqlQuery insert(db->sql());
    insert.prepare(
        QStringLiteral("INSERT INTO \"DData\" (\"DateNow\", \"Time\", \"Weekday\", \"LaneNo\", \"callmade\", "
                       "\"Type\", \"Name1\", \"Name2\", \"Notes\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    qint64 written = 0;
    int todayLeft = callsPerDay;
    // The day's calls spread from 10:00 to midnight, however many there are.
    int spacing = qMax(1, 2 * 14 * 60 / qMax(1, todayLeft));
    int minute = 10 * 60;
    while (written < rows) {
        Transaction transaction(*db);
        for (int batch = 0; batch < 20000 && written < rows; ++batch, ++written) {
            if (todayLeft == 0) {
                day = day.addDays(1);
                // Busy weekends, quiet early week.
                const int base = callsPerDay;
                todayLeft = qMax(1, base + (day.dayOfWeek() >= 5 ? base / 2 : 0) - int(random.bounded(base / 3 + 1)));
                spacing = qMax(1, 2 * 14 * 60 / todayLeft);
                minute = 10 * 60;
            }
            --todayLeft;
            minute = qMin(minute + int(random.bounded(spacing)), 23 * 60 + 59);
            const QTime time(minute / 60, minute % 60, int(random.bounded(60)));
            // A handful of calls make up most stops, as on any real machine.
            int call = 0;
            const quint32 roll = random.bounded(100);
            if (roll < 60)
                call = int(random.bounded(12));
            else
                call = int(random.bounded(100));
            const bool pmShift = minute >= 17 * 60;
            const QStringList& crew = pmShift ? pm : am;
            const bool first = random.bounded(3) != 0;
            int lane = 1 + int(random.bounded(quint32(lanes)));
            insert.bindValue(0, day.toString(Qt::ISODate));
            insert.bindValue(1, time.toString(longTimeFormat()));
            insert.bindValue(2, QLocale::c().dayName(day.dayOfWeek(), QLocale::LongFormat));
            insert.bindValue(3, lane);
            insert.bindValue(4, calls.at(call));
            insert.bindValue(5, QString::number(call / 20 + 1));
            insert.bindValue(6, first ? crew.at(0) : QStringLiteral(" "));
            insert.bindValue(7, first ? QStringLiteral(" ") : crew.at(1));
            insert.bindValue(8, random.bounded(10) == 0 ? QStringLiteral("Checked and adjusted") : QString());
            if (!insert.exec()) {
                if (error)
                    *error = insert.lastError().text();
                return false;
            }
        }
        if (!transaction.commit()) {
            if (error)
                *error = transaction.error().text();
            return false;
        }
    }
    return true;
}

} // namespace testing

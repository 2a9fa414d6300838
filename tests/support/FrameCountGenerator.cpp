#include "FrameCountGenerator.h"

#include "store/Database.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

namespace testing {

bool FrameCountGenerator::fill(const QString& path, QDate first, QDate last, QString* error) const
{
    store::Error why;
    auto db = store::Database::open(path, &why);
    if (!db) {
        if (error)
            *error = why.text();
        return false;
    }
    QRandomGenerator random(seed);
    store::Transaction transaction(*db);
    QSqlQuery insert(db->sql());
    insert.prepare(QStringLiteral("INSERT INTO Frames (DateNow, Open, League, Rent, Misc, total) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"));
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        if (missingOneIn > 0 && random.bounded(missingOneIn) == 0)
            continue;
        const bool weekend = day.dayOfWeek() >= 5;
        const int perLane = (weekend ? 520 : 300) + int(random.bounded(200));
        const int all = perLane * lanes;
        // League nights on Tuesday and Thursday; open play the rest.
        const int league = day.dayOfWeek() == 2 || day.dayOfWeek() == 4 ? all / 2 : all / 10;
        const int rent = all / 12;
        const int misc = all / 40;
        const int open = all - league - rent - misc;
        insert.bindValue(0, day.toString(Qt::ISODate));
        insert.bindValue(1, open);
        insert.bindValue(2, league);
        insert.bindValue(3, rent);
        insert.bindValue(4, misc);
        insert.bindValue(5, all);
        if (!insert.exec()) {
            if (error)
                *error = insert.lastError().text();
            return false;
        }
    }
    insert.finish();
    if (!transaction.commit()) {
        if (error)
            *error = transaction.error().text();
        return false;
    }
    return true;
}

} // namespace testing

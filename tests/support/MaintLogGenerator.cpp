#include "MaintLogGenerator.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace testing {
namespace {

struct Usual {
    const char* text;
    int frames;
    int days;
    bool perLane;
};

// The trade's usual tasks: makers set them by frames bowled and by the week.
constexpr Usual kUsual[] = {
    {"Clean and oil deck chains", 0, 7, true},      {"Lube deck gearboxes", 25000, 0, true},
    {"Check sweep belts and pulleys", 0, 14, true}, {"Overhaul pin wheel", 100000, 0, true},
    {"Clean pin detectors", 0, 30, true},           {"Replace elevator belts", 100000, 365, true},
    {"Check all breakers", 0, 30, false},           {"Clean pit area", 0, 7, false},
};

bool run(QSqlQuery& q, QString* error)
{
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

} // namespace

bool MaintLogGenerator::fill(const QString& path, QDate today, QString* error) const
{
    const QString name = QStringLiteral("maintgen-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open() || !db.transaction()) {
            if (error)
                *error = db.lastError().text();
        } else {
            QRandomGenerator random(seed);
            QSqlQuery q(db);
            q.prepare(QStringLiteral("INSERT OR REPLACE INTO Settings (Name, Value) VALUES ('Lanes', ?)"));
            q.addBindValue(QString::number(lanes));
            ok = run(q, error);
            for (int t = 0; ok && t < tasks; ++t) {
                const Usual& usual = kUsual[t % std::size(kUsual)];
                QString text = QString::fromLatin1(usual.text);
                if (t >= int(std::size(kUsual)))
                    text += QStringLiteral(" #%1").arg(t / int(std::size(kUsual)) + 1);
                q.prepare(QStringLiteral("INSERT INTO MaintTasks (Task, Frames, Days, PerLane, Added) "
                                         "VALUES (?, ?, ?, ?, ?)"));
                q.addBindValue(text);
                q.addBindValue(usual.frames > 0 ? QVariant(usual.frames) : QVariant(QMetaType(QMetaType::Int)));
                q.addBindValue(usual.days > 0 ? QVariant(usual.days) : QVariant(QMetaType(QMetaType::Int)));
                q.addBindValue(usual.perLane ? 1 : 0);
                q.addBindValue(today.addYears(-10).toString(Qt::ISODate));
                ok = run(q, error);
                const qint64 taskId = q.lastInsertId().toLongLong();
                // The interval in days: a frames interval at the usual frames a machine bowls a day.
                const int every = usual.days > 0 ? usual.days : usual.frames / framesPerMachineADay;
                for (int lane = usual.perLane ? 1 : 0; ok && lane <= (usual.perLane ? lanes : 0); ++lane) {
                    // The last time between a third of the interval and 15% past it before today.
                    int back = int(every * (0.3 + 0.85 * random.generateDouble()));
                    for (int c = 0; ok && c < completionsEach; ++c) {
                        if (firstDay.isValid() && today.addDays(-back) < firstDay)
                            break;
                        q.prepare(QStringLiteral("INSERT INTO MaintDone (TaskId, Lane, DateDone, Mechanic) "
                                                 "VALUES (?, ?, ?, ?)"));
                        q.addBindValue(taskId);
                        q.addBindValue(lane);
                        q.addBindValue(today.addDays(-back).toString(Qt::ISODate));
                        q.addBindValue(random.bounded(2) ? QStringLiteral("Dave") : QStringLiteral("Marco"));
                        ok = run(q, error);
                        back += every;
                    }
                }
            }
            // Each completion keeps the frames per machine since the one before, as the program records them.
            q.prepare(QStringLiteral(
                "UPDATE MaintDone SET FramesPerMachine = (SELECT CAST(total(f.total) AS INTEGER) / ? FROM Frames f "
                "WHERE f.total > 0 AND f.DateNow <= MaintDone.DateDone AND f.DateNow > (SELECT max(p.DateDone) "
                "FROM MaintDone p WHERE p.TaskId = MaintDone.TaskId AND p.Lane = MaintDone.Lane AND p.DateDone < "
                "MaintDone.DateDone)) WHERE EXISTS (SELECT 1 FROM MaintDone p WHERE p.TaskId = MaintDone.TaskId "
                "AND p.Lane = MaintDone.Lane AND p.DateDone < MaintDone.DateDone)"));
            q.addBindValue(lanes);
            ok = ok && run(q, error);
            ok = ok && db.commit();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace testing

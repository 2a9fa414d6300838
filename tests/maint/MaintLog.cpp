#include "MaintLog.h"

#include <QStringList>

namespace testing {

bool MaintLog::write(const std::function<bool(const QString&)>& exec)
{
    QStringList statements;
    const QList<QPair<const char*, int>> frames{{"2004-11-01", 50000}, {"2004-11-02", 100000}, {"2004-11-03", 150000},
                                                {"2004-11-03", 50000}, {"2004-11-04", 0},      {"2004-11-06", 299999},
                                                {"2004-11-07", 1},     {"2004-11-08", 60000},  {"2004-11-09", 1}};
    for (const auto& [day, total] : frames)
        statements << QStringLiteral("INSERT INTO Frames (DateNow, Open, League, Rent, Misc, total) "
                                     "VALUES ('%1', %2, 0, 0, 0, %2)")
                          .arg(QString::fromLatin1(day))
                          .arg(total);
    statements << QStringLiteral("INSERT INTO MaintTasks (Task, Frames, Days, PerLane, Added, Removed) VALUES "
                                 "('Lube deck gearboxes', 25000, NULL, 0, '2004-10-01', NULL), "
                                 "('Clean pit carpet', NULL, 7, 1, '2004-10-01', NULL), "
                                 "('Check ball lift belts', 25000, 30, 0, '2004-10-01', NULL), "
                                 "('Replace deck belts', NULL, 365, 1, '2004-10-01', NULL), "
                                 "('Old task', NULL, 10, 0, '2004-10-01', '2004-10-20')");
    statements << QStringLiteral("INSERT INTO MaintDone (TaskId, Lane, DateDone, Mechanic) VALUES "
                                 "(1, 0, '2004-11-01', 'Dave'), (2, 3, '2004-11-01', 'Dave'), "
                                 "(3, 0, '2004-10-15', 'Marco'), (5, 0, '2004-10-10', 'Dave')");
    QStringList lanes;
    for (int lane = 1; lane <= kLanes; ++lane)
        lanes << QStringLiteral("(2, %1, '2004-11-07', 'Marco')").arg(lane);
    statements << QStringLiteral("INSERT INTO MaintDone (TaskId, Lane, DateDone, Mechanic) VALUES ") +
                      lanes.join(QStringLiteral(", "));
    statements << QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('Lanes', '24')");
    for (const QString& statement : statements)
        if (!exec(statement))
            return false;
    return true;
}

} // namespace testing

#include "ReportFixture.h"

#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace testing {

QDate reportToday()
{
    return QDate(2004, 12, 7);
}

void fillReportData(TempDatabase& db)
{
    fillReportData([&db](const QString& sql) { return db.exec(sql); });
}

void fillReportData(const std::function<bool(const QString&)>& exec)
{
    // DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, Notes
    const char* calls[] = {
        "'2003-12-31', '9:05:00 PM', 'Wednesday', 4, 'Ball stuck in pit', '1', ' ', 'Ray', NULL",
        "'2004-01-05', '10:20:11 AM', 'Monday', 12, 'Pinsetter jammed', '2', 'Dave', ' ', ''",
        "'2004-01-31', '11:45:02 AM', 'Saturday', 7, 'Sweep hitting pins', '3', 'Marco', ' ', 'Belt worn'",
        "'2004-11-30', '6:10:40 PM', 'Tuesday', 21, 'ball stuck in pit', '1', ' ', 'Tomasz', NULL",
        "'2004-12-01', '10:02:15 AM', 'Wednesday', 3, 'Out of range', '4', 'Dave', ' ', NULL",
        "'2004-12-04', '8:30:00 PM', 'Saturday', 15, 'Pinsetter jammed', '2', ' ', 'Ray', 'Second time tonight'",
        "'2004-12-05', '1:15:20 PM', 'Sunday', 1, 'Deck not lowering', '2', 'Marco', ' ', NULL",
        "'2004-12-06', '10:40:00 AM', 'Monday', 2, 'Ball stuck in pit', '1', 'Dave', ' ', ''",
        "'2004-12-06', '7:55:31 PM', 'Monday', 30, 'Foul line out', '5', ' ', 'Tomasz', NULL",
        "'2004-12-07', '10:01:09 AM', 'Tuesday', 12, 'PINSETTER JAMMED', '2', 'Dave', ' ', 'Chain off sprocket'",
        "'2004-12-07', '10:09:45 AM', 'Tuesday', 5, 'Sweep hitting pins', '3', 'Dave', ' ', NULL",
        "'2004-12-07', '10:12:03 AM', 'Tuesday', 12, 'Ölwanne leaking', '5', 'Marco', ' ', 'Oil pan [left]'",
        "'2004-12-11', '2:00:00 PM', 'Saturday', 9, '5*3 spotting error', '4', ' ', ' ', NULL",
        "'2004-12-12', '3:30:00 PM', 'Sunday', 9, 'Out of range', '4', 'Ray', ' ', NULL",
    };
    for (const char* values : calls) {
        QVERIFY2(exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, "
                                     "Name2, Notes) VALUES (") +
                      QString::fromUtf8(values) + QLatin1Char(')')),
                 values);
    }
    QVERIFY(exec(QStringLiteral(
        "INSERT INTO DWork (DateNow, mecha1, mecha2, mechp1, mechp2, noteam1, noteam2, notepm1, notepm2) VALUES "
        "('2004-11-30', 'Dave', 'Marco', 'Ray', 'Tomasz', 'Replaced deck belt on lane 21.', NULL, "
        "'League night, busy.', 'Cleaned pit on 21-22.'),"
        "('2004-12-06', 'Dave', NULL, 'Ray', 'Tomasz', 'Lane 2 ball lift slow; watch it.', '', "
        "'Oiled turret chains on 1-16. Turret on 7 still sticks now and then, it needs a new spring before the "
        "weekend leagues start.', NULL),"
        "('2004-12-07', 'Dave', 'Marco', 'Ray', NULL, 'Chain came off the sprocket on 12.\nPut it back, checked "
        "the tension.', 'Oil pan on 12 leaks.', NULL, NULL)")));
    QVERIFY(exec(QStringLiteral(
        "INSERT INTO WAssign (DateNow, \"1W\", \"2W\", \"3W\", \"1M\", \"2M\") VALUES "
        "('2004-12-01', 'Clean and oil deck chains', 'Check sweep belts', NULL, 'Dave', NULL),"
        "('2004-12-07', 'Replace oil pan gasket on 12', 'Check turret springs', 'Clean ball lift rods', 'Marco', "
        "'Dave')")));
}

QStringList definitionNames()
{
    return {QStringLiteral("alldata.rpt"),  QStringLiteral("daily.rpt"),    QStringLiteral("weekly.rpt"),
            QStringLiteral("mtodate.rpt"),  QStringLiteral("ytodate.rpt"),  QStringLiteral("amnotes.rpt"),
            QStringLiteral("pmnotes.rpt"),  QStringLiteral("apnote.rpt"),   QStringLiteral("assign.rpt"),
            QStringLiteral("calls.rpt"),    QStringLiteral("1daynote.rpt"), QStringLiteral("1assign.rpt"),
            QStringLiteral("daybefor.rpt"), QStringLiteral("100calls.rpt"), QStringLiteral("laneno.rpt"),
            QStringLiteral("smech1.rpt"),   QStringLiteral("smech2.rpt"),   QStringLiteral("bgraph.rpt"),
            QStringLiteral("pgraph.rpt"),   QStringLiteral("gmech1.rpt"),   QStringLiteral("gmech2.rpt"),
            QStringLiteral("seldate.rpt"),  QStringLiteral("sellane.rpt"),  QStringLiteral("filter.rpt")};
}

reports::ReportRequest requestFor(const TempDatabase& db, const QString& file, const QDateTime& at)
{
    reports::ReportRequest request;
    request.folder = db.folder();
    request.databasePath = db.databasePath();
    request.fileName = file;
    request.printedAt = at.isValid() ? at : QDateTime(reportToday(), QTime(10, 15, 30));
    return request;
}

void copyDefinitions(const QString& folder)
{
    const QDir source(QStringLiteral(REPORT_DEFINITIONS_DIR));
    for (const QString& name : source.entryList({QStringLiteral("*.rpt")}, QDir::Files)) {
        QFile::remove(QDir(folder).filePath(name));
        QVERIFY(QFile::copy(source.filePath(name), QDir(folder).filePath(name)));
    }
}

} // namespace testing

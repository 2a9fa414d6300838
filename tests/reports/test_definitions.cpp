// Report files that are missing or damaged, formulas the engine refuses,
// pages of long reports, sort fields set by the caller, and CSV output.
#include "ReportFixture.h"

#include "reports/engine/Report.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

using reports::Report;
using reports::ReportRequest;

namespace {

void writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// `perDay` calls on each of consecutive days from 2004-12-01, lanes 1 to 40 in turn.
void addCalls(testing::TempDatabase& db, const QList<int>& perDay)
{
    QStringList rows;
    int n = 0;
    for (int day = 0; day < perDay.size(); ++day) {
        for (int i = 0; i < perDay.at(day); ++i, ++n) {
            rows << QStringLiteral("('%1', '%2', 'Day', %3, 'Call %4', '1', 'Dave', ' ', NULL)")
                        .arg(QDate(2004, 12, 1).addDays(day).toString(Qt::ISODate))
                        .arg(QTime(8, 0).addSecs(60 * i).toString(QStringLiteral("HH:mm:ss")))
                        .arg(1 + n % 40)
                        .arg(n, 4, 10, QLatin1Char('0'));
        }
    }
    QVERIFY(db.exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, "
                                   "Notes) VALUES ") +
                    rows.join(QLatin1Char(','))));
}

// A definition whose stored selection is `selection`.
QByteArray withSelection(const QByteArray& selection)
{
    QByteArray text(R"({"stopwellReport": 1, "title": "x", "table": "DData", "selection": ")");
    text.append(selection);
    text.append(R"(", "columns": [{"field": "LaneNo"}]})");
    return text;
}

} // namespace

class TestDefinitions : public QObject {
    Q_OBJECT
private slots:
    void refusesWithAMessageNamingTheFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("words");
        QTest::newRow("missing") << QByteArray() << "\"broken.rpt\" cannot be found in the program's folder";
        QTest::newRow("cut short") << QByteArray("{\n  \"stopwellReport\": 1,\n  \"title\": \"Cut")
                                   << "broken.rpt\" is damaged: line 3, column";
        QTest::newRow("not ours") << QByteArray("{\"title\": \"x\"}")
                                  << "is damaged: the file does not start as a "
                                     "report definition";
        QTest::newRow("misspelt entry")
            << QByteArray(
                   R"({"stopwellReport": 1, "titel": "x", "title": "x", "table": "DData", "columns": [{"field": "LaneNo"}]})")
            << "has an entry \"titel\"";
        QTest::newRow("width not a number")
            << QByteArray(
                   R"({"stopwellReport": 1, "title": "x", "table": "DData", "columns": [{"field": "LaneNo", "width": "wide"}]})")
            << "\"width\" in column 1 must be a number";
        QTest::newRow("nothing to print")
            << QByteArray(R"({"stopwellReport": 1, "title": "x", "table": "DData"})") << "there is nothing to print";
        QTest::newRow("unknown field")
            << QByteArray(
                   R"({"stopwellReport": 1, "title": "x", "table": "DData", "columns": [{"field": "LaneNo"}, {"field": "Lanes"}]})")
            << "The report \"broken.rpt\" cannot be run: column 2 names the field \"Lanes\", which the table DData "
               "does not have.";
        QTest::newRow("unknown table")
            << QByteArray(R"({"stopwellReport": 1, "title": "x", "table": "Stops", "columns": [{"field": "LaneNo"}]})")
            << "it reads the table \"Stops\", which the database does not have";
        QTest::newRow("stored formula")
            << QByteArray(
                   R"({"stopwellReport": 1, "title": "x", "table": "DData", "selection": "{DData.LaneNo} = ", "columns": [{"field": "LaneNo"}]})")
            << "cannot be run: the selection formula is not valid at character 18: a value is missing";
        // Deep or long stored formulas: refused with the place, never a crash.
        QTest::newRow("8,000 nested parentheses")
            << withSelection(QByteArray(8000, '(').append("{DData.LaneNo} = 5").append(QByteArray(8000, ')')))
            << "not valid at character 33: the formula is nested too deeply here";
        QByteArray orChain;
        while (orChain.size() < (1 << 20))
            orChain += "{DData.LaneNo} = 1 or ";
        orChain += "{DData.LaneNo} = 2";
        QTest::newRow("1 MB or-chain") << withSelection(orChain)
                                       << "not valid at character 200001: a formula can hold at most 200000 characters";
    }
    void refusesWithAMessageNamingTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, words);
        testing::TempDatabase db;
        if (!content.isEmpty())
            writeFile(QDir(db.folder()).filePath(QStringLiteral("broken.rpt")), content);
        store::Error error;
        QVERIFY(!Report::run(testing::requestFor(db, QStringLiteral("broken.rpt")), &error));
        QVERIFY2(error.text().contains(words), qPrintable(error.text()));
        // A file that is not there is told apart from one that holds no report the engine will run.
        QCOMPARE(error.kind, content.isEmpty() ? store::Error::Kind::Missing : store::Error::Kind::Refused);
    }

    void badFormulasArePlaced_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("words");
        QTest::newRow("partly typed date")
            << "seldate.rpt"
            << "{DData.DateNow} >= Date (2004,1_,05) and {DData.DateNow} <= Date (2004,01,31)"
            << "The report \"seldate.rpt\" cannot be run: the selection formula is not valid at character 32: \"_\"";
        QTest::newRow("impossible date")
            << "seldate.rpt"
            << "{DData.DateNow} >= Date (2004,13,45) and {DData.DateNow} <= Date (2004,12,31)"
            << "at character 20: Date (2004,13,45) is not a real date";
        QTest::newRow("lane letters") << "sellane.rpt"
                                      << "{DData.LaneNo} in A to B"
                                      << "\"sellane.rpt\" cannot be run: the selection formula is not valid at "
                                         "character 19";
        QTest::newRow("notes of another table")
            << "1daynote.rpt"
            << "{DData.DateNow} >= Date (2004,01,05) and {DData.DateNow} <= Date (2004,01,31)"
            << "this report reads the table DWork, not DData";
    }
    void badFormulasArePlaced()
    {
        QFETCH(QString, file);
        QFETCH(QString, formula);
        QFETCH(QString, words);
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        ReportRequest request = testing::requestFor(db, file);
        request.selection = formula;
        store::Error error;
        QVERIFY(!Report::run(request, &error));
        QVERIFY2(error.text().contains(words), qPrintable(error.text()));
        QVERIFY2(error.text().contains(QStringLiteral("The formula: ") + formula), qPrintable(error.text()));
        // The place travels with the refusal, and it is the character the message names.
        QCOMPARE(error.kind, store::Error::Kind::Refused);
        QVERIFY2(error.message.contains(QStringLiteral("at character %1:").arg(error.position + 1)),
                 qPrintable(QString::number(error.position)));
    }

    void endBeforeStartSaysNoRecords()
    {
        testing::TempDatabase db;
        testing::fillReportData(db);
        testing::copyDefinitions(db.folder());
        ReportRequest request = testing::requestFor(db, QStringLiteral("seldate.rpt"));
        request.selection =
            QStringLiteral("{DData.DateNow} >= Date (2004,12,31) and {DData.DateNow} <= Date (2004,01,01)");
        store::Error error;
        const auto report = Report::run(request, &error);
        QVERIFY2(report, qPrintable(error.text()));
        QCOMPARE(report->pageCount(), 1);
        QCOMPARE(report->recordCount(), 0);
        const QStringList text = report->pageText(0);
        QVERIFY(text.contains(QStringLiteral("There are no records for this selection.")));
        QCOMPARE(report->period(), QStringLiteral("12/31/2004 to 01/01/2004"));
    }

    void fileNamesMatchWithoutRegardToCase()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        store::Error error;
        QVERIFY2(Report::run(testing::requestFor(db, QStringLiteral("DAILY.RPT")), &error), qPrintable(error.text()));
        QVERIFY(!Report::run(testing::requestFor(db, QStringLiteral("../daily.rpt")), &error));
        QVERIFY2(error.text().contains(QStringLiteral("without a folder")), qPrintable(error.text()));
    }

    void callsThisYearRunFromItsFirstToItsLastDay()
    {
        // Today is 12/07/2004: the year's first and last days are in, the days beside them are not.
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        QVERIFY(db.exec(QStringLiteral("INSERT INTO DData (Recno, DateNow, LaneNo, callmade) VALUES "
                                       "(1, '2003-12-31', 1, 'a'), (2, '2004-01-01', 2, 'b'), "
                                       "(3, '2004-12-31', 3, 'c'), (4, '2005-01-01', 4, 'd')")));
        store::Error error;
        const auto report = Report::run(testing::requestFor(db, QStringLiteral("ytodate.rpt")), &error);
        QVERIFY2(report, qPrintable(error.text()));
        QCOMPARE(report->recordIds(), (QList<qint64>{2, 3}));
    }

    void longReportsBreakIntoPages()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        addCalls(db, {70, 3, 60, 20});
        store::Error error;
        const auto report = Report::run(testing::requestFor(db, QStringLiteral("alldata.rpt")), &error);
        QVERIFY2(report, qPrintable(error.text()));
        QCOMPARE(report->recordCount(), 153);
        QVERIFY(report->pageCount() >= 3);
        QStringList rows;
        for (int page = 0; page < report->pageCount(); ++page) {
            const QStringList text = report->pageText(page);
            QCOMPARE(text.first(), QStringLiteral("All Calls Sorted by Date | Printed 12/07/2004 10:15 AM"));
            QCOMPARE(text.last(), QStringLiteral("alldata.rpt | Page %1 of %2").arg(page + 1).arg(report->pageCount()));
            // A group's heading is never the last thing on a page.
            QVERIFY(!text.at(text.size() - 2).startsWith(QStringLiteral("== ")));
            // A page that starts inside a day says which day it continues.
            if (page > 0 && !text.at(2).startsWith(QStringLiteral("== ")))
                QFAIL(qPrintable(QStringLiteral("page %1 starts with %2").arg(page + 1).arg(text.at(2))));
            for (const QString& line : text) {
                if (line.contains(QStringLiteral(" | Call ")))
                    rows << line.section(QStringLiteral(" | "), 2, 2);
            }
        }
        QCOMPARE(report->pageText(1).at(2), QStringLiteral("== Wednesday 12/01/2004 (continued)"));
        // Every call once, in date order.
        QCOMPARE(rows.size(), 153);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows.at(i), QStringLiteral("Call %1").arg(i, 4, 10, QLatin1Char('0')));
        QCOMPARE(report->pageText(report->pageCount() - 1).at(report->pageText(report->pageCount() - 1).size() - 2),
                 QStringLiteral("Total: 153 calls"));
    }

    void sortFieldsSetByTheCallerReplaceTheReportsOwn()
    {
        testing::TempDatabase db;
        testing::fillReportData(db);
        testing::copyDefinitions(db.folder());
        ReportRequest request = testing::requestFor(db, QStringLiteral("filter.rpt"));
        request.selection = QStringLiteral("{DData.LaneNo} = 12 or {DData.LaneNo} = 9");
        request.sortFields[0] = QStringLiteral("-{DData.LaneNo}");
        request.sortFields[1] = QStringLiteral("-{DData.DateNow}");
        store::Error error;
        const auto report = Report::run(request, &error);
        QVERIFY2(report, qPrintable(error.text()));
        QCOMPARE(report->recordIds(), (QList<qint64>{10, 12, 2, 14, 13}));
        request.sortFields[1] = QStringLiteral("+{DData.When}");
        QVERIFY(!Report::run(request, &error));
        QVERIFY2(error.text().contains(QStringLiteral("the sort field \"+{DData.When}\"")), qPrintable(error.text()));
    }

    void formulasSqlCannotRunAreCheckedRowByRow()
    {
        testing::TempDatabase db;
        testing::fillReportData(db);
        testing::copyDefinitions(db.folder());
        // A date made from the row's own values is left to the evaluator.
        const QString december =
            QStringLiteral("{DData.DateNow} = Date (Year ({DData.DateNow}), 12, Day ({DData.DateNow})) and "
                           "{DData.LaneNo} in 9 to 12");
        ReportRequest request = testing::requestFor(db, QStringLiteral("filter.rpt"));
        request.selection = december;
        request.sortFields[0] = QStringLiteral("-{DData.LaneNo}");
        store::Error error;
        const auto list = Report::run(request, &error);
        QVERIFY2(list, qPrintable(error.text()));
        QCOMPARE(list->recordIds(), (QList<qint64>{10, 12, 13, 14}));
        QVERIFY(list->pageText(0).contains(QStringLiteral("Total: 4 calls")));
        request = testing::requestFor(db, QStringLiteral("bgraph.rpt"));
        request.selection = december;
        const auto graph = Report::run(request, &error);
        QVERIFY2(graph, qPrintable(error.text()));
        QCOMPARE(graph->chart()->slices.size(), 2);
        QCOMPARE(graph->chart()->slices.at(0).label, QStringLiteral("9"));
        QCOMPARE(graph->chart()->slices.at(0).value, 2.0);
        QCOMPARE(graph->chart()->slices.at(1).label, QStringLiteral("12"));
        QCOMPARE(graph->chart()->slices.at(1).value, 2.0);
        QCOMPARE(graph->recordCount(), 4);
    }

    void graphsCountEveryLetterWithoutCase()
    {
        // The same counts whether SQLite groups the calls or the rows are counted one by one.
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        QVERIFY(db.exec(QString::fromUtf8("INSERT INTO DData (DateNow, LaneNo, callmade, Name2) VALUES "
                                          "('2004-12-01', 1, '\xc3\xb6lwanne', 'M\xc3\xbcller'), "
                                          "('2004-12-02', 2, '\xc3\x96lwanne', 'M\xc3\x9cLLER'), "
                                          "('2004-12-03', 3, '\xc3\x96LWANNE', 'Muller'), "
                                          "('2004-12-04', 4, 'Oil', 'm\xc3\xbcller')")));
        const QString rowByRow =
            QStringLiteral("{DData.DateNow} = Date (Year ({DData.DateNow}), 12, Day ({DData.DateNow}))");
        for (const bool inSqlite : {true, false}) {
            for (const auto& [file, expected] :
                 {std::pair{QStringLiteral("pgraph.rpt"), QStringList{QStringLiteral("3"), QStringLiteral("1")}},
                  std::pair{QStringLiteral("gmech2.rpt"), QStringList{QStringLiteral("3"), QStringLiteral("1")}}}) {
                ReportRequest request = testing::requestFor(db, file);
                if (!inSqlite)
                    request.selection = rowByRow + (file == QLatin1String("gmech2.rpt")
                                                        ? QStringLiteral(" and not IsNull ({DData.Name2})")
                                                        : QString());
                store::Error error;
                const auto graph = Report::run(request, &error);
                QVERIFY2(graph, qPrintable(error.text()));
                QStringList counts;
                for (const auto& slice : graph->chart()->slices)
                    counts << QString::number(slice.value);
                std::sort(counts.begin(), counts.end(), std::greater<>());
                QCOMPARE(counts, expected);
                QCOMPARE(graph->recordCount(), 4);
            }
        }
    }

    void csvHoldsTheRowsForASpreadsheet()
    {
        testing::TempDatabase db;
        testing::fillReportData(db);
        testing::copyDefinitions(db.folder());
        ReportRequest request = testing::requestFor(db, QStringLiteral("filter.rpt"));
        request.selection = QStringLiteral("{DData.Notes} LIKE \"*[[]*\" or {DData.LaneNo} = 4");
        store::Error error;
        const auto report = Report::run(request, &error);
        QVERIFY2(report, qPrintable(error.text()));
        const QString path = QDir(db.folder()).filePath(QStringLiteral("calls.csv"));
        QVERIFY2(report->writeCsv(path, &error), qPrintable(error.text()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 QStringLiteral("Date,Time,Weekday,Lane #,Actual Call,Mech. #1,Mech. #2,Cat.,Notes\r\n"
                                "2003-12-31,9:05:00 PM,Wednesday,4,Ball stuck in pit,\" \",Ray,1,\r\n"
                                "2004-12-07,10:12:03 AM,Tuesday,12,Ölwanne leaking,Marco,\" \",5,Oil pan [left]\r\n"));
        QVERIFY(!report->writeCsv(QDir(db.folder()).filePath(QStringLiteral("no/such/folder.csv")), &error));
        QVERIFY2(error.text().contains(QStringLiteral("cannot be written")), qPrintable(error.text()));
    }
};

QTEST_MAIN(TestDefinitions)
#include "test_definitions.moc"

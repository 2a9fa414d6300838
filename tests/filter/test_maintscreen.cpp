// The stops database browser on a real database file: the grid follows the
// current call and edits through the record source's checks, Print hands the
// applied filter to "filter.rpt" or refuses, and Exit leaves nothing filtered
// for the next visit.
#include "FindDriver.h"

#include "filter/DataWidget.h"
#include "reports/CrystalReport.h"
#include "ui/RecordTableModel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

using filter::FindWindow;
using filter::MaintScreen;
using namespace testing;

namespace {

void addCalls(TestApp& app, int count)
{
    QVERIFY(app.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                    "INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2) "
                                    "SELECT date('2004-01-01', '+' || (i / 7) || ' days'), '10:00:00 AM', 'Monday', "
                                    "1 + i % 24, CASE i % 3 WHEN 0 THEN 'BALL JAM' ELSE 'Out of range' END, "
                                    "'1', 'Dave', ' ' FROM n")
                         .arg(count)));
}

int laneOf(TestApp& app, int recno)
{
    return app.scalar(QStringLiteral("SELECT LaneNo FROM DData WHERE Recno = %1").arg(recno)).toInt();
}

} // namespace

class TestMaintScreen : public QObject {
    Q_OBJECT
private slots:
    void theGridFollowsTheCurrentCall()
    {
        TestApp app;
        addCalls(app, 30);
        MaintScreen* browser = openBrowser();
        QVERIFY(browser);
        QCOMPARE(browser->gridModel()->rowCount(), 30);
        QCOMPARE(browser->SSDBGrid1->currentIndex().row(), 0);
        browser->SSDBData1->button(3)->click(); // last
        QCOMPARE(browser->SSDBGrid1->currentIndex().row(), 29);
        QCOMPARE(browser->SSDBData1->box()->text(), QString::number(laneOf(app, 30)));
        browser->SSDBGrid1->setCurrentIndex(browser->gridModel()->index(11, 4));
        QCOMPARE(browser->Data1->Recordset().currentPosition(), 11);
        QCOMPARE(browser->SSDBData1->box()->text(), QString::number(laneOf(app, 12)));
        browser->SSDBData1->button(1)->click(); // previous
        QCOMPARE(browser->SSDBGrid1->currentIndex().row(), 10);
        // A lane that is no number is not stored, and the grid stays on its call.
        browser->SSDBData1->box()->setText(QStringLiteral("ten"));
        browser->SSDBGrid1->setCurrentIndex(browser->gridModel()->index(20, 0));
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(browser->Data1->Recordset().currentPosition(), 10);
        QCOMPARE(browser->SSDBGrid1->currentIndex().row(), 10);
        browser->SSDBData1->box()->setText(QStringLiteral("17"));
        browser->SSDBGrid1->setCurrentIndex(browser->gridModel()->index(20, 0));
        QCOMPARE(laneOf(app, 11), 17);
        QCOMPARE(browser->Data1->Recordset().currentPosition(), 20);
    }

    void ctrlEndReachesTheLastCall()
    {
        TestApp app;
        addCalls(app, 20000);
        MaintScreen* browser = openBrowser();
        QVERIFY(QTest::qWaitForWindowExposed(browser));
        browser->SSDBGrid1->setFocus();
        QTest::keyClick(browser->SSDBGrid1, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(browser->Data1->Recordset().currentPosition(), 19999);
        QCOMPARE(browser->SSDBData1->box()->text(), QString::number(laneOf(app, 20000)));
        QTest::keyClick(browser->SSDBGrid1, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(browser->Data1->Recordset().currentPosition(), 0);
    }

    void gridEditsGoThroughTheChecks()
    {
        TestApp app;
        addCalls(app, 5);
        MaintScreen* browser = openBrowser();
        ui::RecordTableModel* model = browser->gridModel();
        QVERIFY(!model->setData(model->index(1, 3), QStringLiteral("abc")));
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(laneOf(app, 2), 3);
        QVERIFY(model->setData(model->index(1, 3), QStringLiteral("9")));
        QCOMPARE(laneOf(app, 2), 9);
        QCOMPARE(model->data(model->index(1, 3)).toString(), QStringLiteral("9"));
        QVERIFY(!model->setData(model->index(2, 0), QStringLiteral("02/30/2004")));
        QVERIFY(model->setData(model->index(2, 0), QStringLiteral("2004-12-09")));
        QCOMPARE(app.scalar(QStringLiteral("SELECT DateNow FROM DData WHERE Recno = 3")).toString(),
                 QStringLiteral("2004-12-09"));
        // The record source's current call is the one edited.
        QCOMPARE(browser->SSDBGrid1->currentIndex().row(), 2);
    }

    void printRefusesWithoutAFilter()
    {
        TestApp app;
        addCalls(app, 5);
        MaintScreen* browser = openBrowser();
        browser->Command3->click();
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(app.messages().seen.first().text, QStringLiteral("This is for printing 'Filtered' records only"));
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Notice"));
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Exclamation);
        QCOMPARE(app.beeps().count, 1);
        QVERIFY(app.reportOutput().windows.isEmpty());
        QVERIFY(!browser->CrystalReport1->selectionFormula());
        // "** Find All Records **" shows every call: no filter to print either.
        FindWindow* find = openFilter(browser);
        find->OKButton->click();
        QCOMPARE(browser->Data1->recordSource(), QStringLiteral("Select DData.* From DData"));
        browser->Command3->click();
        QCOMPARE(app.messages().seen.size(), 2);
        QVERIFY(app.reportOutput().windows.isEmpty());
    }

    void printHandsTheAppliedFilterToTheReport()
    {
        TestApp app;
        QVERIFY(QFile::copy(QStringLiteral(REPORT_DEFINITIONS_DIR "/filter.rpt"),
                            QDir(app.folder()).filePath(QStringLiteral("filter.rpt"))));
        addCalls(app, 40);
        MaintScreen* browser = openBrowser();
        FindWindow* find = openFilter(browser);
        QVERIFY(fillRow(find, 0, QStringLiteral("callmade"), QStringLiteral("Contains"), QStringLiteral("JAM")));
        QVERIFY(pick(find->SortField(0), QStringLiteral("LaneNo")));
        QVERIFY(pick(find->SortField(1), QStringLiteral("DateNow")));
        QVERIFY(pick(find->SortOrder(1), QStringLiteral("Descending")));
        QVERIFY(pick(find->SortField(2), QStringLiteral("Recno")));
        find->OKButton->click();
        browser->Command3->click();
        reports::CrystalReport* report = browser->CrystalReport1;
        QCOMPARE(report->selectionFormula().value_or(QString()), find->Label4->text());
        QCOMPARE(report->sortField(0).value_or(QString()), QStringLiteral("+{DData.LaneNo}"));
        QCOMPARE(report->sortField(1).value_or(QString()), QStringLiteral("-{DData.DateNow}"));
        QCOMPARE(report->sortField(2).value_or(QString()), QStringLiteral("+{DData.Recno}"));
        QCOMPARE(report->reportFileName(), QStringLiteral("filter.rpt"));
        QCOMPARE(app.reportOutput().windows.size(), 1);
        const QStringList page = app.reportOutput().windows.first()->pageText(0);
        QVERIFY(page.contains(QStringLiteral("Total: %1 calls").arg(browsed(browser).size())));

        // Two sort rows now: the chain stops, and the third field is not left from the last Print.
        browser->Command2_Click();
        QVERIFY(pick(find->SortField(0), QStringLiteral("** Do Not Sort **")));
        QVERIFY(pick(find->SortField(0), QStringLiteral("Time")));
        QVERIFY(pick(find->SortField(1), QStringLiteral("LaneNo")));
        find->OKButton->click();
        browser->Command3->click();
        QCOMPARE(report->sortField(0).value_or(QString()), QStringLiteral("+{DData.Time}"));
        QCOMPARE(report->sortField(1).value_or(QString()), QStringLiteral("+{DData.LaneNo}"));
        QCOMPARE(report->sortField(2).value_or(QStringLiteral("unset")), QString());
        QCOMPARE(app.reportOutput().windows.size(), 2);
    }

    void exitLeavesNothingFilteredForTheNextVisit()
    {
        TestApp app;
        addCalls(app, 10);
        MaintScreen* browser = openBrowser();
        FindWindow* find = openFilter(browser);
        QVERIFY(fillRow(find, 0, QStringLiteral("LaneNo"), QStringLiteral("Is Less Than"), QStringLiteral("5")));
        find->OKButton->click();
        QVERIFY(browser->filterOn());
        browser->Command2_Click();
        QVERIFY(find->isVisible());
        browser->Command1->click();
        auto& screens = ui::ScreenRegistry::instance();
        TestApp::settle();
        QVERIFY(!screens.find(QStringLiteral("MaintScreen")));
        QVERIFY(screens.find(QStringLiteral("MainMenu")) && screens.find(QStringLiteral("MainMenu"))->isVisible());
        // The filter window went with the browser it worked on.
        QVERIFY(!find->isVisible());
        browser = openBrowser();
        QCOMPARE(browser->Data1->recordSource(), QStringLiteral("DData"));
        QVERIFY(!browser->filterOn());
        QCOMPARE(browsed(browser).size(), 10);
        browser->Command3->click();
        QCOMPARE(app.messages().seen.last().title, QStringLiteral("Notice"));
        // The filter window keeps its rows and acts on the new browser.
        browser->Command2_Click();
        QCOMPARE(find->Field(0)->currentText(), QStringLiteral("LaneNo"));
        find->OKButton->click();
        QVERIFY(browser->filterOn());
        QVERIFY(browsed(browser).size() < 10);
    }
};

QTEST_MAIN(TestMaintScreen)
#include "test_maintscreen.moc"

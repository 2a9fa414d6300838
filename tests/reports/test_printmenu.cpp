// The print menu driven through its buttons: which report each runs, the
// call sheet printed then the preview again, the prompts beside it, and a
// report that cannot be run told to the user by name.
#include "ReportFixture.h"

#include "reports/CrystalReport.h"
#include "reports/PrintMenu.h"
#include "reports/RangePrompts.h"
#include "support/TestApp.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Pointer.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

using reports::PrintMenu;

namespace {

PrintMenu* openMenu(testing::TestApp& app)
{
    testing::copyDefinitions(app.folder());
    testing::fillReportData([&app](const QString& sql) { return app.exec(sql); });
    return qobject_cast<PrintMenu*>(ui::ScreenRegistry::instance().show(QStringLiteral("PrintMenu")));
}

} // namespace

class TestPrintMenu : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void eachButtonPreviewsItsReport_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("records");
        const QList<std::tuple<const char*, const char*, int>> rows = {
            {"Command1", "alldata.rpt", 14},  {"Command2", "calls.rpt", 14},    {"Command3", "laneno.rpt", 14},
            {"Command4", "smech1.rpt", 14},   {"Command5", "smech2.rpt", 14},   {"Command24", "100calls.rpt", 1},
            {"Command6", "bgraph.rpt", 14},   {"Command7", "pgraph.rpt", 14},   {"Command8", "gmech1.rpt", 9},
            {"Command9", "gmech2.rpt", 5},    {"Command11", "daily.rpt", 3},    {"Command12", "weekly.rpt", 7},
            {"Command13", "mtodate.rpt", 10}, {"Command14", "ytodate.rpt", 13}, {"Command23", "daybefor.rpt", 2},
            {"Command15", "amnotes.rpt", 3},  {"Command16", "pmnotes.rpt", 3},  {"Command18", "apnote.rpt", 3},
            {"Command19", "assign.rpt", 2},
        };
        for (const auto& [button, file, records] : rows)
            QTest::newRow(button) << QString::fromLatin1(button) << QString::fromLatin1(file) << records;
    }
    void eachButtonPreviewsItsReport()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(int, records);
        testing::TestApp app;
        PrintMenu* menu = openMenu(app);
        QVERIFY(menu);
        auto* b = menu->findChild<QPushButton*>(button);
        QVERIFY(b);
        b->click();
        QCOMPARE(app.messages().texts(), QStringList());
        QCOMPARE(app.reportOutput().windows.size(), 1);
        QCOMPARE(app.reportOutput().windows.first()->fileName(), file);
        QVERIFY(app.reportOutput().printed.isEmpty());
        // The menu never sets a selection: the report's own applies.
        QVERIFY(!menu->CrystalReport1->selectionFormula());
        const QStringList first = app.reportOutput().windows.first()->pageText(0);
        QVERIFY(!first.filter(QStringLiteral("There are no records")).size() || records == 0);
        Q_UNUSED(records)
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void callSheetPrintsThreeReportsThenPreviewsAgain()
    {
        testing::TestApp app;
        PrintMenu* menu = openMenu(app);
        menu->Command22->click();
        const auto& printed = app.reportOutput().printed;
        QCOMPARE(printed.size(), 3);
        QCOMPARE(printed.at(0).fileName, QStringLiteral("1daynote.rpt"));
        QCOMPARE(printed.at(1).fileName, QStringLiteral("1assign.rpt"));
        QCOMPARE(printed.at(2).fileName, QStringLiteral("daily.rpt"));
        QVERIFY(printed.at(0).text.contains(QStringLiteral("== 12/07/2004")));
        QVERIFY(printed.at(2).text.contains(QStringLiteral("Total: 3 calls")));
        QVERIFY(app.reportOutput().windows.isEmpty());
        QCOMPARE(menu->CrystalReport1->destination(), reports::CrystalReport::kWindow);
        // The call sheet ends with one line: what went to which printer.
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("Today's call sheet went to the printer \"Office\": today's notes (1 "
                                            "page), today's work assignments (1 page) and today's calls (1 page).")});
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Information);
        // "Calls Today" runs the same file, to the preview window.
        menu->Command11->click();
        QCOMPARE(app.reportOutput().printed.size(), 3);
        QCOMPARE(app.reportOutput().windows.size(), 1);
        QCOMPARE(app.reportOutput().windows.first()->fileName(), QStringLiteral("daily.rpt"));
    }

    void noPrinterIsToldForEachReport()
    {
        testing::TestApp app;
        PrintMenu* menu = openMenu(app);
        for (int i = 0; i < 3; ++i)
            app.reportOutput().outcomes.enqueue(
                ui::PrintOutcome{ui::PrintOutcome::State::NoPrinter,
                                 {},
                                 0,
                                 0,
                                 QStringLiteral("no printer is set up on this computer")});
        menu->Command22->click();
        const QStringList texts = app.messages().texts();
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts.at(0),
                 QStringLiteral("The report \"1daynote.rpt\" was not printed: no printer is set up on this "
                                "computer. Set one up, or preview the report and save it as a PDF file."));
        QVERIFY(texts.at(2).startsWith(QStringLiteral("The report \"daily.rpt\" was not printed")));
        QCOMPARE(texts.at(3), QStringLiteral("Nothing of today's call sheet was printed."));
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Exclamation);
        QCOMPARE(menu->CrystalReport1->destination(), reports::CrystalReport::kWindow);
        QCOMPARE(ui::pointer::depth(), 0);
    }

    // The print system refuses one report and holds the next at a stopped
    // printer: each is told, naming the printer, and the last line says
    // what went where.
    void refusedAndStoppedJobsAreTold()
    {
        testing::TestApp app;
        PrintMenu* menu = openMenu(app);
        using State = ui::PrintOutcome::State;
        app.reportOutput().outcomes.enqueue(ui::PrintOutcome{State::Refused, QStringLiteral("Office"), 0, 0,
                                                             QStringLiteral("the printer is set not to accept jobs")});
        app.reportOutput().outcomes.enqueue(
            ui::PrintOutcome{State::Stopped, QStringLiteral("Office"), 12, 0,
                             QStringLiteral("the printer is stopped (someone paused it)")});
        menu->Command22->click();
        QCOMPARE(
            app.messages().texts(),
            (QStringList{QStringLiteral("The printer \"Office\" refused the report \"1daynote.rpt\": the printer "
                                        "is set not to accept jobs. Nothing was printed; ask whoever looks "
                                        "after the printer, or preview the report and save it as a PDF file."),
                         QStringLiteral("The report \"1assign.rpt\" is waiting at the printer \"Office\": the "
                                        "printer is stopped (someone paused it). It prints when the printer is "
                                        "started again."),
                         QStringLiteral("Of today's call sheet, today's work assignments (1 page) and today's "
                                        "calls (1 page) went to the printer \"Office\"; today's notes did not.")}));
        QCOMPARE(app.reportOutput().printed.size(), 2);
    }

    void missingOrDamagedFileIsNamed()
    {
        testing::TestApp app;
        PrintMenu* menu = openMenu(app);
        QVERIFY(QFile::remove(QDir(app.folder()).filePath(QStringLiteral("weekly.rpt"))));
        menu->Command12->click();
        QFile damaged(QDir(app.folder()).filePath(QStringLiteral("mtodate.rpt")));
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("{ \"stopwellReport\": 1, \"title\": ");
        damaged.close();
        menu->Command13->click();
        const QStringList texts = app.messages().texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY2(texts.at(0).startsWith(QStringLiteral("The report file \"weekly.rpt\" cannot be found in the "
                                                       "program's folder")),
                 qPrintable(texts.at(0)));
        QVERIFY2(texts.at(1).contains(QStringLiteral("mtodate.rpt\" is damaged: line 1, column")),
                 qPrintable(texts.at(1)));
        QVERIFY(app.reportOutput().windows.isEmpty());
        // The menu is still there to use.
        menu->Command11->click();
        QCOMPARE(app.reportOutput().windows.size(), 1);
    }

    void promptsOpenBesideTheMenuAndComeForward()
    {
        testing::TestApp app;
        PrintMenu* menu = openMenu(app);
        auto& screens = ui::ScreenRegistry::instance();
        const QList<std::pair<QPushButton*, QString>> prompts = {{menu->Command25, QStringLiteral("Date1")},
                                                                 {menu->Command17, QStringLiteral("Date2")},
                                                                 {menu->Command20, QStringLiteral("Date3")},
                                                                 {menu->Command26, QStringLiteral("AskLane")}};
        for (const auto& [button, name] : prompts) {
            button->click();
            ui::Screen* prompt = screens.find(name);
            QVERIFY(prompt);
            QVERIFY(prompt->isVisible());
            QVERIFY(!prompt->isModal());
        }
        QVERIFY(menu->isVisible());
        auto* date1 = qobject_cast<reports::DatePrompt*>(screens.find(QStringLiteral("Date1")));
        date1->MaskEdBox1->setText(QStringLiteral("01/05/2004"));
        menu->Command25->click();
        QCOMPARE(screens.find(QStringLiteral("Date1")), date1);
        QCOMPARE(date1->MaskEdBox1->maskedText(), QStringLiteral("01/05/2004"));
    }

    void exitShowsTheMainMenu()
    {
        testing::TestApp app;
        PrintMenu* menu = openMenu(app);
        menu->Command21->click();
        testing::TestApp::settle();
        QVERIFY(!ui::ScreenRegistry::instance().find(QStringLiteral("PrintMenu")));
        QVERIFY(ui::ScreenRegistry::instance().find(QStringLiteral("MainMenu"))->isVisible());
    }
};

QTEST_MAIN(TestPrintMenu)
#include "test_printmenu.moc"

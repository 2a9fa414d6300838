// The statistics window, opened from the main menu and driven through its
// controls: the range and its quick choices, what the grids and charts show of
// the hand-worked log, the goal and the number of lanes kept in the database,
// an older file without the settings table, bad input, and Cancel.
#include "GoldenLog.h"
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "stats/FigureModel.h"
#include "stats/RunProgress.h"
#include "stats/Statistics.h"
#include "ui/MaskedDateEdit.h"
#include "ui/ScreenRegistry.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

using stats::Statistics;
using testing::GoldenLog;

namespace {

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

Statistics* openFromMenu()
{
    auto* menu = qobject_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
    if (!menu)
        return nullptr;
    menu->mnuUtilStatistics->trigger();
    return qobject_cast<Statistics*>(screens().find(QStringLiteral("Statistics")));
}

bool writeLog(testing::TestApp& app)
{
    return GoldenLog::write([&app](const QString& sql) { return app.exec(sql); });
}

QString cell(QTableView* grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

QStringList captions(QTableView* grid)
{
    QStringList result;
    for (int i = 0; i < grid->model()->columnCount(); ++i)
        result << grid->model()->headerData(i, Qt::Horizontal).toString();
    return result;
}

void typeRange(Statistics* window, const QString& from, const QString& to)
{
    for (auto [box, text] : {std::pair{window->MaskEdBox1, from}, std::pair{window->MaskEdBox2, to}}) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        box->setCursorPosition(0);
        QTest::keyClicks(box, text);
    }
}

void retype(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

QString number(qint64 n)
{
    return QLocale().toString(n);
}

QList<QLineSeries*> lines(QChartView* view)
{
    QList<QLineSeries*> result;
    for (QAbstractSeries* series : view->chart()->series())
        if (auto* line = qobject_cast<QLineSeries*>(series))
            result << line;
    return result;
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void opensFromTheUtilitiesMenuOnTheLastFourFullWeeks()
    {
        testing::TestApp app; // Tuesday 12/07/2004
        auto* menu = qobject_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
        QVERIFY(menu);
        // Statistics follows Backup; nothing else of the menu moved.
        const QList<QAction*> items = menu->menuBar()->findChild<QMenu*>(QStringLiteral("MnuUtil"))->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.at(0), menu->mnuUtilCompact);
        QCOMPARE(items.at(1), menu->MnuUtilBackup);
        QCOMPARE(items.at(2)->text(), QStringLiteral("&Statistics..."));

        Statistics* window = openFromMenu();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Statistics"));
        QCOMPARE(window->MaskEdBox1->maskedText(), QStringLiteral("11/07/2004"));
        QCOMPARE(window->MaskEdBox2->maskedText(), QStringLiteral("12/04/2004"));
        QCOMPARE(window->Combo1->currentText(), QStringLiteral("Last four full weeks"));
        QCOMPARE(window->Text1->text(), QStringLiteral("1500"));
        QCOMPARE(window->Text3->text(), QStringLiteral("3"));
        QCOMPARE(window->SSTab1->currentIndex(), int(Statistics::FramesTab));
        QCOMPARE(window->defaultButton(), window->Command1);
        QCOMPARE(window->cancelButton(), window->Command2);
        // No question and no message on a delivered database.
        QVERIFY(app.messages().seen.isEmpty());
        // Exit goes back to the main menu.
        window->Command2->click();
        QVERIFY(!screens().find(QStringLiteral("Statistics")));
    }

    void framesPerStopAsWorkedOutByHand()
    {
        testing::TestApp app;
        QVERIFY(writeLog(app));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        typeRange(window, QStringLiteral("11282004"), QStringLiteral("01082005"));
        QCOMPARE(window->Combo1->currentIndex(), 0);
        window->Command1->click();
        QCOMPARE(window->Label5->text(), QStringLiteral("Figures of %1 to %2 (42 days).")
                                             .arg(testing::shownDate(2004, 11, 28), testing::shownDate(2005, 1, 8)));
        QCOMPARE(captions(window->Grid1),
                 QStringList({QStringLiteral("Week of"), QStringLiteral("Frames"), QStringLiteral("Calls"),
                              QStringLiteral("Frames per stop"), QStringLiteral("Days counted"),
                              QStringLiteral("Days left out"), QStringLiteral("Calls left out")}));
        QCOMPARE(window->Grid1->model()->rowCount(), 3);
        // 14,200 frames over 12 calls; 8,000 over 4 in the week across the new year.
        QCOMPARE(cell(window->Grid1, 0, 0), testing::shownDate(2004, 11, 28));
        QCOMPARE(cell(window->Grid1, 0, 1), number(14200));
        QCOMPARE(cell(window->Grid1, 0, 3), number(1183));
        QCOMPARE(cell(window->Grid1, 1, 0), testing::shownDate(2004, 12, 26));
        QCOMPARE(cell(window->Grid1, 1, 3), number(2000));
        QCOMPARE(
            window->Label8->text(),
            QStringLiteral("Over the range: %1 frames per stop (%2 frames, 17 calls on 9 days with a frame count).")
                .arg(number(1365), number(23200)));
        QCOMPARE(window->Label9->text(), QStringLiteral("4 days with calls but no frame count were left out (6 calls): "
                                                        "enter their frame counts to count them."));
        // The line breaks over the three weeks without a count; the goal runs across.
        const QList<QLineSeries*> series = lines(window->Chart1);
        QCOMPARE(series.size(), 3);
        QCOMPARE(series.at(0)->count(), 1);
        QCOMPARE(series.at(1)->count(), 2);
        QCOMPARE(series.at(1)->at(0).y(), 2000.0);
        QCOMPARE(series.at(2)->name(), QStringLiteral("Goal (%1)").arg(number(1500)));
        QCOMPARE(series.at(2)->at(0).y(), 1500.0);

        // By day: a day with frames and no call reads "no stop".
        window->Combo2->setCurrentIndex(0);
        window->Combo2_Click();
        QCOMPARE(captions(window->Grid1).first(), QStringLiteral("Day"));
        QCOMPARE(cell(window->Grid1, 3, 0), testing::shownDate(2004, 12, 1));
        QCOMPARE(cell(window->Grid1, 3, 3), QStringLiteral("no stop"));
        QCOMPARE(cell(window->Grid1, 2, 1), QString());
        QVERIFY(app.messages().seen.isEmpty());
    }

    void theGoalIsKeptInTheDatabase()
    {
        testing::TestApp app;
        Statistics* window = openFromMenu();
        QVERIFY(window);
        retype(window->Text1, QStringLiteral("1800"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'FramesPerStopGoal'")).toString(),
                 QStringLiteral("1800"));
        QCOMPARE(lines(window->Chart1).last()->at(0).y(), 1800.0);
        // Refused with a message, the box keeps what was typed to be put right; nothing stored.
        retype(window->Text1, QStringLiteral("15OO"));
        QCOMPARE(
            app.messages().texts(),
            QStringList{
                QStringLiteral("The goal must be a whole number from 1 to %1; \"15OO\" is not.").arg(number(1000000))});
        QCOMPARE(window->Text1->text(), QStringLiteral("15OO"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'FramesPerStopGoal'")).toString(),
                 QStringLiteral("1800"));
        // A number as the user's language writes it is taken too.
        app.messages().seen.clear();
        window->Text1->setFocus();
        window->Text1->setText(number(1900)); // "1 900" in French has a space no key types
        QTest::keyClick(window->Text1, Qt::Key_Return);
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(window->Text1->text(), QStringLiteral("1900"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'FramesPerStopGoal'")).toString(),
                 QStringLiteral("1900"));
        // The next time the window opens on the goal kept.
        screens().unload(window);
        testing::TestApp::settle();
        window = openFromMenu();
        QVERIFY(window);
        QCOMPARE(window->Text1->text(), QStringLiteral("1900"));
    }

    void lanesAboveTheNumberSetAreListedApart()
    {
        testing::TestApp app;
        QVERIFY(writeLog(app));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        typeRange(window, QStringLiteral("11282004"), QStringLiteral("01082005"));
        window->Command1->click();
        window->SSTab1->setCurrentIndex(Statistics::LanesTab);
        retype(window->Text2, QStringLiteral("10"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'Lanes'")).toString(),
                 QStringLiteral("10"));
        QCOMPARE(window->Grid2->model()->rowCount(), 10);
        QCOMPARE(cell(window->Grid2, 0, 1), QStringLiteral("3"));
        QCOMPARE(cell(window->Grid2, 0, 4), QStringLiteral("Pins jammed in elevator"));
        QCOMPARE(window->Grid4->model()->rowCount(), 2);
        QCOMPARE(cell(window->Grid4, 0, 0), QStringLiteral("12"));
        QCOMPARE(cell(window->Grid4, 1, 0), QStringLiteral("7.5"));
        QCOMPARE(window->Label13->text(), QStringLiteral("Calls on Lanes Other Than 1 to 10"));
        // The grid of lanes by week: the busiest cell deepest, an empty week white.
        QTableView* grid = window->Grid3;
        QCOMPARE(grid->model()->rowCount(), 10);
        QCOMPARE(cell(grid, 2, 1), QStringLiteral("5"));
        QCOMPARE(grid->model()->index(2, 1).data(Qt::BackgroundRole).value<QColor>(), stats::FigureModel::shade(5, 5));
        QCOMPARE(grid->model()->index(2, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
        QVERIFY(stats::FigureModel::shade(5, 5) != stats::FigureModel::shade(1, 5));
    }

    void repeatCallsWithinTheDaysChosen()
    {
        testing::TestApp app;
        QVERIFY(writeLog(app));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        typeRange(window, QStringLiteral("11282004"), QStringLiteral("01082005"));
        window->Command1->click();
        window->SSTab1->setCurrentIndex(Statistics::RepeatsTab);
        QCOMPARE(window->Grid6->model()->rowCount(), 9);
        QCOMPARE(window->Label15->text(),
                 QStringLiteral("9 repeats: the same call on the same lane again within 3 days."));
        retype(window->Text3, QStringLiteral("4"));
        QCOMPARE(window->Grid6->model()->rowCount(), 10);
        QCOMPARE(window->Grid5->model()->rowCount(), 9);
        retype(window->Text3, QStringLiteral("-1"));
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The days within which a call counts as a repeat must be a whole number "
                                            "from 0 to 365; \"-1\" is not.")});
        QCOMPARE(window->Grid6->model()->rowCount(), 10);
    }

    void whenAndWhoSwitchBetweenTheirTables()
    {
        testing::TestApp app;
        QVERIFY(writeLog(app));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        typeRange(window, QStringLiteral("11282004"), QStringLiteral("01082005"));
        window->Command1->click();
        window->SSTab1->setCurrentIndex(Statistics::TimesTab);
        QCOMPARE(cell(window->Grid7, 0, 0), QStringLiteral("Pin handling"));
        QCOMPARE(cell(window->Grid7, 0, 1), QStringLiteral("9"));
        window->Combo3->setCurrentIndex(3);
        window->Combo3_Click();
        QVERIFY(window->Grid8->isVisibleTo(window) && !window->Grid7->isVisibleTo(window));
        QCOMPARE(window->Grid8->model()->rowCount(), 7);
        window->SSTab1->setCurrentIndex(Statistics::MechanicsTab);
        QCOMPARE(captions(window->Grid9),
                 QStringList({QStringLiteral("Week of"), QStringLiteral("Dave"), QStringLiteral("Ray"),
                              QStringLiteral("Marco"), QStringLiteral("Tomasz"), QStringLiteral("Nobody ticked"),
                              QStringLiteral("All calls")}));
        QCOMPARE(lines(window->Chart5).size(), 4);
        window->Combo4->setCurrentIndex(1);
        window->Combo4_Click();
        QCOMPARE(cell(window->Grid9, 0, 0), QStringLiteral("Dave"));
        QVERIFY(app.messages().seen.isEmpty());
    }

    void quickChoicesFillTheDates_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("this week") << 2 << QStringLiteral("12/05/2004") << QStringLiteral("12/07/2004");
        QTest::newRow("this month") << 3 << QStringLiteral("12/01/2004") << QStringLiteral("12/07/2004");
        QTest::newRow("this year") << 4 << QStringLiteral("01/01/2004") << QStringLiteral("12/07/2004");
        QTest::newRow("last 12 months") << 5 << QStringLiteral("01/01/2004") << QStringLiteral("12/07/2004");
    }

    void quickChoicesFillTheDates()
    {
        QFETCH(int, index);
        QFETCH(QString, from);
        QFETCH(QString, to);
        testing::TestApp app;
        QVERIFY(writeLog(app));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        window->Combo1->setCurrentIndex(index);
        window->Combo1_Click();
        QCOMPARE(window->MaskEdBox1->maskedText(), from);
        QCOMPARE(window->MaskEdBox2->maskedText(), to);
        QCOMPARE(window->request().range.from.toString(QStringLiteral("MM/dd/yyyy")), from);
        QVERIFY(window->Label5->text().startsWith(QStringLiteral("Figures of ")));
    }

    void badDatesAreRefusedWithAMessage_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank") << QString() << QStringLiteral("12042004")
                               << QStringLiteral("A Starting & Ending Date Is Required");
        QTest::newRow("impossible") << QStringLiteral("13452004") << QStringLiteral("12042004")
                                    << QStringLiteral(
                                           "\"13/45/2004\" is not a real date. Enter the day as MM/DD/YYYY.");
        QTest::newRow("end before start")
            << QStringLiteral("12042004") << QStringLiteral("11282004")
            << QStringLiteral("The ending date 11/28/2004 comes before the starting date 12/04/2004. Enter an ending "
                              "date on or after the starting date.");
        QTest::newRow("two centuries") << QStringLiteral("01011900") << QStringLiteral("12312099")
                                       << QStringLiteral("The dates 01/01/1900 to 12/31/2099 span more than 100 years. "
                                                         "Choose a range of at most 100 years.");
    }

    void badDatesAreRefusedWithAMessage()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        testing::TestApp app;
        QVERIFY(writeLog(app));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        const stats::DateRange before = window->request().range;
        typeRange(window, from, to);
        window->Command1->click();
        QCOMPARE(app.messages().texts(), QStringList{message});
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Exclamation);
        // Nothing was worked out for them; what was typed stays to be put right.
        QCOMPARE(window->request().range, before);
        QVERIFY(window->focusWidget() == window->MaskEdBox1 || window->focusWidget() == window->MaskEdBox2);
    }

    void anOlderFileIsOfferedTheSettingsTable()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("DROP TABLE Settings")));
        const QStringList before = app.rows(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name"));
        app.messages().answers.enqueue(ui::Answer::No);
        Statistics* window = openFromMenu();
        QVERIFY(window);
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("This database has no table for the centre's settings (the goal of frames "
                                            "per stop and the number of lanes). Add the table of settings to the "
                                            "database now? Nothing else in the file changes.")});
        QCOMPARE(app.messages().seen.first().buttons, ui::Buttons::YesNo);
        QCOMPARE(app.rows(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name")), before);
        // A goal typed is used, and asked about again; declined, the user is told it was not kept.
        app.messages().seen.clear();
        app.messages().answers.enqueue(ui::Answer::No);
        retype(window->Text1, QStringLiteral("1700"));
        QCOMPARE(app.messages().texts(),
                 QStringList({QStringLiteral("The goal can be kept only in a table of settings this database does not "
                                             "have. Add the table of settings to the database now? Nothing else in "
                                             "the file changes."),
                              QStringLiteral("The goal 1700 is used in this window, but it was not kept for the next "
                                             "time.")}));
        QCOMPARE(window->request().goal, 1700);
        QCOMPARE(app.rows(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name")), before);
        // Accepted, the table alone is added and the goal kept in it.
        app.messages().seen.clear();
        retype(window->Text1, QStringLiteral("1750"));
        QStringList after = app.rows(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name"));
        QVERIFY(after.removeAll(QStringLiteral("Settings")) == 1);
        QVERIFY(after.removeAll(QStringLiteral("sqlite_autoindex_Settings_1")) == 1);
        QCOMPARE(after, before);
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'FramesPerStopGoal'")).toString(),
                 QStringLiteral("1750"));
    }

    void aDamagedSettingIsToldAndTheDefaultUsed()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('FramesPerStopGoal', '1,5OO'), "
                                        "('Lanes', '0')")));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        QCOMPARE(
            app.messages().texts(),
            QStringList({QStringLiteral("The setting FramesPerStopGoal kept in the database reads \"1,5OO\", which "
                                        "is not a whole number. Type the goal again in this window."),
                         QStringLiteral("The number of lanes kept in the database, 0, is not one from 1 to 999. "
                                        "Type the number of lanes again in this window.")}));
        QCOMPARE(window->Text1->text(), QStringLiteral("1500"));
        QCOMPARE(window->Text2->text(), QString());
        // Nothing was changed in the file.
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'Lanes'")).toString(),
                 QStringLiteral("0"));
    }

    void cancelStopsALongRun()
    {
        testing::TestApp app;
        QVERIFY(writeLog(app));
        Statistics* window = openFromMenu();
        QVERIFY(window);
        // The progress window shows at once; Cancel is pressed as soon as it is up.
        window->progress().showAfterMs = 0;
        window->progress().pumpEveryMs = 0;
        bool sawProgress = false;
        QTimer::singleShot(0, window, [&] {
            auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("Progress"));
            sawProgress = progress && progress->isVisible() && QApplication::activeModalWidget() == progress;
            if (progress)
                progress->cancel();
        });
        window->SSTab1->setCurrentIndex(Statistics::RepeatsTab);
        QVERIFY(sawProgress);
        QCOMPARE(
            window->Label5->text(),
            QStringLiteral("Cancelled: the figures of repeat calls were not worked out. Press Work Out to work them "
                           "out."));
        QCOMPARE(window->Grid6->model()->rowCount(), 0);
        QVERIFY(app.messages().seen.isEmpty());
        // Work Out works it out after all.
        typeRange(window, QStringLiteral("11282004"), QStringLiteral("01082005"));
        window->Command1->click();
        QCOMPARE(window->Grid6->model()->rowCount(), 9);
    }

    void theGridModelIsAModel()
    {
        stats::FigureModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        stats::FigureTable grid(QStringLiteral("Grid"), {{QStringLiteral("Lane"), stats::Kind::Count},
                                                         {QStringLiteral("Week"), stats::Kind::Count},
                                                         {QStringLiteral("Total"), stats::Kind::Count}});
        for (int lane = 1; lane <= 3; ++lane) {
            grid.addRow();
            grid.setCount(0, lane);
            grid.setCount(1, lane * 2);
            grid.setCount(2, lane * 2);
        }
        model.setShaded(true);
        model.setTable(&grid);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Week"));
        QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("6"));
        QCOMPARE(model.index(2, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        // The row's name and its total are never shaded; the largest count is the deepest.
        QVERIFY(!model.index(2, 0).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model.index(2, 2).data(Qt::BackgroundRole).isValid());
        QCOMPARE(model.index(2, 1).data(Qt::BackgroundRole).value<QColor>(), stats::FigureModel::shade(6, 6));
        model.setTable(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }

    void aMissingDatabaseIsNamed()
    {
        testing::TestApp app;
        QVERIFY(QFile::remove(app.databasePath()));
        QVERIFY(!openFromMenu());
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().texts().first().contains(QLatin1String("cannot be found")));
    }
};

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"

// The maintenance schedule window, opened from the main menu and driven
// through its controls on the hand-worked log (MaintLog, the clock on Sunday
// 11/07/2004): what the due list and the coloured grid show, tasks typed,
// changed and removed, marking done, putting the due tasks on today's sheet
// and completing them in Work Completed, the history, the settings, an older
// file without the schedule's tables, and bad input.
#include "MaintLog.h"
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "maint/MaintSchedule.h"
#include "maint/ScheduleModels.h"
#include "shift/WorkDone.h"
#include "ui/MaskedDateEdit.h"
#include "ui/ScreenRegistry.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using maint::MaintSchedule;
using maint::State;
using testing::MaintLog;

namespace {

const QDateTime kSunday(QDate(2004, 11, 7), QTime(10, 0));

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

MaintSchedule* openFromMenu()
{
    auto* menu = qobject_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
    if (!menu)
        return nullptr;
    menu->mnuUtilMaintenance->trigger();
    return qobject_cast<MaintSchedule*>(screens().find(QStringLiteral("MaintSchedule")));
}

bool writeLog(testing::TestApp& app)
{
    return MaintLog::write([&app](const QString& sql) { return app.exec(sql); });
}

QString shown(int month, int day)
{
    return maint::shownDay(QDate(2004, month, day));
}

void retype(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

/// Chooses the rows of the due list holding these tasks and lanes.
void chooseInList(MaintSchedule* window, const QList<QPair<qint64, int>>& wanted)
{
    window->SSTab1->setCurrentIndex(MaintSchedule::DueTab);
    window->Grid1->clearSelection();
    const auto& entries = window->dueList().entries;
    for (int row = 0; row < entries.size(); ++row)
        if (wanted.contains(qMakePair(entries.at(row).task.id, entries.at(row).lane)))
            window->Grid1->selectionModel()->select(window->dueModel()->index(row, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QString cell(QTableView* grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

} // namespace

class TestMaintSchedule : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void opensFromTheUtilitiesMenuOnTheDueList()
    {
        testing::TestApp app(kSunday);
        QVERIFY(writeLog(app));
        auto* menu = qobject_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
        QVERIFY(menu);
        const QList<QAction*> items = menu->menuBar()->findChild<QMenu*>(QStringLiteral("MnuUtil"))->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.at(3), menu->mnuUtilMaintenance);
        QCOMPARE(items.at(3)->text(), QStringLiteral("&Maintenance Schedule..."));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(window->Text1->text(), QStringLiteral("24"));
        QCOMPARE(window->Text2->text(), QStringLiteral("10"));
        QCOMPARE(window->MaskEdBox1->date(), kSunday.date());
        QCOMPARE(window->Label3->text(),
                 QStringLiteral("Due list of %1: 0 overdue, 26 due, 0 due soon, 24 done. Some days since tasks were "
                                "done have no frame count (up to 18): their frames are not counted.")
                     .arg(shown(11, 7)));
        // The first row as the user reads it: the most pressing task, its figures in the user's language.
        QTableView* list = window->Grid1;
        QCOMPARE(list->model()->rowCount(), 50);
        QStringList first;
        for (int column = 0; column < list->model()->columnCount(); ++column)
            first << cell(list, 0, column);
        QCOMPARE(first, QStringList({QStringLiteral("Check ball lift belts"), QStringLiteral("Centre"),
                                     QLocale().toString(25000) + QStringLiteral(" frames or 30 days"), shown(10, 15),
                                     QStringLiteral("Marco"), QLocale().toString(27083), QStringLiteral("23"),
                                     QStringLiteral("18"), QStringLiteral("Due")}));
        QCOMPARE(cell(list, 2, 3), QStringLiteral("never"));
        QCOMPARE(list->model()->index(0, 8).data(Qt::BackgroundRole).value<QColor>(), maint::stateColour(State::Due));
        // F1 opens the help.
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->Grid1->setFocus();
        QTest::keyClick(window->Grid1, Qt::Key_F1);
        QCOMPARE(app.help().topics.size(), 1);
        // Esc is Exit, back to the main menu.
        QTest::keyClick(window->Grid1, Qt::Key_Escape);
        QVERIFY(!screens().find(QStringLiteral("MaintSchedule")));
    }

    void theGridIsDrawnInTheColoursOfTheStates()
    {
        testing::TestApp app(QDateTime(QDate(2004, 11, 13), QTime(10, 0)));
        QVERIFY(writeLog(app));
        // 11/13: the carpet, done 11/07 on every lane, is 6 days on; lane 3 is marked done again today.
        QVERIFY(app.exec(QStringLiteral("INSERT INTO MaintDone (TaskId, Lane, DateDone, Mechanic) VALUES "
                                        "(2, 3, '2004-11-13', 'Ann')")));
        QVERIFY(app.exec(QStringLiteral("UPDATE Settings SET Value = '15' WHERE Name = 'Lanes'")));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        QVERIFY(app.exec(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('MaintenanceMargin', '15')")));
        retype(window->Text2, QStringLiteral("15"));
        window->SSTab1->setCurrentIndex(MaintSchedule::GridTab);
        QTableView* grid = window->Grid2;
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->model()->columnCount(), 15);
        QCOMPARE(grid->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("Clean pit carpet"));
        QCOMPARE(cell(grid, 0, 0), QStringLiteral("85%"));
        QCOMPARE(cell(grid, 0, 2), QStringLiteral("0%"));
        QCOMPARE(cell(grid, 1, 0), QStringLiteral("never"));
        // Drawn: each cell's middle in its state's colour (due soon at 15%, done, never done: due).
        QApplication::processEvents();
        const QImage drawn = grid->viewport()->grab().toImage();
        const auto colourAt = [&](int row, int column) {
            return QColor(drawn.pixel(grid->visualRect(grid->model()->index(row, column)).topLeft() + QPoint(3, 3)));
        };
        QCOMPARE(colourAt(0, 0), maint::stateColour(State::DueSoon));
        QCOMPARE(colourAt(0, 2), maint::stateColour(State::Done));
        QCOMPARE(colourAt(1, 14), maint::stateColour(State::Due));
        QCOMPARE(window->Key.size(), 4);
        QCOMPARE(window->Key.at(3)->text(), QStringLiteral("Overdue"));
        QAbstractItemModelTester tester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester listTester(window->Grid1->model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void markingDoneFromTheListAndTheGrid()
    {
        testing::TestApp app(kSunday);
        QVERIFY(writeLog(app));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        // Nothing chosen: said.
        window->Command2->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("First choose the tasks that were done, in the due list or the grid "
                                            "(Ctrl+click chooses more than one).")});
        app.messages().seen.clear();
        chooseInList(window, {{1, 0}});
        window->Combo1->setEditText(QString());
        window->Command2->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("Type the name of the mechanic who did the work.")});
        QCOMPARE(app.rows(QStringLiteral("SELECT count(*) FROM MaintDone")), QStringList{QStringLiteral("28")});
        app.messages().seen.clear();
        // A day after today is refused; today, by Ann, is kept with 25,000 frames per machine since 11/01.
        window->MaskEdBox1->setDate(QDate(2004, 11, 8));
        window->Combo1->setEditText(QStringLiteral("Ann"));
        window->Command2->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The day the work was done cannot be after today.")});
        app.messages().seen.clear();
        window->MaskEdBox1->setDate(kSunday.date());
        QTest::keyClick(window->Combo1->lineEdit(), Qt::Key_Return);
        QVERIFY2(app.messages().seen.isEmpty(), qPrintable(app.messages().texts().join(QLatin1Char('/'))));
        QCOMPARE(app.rows(QStringLiteral("SELECT TaskId, Lane, DateDone, Mechanic, FramesPerMachine FROM MaintDone "
                                         "WHERE Mechanic = 'Ann'")),
                 QStringList{QStringLiteral("1|0|2004-11-07|Ann|25000")});
        QCOMPARE(window->Label3->text(),
                 QStringLiteral("Marked done on %1 by Ann: Lube deck gearboxes.").arg(shown(11, 7)));
        QCOMPARE(window->dueList().find(1, 0)->state, State::Done);
        // In the grid: lanes 5 to 8 of the deck belts, chosen as cells.
        window->SSTab1->setCurrentIndex(MaintSchedule::GridTab);
        QTableView* grid = window->Grid2;
        for (int lane = 5; lane <= 8; ++lane)
            grid->selectionModel()->select(grid->model()->index(1, lane - 1), QItemSelectionModel::Select);
        window->Command2->click();
        QCOMPARE(app.rows(QStringLiteral("SELECT TaskId, group_concat(Lane), Mechanic FROM MaintDone WHERE TaskId = 4 "
                                         "GROUP BY TaskId")),
                 QStringList{QStringLiteral("4|5,6,7,8|Ann")});
        QCOMPARE(window->Label3->text(),
                 QStringLiteral("Marked done on %1 by Ann: Replace deck belts, lanes 5-8.").arg(shown(11, 7)));
    }

    void aFrameCountEnteredElsewhereShowsWhenTheWindowComesBack()
    {
        testing::TestApp app(kSunday);
        QVERIFY(writeLog(app));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        QCOMPARE(window->dueList().find(1, 0)->state, State::Due);
        // Today's count made 60,002 frames in the frame counts: 660,001 since 11/01, overdue.
        QVERIFY(app.exec(QStringLiteral("UPDATE Frames SET Open = 60002, total = 60002 WHERE DateNow = '2004-11-07'")));
        window->Form_Paint();
        QCOMPARE(window->dueList().find(1, 0)->state, State::Overdue);
        QCOMPARE(cell(window->Grid1, 0, 0), QStringLiteral("Check ball lift belts"));
        QCOMPARE(cell(window->Grid1, 0, 8), QStringLiteral("Overdue"));
        // The next day, with the clock.
        app.clock().time = kSunday.addDays(7);
        window->Form_Paint();
        QCOMPARE(window->dueList().request.today, kSunday.date().addDays(7));
    }

    void theDueTasksGoOntoTodaysSheetAndAreDoneInWorkCompleted()
    {
        testing::TestApp app(kSunday);
        QVERIFY(writeLog(app));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        window->Command3->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("3 jobs put on the work sheet of %1.").arg(shown(11, 7))});
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Information);
        QCOMPARE(app.rows(QStringLiteral("SELECT DateNow, \"1W\", \"2W\", \"3W\", coalesce(\"4W\", '') FROM WAssign")),
                 QStringList{QStringLiteral("2004-11-07|Check ball lift belts|Lube deck gearboxes|Replace deck belts, "
                                            "lanes 1-24|")});
        app.messages().seen.clear();
        window->Command3->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The due tasks are on the work sheet of %1 already.").arg(shown(11, 7))});
        app.messages().seen.clear();
        // The shift's mechanic completes row 3 in Work Completed: the deck belts are done on every lane.
        screens()
            .control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text1"))
            ->setText(QStringLiteral("Ann"));
        auto* done = qobject_cast<shift::WorkDone*>(screens().show(QStringLiteral("WorkDone")));
        QVERIFY(done);
        QCOMPARE(done->Label[2]->text(), QStringLiteral("Replace deck belts, lanes 1-24"));
        done->Combo1_DropDown();
        done->Combo1->setCurrentIndex(0);
        QTest::mouseClick(done->Text[2], Qt::LeftButton);
        QCOMPARE(done->Text[2]->text(), QStringLiteral("Ann"));
        done->Command1->click();
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(app.rows(QStringLiteral("SELECT TaskId, count(*), DateDone, Mechanic, SheetId FROM MaintDone WHERE "
                                         "SheetId IS NOT NULL GROUP BY TaskId")),
                 QStringList{QStringLiteral("4|24|2004-11-07|Ann|3")});
        // The open schedule shows it at once.
        QCOMPARE(window->dueList().find(4, 12)->state, State::Done);
        QCOMPARE(window->dueList().find(4, 12)->lastBy, QStringLiteral("Ann"));
    }

    void aFullSheetSaysHowManyWereLeftOff()
    {
        testing::TestApp app(kSunday);
        QVERIFY(writeLog(app));
        QStringList fields{QStringLiteral("DateNow")}, values{QStringLiteral("'2004-11-07'")};
        for (int row = 1; row <= 19; ++row) {
            fields << QStringLiteral("\"%1W\"").arg(row);
            values << QStringLiteral("'Job %1'").arg(row);
        }
        QVERIFY(app.exec(QStringLiteral("INSERT INTO WAssign (%1) VALUES (%2)")
                             .arg(fields.join(QLatin1Char(',')), values.join(QLatin1Char(',')))));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        window->Command3->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("1 job put on the work sheet of %1. 2 jobs left off: the sheet has no "
                                            "empty row for them. They stay in the due list.")
                                 .arg(shown(11, 7))});
        QCOMPARE(app.scalar(QStringLiteral("SELECT \"19W\" || '/' || \"20W\" FROM WAssign")).toString(),
                 QStringLiteral("Job 19/Check ball lift belts"));
    }

    void tasksAreTypedChangedAndRemoved()
    {
        testing::TestApp app(kSunday);
        QVERIFY(app.exec(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('Lanes', '24')")));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        QCOMPARE(window->Label3->text(), QStringLiteral("No task is on the schedule yet: add them on the Tasks tab."));
        window->SSTab1->setCurrentIndex(MaintSchedule::TasksTab);
        // Refused, each with what to do; nothing stored.
        window->Command5->click();
        window->Text3->setText(QStringLiteral("Clean deck"));
        retype(window->Text4, QStringLiteral("25x"));
        QCOMPARE(app.messages().texts(),
                 QStringList({QStringLiteral("Type what the task is, for example \"Clean deck\"."),
                              QStringLiteral("The frames per machine must be a whole number from 1 to %1, or empty for "
                                             "none; \"25x\" is not.")
                                  .arg(QLocale().toString(10000000))}));
        QCOMPARE(window->focusWidget(), window->Text4);
        app.messages().seen.clear();
        window->Text4->clear();
        window->Command5->click();
        QCOMPARE(app.messages().texts(), QStringList{QStringLiteral("Give the task an interval: every so many frames "
                                                                    "per machine, every so many days, or both.")});
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM MaintTasks")).toInt(), 0);
        app.messages().seen.clear();
        // Frames as the user's language writes them, on each lane; Enter saves.
        window->Text4->setText(QLocale().toString(25000));
        window->Option2->click();
        retype(window->Text3, QStringLiteral("Clean deck"));
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(app.rows(QStringLiteral("SELECT Task, Frames, coalesce(Days, '-'), PerLane, Added FROM MaintTasks")),
                 QStringList{QStringLiteral("Clean deck|25000|-|1|2004-11-07")});
        QCOMPARE(window->tasksModel()->rowCount(), 1);
        QCOMPARE(window->Label3->text(),
                 QStringLiteral("The task \"Clean deck\" is kept: every %1 frames, on each lane.")
                     .arg(QLocale().toString(25000)));
        // A second task of the same name is refused.
        window->Command4->click();
        QVERIFY(window->Text3->text().isEmpty());
        window->Text5->setText(QStringLiteral("7"));
        retype(window->Text3, QStringLiteral("clean DECK"));
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("A task \"clean DECK\" is on the schedule already. Give this one another "
                                            "name, or choose that one in the list to change it.")});
        app.messages().seen.clear();
        // Chosen in the list, changed: the same row.
        window->Grid3->selectRow(0);
        QCOMPARE(window->Text3->text(), QStringLiteral("Clean deck"));
        QVERIFY(window->Option2->isChecked());
        window->Text5->setText(QStringLiteral("30"));
        window->Command5->click();
        QCOMPARE(app.rows(QStringLiteral("SELECT TaskId, Frames, Days FROM MaintTasks")),
                 QStringList{QStringLiteral("1|25000|30")});
        // Removed after Yes: off the schedule, kept in the file for its history.
        app.messages().answers.enqueue(ui::Answer::Yes);
        window->Command6->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("Take the task \"Clean deck\" off the schedule? Its history is kept.")});
        QCOMPARE(app.messages().seen.first().defaultButton, std::optional<ui::Answer>(ui::Answer::No));
        QCOMPARE(app.rows(QStringLiteral("SELECT Task, Removed FROM MaintTasks")),
                 QStringList{QStringLiteral("Clean deck|2004-11-07")});
        QCOMPARE(window->tasksModel()->rowCount(), 0);
        QCOMPARE(window->Combo2->itemText(1), QStringLiteral("Clean deck (removed)"));
    }

    void theHistoryIsChosenAndBadInputIsSaid()
    {
        testing::TestApp app(kSunday);
        QVERIFY(writeLog(app));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        window->SSTab1->setCurrentIndex(MaintSchedule::HistoryTab);
        QCOMPARE(window->history().rowCount(), 28);
        window->Combo2->setCurrentIndex(window->Combo2->findText(QStringLiteral("Clean pit carpet")));
        retype(window->Text6, QStringLiteral("x"));
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The lane must be a lane number, C for the centre, or empty for every "
                                            "lane; \"x\" is not.")});
        app.messages().seen.clear();
        retype(window->Text6, QStringLiteral("3"));
        QCOMPARE(window->history().rowCount(), 2);
        QCOMPARE(cell(window->Grid4, 0, 0), shown(11, 1));
        QCOMPARE(cell(window->Grid4, 1, 3), QStringLiteral("Marco"));
        window->MaskEdBox2->setDate(QDate(2004, 11, 7));
        window->MaskEdBox3->setDate(QDate(2004, 11, 1));
        window->Command7->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The ending date 11/01/2004 comes before the starting date 11/07/2004. "
                                            "Enter an ending date on or after the starting date.")});
        QCOMPARE(window->history().rowCount(), 2);
        app.messages().seen.clear();
        // The margin: kept in digits; out of range refused.
        window->SSTab1->setCurrentIndex(MaintSchedule::DueTab);
        retype(window->Text2, QStringLiteral("60"));
        QCOMPARE(
            app.messages().texts(),
            QStringList{QStringLiteral("The due soon margin must be a whole number from 0 to 50; \"60\" is not.")});
        retype(window->Text2, QStringLiteral("20"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'MaintenanceMargin'")).toString(),
                 QStringLiteral("20"));
    }

    void withoutTheNumberOfLanesTheListWaitsForItAndADamagedMarginIsSaid()
    {
        testing::TestApp app(kSunday);
        QVERIFY(writeLog(app));
        QVERIFY(app.exec(QStringLiteral("DELETE FROM Settings")));
        QVERIFY(app.exec(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('MaintenanceMargin', '1O')")));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        // A damaged margin is said, and 10 used until another is typed; the file is left as it was.
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The setting MaintenanceMargin kept in the database reads \"1O\", which is "
                                            "not a whole number. Type the due soon margin again in this window.")});
        QCOMPARE(window->Text2->text(), QStringLiteral("10"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'MaintenanceMargin'")).toString(),
                 QStringLiteral("1O"));
        app.messages().seen.clear();
        QCOMPARE(window->Label3->text(),
                 QStringLiteral("Type the number of lanes at the centre in Lanes at the centre: "
                                "the frames per machine and the lanes of a task are worked out "
                                "from it."));
        QCOMPARE(window->Grid1->model()->rowCount(), 0);
        retype(window->Text1, QStringLiteral("24"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT Value FROM Settings WHERE Name = 'Lanes'")).toString(),
                 QStringLiteral("24"));
        QCOMPARE(window->Grid1->model()->rowCount(), 50);
        QVERIFY(app.messages().seen.isEmpty());
    }

    void anOlderFileIsOfferedTheTablesAlone()
    {
        testing::TestApp app(kSunday);
        for (const char* table : {"MaintTasks", "MaintDone", "MaintSheet", "Settings"})
            QVERIFY(app.exec(QStringLiteral("DROP TABLE %1").arg(QString::fromLatin1(table))));
        const QStringList before = app.rows(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name"));
        app.messages().answers.enqueue(ui::Answer::No);
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        const QString offer = QStringLiteral(
            "This database has no tables for the maintenance schedule (its tasks, their history and the jobs it puts "
            "on the work sheet) and no table for the centre's settings (the number of lanes and the due soon "
            "margin). Add them to the database now? Nothing else in the file changes.");
        QCOMPARE(app.messages().texts(), QStringList{offer});
        QCOMPARE(app.messages().seen.first().buttons, ui::Buttons::YesNo);
        QCOMPARE(app.rows(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name")), before);
        QVERIFY(!window->SSTab1->isEnabled());
        QVERIFY(!window->Command3->isEnabled());
        QCOMPARE(window->Label3->text(), QStringLiteral("The maintenance schedule needs its tables in the database. "
                                                        "Close this window and open it again to add them."));
        // Opened again and accepted: those tables, nothing else.
        window->Command1->click();
        app.messages().seen.clear();
        window = openFromMenu();
        QVERIFY(window);
        QCOMPARE(app.messages().texts(), QStringList{offer});
        QStringList after = app.rows(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name"));
        for (const char* added : {"MaintDone", "MaintDone_TaskLane", "MaintSheet", "MaintSheet_DateNow", "MaintTasks",
                                  "Settings", "sqlite_autoindex_Settings_1"})
            QVERIFY2(after.removeAll(QString::fromLatin1(added)) == 1, added);
        QCOMPARE(after, before);
        QVERIFY(window->SSTab1->isEnabled());
    }

    void everyKeyTheHelpNamesIsOnTheWindow()
    {
        testing::TestApp app(kSunday);
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        QFile file(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../help/Stopwell.html"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString help = QString::fromUtf8(file.readAll());
        const qsizetype from = help.indexOf(QLatin1String("id=\"maintenance\""));
        QVERIFY(from > 0);
        const QString chapter = help.mid(from, help.indexOf(QLatin1String("<h2"), from) - from);
        // Every caption the help gives an Alt key: a control or tab of the window with that key in its caption.
        QStringList captions;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                captions << button->text();
            else if (auto* label = qobject_cast<QLabel*>(widget))
                captions << label->text();
        }
        for (int tab = 0; tab < window->SSTab1->count(); ++tab)
            captions << window->SSTab1->tabText(tab);
        static const QRegularExpression named(QStringLiteral("(?:<b>|<h3>|and )([^<>()]+?)(?:</b>)? \\(Alt\\+([A-Z])"));
        int checked = 0;
        for (auto it = named.globalMatch(chapter); it.hasNext(); ++checked) {
            const QRegularExpressionMatch match = it.next();
            const QString caption = match.captured(1).trimmed();
            const QChar key = match.captured(2).at(0);
            const bool found = std::any_of(captions.begin(), captions.end(), [&](const QString& text) {
                const qsizetype amp = text.indexOf(QLatin1Char('&'));
                return amp >= 0 && amp + 1 < text.size() && text.at(amp + 1).toUpper() == key &&
                       QString(text).remove(QLatin1Char('&')).contains(caption, Qt::CaseInsensitive);
            });
            QVERIFY2(found, qPrintable(caption + QStringLiteral(" (Alt+") + key + QLatin1Char(')')));
        }
        QVERIFY(checked >= 20);
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

QTEST_MAIN(TestMaintSchedule)
#include "test_maintschedule.moc"

// Logging calls end to end: the board, the lane entry and the stored row,
// driven from the main menu with a fixed clock and shift.
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "app/TodaysInfo.h"
#include "calls/CallLabel.h"
#include "calls/EnterLaneNo.h"
#include "calls/ListOfCalls.h"
#include "store/FieldValue.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using calls::EnterLaneNo;
using calls::ListOfCalls;

namespace {

const QString kLaneMessage = QStringLiteral(
    "You need to enter a lane number here!\nIf you are trying to enter a lane pair, enter the odd lane only.");

// A call stored before the test starts; no screen may change it.
const QString kSeed =
    QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, Notes) "
                   "VALUES ('2004-12-06', '9:02:11 PM', 'Monday', 5, 'Seeded call', '2', 'Ray', 'Tomasz', 'old note')");
const QString kSeedAsStored = QStringLiteral("2004-12-06|9:02:11 PM|Monday|5|Seeded call|2|Ray|Tomasz|old note");

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

QString seededRow(testing::TestApp& app)
{
    return app
        .scalar(
            QStringLiteral("SELECT DateNow || '|' || Time || '|' || Weekday || '|' || LaneNo || '|' || callmade || "
                           "'|' || Type || '|' || Name1 || '|' || Name2 || '|' || Notes FROM DData WHERE Recno = 1"))
        .toString();
}

int rows(testing::TestApp& app)
{
    return app.scalar(QStringLiteral("SELECT count(*) FROM DData")).toInt();
}

QVariant lastCall(testing::TestApp& app, const QString& field)
{
    return app.scalar(QStringLiteral("SELECT \"%1\" FROM DData ORDER BY Recno DESC LIMIT 1").arg(field));
}

QString presetCall(testing::TestApp& app, int call)
{
    return app.scalar(QStringLiteral("SELECT C%1 FROM Calls").arg(call)).toString();
}

/// Fills in the shift and opens the board through the main menu, as a mechanic does.
ListOfCalls* openBoard(const QString& mechanic1 = QStringLiteral("Dave"),
                       const QString& mechanic2 = QStringLiteral("Marco"))
{
    auto* menu = static_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
    menu->Command8_Click();
    auto* shift = static_cast<app::TodaysInfo*>(screens().find(QStringLiteral("TodaysInfo")));
    shift->Text1->setText(mechanic1);
    shift->Text2->setText(mechanic2);
    shift->Command1_Click();
    menu->Command1_Click();
    auto* board = qobject_cast<ListOfCalls*>(screens().find(QStringLiteral("ListOfCalls")));
    if (!board || !board->isVisible() || !QTest::qWaitForWindowExposed(board))
        return nullptr;
    return board;
}

EnterLaneNo* laneEntry()
{
    return qobject_cast<EnterLaneNo*>(screens().find(QStringLiteral("EnterLaneNo")));
}

/// Picks call N by clicking its text or its option button.
EnterLaneNo* pick(ListOfCalls* board, int call, bool byText = true)
{
    if (byText)
        QTest::mouseClick(board->Label[call + 5], Qt::LeftButton);
    else
        QTest::mouseClick(board->Option[call], Qt::LeftButton, {}, QPoint(7, board->Option[call]->height() / 2));
    EnterLaneNo* entry = laneEntry();
    if (entry && !QTest::qWaitForWindowActive(entry))
        qWarning("lane entry not active");
    return entry;
}

/// The lane entry was closed, and no call is selected on the board.
bool closedAndBoardReleased(ListOfCalls* board)
{
    testing::TestApp::settle();
    EnterLaneNo* entry = laneEntry();
    return (!entry || entry->isHidden()) && board->Option[ListOfCalls::kNoCall]->isChecked();
}

} // namespace

class TestCallLogging : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void logCallFromEachSection_data()
    {
        QTest::addColumn<int>("call");
        QTest::addColumn<bool>("byText");
        QTest::addColumn<QString>("lane");
        QTest::addColumn<bool>("check1");
        QTest::addColumn<bool>("check2");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("storedLane");
        QTest::addColumn<QString>("name1");
        QTest::addColumn<QString>("name2");
        QTest::newRow("section 1, by its text") << 1 << true << "7" << true << false << "1" << 7 << "Dave"
                                                << " ";
        QTest::newRow("section 2, by its option") << 25 << false << "12" << true << true << "2" << 12 << "Dave"
                                                  << "Marco";
        QTest::newRow("section 3, lane 0") << 41 << true << "0" << false << true << "3" << 0 << " "
                                           << "Marco";
        QTest::newRow("call 60 ends section 3") << 60 << false << "44" << true << false << "3" << 44 << "Dave"
                                                << " ";
        QTest::newRow("call 61 starts section 4") << 61 << true << " 33" << true << false << "4" << 33 << "Dave"
                                                  << " ";
        QTest::newRow("call 100, nobody ticked") << 100 << false << "999" << false << false << "5" << 999 << " "
                                                 << " ";
    }
    void logCallFromEachSection()
    {
        QFETCH(int, call);
        QFETCH(bool, byText);
        QFETCH(QString, lane);
        QFETCH(bool, check1);
        QFETCH(bool, check2);
        QFETCH(QString, type);
        QFETCH(int, storedLane);
        QFETCH(QString, name1);
        QFETCH(QString, name2);
        testing::TestApp app;
        QVERIFY(app.exec(kSeed));
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, call, byText);
        QVERIFY(entry);
        QVERIFY(entry->isVisible());
        QVERIFY(board->Option[call]->isChecked());
        QCOMPARE(entry->Label1->text(), presetCall(app, call));
        QCOMPARE(entry->focusWidget(), entry->Text5);
        QVERIFY(entry->Text9->isHidden());
        QVERIFY(entry->Check1->isChecked());
        QVERIFY(!entry->Check2->isChecked());

        entry->Check1->setChecked(check1);
        entry->Check2->setChecked(check2);
        QTest::keyClicks(entry->Text5, lane);
        QTest::keyClick(entry->Text5, Qt::Key_Return);

        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(rows(app), 2);
        QCOMPARE(lastCall(app, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-07"));
        QCOMPARE(lastCall(app, QStringLiteral("Time")).toString(),
                 QLocale().toString(QTime(10, 15, 30), store::longTimeFormat()));
        QCOMPARE(lastCall(app, QStringLiteral("Weekday")).toString(), QStringLiteral("Tuesday"));
        QCOMPARE(lastCall(app, QStringLiteral("LaneNo")).toInt(), storedLane);
        QCOMPARE(lastCall(app, QStringLiteral("callmade")).toString(), presetCall(app, call));
        QCOMPARE(lastCall(app, QStringLiteral("Type")).toString(), type);
        QCOMPARE(lastCall(app, QStringLiteral("Name1")).toString(), name1);
        QCOMPARE(lastCall(app, QStringLiteral("Name2")).toString(), name2);
        QVERIFY(lastCall(app, QStringLiteral("Notes")).isNull());
        QCOMPARE(lastCall(app, QStringLiteral("Recno")).toInt(), 2);
        QCOMPARE(seededRow(app), kSeedAsStored);
        QVERIFY(closedAndBoardReleased(board));
        QVERIFY(board->isVisible());
    }

    void laneCheck_data()
    {
        QTest::addColumn<QString>("lane");
        QTest::addColumn<QString>("message"); // empty: stored without a word
        QTest::addColumn<int>("storedLane");
        QTest::newRow("empty") << "" << kLaneMessage << 0;
        QTest::newRow("a blank") << " " << kLaneMessage << 0;
        QTest::newRow("a letter") << "A" << kLaneMessage << 0;
        QTest::newRow("a pair with a dash") << "1-2" << kLaneMessage << 0;
        QTest::newRow("a pair with a slash") << "1/2" << kLaneMessage << 0;
        QTest::newRow("two signs") << "+-1" << kLaneMessage << 0;
        QTest::newRow("an even lane") << "8" << QString() << 8;
        QTest::newRow("a sign") << "-3" << QString() << -3;
        QTest::newRow("a fraction, rounded") << "7.6" << QString() << 8;
        QTest::newRow("an exponent") << "1e2" << QString() << 100;
        QTest::newRow("too large for the field")
            << "9e9"
            << QStringLiteral("Lane Number cannot be stored: 9e9 does not fit this field, which holds whole numbers "
                              "from -2147483648 to 2147483647.")
            << 0;
    }
    void laneCheck()
    {
        QFETCH(QString, lane);
        QFETCH(QString, message);
        QFETCH(int, storedLane);
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 30);
        QVERIFY(entry);
        entry->Text5->setText(lane);
        QTest::keyClick(entry->Text5, Qt::Key_Return);
        if (message.isEmpty()) {
            QVERIFY(app.messages().seen.isEmpty());
            QCOMPARE(rows(app), 1);
            QCOMPARE(lastCall(app, QStringLiteral("LaneNo")).toInt(), storedLane);
            QVERIFY(closedAndBoardReleased(board));
            return;
        }
        QCOMPARE(app.messages().texts(), QStringList{message});
        QCOMPARE(app.messages().seen.first().buttons, ui::Buttons::Ok);
        QCOMPARE(rows(app), 0);
        // Still open with the call pending: the lane is mended and saved.
        QCOMPARE(laneEntry(), entry);
        QVERIFY(entry->isVisible());
        QVERIFY(board->Option[30]->isChecked());
        if (message == kLaneMessage) {
            QCOMPARE(app.messages().seen.first().icon, ui::Icon::None);
            QCOMPARE(entry->focusWidget(), entry->Text5);
            QCOMPARE(entry->Text5->selectedText(), lane);
        }
        entry->Text5->setText(QStringLiteral("11"));
        entry->Command1->click();
        QCOMPARE(rows(app), 1);
        QCOMPARE(lastCall(app, QStringLiteral("LaneNo")).toInt(), 11);
        QCOMPARE(lastCall(app, QStringLiteral("callmade")).toString(), presetCall(app, 30));
        QVERIFY(closedAndBoardReleased(board));
    }

    void leavingWithoutSavingStoresNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("window frame") << "frame";
        QTest::newRow("program exit") << "exit";
    }
    void leavingWithoutSavingStoresNothing()
    {
        QFETCH(QString, how);
        testing::TestApp app;
        QVERIFY(app.exec(kSeed));
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 10);
        QVERIFY(entry);
        QTest::keyClicks(entry->Text5, QStringLiteral("7"));
        entry->Check2->setChecked(true);
        entry->Command3->click();
        QTest::keyClicks(entry->Text9, QStringLiteral("never stored"));
        if (how == QLatin1String("cancel")) {
            entry->Command2->click();
        } else if (how == QLatin1String("frame")) {
            entry->close();
        } else {
            static_cast<app::MainMenu*>(screens().find(QStringLiteral("MainMenu")))->Command7_Click();
            QVERIFY(app.quitRequested());
            QCOMPARE(rows(app), 1);
            QCOMPARE(seededRow(app), kSeedAsStored);
            return;
        }
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(rows(app), 1);
        QCOMPARE(seededRow(app), kSeedAsStored);
        QVERIFY(closedAndBoardReleased(board));
        // The same call can be picked again at once and comes up in its designed state.
        entry = pick(board, 10);
        QVERIFY(entry);
        QVERIFY(entry->Text9->isHidden());
        QVERIFY(entry->Text5->text().isEmpty());
        QVERIFY(entry->Check1->isChecked());
        QVERIFY(!entry->Check2->isChecked());
        QTest::keyClicks(entry->Text5, QStringLiteral("9"));
        entry->Command1->click();
        QCOMPARE(rows(app), 2);
        QVERIFY(lastCall(app, QStringLiteral("Notes")).isNull());
        QCOMPARE(seededRow(app), kSeedAsStored);
    }

    // Save or Cancel hands the keyboard back to the board, so the next call
    // is picked without reaching for the mouse.
    void theBoardHasTheKeyboardOnceTheLaneEntryCloses_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("Save") << true;
        QTest::newRow("Cancel") << false;
    }
    void theBoardHasTheKeyboardOnceTheLaneEntryCloses()
    {
        QFETCH(bool, save);
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        for (int round = 0; round < 2; ++round) {
            EnterLaneNo* entry = pick(board, 12 + round);
            QVERIFY(entry);
            QTRY_COMPARE(QApplication::activeWindow(), entry);
            QTest::keyClicks(entry->Text5, QStringLiteral("4"));
            if (save)
                QTest::keyClick(entry->Text5, Qt::Key_Return);
            else
                entry->Command2->click();
            QVERIFY(closedAndBoardReleased(board));
            QTRY_COMPARE(QApplication::activeWindow(), board);
        }
        QCOMPARE(rows(app), save ? 2 : 0);
    }

    void pickingAnotherCallReplacesThePendingOne()
    {
        testing::TestApp app;
        QVERIFY(app.exec(kSeed));
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 3);
        QVERIFY(entry);
        QTest::keyClicks(entry->Text5, QStringLiteral("7"));
        QCOMPARE(pick(board, 90), entry);
        QVERIFY(board->Option[90]->isChecked());
        QVERIFY(!board->Option[3]->isChecked());
        QCOMPARE(entry->Label1->text(), presetCall(app, 90));
        QCOMPARE(entry->Text8->text(), QStringLiteral("5"));
        QCOMPARE(entry->Text6->text(), QStringLiteral("Tuesday"));
        QVERIFY(entry->Text5->text().isEmpty());
        QCOMPARE(rows(app), 1);
        QTest::keyClicks(entry->Text5, QStringLiteral("9"));
        entry->Command1->click();
        QCOMPARE(rows(app), 2);
        QCOMPARE(lastCall(app, QStringLiteral("callmade")).toString(), presetCall(app, 90));
        QCOMPARE(lastCall(app, QStringLiteral("LaneNo")).toInt(), 9);
        QCOMPARE(lastCall(app, QStringLiteral("Type")).toString(), QStringLiteral("5"));
        QCOMPARE(seededRow(app), kSeedAsStored);
        QVERIFY(closedAndBoardReleased(board));
    }

    void sameCallTwiceInARow()
    {
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 5);
        QVERIFY(entry);
        QTest::keyClicks(entry->Text5, QStringLiteral("4"));
        // Its lane entry is open: clicking the picked call again changes nothing.
        QCOMPARE(pick(board, 5), entry);
        QCOMPARE(entry->Text5->text(), QStringLiteral("4"));
        entry->Check1->setChecked(false);
        entry->Check2->setChecked(true);
        entry->Command3->click();
        QTest::keyClicks(entry->Text9, QStringLiteral("belt slipping"));
        entry->Command1->click();
        QVERIFY(closedAndBoardReleased(board));
        const QString first = QStringLiteral("4|%1| |Marco|belt slipping").arg(presetCall(app, 5));
        const QString firstSql = QStringLiteral("SELECT LaneNo || '|' || callmade || '|' || Name1 || '|' || Name2 || "
                                                "'|' || Notes FROM DData WHERE Recno = 1");
        QCOMPARE(app.scalar(firstSql).toString(), first);

        // The next pick starts from the designed state.
        entry = pick(board, 5, false);
        QVERIFY(entry);
        QVERIFY(entry->Check1->isChecked());
        QVERIFY(!entry->Check2->isChecked());
        QVERIFY(entry->Text9->isHidden());
        QVERIFY(entry->Text9->toPlainText().isEmpty());
        QCOMPARE(entry->defaultButton(), entry->Command1);
        QCOMPARE(entry->focusWidget(), entry->Text5);
        QVERIFY(entry->Text5->text().isEmpty());
        QVERIFY(entry->Text4->text().isEmpty());
        QCOMPARE(entry->Label1->text(), presetCall(app, 5));
        QCOMPARE(entry->Text1->text(), QStringLiteral("Dave"));
        QTest::keyClicks(entry->Text5, QStringLiteral("6"));
        entry->Command1->click();
        QCOMPARE(app.scalar(firstSql).toString(), first);
        QCOMPARE(rows(app), 2);
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM DData WHERE callmade = '%1'").arg(presetCall(app, 5)))
                     .toInt(),
                 2);
        QCOMPARE(app.scalar(QStringLiteral("SELECT group_concat(LaneNo) FROM DData")).toString(),
                 QStringLiteral("4,6"));
    }

    void everyCallIsPickedByItsText()
    {
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        for (int call = 1; call <= ListOfCalls::kCalls; ++call) {
            EnterLaneNo* entry = pick(board, call);
            QVERIFY2(entry, qPrintable(QStringLiteral("call %1").arg(call)));
            QVERIFY(board->Option[call]->isChecked());
            QCOMPARE(entry->Label1->text(), presetCall(app, call));
            QCOMPARE(entry->Text8->text(), QString::number((call + 19) / 20));
            entry->Command2->click();
            QVERIFY(closedAndBoardReleased(board));
        }
        QCOMPARE(rows(app), 0);
    }

    void blankCallIsStillPickable()
    {
        testing::TestApp app;
        QVERIFY(app.exec(QStringLiteral("UPDATE Calls SET C7 = NULL")));
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        QVERIFY(board->Label[12]->text().isEmpty());
        EnterLaneNo* entry = pick(board, 7);
        QVERIFY(entry);
        QVERIFY(entry->Label1->text().isEmpty());
        QTest::keyClicks(entry->Text5, QStringLiteral("3"));
        entry->Command1->click();
        QCOMPARE(rows(app), 1);
        QCOMPARE(app.scalar(QStringLiteral("SELECT coalesce(callmade, '') FROM DData")).toString(), QString());
        QCOMPARE(lastCall(app, QStringLiteral("Type")).toString(), QStringLiteral("1"));
    }

    void descriptionAndNotes()
    {
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 20);
        QVERIFY(entry);
        QTest::keyClicks(entry->Text5, QStringLiteral("11"));
        QTest::keyClick(entry->Text5, Qt::Key_Tab);
        QCOMPARE(entry->focusWidget(), entry->Text4);
        QCOMPARE(entry->Text4->text(), presetCall(app, 20));
        QCOMPARE(entry->Text4->selectedText(), presetCall(app, 20));
        QTest::keyClicks(entry->Text4, QStringLiteral("Pin wedged under deck"));

        entry->Command3->click();
        QCOMPARE(entry->defaultButton(), nullptr);
        QVERIFY(entry->Text9->isVisible());
        QCOMPARE(entry->focusWidget(), entry->Text9);
        QTest::keyClicks(entry->Text9, QStringLiteral("first"));
        QTest::keyClick(entry->Text9, Qt::Key_Return);
        QTest::keyClicks(entry->Text9, QStringLiteral("second"));
        QCOMPARE(laneEntry(), entry);
        QCOMPARE(rows(app), 0);

        // Leaving the notes makes Enter save again.
        QTest::keyClick(entry->Text9, Qt::Key_Tab);
        QCOMPARE(entry->focusWidget(), entry->Text1);
        QCOMPARE(entry->defaultButton(), entry->Command1);
        QCOMPARE(entry->Text1->selectedText(), QStringLiteral("Dave"));
        QTest::keyClick(entry->Text1, Qt::Key_Return);
        QCOMPARE(rows(app), 1);
        QCOMPARE(lastCall(app, QStringLiteral("callmade")).toString(), QStringLiteral("Pin wedged under deck"));
        QCOMPARE(lastCall(app, QStringLiteral("Notes")).toString(), QStringLiteral("first\nsecond"));
        QCOMPARE(lastCall(app, QStringLiteral("Type")).toString(), QStringLiteral("1"));
        QVERIFY(closedAndBoardReleased(board));
    }

    void aTypedDescriptionSurvivesVisitsToOtherWindows()
    {
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 33);
        QVERIFY(entry);
        QTest::keyClicks(entry->Text5, QStringLiteral("9"));
        QTest::keyClick(entry->Text5, Qt::Key_Tab);
        QCOMPARE(entry->focusWidget(), entry->Text4);
        QTest::keyClicks(entry->Text4, QStringLiteral("My own words"));

        // The mechanic looks at the board and comes back: the box keeps the words, unselected.
        QApplication::setActiveWindow(board);
        QTRY_VERIFY(board->isActiveWindow());
        QApplication::setActiveWindow(entry);
        QTRY_VERIFY(entry->isActiveWindow());
        QCOMPARE(entry->focusWidget(), entry->Text4);
        QCOMPARE(entry->Text4->text(), QStringLiteral("My own words"));
        QVERIFY(entry->Text4->selectedText().isEmpty());

        entry->Command1->click();
        QCOMPARE(lastCall(app, QStringLiteral("callmade")).toString(), QStringLiteral("My own words"));
    }

    // A note pasted as one run of characters with no room to break it (a
    // pasted log) is laid out breaking anywhere, so the screen stays quick to
    // type in; all of it is stored.
    void aLongNoteIsKeptWhole()
    {
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 3);
        QVERIFY(entry);
        QTest::keyClicks(entry->Text5, QStringLiteral("5"));
        entry->Command3->click();
        const QString log(300000, QLatin1Char('x'));
        QApplication::clipboard()->setText(log);
        entry->Text9->paste();
        QCOMPARE(entry->Text9->wordWrapMode(), QTextOption::WrapAnywhere);
        QTest::keyClicks(entry->Text9, QStringLiteral(" end"));
        entry->Command1->click();
        QCOMPARE(app.scalar(QStringLiteral("SELECT length(Notes) FROM DData")).toInt(), 300004);

        // Ordinary notes keep breaking between words.
        entry = pick(board, 3);
        entry->Command3->click();
        QTest::keyClicks(entry->Text9, QStringLiteral("Deck chain slipping, adjusted"));
        QCOMPARE(entry->Text9->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        entry->Command2->click();
    }

    void keyOnSaveWithoutLane()
    {
        testing::TestApp app;
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 55);
        QVERIFY(entry);
        entry->Command1->setFocus();
        QTest::keyClick(entry->Command1, Qt::Key_Tab);
        QVERIFY(app.messages().seen.isEmpty());
        entry->Command1->setFocus();
        QTest::keyClick(entry->Command1, Qt::Key_Space);
        QCOMPARE(app.messages().texts(), QStringList{QStringLiteral("You must enter a lane number")});
        QCOMPARE(entry->focusWidget(), entry->Text5);
        QCOMPARE(rows(app), 0);
        QCOMPARE(laneEntry(), entry);
    }

    void paintFillsDateTimeAndTickedNames()
    {
        testing::TestApp app;
        ListOfCalls* board = openBoard(QStringLiteral("Dave"), QStringLiteral("Marco"));
        QVERIFY(board);
        EnterLaneNo* entry = pick(board, 70);
        QVERIFY(entry);
        QCOMPARE(entry->Text3->text(), QStringLiteral("2004-12-07"));
        QCOMPARE(entry->Text7->text(), QLocale().toString(QTime(10, 15, 30), store::longTimeFormat()));
        QCOMPARE(entry->Text6->text(), QStringLiteral("Tuesday"));
        QCOMPARE(entry->Text8->text(), QStringLiteral("4"));
        QCOMPARE(entry->Text1->text(), QStringLiteral("Dave"));
        QCOMPARE(entry->Text2->text(), QStringLiteral(" "));
        entry->Check2->setChecked(true);
        QCOMPARE(entry->Text2->text(), QStringLiteral("Marco"));
        entry->Check1->setChecked(false);
        QCOMPARE(entry->Text1->text(), QStringLiteral(" "));
        // A later paint takes the clock as it is then.
        app.clock().time = app.clock().time.addSecs(75);
        entry->resize(entry->width() + 10, entry->height());
        QCOMPARE(entry->Text7->text(), QLocale().toString(QTime(10, 16, 45), store::longTimeFormat()));
        QTest::keyClicks(entry->Text5, QStringLiteral("2"));
        entry->Command1->click();
        QCOMPARE(lastCall(app, QStringLiteral("Time")).toString(),
                 QLocale().toString(QTime(10, 16, 45), store::longTimeFormat()));
        QCOMPARE(lastCall(app, QStringLiteral("Name1")).toString(), QStringLiteral(" "));
        QCOMPARE(lastCall(app, QStringLiteral("Name2")).toString(), QStringLiteral("Marco"));
    }

    void boardLayout()
    {
        testing::TestApp app;
        // The widest texts a mechanic can type must still be read whole.
        QVERIFY(app.exec(QStringLiteral("UPDATE Calls SET C1 = '%1', C58 = '%2', C100 = '%3', S4 = '%4'")
                             .arg(QString(30, QLatin1Char('W')), QStringLiteral("Ball return belt off, replaced"),
                                  QStringLiteral("MACHINE WILL NOT START AT ALL!"), QString(15, QLatin1Char('W')))));
        ListOfCalls* board = openBoard();
        QVERIFY(board);
        QCOMPARE(board->windowTitle(), QStringLiteral("Master List of Calls"));
        QVERIFY(board->Data1->isHidden());
        QVERIFY(board->Option[ListOfCalls::kNoCall]->isHidden());
        QVERIFY(board->Option[ListOfCalls::kNoCall]->isChecked());
        QCOMPARE(board->Command1->text(), QStringLiteral("E&xit"));
        const int headingOfColumn[5] = {1, 2, 3, 5, 4};
        for (int column = 1; column <= 5; ++column) {
            QLabel* heading = board->Label[headingOfColumn[column - 1]];
            QCOMPARE(heading->text(), app.scalar(QStringLiteral("SELECT S%1 FROM Calls").arg(column)).toString());
            QVERIFY(heading->fontMetrics().horizontalAdvance(heading->text()) <= heading->width());
            QLabel* top = board->Label[20 * (column - 1) + 6];
            QVERIFY(heading->geometry().center().x() > top->x() - 30);
            QVERIFY(heading->geometry().center().x() < top->geometry().right());
            QVERIFY(heading->geometry().bottom() < board->Line1->y());
        }
        for (int call = 1; call <= ListOfCalls::kCalls; ++call) {
            const int column = (call - 1) / 20;
            const int row = (call - 1) % 20;
            auto* text = static_cast<calls::CallLabel*>(board->Label[call + 5]);
            QRadioButton* option = board->Option[call];
            QCOMPARE(text->objectName(), QStringLiteral("Label%1").arg(call + 5));
            QCOMPARE(option->objectName(), QStringLiteral("Option%1").arg(call));
            QCOMPARE(text->text(), presetCall(app, call));
            QVERIFY(option->isVisible() && !option->isChecked());
            QVERIFY(option->geometry().right() < text->x());
            QVERIFY(qAbs(option->geometry().center().y() - text->geometry().center().y()) <= 1);
            QVERIFY2(text->textHeight() <= text->height(), qPrintable(text->text()));
            if (row > 0)
                QVERIFY(text->y() >= board->Label[call + 4]->geometry().bottom());
            if (column > 0)
                QVERIFY(option->x() > board->Label[call - 20 + 5]->geometry().right());
        }
    }
};

QTEST_MAIN(TestCallLogging)
#include "test_calllogging.moc"

// The daily notes screen driven through its controls, with the days read back
// from the database file.
#include "support/TestApp.h"

#include "shift/Notes.h"
#include "ui/MaskedDateEdit.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using shift::Notes;

namespace {

const QString kNoDate = QStringLiteral("You must enter a date!");

Notes* openNotes()
{
    return qobject_cast<Notes*>(ui::ScreenRegistry::instance().show(QStringLiteral("Notes")));
}

void storeDay(testing::TestApp& app, const QString& date, const QString& am1, const QString& note1,
              const QString& pm1 = QString(), const QString& pmNote1 = QString())
{
    QVERIFY(app.exec(QStringLiteral("INSERT INTO DWork (DateNow, mecha1, mecha2, mechp1, mechp2, noteam1, noteam2, "
                                    "notepm1, notepm2) VALUES ('%1', '%2', 'Marco', '%3', 'Pete', '%4', "
                                    "'second AM note', '%5', 'second PM note')")
                         .arg(date, am1, pm1, note1, pmNote1)));
}

void press(ui::RecordSource* source, const char* button)
{
    auto* b = source->findChild<QToolButton*>(QString::fromLatin1(button));
    QVERIFY(b);
    b->click();
}

int days(testing::TestApp& app)
{
    return app.scalar(QStringLiteral("SELECT count(*) FROM DWork")).toInt();
}

QString stored(testing::TestApp& app, const QString& field, const QString& where)
{
    return app.scalar(QStringLiteral("SELECT %1 FROM DWork WHERE %2").arg(field, where)).toString();
}

} // namespace

class TestNotes : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    // With no day stored there is nothing to type into until New Day: what
    // was typed could not be kept.
    void nothingIsTypedBeforeThereIsADay()
    {
        testing::TestApp app;
        Notes* notes = openNotes();
        QVERIFY(notes);
        for (QWidget* box : QList<QWidget*>{notes->Text1, notes->Text3, notes->Text4, notes->Text5, notes->Text6,
                                            notes->Text7, notes->Text8, notes->Text9})
            QVERIFY(!box->isEnabled());
        QTest::keyClicks(notes->Text3, QStringLiteral("Dave"));
        QVERIFY(notes->Text3->text().isEmpty());
        notes->Command2->click();
        QVERIFY(notes->Text3->isEnabled() && notes->Text1->isEnabled());
        QTest::keyClicks(notes->MaskEdBox1, QStringLiteral("12082026"));
        QTest::keyClicks(notes->Text3, QStringLiteral("Dave"));
        notes->Command1->click();
        QCOMPARE(app.rows(QStringLiteral("SELECT DateNow, mecha1 FROM DWork")),
                 QStringList({QStringLiteral("2026-12-08|Dave")}));
    }

    void openingShowsTheFirstDay()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QStringLiteral("Lane 7 deck chain"));
        storeDay(app, QStringLiteral("2004-12-07"), QStringLiteral("Rick"), QStringLiteral("Lane 3 turret"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        QCOMPARE(notes->windowTitle(), QStringLiteral("Daily Notes"));
        QVERIFY(notes->Option1->isChecked());
        QCOMPARE(notes->Label3->text(), QStringLiteral("Dave"));
        QCOMPARE(notes->Text2->text(), testing::shownDate(2004, 12, 6));
        QVERIFY(notes->Text1->isVisible());
        QCOMPARE(notes->Text1->toPlainText(), QStringLiteral("Lane 7 deck chain"));
        QVERIFY(!notes->Text7->isVisible() && !notes->Text8->isVisible() && !notes->Text9->isVisible());
        QVERIFY(!notes->MaskEdBox1->isVisible() && !notes->Label4->isVisible());
        QVERIFY(!notes->Command3->isVisible() && !notes->Command4->isVisible());
        QVERIFY(notes->Command2->isVisible() && notes->Command2->isEnabled());
        press(notes->Data1, "Next");
        QCOMPARE(notes->Label3->text(), QStringLiteral("Rick"));
        QCOMPARE(notes->Text1->toPlainText(), QStringLiteral("Lane 3 turret"));
    }

    void optionsSwitchNameAndNoteBox_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("note");
        QTest::newRow("AM #1") << 1 << "Dave"
                               << "am one";
        QTest::newRow("AM #2") << 2 << "Marco"
                               << "second AM note";
        QTest::newRow("PM #1") << 3 << "Luis"
                               << "pm one";
        QTest::newRow("PM #2") << 4 << "Pete"
                               << "second PM note";
    }
    void optionsSwitchNameAndNoteBox()
    {
        QFETCH(int, option);
        QFETCH(QString, name);
        QFETCH(QString, note);
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QStringLiteral("am one"),
                 QStringLiteral("Luis"), QStringLiteral("pm one"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        const QList<QRadioButton*> options{notes->Option1, notes->Option2, notes->Option3, notes->Option4};
        const QList<QPlainTextEdit*> boxes{notes->Text1, notes->Text7, notes->Text8, notes->Text9};
        // Start from another option, so the switch is seen.
        options.at(option % 4)->click();
        options.at(option - 1)->click();
        QCOMPARE(notes->Label3->text(), name);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(boxes.at(i)->isVisible(), i == option - 1);
            QCOMPARE(options.at(i)->isChecked(), i == option - 1);
        }
        QCOMPARE(boxes.at(option - 1)->toPlainText(), note);
        QCOMPARE(notes->focusWidget(), boxes.at(option - 1));
    }

    void nameLabelFollowsTheNames()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QString(), QStringLiteral("Luis"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        notes->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(notes));
        notes->Text3->setFocus();
        notes->Text3->setText(QStringLiteral("David"));
        notes->Text4->setFocus(); // Text3 loses the focus
        QCOMPARE(notes->Label3->text(), QStringLiteral("David"));

        // The other names show at the next option click.
        notes->Option3->click();
        notes->Text5->setText(QStringLiteral("Louis"));
        QCOMPARE(notes->Label3->text(), QStringLiteral("Luis"));
        notes->Option3->click();
        QCOMPARE(notes->Label3->text(), QStringLiteral("Louis"));
    }

    void newDayIsStoredAndFoundAgain()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QStringLiteral("old"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        notes->Command2->click();
        QVERIFY(notes->MaskEdBox1->isVisible() && !notes->Text2->isVisible());
        QCOMPARE(notes->focusWidget(), notes->MaskEdBox1);
        QCOMPARE(notes->MaskEdBox1->maskedText(), QStringLiteral("__/__/____"));
        QVERIFY(!notes->Command2->isEnabled());
        QVERIFY(notes->Command3->isVisible() && notes->Command4->isVisible());
        QCOMPARE(notes->Text3->text(), QString());
        QCOMPARE(notes->Text1->toPlainText(), QString());

        notes->Text3->setText(QStringLiteral("Rick"));
        notes->Text1->setPlainText(QStringLiteral("Lane 12 pin wheel"));
        notes->Command3->click();
        QCOMPARE(app.messages().texts(), QStringList{kNoDate});
        QCOMPARE(app.messages().seen.at(0).icon, ui::Icon::None);
        QCOMPARE(notes->focusWidget(), notes->MaskEdBox1);
        QCOMPARE(days(app), 1);

        QTest::keyClicks(notes->MaskEdBox1, QStringLiteral("12072004"));
        QVERIFY(notes->Label4->isVisible());
        notes->Option4->click();
        notes->Text6->setText(QStringLiteral("Pete"));
        notes->Text9->setPlainText(QStringLiteral("Cleaned the pit"));
        notes->Command3->click();
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(days(app), 2);
        const QString where = QStringLiteral("rowid = 2");
        QCOMPARE(stored(app, QStringLiteral("DateNow"), where), QStringLiteral("2004-12-07"));
        QCOMPARE(stored(app, QStringLiteral("mecha1"), where), QStringLiteral("Rick"));
        QCOMPARE(stored(app, QStringLiteral("noteam1"), where), QStringLiteral("Lane 12 pin wheel"));
        QCOMPARE(stored(app, QStringLiteral("mechp2"), where), QStringLiteral("Pete"));
        QCOMPARE(stored(app, QStringLiteral("notepm2"), where), QStringLiteral("Cleaned the pit"));

        // Back to browsing: only New Day and Exit are offered.
        QVERIFY(notes->Text2->isVisible() && !notes->MaskEdBox1->isVisible());
        QCOMPARE(notes->Text2->text(), testing::shownDate(2004, 12, 7));
        QVERIFY(!notes->Command3->isVisible() && !notes->Command4->isVisible() && !notes->Label4->isVisible());
        QVERIFY(notes->Command2->isEnabled() && notes->Command1->isVisible());

        press(notes->Data1, "First");
        QCOMPARE(notes->Text3->text(), QStringLiteral("Dave"));
        press(notes->Data1, "Last");
        QCOMPARE(notes->Text2->text(), testing::shownDate(2004, 12, 7));
        QCOMPARE(notes->Text3->text(), QStringLiteral("Rick"));
        QCOMPARE(notes->Text9->toPlainText(), QStringLiteral("Cleaned the pit"));
        QCOMPARE(notes->Label3->text(), QStringLiteral("Pete"));
        QCOMPARE(days(app), 2);
    }

    void editsOfAStoredDayAreWrittenBack()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QStringLiteral("old"));
        storeDay(app, QStringLiteral("2004-12-07"), QStringLiteral("Rick"), QStringLiteral("other"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        notes->Option2->click();
        notes->Text7->setPlainText(QStringLiteral("Moved by the bar"));
        press(notes->Data1, "Next");
        QCOMPARE(stored(app, QStringLiteral("noteam2"), QStringLiteral("rowid = 1")),
                 QStringLiteral("Moved by the bar"));
        notes->Text4->setText(QStringLiteral("Tony"));
        notes->Text2->setText(testing::shownDate(2004, 12, 9));
        notes->Command1->click();
        testing::TestApp::settle();
        QCOMPARE(stored(app, QStringLiteral("mecha2"), QStringLiteral("rowid = 2")), QStringLiteral("Tony"));
        QCOMPARE(stored(app, QStringLiteral("DateNow"), QStringLiteral("rowid = 2")), QStringLiteral("2004-12-09"));
        QCOMPARE(days(app), 2);
    }

    // Save, and Exit while a new day is being added, store it only with a real date.
    void aNewDayNeedsARealDate_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("storedDate");

        const QString impossible = QStringLiteral("\"13/45/2004\" is not a real date. Enter the day as MM/DD/YYYY.");
        QTest::newRow("save, no date") << false << ""
                                       << "note" << kNoDate << "";
        QTest::newRow("save, impossible date") << false << "13452004"
                                               << "note" << impossible << "";
        QTest::newRow("save, date not finished") << false << "120"
                                                 << "note"
                                                 << "\"12/0_/____\" is not a real date. Enter the day as MM/DD/YYYY."
                                                 << "";
        QTest::newRow("save, not a leap year") << false << "02292005"
                                               << "note"
                                               << "\"02/29/2005\" is not a real date. Enter the day as MM/DD/YYYY."
                                               << "";
        QTest::newRow("save, leap day") << false << "02292004"
                                        << "note"
                                        << ""
                                        << "2004-02-29";
        QTest::newRow("exit, no date") << true << ""
                                       << "note" << kNoDate << "";
        QTest::newRow("exit, impossible date") << true << "13452004"
                                               << "note" << impossible << "";
        QTest::newRow("exit, nothing typed") << true << ""
                                             << ""
                                             << ""
                                             << "";
        QTest::newRow("exit, real date") << true << "12082004"
                                         << "note"
                                         << ""
                                         << "2004-12-08";
    }
    void aNewDayNeedsARealDate()
    {
        QFETCH(bool, exit);
        QFETCH(QString, typed);
        QFETCH(QString, note);
        QFETCH(QString, message);
        QFETCH(QString, storedDate);
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QStringLiteral("kept"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        notes->Command2->click();
        QTest::keyClicks(notes->MaskEdBox1, typed);
        notes->Text1->setPlainText(note);
        (exit ? notes->Command1 : notes->Command3)->click();
        testing::TestApp::settle();

        QCOMPARE(app.messages().texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(days(app), storedDate.isEmpty() ? 1 : 2);
        if (!storedDate.isEmpty())
            QCOMPARE(stored(app, QStringLiteral("DateNow"), QStringLiteral("rowid = 2")), storedDate);
        QCOMPARE(stored(app, QStringLiteral("noteam1"), QStringLiteral("rowid = 1")), QStringLiteral("kept"));

        const bool refused = !message.isEmpty();
        const bool closed = exit && !refused;
        QCOMPARE(ui::ScreenRegistry::instance().find(QStringLiteral("Notes")) == nullptr, closed);
        if (refused) {
            // The screen keeps the new day and what was typed.
            QVERIFY(notes->Data1->Recordset().isNew());
            QVERIFY(notes->MaskEdBox1->isVisible());
            QCOMPARE(notes->focusWidget(), notes->MaskEdBox1);
            QCOMPARE(notes->Text1->toPlainText(), note);
            if (!typed.isEmpty())
                QCOMPARE(notes->MaskEdBox1->maskedText().remove(QLatin1Char('/')).remove(QLatin1Char('_')), typed);
        }
        if (closed)
            QVERIFY(ui::ScreenRegistry::instance().find(QStringLiteral("MainMenu"))->isVisible());
    }

    void cancelReturnsToTheDayBefore()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QStringLiteral("first"));
        storeDay(app, QStringLiteral("2004-12-07"), QStringLiteral("Rick"), QStringLiteral("second"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        press(notes->Data1, "Last");
        notes->Command2->click();
        QVERIFY(!notes->Data1->isEnabled()); // no move stores a day still without its date
        QTest::keyClicks(notes->MaskEdBox1, QStringLiteral("12082004"));
        notes->Text3->setText(QStringLiteral("Nobody"));
        notes->Text1->setPlainText(QStringLiteral("dropped"));
        QTest::keyClick(notes, Qt::Key_Escape); // Cancel is the cancel button

        QCOMPARE(notes->Text2->text(), testing::shownDate(2004, 12, 7));
        QCOMPARE(notes->Text3->text(), QStringLiteral("Rick"));
        QCOMPARE(notes->Text1->toPlainText(), QStringLiteral("second"));
        QCOMPARE(notes->Label3->text(), QStringLiteral("Rick"));
        QVERIFY(notes->Text2->isVisible() && !notes->MaskEdBox1->isVisible());
        QVERIFY(!notes->Command3->isVisible() && !notes->Command4->isVisible());
        QVERIFY(notes->Command2->isEnabled() && notes->Data1->isEnabled());
        for (QWidget* box : {static_cast<QWidget*>(notes->Text3), static_cast<QWidget*>(notes->Text1),
                             static_cast<QWidget*>(notes->Text6), static_cast<QWidget*>(notes->Text9)})
            QVERIFY(!box->isEnabled());

        // Neither a move nor the close stores the dropped day or changes the day shown.
        press(notes->Data1, "First");
        press(notes->Data1, "Last");
        notes->Command1->click();
        testing::TestApp::settle();
        QCOMPARE(days(app), 2);
        QCOMPARE(stored(app, QStringLiteral("mecha1"), QStringLiteral("rowid = 2")), QStringLiteral("Rick"));
        QCOMPARE(stored(app, QStringLiteral("noteam1"), QStringLiteral("rowid = 2")), QStringLiteral("second"));
        QCOMPARE(stored(app, QStringLiteral("DateNow"), QStringLiteral("rowid = 2")), QStringLiteral("2004-12-07"));
    }

    void cancelWithNoDayBeforeLeavesNothing()
    {
        testing::TestApp app;
        Notes* notes = openNotes();
        QVERIFY(notes);
        notes->Command2->click();
        QTest::keyClicks(notes->MaskEdBox1, QStringLiteral("12082004"));
        notes->Text5->setText(QStringLiteral("Luis"));
        notes->Command4->click();
        QCOMPARE(notes->Text5->text(), QString());
        QCOMPARE(notes->Text2->text(), QString());
        notes->Command1->click();
        testing::TestApp::settle();
        QCOMPARE(days(app), 0);
    }

    // The program ending while a new day is half made keeps the day before as it was.
    void programExitWhileAddingKeepsTheDayBefore()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Dave"), QStringLiteral("first"));
        auto& screens = ui::ScreenRegistry::instance();
        screens.show(QStringLiteral("MainMenu"));
        Notes* notes = openNotes();
        QVERIFY(notes);
        notes->Command2->click();
        QTest::keyClicks(notes->MaskEdBox1, QStringLiteral("12082004"));
        notes->Text3->setText(QStringLiteral("Nobody"));
        notes->Text1->setPlainText(QStringLiteral("half made"));
        auto* exitButton = screens.control<QPushButton>(QStringLiteral("MainMenu"), QStringLiteral("Command7"));
        QVERIFY(exitButton);
        exitButton->click();
        QVERIFY(app.quitRequested());
        QCOMPARE(days(app), 1);
        QCOMPARE(stored(app, QStringLiteral("mecha1"), QStringLiteral("rowid = 1")), QStringLiteral("Dave"));
        QCOMPARE(stored(app, QStringLiteral("noteam1"), QStringLiteral("rowid = 1")), QStringLiteral("first"));
    }

    void daysOfOneDateKeepTheirOrder()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-07"), QStringLiteral("First"), QString());
        storeDay(app, QStringLiteral("2004-12-06"), QStringLiteral("Second"), QString());
        storeDay(app, QStringLiteral("2004-12-07"), QStringLiteral("Third"), QString());
        Notes* notes = openNotes();
        QVERIFY(notes);
        QStringList seen{notes->Text3->text()};
        for (int i = 0; i < 2; ++i) {
            press(notes->Data1, "Next");
            seen << notes->Text3->text();
        }
        QCOMPARE(seen, (QStringList{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")}));
    }
};

QTEST_MAIN(TestNotes)
#include "test_notes.moc"

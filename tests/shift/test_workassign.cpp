// The work assignment sheet driven through its controls: New Day with the
// quick fill from two weeks, Clear, Save, Cancel and Exit, the date checks,
// and that opening or leaving the screen never changes a stored day.
#include "support/TestApp.h"

#include "shift/WorkAssign.h"
#include "ui/MaskedDateEdit.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using shift::WorkAssign;

namespace {

WorkAssign* openSheet()
{
    return qobject_cast<WorkAssign*>(ui::ScreenRegistry::instance().show(QStringLiteral("WorkAssign")));
}

void press(ui::RecordSource* source, const char* button, int times = 1)
{
    auto* b = source->findChild<QToolButton*>(QString::fromLatin1(button));
    QVERIFY(b);
    for (int i = 0; i < times; ++i)
        b->click();
}

QVariant stored(testing::TestApp& app, int row, const QString& field)
{
    return app.scalar(QStringLiteral("SELECT \"%1\" FROM WAssign WHERE rowid = %2").arg(field).arg(row));
}

int dayCount(testing::TestApp& app)
{
    return app.scalar(QStringLiteral("SELECT count(*) FROM WAssign")).toInt();
}

void addDay(testing::TestApp& app, const QString& date, const QString& job1, const QString& job2)
{
    QVERIFY(app.exec(
        QStringLiteral("INSERT INTO WAssign (DateNow, \"1W\", \"2W\", \"1M\") VALUES ('%1', '%2', '%3', 'Dave')")
            .arg(date, job1, job2)));
}

} // namespace

class TestWorkAssign : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void newDayQuickFillClearAndSave()
    {
        testing::TestApp app;
        // Weeks 3 and 7 made tellable apart, so each half shows where it came from.
        for (int i = 1; i <= 20; ++i) {
            QVERIFY(app.exec(QStringLiteral("UPDATE WList SET WL%1 = 'Week 3 job %1' WHERE Weekno = 3").arg(i)));
            QVERIFY(app.exec(QStringLiteral("UPDATE WList SET WL%1 = 'Week 7 job %1' WHERE Weekno = 7").arg(i)));
        }
        QVERIFY(app.exec(QStringLiteral("UPDATE WList SET WL4 = '' WHERE Weekno = 3")));
        WorkAssign* s = openSheet();
        QVERIFY(s);
        QVERIFY(s->Text21->isVisible() && !s->Text21->isEnabled());
        QVERIFY(!s->MaskEdBox2->isVisible() && !s->Data2->isVisible() && !s->Command4->isVisible());

        s->Command2->click();
        QVERIFY(s->isAdding());
        QVERIFY(!s->Text21->isVisible());
        QVERIFY(s->MaskEdBox2->isVisible() && s->MaskEdBox2->isEnabled());
        QCOMPARE(s->MaskEdBox2->maskedText(), QStringLiteral("__/__/____"));
        QVERIFY(s->Label22->isVisible() && s->Label27->isVisible() && s->Label28->isVisible());
        QVERIFY(s->Command3->isVisible() && s->Command4->isVisible());
        QVERIFY(s->Data2->isVisible() && s->Data3->isVisible());
        QVERIFY(!s->Command5->isVisible() && !s->Label23->isVisible() && !s->Label24->isVisible());
        QVERIFY(s->Text[0]->isEnabled() && s->Text[19]->isEnabled());
        // No step to another day or second new day while this one is pending.
        QVERIFY(!s->Data1->isEnabled() && !s->Command2->isEnabled());

        press(s->Data2, "Next", 2);
        QCOMPARE(s->Label24->text(), QStringLiteral("3"));
        QVERIFY(s->Command5->isVisible() && s->Label23->isVisible() && s->Label24->isVisible());
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Week 3 job 1"));
        QCOMPARE(s->Text[3]->text(), QString()); // an empty item empties its box
        QCOMPARE(s->Text[9]->text(), QStringLiteral("Week 3 job 10"));
        QCOMPARE(s->Text[10]->text(), QString()); // the other half waits for its own list
        QVERIFY(!s->Command6->isVisible());

        press(s->Data3, "Next", 6);
        QCOMPARE(s->Label26->text(), QStringLiteral("7"));
        QCOMPARE(s->Text[10]->text(), QStringLiteral("Week 7 job 11"));
        QCOMPARE(s->Text[19]->text(), QStringLiteral("Week 7 job 20"));
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Week 3 job 1"));

        // Clear empties its half only and hides its own button and week number.
        s->Text[0]->setText(QStringLiteral("Typed over"));
        s->Command5->click();
        for (int i = 0; i < 10; ++i)
            QCOMPARE(s->Text[i]->text(), QString());
        QVERIFY(!s->Command5->isVisible() && !s->Label23->isVisible() && !s->Label24->isVisible());
        QVERIFY(s->Command6->isVisible() && s->Label26->isVisible());
        QCOMPARE(s->Text[10]->text(), QStringLiteral("Week 7 job 11"));

        // Moving the list again fills the half anew.
        press(s->Data2, "Previous");
        press(s->Data2, "Next");
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Week 3 job 1"));
        s->Text[11]->setText(QStringLiteral("Replace sweep belt on lane 12"));
        QTest::keyClicks(s->MaskEdBox2, QStringLiteral("12072004"));
        QCOMPARE(s->MaskEdBox2->maskedText(), QStringLiteral("12/07/2004"));
        s->Command4->click();

        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(dayCount(app), 1);
        QCOMPARE(stored(app, 1, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-07"));
        for (int i = 1; i <= 20; ++i) {
            QString expected =
                i <= 10 ? QStringLiteral("Week 3 job %1").arg(i) : QStringLiteral("Week 7 job %1").arg(i);
            if (i == 4)
                expected.clear();
            if (i == 12)
                expected = QStringLiteral("Replace sweep belt on lane 12");
            QCOMPARE(stored(app, 1, QStringLiteral("%1W").arg(i)).toString(), expected);
            QVERIFY(stored(app, 1, QStringLiteral("%1M").arg(i)).isNull());
        }

        // Back to browsing: the stored day read-only, the date in Text21.
        QVERIFY(!s->isAdding());
        QVERIFY(s->Text21->isVisible());
        QCOMPARE(s->Text21->text(), testing::shownDate(2004, 12, 7));
        QVERIFY(!s->MaskEdBox2->isVisible() && !s->MaskEdBox2->isEnabled());
        QVERIFY(s->Label22->isVisible());
        QVERIFY(!s->Command3->isVisible() && !s->Command4->isVisible());
        QVERIFY(!s->Command5->isVisible() && !s->Command6->isVisible());
        QVERIFY(!s->Data2->isVisible() && !s->Data3->isVisible());
        QVERIFY(!s->Label26->isVisible() && !s->Label27->isVisible() && !s->Label28->isVisible());
        QVERIFY(!s->Text[0]->isEnabled());
        QVERIFY(s->Data1->isEnabled() && s->Command2->isEnabled());

        // Leaving keeps the day exactly as saved.
        s->Command1->click();
        testing::TestApp::settle();
        QVERIFY(!ui::ScreenRegistry::instance().find(QStringLiteral("WorkAssign")));
        QVERIFY(ui::ScreenRegistry::instance().find(QStringLiteral("MainMenu"))->isVisible());
        QCOMPARE(dayCount(app), 1);
        QCOMPARE(stored(app, 1, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-07"));
        QCOMPARE(stored(app, 1, QStringLiteral("12W")).toString(), QStringLiteral("Replace sweep belt on lane 12"));
    }

    void openingLeavesStoredDaysAlone()
    {
        testing::TestApp app;
        addDay(app, QStringLiteral("2004-12-01"), QStringLiteral("Oil deck chains"), QStringLiteral("Check pit"));
        addDay(app, QStringLiteral("2004-12-02"), QStringLiteral("Clean camera lenses"), QString());
        addDay(app, QStringLiteral("2004-12-01"), QStringLiteral("Second sheet, same day"), QString());
        WorkAssign* s = openSheet();
        QVERIFY(s);
        // The week lists opened too, and must not have copied into the day shown.
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Oil deck chains"));
        QCOMPARE(s->Text[2]->text(), QString());
        QVERIFY(!s->Command5->isVisible() && !s->Command6->isVisible());

        // Days in the order they were added, the same date twice included.
        press(s->Data1, "Next");
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Clean camera lenses"));
        press(s->Data1, "Next");
        QCOMPARE(s->Text21->text(), testing::shownDate(2004, 12, 1));
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Second sheet, same day"));
        press(s->Data1, "First");
        s->Command1->click();
        testing::TestApp::settle();

        QCOMPARE(dayCount(app), 3);
        QCOMPARE(stored(app, 1, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-01"));
        QCOMPARE(stored(app, 1, QStringLiteral("3W")).toString(), QString());
        QCOMPARE(stored(app, 2, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-02"));
        QCOMPARE(stored(app, 3, QStringLiteral("1W")).toString(), QStringLiteral("Second sheet, same day"));
        QCOMPARE(stored(app, 3, QStringLiteral("1M")).toString(), QStringLiteral("Dave"));
        QVERIFY(app.messages().seen.isEmpty());
    }

    void refusesMissingOrImpossibleDate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("untouched") << QString() << QStringLiteral("__/__/____")
                                   << QStringLiteral("A date is required!");
        QTest::newRow("month 13") << QStringLiteral("13452004") << QStringLiteral("13/45/2004")
                                  << QStringLiteral("\"13/45/2004\" is not a real date. Enter the day as MM/DD/YYYY.");
        QTest::newRow("30 February") << QStringLiteral("02302005") << QStringLiteral("02/30/2005")
                                     << QStringLiteral(
                                            "\"02/30/2005\" is not a real date. Enter the day as MM/DD/YYYY.");
        QTest::newRow("half typed") << QStringLiteral("120") << QStringLiteral("12/0_/____")
                                    << QStringLiteral(
                                           "\"12/0_/____\" is not a real date. Enter the day as MM/DD/YYYY.");
    }

    void refusesMissingOrImpossibleDate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        testing::TestApp app;
        WorkAssign* s = openSheet();
        QVERIFY(s);
        s->Command2->click();
        QTest::keyClicks(s->MaskEdBox2, typed);
        s->Text[0]->setText(QStringLiteral("Check deck chains"));

        // Save, Exit and closing the window all refuse, and keep what was typed.
        s->Command4->click();
        s->Command1->click();
        s->close();
        testing::TestApp::settle();
        QCOMPARE(app.messages().texts(), QStringList({message, message, message}));
        QCOMPARE(app.messages().seen.first().icon, typed.isEmpty() ? ui::Icon::None : ui::Icon::Exclamation);
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Tarrowby Stopwell"));
        QCOMPARE(ui::ScreenRegistry::instance().find(QStringLiteral("WorkAssign")), s);
        QVERIFY(s->isAdding());
        QVERIFY(s->Command4->isVisible() && s->Command3->isVisible());
        QVERIFY(s->MaskEdBox2->isVisible() && s->MaskEdBox2->isEnabled());
        QCOMPARE(s->MaskEdBox2->maskedText(), shown);
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Check deck chains"));
        QVERIFY(s->Text[0]->isEnabled());
        QCOMPARE(dayCount(app), 0);

        // Corrected, the same day is stored.
        s->MaskEdBox2->clear();
        s->MaskEdBox2->setCursorPosition(0);
        QTest::keyClicks(s->MaskEdBox2, QStringLiteral("12082004"));
        s->Command4->click();
        QCOMPARE(dayCount(app), 1);
        QCOMPARE(stored(app, 1, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-08"));
        QCOMPARE(stored(app, 1, QStringLiteral("1W")).toString(), QStringLiteral("Check deck chains"));
    }

    void cancelReturnsToTheDayBefore()
    {
        testing::TestApp app;
        addDay(app, QStringLiteral("2004-12-01"), QStringLiteral("Oil deck chains"), QStringLiteral("Check pit"));
        addDay(app, QStringLiteral("2004-12-02"), QStringLiteral("Clean camera lenses"), QString());
        WorkAssign* s = openSheet();
        QVERIFY(s);
        press(s->Data1, "Next");
        s->Command2->click();
        press(s->Data2, "Next");
        QTest::keyClicks(s->MaskEdBox2, QStringLiteral("12092004"));
        s->Command3->click();

        QVERIFY(!s->isAdding());
        QCOMPARE(s->Text21->text(), testing::shownDate(2004, 12, 2));
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Clean camera lenses"));
        QCOMPARE(s->Text[1]->text(), QString());
        QVERIFY(!s->Label22->isVisible() && !s->Command4->isVisible() && !s->Data2->isVisible());
        QVERIFY(s->Text21->isVisible() && !s->Text[0]->isEnabled());

        // Neither a move nor Exit afterwards stores the dropped day or touches the one shown.
        press(s->Data1, "First");
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Oil deck chains"));
        press(s->Data1, "Last");
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Clean camera lenses"));
        s->Command1->click();
        testing::TestApp::settle();
        QCOMPARE(dayCount(app), 2);
        QCOMPARE(stored(app, 2, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-02"));
        QCOMPARE(stored(app, 2, QStringLiteral("1W")).toString(), QStringLiteral("Clean camera lenses"));
        QCOMPARE(stored(app, 2, QStringLiteral("2W")).toString(), QString());
        QVERIFY(app.messages().seen.isEmpty());
    }

    void exitWhileAdding()
    {
        testing::TestApp app;
        auto& screens = ui::ScreenRegistry::instance();
        // A new day with nothing in it is simply dropped.
        WorkAssign* s = openSheet();
        QVERIFY(s);
        s->Command2->click();
        s->Command1->click();
        testing::TestApp::settle();
        QVERIFY(!screens.find(QStringLiteral("WorkAssign")));
        QVERIFY(screens.find(QStringLiteral("MainMenu"))->isVisible());
        QCOMPARE(dayCount(app), 0);

        // One with a date is stored, with that date, whether by Exit or the window's close.
        for (const bool byFrame : {false, true}) {
            s = openSheet();
            QVERIFY(s);
            s->Command2->click();
            QTest::keyClicks(s->MaskEdBox2, byFrame ? QStringLiteral("12112004") : QStringLiteral("12102004"));
            s->Text[4]->setText(QStringLiteral("Blow out pin detectors"));
            if (byFrame)
                s->close();
            else
                s->Command1->click();
            testing::TestApp::settle();
            QVERIFY(!screens.find(QStringLiteral("WorkAssign")));
            QVERIFY(screens.find(QStringLiteral("MainMenu"))->isVisible());
        }
        QCOMPARE(dayCount(app), 2);
        QCOMPARE(stored(app, 1, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-10"));
        QCOMPARE(stored(app, 2, QStringLiteral("DateNow")).toString(), QStringLiteral("2004-12-11"));
        QCOMPARE(stored(app, 2, QStringLiteral("5W")).toString(), QStringLiteral("Blow out pin detectors"));
        QVERIFY(app.messages().seen.isEmpty());
    }

    void repaintHidesClearButtonsAndWeekNumbers()
    {
        testing::TestApp app;
        WorkAssign* s = openSheet();
        QVERIFY(s);
        s->Command2->click();
        press(s->Data2, "Next");
        press(s->Data3, "Next");
        QVERIFY(s->Command5->isVisible() && s->Command6->isVisible() && s->Label24->isVisible());
        const QString copied = s->Text[0]->text();
        QVERIFY(!copied.isEmpty());

        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(s, &activate);
        QVERIFY(!s->Command5->isVisible() && !s->Command6->isVisible());
        QVERIFY(!s->Label23->isVisible() && !s->Label24->isVisible());
        QVERIFY(!s->Label25->isVisible() && !s->Label26->isVisible());
        QCOMPARE(s->Text[0]->text(), copied);
        QVERIFY(s->Label27->isVisible() && s->Data2->isVisible() && s->isAdding());

        // The next move of a list brings its own button and number back.
        press(s->Data2, "Next");
        QVERIFY(s->Command5->isVisible() && s->Label24->isVisible());
        QVERIFY(!s->Command6->isVisible());
        s->Command3->click();
    }
};

QTEST_MAIN(TestWorkAssign)
#include "test_workassign.moc"

// The daily frame count screen driven through its controls, modeless through
// the registry and modal from the main menu, with the days read back from the
// database file.
#include "support/TestApp.h"

#include "shift/FrameCount.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Pointer.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using shift::FrameCount;

namespace {

const QString kNoDate = QStringLiteral("You must enter a date!");

FrameCount* openCounts()
{
    return qobject_cast<FrameCount*>(ui::ScreenRegistry::instance().show(QStringLiteral("FrameCount")));
}

void storeDay(testing::TestApp& app, const QString& date, int open, int total)
{
    QVERIFY(app.exec(QStringLiteral("INSERT INTO Frames (DateNow, Open, League, Rent, Misc, total) "
                                    "VALUES ('%1', %2, 200, 30, 4, %3)")
                         .arg(date)
                         .arg(open)
                         .arg(total)));
}

void press(ui::RecordSource* source, const char* button)
{
    auto* b = source->findChild<QToolButton*>(QString::fromLatin1(button));
    QVERIFY(b);
    b->click();
}

int days(testing::TestApp& app)
{
    return app.scalar(QStringLiteral("SELECT count(*) FROM Frames")).toInt();
}

QString row(testing::TestApp& app, int rowid)
{
    return app
        .scalar(QStringLiteral("SELECT DateNow || ' ' || ifnull(Open, '-') || ' ' || ifnull(League, '-') || ' ' || "
                               "ifnull(Rent, '-') || ' ' || ifnull(Misc, '-') || ' ' || ifnull(total, '-') "
                               "FROM Frames WHERE rowid = %1")
                    .arg(rowid))
        .toString();
}

void typeCounts(FrameCount* counts, const QStringList& values)
{
    const QList<QLineEdit*> boxes{counts->Text1, counts->Text2, counts->Text3, counts->Text4};
    for (int i = 0; i < 4; ++i) {
        boxes[i]->clear();
        QTest::keyClicks(boxes[i], values.at(i));
    }
}

} // namespace

class TestFrameCount : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void nothingIsTypedBeforeThereIsADay()
    {
        testing::TestApp app;
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        for (QLineEdit* box : {counts->Text1, counts->Text2, counts->Text3, counts->Text4, counts->Text6})
            QVERIFY(!box->isEnabled());
        counts->Command2->click();
        for (QLineEdit* box : {counts->Text1, counts->Text2, counts->Text3, counts->Text4, counts->Text6})
            QVERIFY(box->isEnabled());
        counts->Command4->click();
        QVERIFY(!counts->Text1->isEnabled());
    }

    void newDateStartsWithZeroCounts()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), 1000, 1234);
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        QCOMPARE(counts->windowTitle(), QStringLiteral("Daily Machine Frame Count"));
        QCOMPARE(counts->Data1->caption(), QStringLiteral("Move Date"));
        QCOMPARE(counts->Label8->text(), testing::shownDate(2004, 12, 6));
        QCOMPARE(counts->Text1->text(), QStringLiteral("1000"));
        QCOMPARE(counts->Text6->text(), QStringLiteral("1234"));
        QVERIFY(!counts->MaskEdBox1->isVisible() && !counts->Command3->isVisible() && !counts->Command4->isVisible());
        QVERIFY(counts->Command5->isVisible());

        counts->Command2->click();
        QVERIFY(counts->MaskEdBox1->isVisible() && !counts->Label8->isVisible());
        QCOMPARE(counts->focusWidget(), counts->MaskEdBox1);
        QCOMPARE(counts->MaskEdBox1->maskedText(), QStringLiteral("__/__/____"));
        for (QLineEdit* box : {counts->Text1, counts->Text2, counts->Text3, counts->Text4})
            QCOMPARE(box->text(), QStringLiteral("0"));
        QCOMPARE(counts->Text6->text(), QString());
        QVERIFY(counts->Command3->isVisible() && counts->Command4->isVisible());
        QVERIFY(!counts->Command2->isEnabled() && !counts->Data1->isEnabled());
    }

    void plusAddsTheCounts_data()
    {
        QTest::addColumn<QString>("typed"); // the four counts, split by '|'
        QTest::addColumn<QString>("total");
        QTest::newRow("four counts") << "10|20|30|40"
                                     << "100";
        QTest::newRow("all empty: total kept") << "|||"
                                               << "7";
        QTest::newRow("empty adds as 0") << "5|||12"
                                         << "17";
        QTest::newRow("zeros") << "0|0|0|0"
                               << "0";
        QTest::newRow("only digits are typed") << "1a2|-3|4.5|6 7"
                                               << "127";
        QTest::newRow("the most a total holds") << "999999999|999999999|147483647|2"
                                                << "2147483647";
        // More than the total field holds: refused with the limit named, the total kept.
        QTest::newRow("nine digits each") << "999999999|999999999|999999999|999999999"
                                          << "7";
        QTest::newRow("six hundred million each") << "600000000|600000000|600000000|600000000"
                                                  << "7";
    }
    void plusAddsTheCounts()
    {
        QFETCH(QString, typed);
        QFETCH(QString, total);
        testing::TestApp app;
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        counts->Command2->click();
        typeCounts(counts, typed.split(QLatin1Char('|')));
        counts->Text6->setText(QStringLiteral("7"));
        counts->Command5->click();
        QCOMPARE(counts->Text6->text(), total);
        const bool refused = total == QLatin1String("7") && typed.startsWith(QLatin1String("9"));
        const bool tooMany = typed.startsWith(QLatin1String("6")) || refused;
        QCOMPARE(app.messages().seen.size(), tooMany ? 1 : 0);
        if (tooMany) {
            const QString text = app.messages().seen.first().text;
            QVERIFY2(text.contains(QLocale().toString(2147483647)), qPrintable(text));
            QCOMPARE(app.messages().seen.first().icon, ui::Icon::Exclamation);
        }
    }

    // Counts the total cannot hold are refused at Save, and the modal window
    // can still be left: Cancel drops the day, or the counts are put right.
    void countsTheTotalCannotHoldNeverTrapTheUser()
    {
        testing::TestApp app;
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        counts->Command2->click();
        QTest::keyClicks(counts->MaskEdBox1, QStringLiteral("12082026"));
        typeCounts(counts, {QStringLiteral("600000000"), QStringLiteral("600000000"), QStringLiteral("600000000"),
                            QStringLiteral("600000000")});
        counts->Command3->click();
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM Frames")).toInt(), 0);
        counts->Text4->clear();
        QTest::keyClicks(counts->Text4, QStringLiteral("5"));
        counts->Command3->click();
        QCOMPARE(app.scalar(QStringLiteral("SELECT total FROM Frames")).toLongLong(), 1800000005);

        // A total typed by hand past the limit: Exit says why and still lets the user go.
        counts->Text6->setText(QStringLiteral("9999999999"));
        app.messages().answers.enqueue(ui::Answer::Ok);
        app.messages().answers.enqueue(ui::Answer::Yes);
        counts->Command1->click();
        testing::TestApp::settle();
        QVERIFY(app.messages().seen.at(1).text.contains(QLatin1String("2147483647")));
        QCOMPARE(app.messages().seen.at(2).buttons, ui::Buttons::YesNo);
        QCOMPARE(ui::ScreenRegistry::instance().find(QStringLiteral("FrameCount")), nullptr);
        QCOMPARE(app.scalar(QStringLiteral("SELECT total FROM Frames")).toLongLong(), 1800000005);
    }

    void saveAddsUpAndStores()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), 1000, 1234);
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        counts->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(counts));
        counts->Command2->click();
        QTest::keyClicks(counts->MaskEdBox1, QStringLiteral("12072004"));
        QVERIFY(counts->Label6->isVisible());
        counts->Text1->setFocus();
        typeCounts(counts, {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("40")});
        QVERIFY(!counts->Label6->isVisible());         // the date entry lost the focus
        counts->Text6->setText(QStringLiteral("999")); // stale total typed by hand
        counts->Command3->click();

        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(days(app), 2);
        QCOMPARE(row(app, 2), QStringLiteral("2004-12-07 10 20 30 40 100"));
        QCOMPARE(counts->Text6->text(), QStringLiteral("100"));
        QCOMPARE(counts->Label8->text(), testing::shownDate(2004, 12, 7));
        QVERIFY(counts->Label8->isVisible() && !counts->MaskEdBox1->isVisible());
        QVERIFY(!counts->Command3->isVisible() && !counts->Command4->isVisible());
        QCOMPARE(counts->focusWidget(), counts->Command1);
        QVERIFY(counts->Command2->isEnabled() && counts->Data1->isEnabled());

        // Found again with the bar; edits of a stored day are written back by a move.
        press(counts->Data1, "First");
        QCOMPARE(counts->Label8->text(), testing::shownDate(2004, 12, 6));
        counts->Text4->setText(QStringLiteral("5"));
        press(counts->Data1, "Next");
        QCOMPARE(counts->Text1->text(), QStringLiteral("10"));
        QCOMPARE(row(app, 1), QStringLiteral("2004-12-06 1000 200 30 5 1234"));
    }

    void saveNeedsARealDate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("no date") << "" << kNoDate;
        QTest::newRow("impossible date") << "13452004"
                                         << "\"13/45/2004\" is not a real date. Enter the day as MM/DD/YYYY.";
        QTest::newRow("date not finished") << "1207"
                                           << "\"12/07/____\" is not a real date. Enter the day as MM/DD/YYYY.";
    }
    void saveNeedsARealDate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        testing::TestApp app;
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        counts->Command2->click();
        QTest::keyClicks(counts->MaskEdBox1, typed);
        typeCounts(counts, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
        counts->Command3->click();
        QCOMPARE(app.messages().texts(), QStringList{message});
        QCOMPARE(days(app), 0);
        QVERIFY(counts->Data1->Recordset().isNew());
        QVERIFY(counts->MaskEdBox1->isVisible());
        QCOMPARE(counts->focusWidget(), counts->MaskEdBox1);
        QCOMPARE(counts->Text1->text(), QStringLiteral("1"));
    }

    void aRepaintHidesSaveUntilADateKey()
    {
        testing::TestApp app;
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        counts->Command2->click();
        QVERIFY(counts->Command3->isVisible());
        counts->resize(counts->width() + 20, counts->height()); // the window is painted again
        QVERIFY(!counts->Command3->isVisible());
        QTest::keyClicks(counts->MaskEdBox1, QStringLiteral("1"));
        QVERIFY(counts->Command3->isVisible());
    }

    void cancelReturnsToTheDayBefore()
    {
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), 1000, 1234);
        storeDay(app, QStringLiteral("2004-12-07"), 2000, 2234);
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        press(counts->Data1, "Last");
        counts->Command2->click();
        QTest::keyClicks(counts->MaskEdBox1, QStringLiteral("12082004"));
        counts->Command4->click();

        QCOMPARE(counts->Label8->text(), testing::shownDate(2004, 12, 7));
        QCOMPARE(counts->Text1->text(), QStringLiteral("2000"));
        QCOMPARE(counts->Text6->text(), QStringLiteral("2234"));
        QVERIFY(counts->Label8->isVisible() && !counts->MaskEdBox1->isVisible());
        QVERIFY(!counts->Command3->isVisible() && !counts->Command4->isVisible());
        QCOMPARE(counts->focusWidget(), counts->Command1);
        press(counts->Data1, "First");
        press(counts->Data1, "Last");
        counts->Command1->click();
        testing::TestApp::settle();
        QCOMPARE(days(app), 2);
        QCOMPARE(row(app, 2), QStringLiteral("2004-12-07 2000 200 30 4 2234"));
    }

    // Exit stores a new day as typed (without adding up), and only with a real date.
    void exitWhileAdding_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("open");
        QTest::addColumn<bool>("repaint");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored");
        QTest::newRow("save shown") << "12082004"
                                    << "15" << false << ""
                                    << "2004-12-08 15 0 0 0 -";
        QTest::newRow("save hidden by a repaint") << "12082004"
                                                  << "15" << true << ""
                                                  << "2004-12-08 15 0 0 0 -";
        QTest::newRow("nothing typed") << ""
                                       << "0" << false << ""
                                       << "";
        QTest::newRow("counts but no date") << ""
                                            << "15" << false << kNoDate << "";
        QTest::newRow("counts but no date, save hidden") << ""
                                                         << "15" << true << kNoDate << "";
        QTest::newRow("impossible date") << "02302004"
                                         << "15" << false
                                         << "\"02/30/2004\" is not a real date. Enter the day as MM/DD/YYYY."
                                         << "";
    }
    void exitWhileAdding()
    {
        QFETCH(QString, typed);
        QFETCH(QString, open);
        QFETCH(bool, repaint);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        testing::TestApp app;
        storeDay(app, QStringLiteral("2004-12-06"), 1000, 1234);
        FrameCount* counts = openCounts();
        QVERIFY(counts);
        counts->Command2->click();
        QTest::keyClicks(counts->MaskEdBox1, typed);
        counts->Text1->setText(open);
        if (repaint)
            counts->resize(counts->width() + 20, counts->height());
        counts->Command1->click();
        testing::TestApp::settle();

        QCOMPARE(app.messages().texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(days(app), stored.isEmpty() ? 1 : 2);
        if (!stored.isEmpty())
            QCOMPARE(row(app, 2), stored);
        QCOMPARE(row(app, 1), QStringLiteral("2004-12-06 1000 200 30 4 1234"));
        QCOMPARE(ui::ScreenRegistry::instance().find(QStringLiteral("FrameCount")) == nullptr, message.isEmpty());
    }

    void mainMenuOpensItModal()
    {
        testing::TestApp app;
        auto& screens = ui::ScreenRegistry::instance();
        screens.show(QStringLiteral("MainMenu"));
        auto* open = screens.control<QPushButton>(QStringLiteral("MainMenu"), QStringLiteral("Command16"));
        QVERIFY(open);
        bool driven = false;
        QTimer::singleShot(0, [&] {
            // Whatever is found, the screen goes, so the modal wait ends.
            const auto close = qScopeGuard([&] { screens.unload(QStringLiteral("FrameCount")); });
            auto* counts = qobject_cast<FrameCount*>(screens.find(QStringLiteral("FrameCount")));
            QVERIFY(counts);
            QCOMPARE(QApplication::activeModalWidget(), counts);
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
            counts->Command2->click();
            QTest::keyClicks(counts->MaskEdBox1, QStringLiteral("12072004"));
            typeCounts(counts,
                       {QStringLiteral("100"), QStringLiteral("250"), QStringLiteral("0"), QStringLiteral("50")});
            counts->Command3->click();
            QTest::keyClick(counts, Qt::Key_Return); // Exit is the default button
            driven = true;
        });
        open->click();
        QVERIFY(driven);
        QVERIFY(!screens.find(QStringLiteral("FrameCount")));
        QCOMPARE(ui::pointer::depth(), 0);
        QCOMPARE(days(app), 1);
        QCOMPARE(row(app, 1), QStringLiteral("2004-12-07 100 250 0 50 400"));
        QVERIFY(app.messages().seen.isEmpty());
    }
};

QTEST_MAIN(TestFrameCount)
#include "test_framecount.moc"

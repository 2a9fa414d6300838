// The main menu and the shift information screen, driven headless.
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "app/TodaysInfo.h"
#include "ui/Pointer.h"
#include "ui/ScreenRegistry.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using app::MainMenu;
using app::TodaysInfo;

namespace {

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

MainMenu* showMenu()
{
    auto* menu = static_cast<MainMenu*>(screens().show(QStringLiteral("MainMenu")));
    if (!QTest::qWaitForWindowExposed(menu))
        qWarning("main menu not exposed");
    return menu;
}

bool shown(const QString& name)
{
    ui::Screen* screen = screens().find(name);
    return screen && screen->isVisible();
}

const QString kShiftMessage = QStringLiteral("First, you must fill in today's shift information!");

} // namespace

class TestMainMenu : public QObject {
    Q_OBJECT
private slots:
    void buttonsCaptionsTooltipsAndTabOrder()
    {
        testing::TestApp app;
        MainMenu* menu = showMenu();
        QCOMPARE(menu->windowTitle(), QStringLiteral("Main Menu"));
        QCOMPARE(menu->SSFrame1->title(), QStringLiteral("Main Menu"));
        QCOMPARE(menu->Label1->text(), QStringLiteral("Tarrowby Stopwell"));
        struct Row {
            QPushButton* button;
            const char* caption;
            const char* tip;
        };
        const QList<Row> expected = {
            {menu->Command1, "&Start Logging Calls", "Opens list of calls to select from"},
            {menu->Command8, "Modify Shift &Information", "Opens screen to fill in your name"},
            {menu->Command2, "Modify Pre-Set Calls", "Modifies section 1 calls"},
            {menu->Command14, "&Modify Pre-Made Work", "Opens screen to modify pre-made work lists"},
            {menu->Command15, "Modify Passw&ords", "Opens screen to modify passwords"},
            {menu->Command12, "Daily &Work Assignments", "Opens work to be assigned"},
            {menu->Command9, "&Print Menu", "Opens menu of reports"},
            {menu->Command10, "Maintain Stops &Database", "Edit master database of stored calls"},
            {menu->Command11, "Daily &Notes", "Opens screen to make notes"},
            {menu->Command13, "Daily Work &Completed", "Opens form to fill in work that has been completed"},
            {menu->Command16, "&Enter Daily Frame Counts", "Opens screen to enter daily pinsetter frame counts"},
            {menu->Command7, "E&xit", "Exits this program"},
        };
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QPushButton* button = expected.at(i).button;
            QCOMPARE(button->text(), QString::fromLatin1(expected.at(i).caption));
            QCOMPARE(button->toolTip(), QString::fromLatin1(expected.at(i).tip));
            if (i + 1 < expected.size())
                QCOMPARE(button->nextInFocusChain(), expected.at(i + 1).button);
        }
        QCOMPARE(menu->defaultButton(), menu->Command1);
        QCOMPARE(menu->cancelButton(), menu->Command7);
        QCOMPARE(menu->mnuUtilCompact->text(), QStringLiteral("&Compact Database"));
        QCOMPARE(menu->MnuUtilBackup->text(), QStringLiteral("&Backup / Restore Database"));
        QCOMPARE(menu->MenuHelpSelection->text(), QStringLiteral("&Help"));
        QCOMPARE(menu->MenuHelpAbout->text(), QStringLiteral("&About"));
        // Starting opens no database and loads no other screen.
        QCOMPARE(screens().loaded().size(), 1);
    }

    void shiftCheckRefusesUntilMechanicOneIsNamed()
    {
        testing::TestApp app;
        MainMenu* menu = showMenu();
        for (QPushButton* button : {menu->Command1, menu->Command13}) {
            app.messages().seen.clear();
            button->click();
            QCOMPARE(app.messages().texts(), QStringList{kShiftMessage});
            const ui::Message& message = app.messages().seen.first();
            QCOMPARE(message.buttons, ui::Buttons::Ok);
            QCOMPARE(message.icon, ui::Icon::None);
            QCOMPARE(message.title, QStringLiteral("Tarrowby Stopwell"));
            QVERIFY(shown(QStringLiteral("TodaysInfo")));
            QVERIFY(!screens().find(QStringLiteral("ListOfCalls")));
            QVERIFY(!screens().find(QStringLiteral("WorkDone")));
            QCOMPARE(ui::pointer::depth(), 0);
        }
    }

    void enterStartsLoggingOnceTheShiftIsFilledIn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a name") << "Dave";
        QTest::newRow("a single blank") << " ";
    }
    void enterStartsLoggingOnceTheShiftIsFilledIn()
    {
        QFETCH(QString, name);
        testing::TestApp app;
        MainMenu* menu = showMenu();
        screens().control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text1"))->setText(name);
        QTest::keyClick(menu, Qt::Key_Return);
        QVERIFY(app.messages().seen.isEmpty());
        QVERIFY(shown(QStringLiteral("ListOfCalls")));
        menu->Command13->click();
        QVERIFY(app.messages().seen.isEmpty());
        QVERIFY(shown(QStringLiteral("WorkDone")));
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void aMissingDatabaseIsNamedAndNeverCreated()
    {
        testing::TestApp app;
        QVERIFY(QFile::remove(app.databasePath()));
        MainMenu* menu = showMenu();
        screens()
            .control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text1"))
            ->setText(QStringLiteral("Dave"));
        for (QPushButton* button : {menu->Command1, menu->Command11, menu->Command2}) {
            app.messages().seen.clear();
            button->click();
            QCOMPARE(app.messages().seen.size(), 1);
            QVERIFY2(app.messages().seen.first().text.contains(app.databasePath()),
                     qPrintable(app.messages().seen.first().text));
            QCOMPARE(screens().loaded().size(), 2); // the main menu and the shift information only
            QVERIFY(!QFile::exists(app.databasePath()));
            QCOMPARE(ui::pointer::depth(), 0);
        }
    }

    void escEndsTheProgramAtOnce()
    {
        testing::TestApp app;
        MainMenu* menu = showMenu();
        QTest::keyClick(menu, Qt::Key_Escape);
        QVERIFY(app.quitRequested());
        QVERIFY(app.messages().seen.isEmpty());
    }

    void helpAndAbout()
    {
        testing::TestApp app;
        MainMenu* menu = showMenu();
        menu->MenuHelpSelection->trigger();
        QCOMPARE(app.help().topics.size(), 1);
        menu->MenuHelpAbout->trigger();
        QVERIFY(shown(QStringLiteral("About")));
        QCOMPARE(screens().find(QStringLiteral("About"))->windowTitle(),
                 QStringLiteral("Revised on December 19, 2004"));
    }

    void shiftInformationShowsTodayAndKeepsNames()
    {
        testing::TestApp app; // Tuesday 12/07/2004
        MainMenu* menu = showMenu();
        menu->Command8->click();
        auto* info = static_cast<TodaysInfo*>(screens().find(QStringLiteral("TodaysInfo")));
        QVERIFY(info && info->isVisible());
        QCOMPARE(info->windowTitle(), QStringLiteral("Current Shift Information"));
        QCOMPARE(info->Text1->text(), QString());
        QCOMPARE(info->Label6->text(), QLocale().toString(QDate(2004, 12, 7), QLocale::LongFormat));
        QVERIFY(!info->Label1->isVisible());
        QCOMPARE(info->Label1->text(), QStringLiteral("Tuesday"));
        QCOMPARE(info->Label2->text(), QStringLiteral("3"));
        QCOMPARE(info->Text1->maxLength(), 10);
        QCOMPARE(info->Text1->accessibleName(), QStringLiteral("Mechanic # 1"));
        QCOMPARE(info->Text2->toolTip(), QStringLiteral("Enter your name here"));

        QTest::keyClicks(info->Text1, QStringLiteral("Bartholomew"));
        QCOMPARE(info->Text1->text(), QStringLiteral("Bartholome")); // the 11th letter is refused
        QTest::keyClick(info->Text1, Qt::Key_Return);                // Enter presses Exit
        QVERIFY(!info->isVisible());
        QVERIFY(menu->isVisible());
        menu->Command8->click();
        QCOMPARE(screens().find(QStringLiteral("TodaysInfo")), info);
        QCOMPARE(info->Text1->text(), QStringLiteral("Bartholome"));
        // Closing by the window frame keeps the names too.
        info->close();
        QCOMPARE(screens().find(QStringLiteral("TodaysInfo")), info);
    }

    void weekdayLabels_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("Sunday") << QDate(2004, 12, 5) << "1"
                                << "Sunday";
        QTest::newRow("Wednesday") << QDate(2004, 12, 8) << "4"
                                   << "Wednesday";
        QTest::newRow("Saturday") << QDate(2004, 12, 11) << "7"
                                  << "Saturday";
    }
    void weekdayLabels()
    {
        QFETCH(QDate, day);
        QFETCH(QString, number);
        QFETCH(QString, name);
        testing::TestApp app(QDateTime(day, QTime(23, 59)));
        auto* info = static_cast<TodaysInfo*>(screens().load(QStringLiteral("TodaysInfo")));
        info->Form_Paint();
        QCOMPARE(info->Label2->text(), number);
        QCOMPARE(info->Label1->text(), name);
        // The labels follow the clock at the next paint, not before.
        app.clock().time = app.clock().time.addSecs(120);
        QCOMPARE(info->Label1->text(), name);
        info->Form_Paint();
        QCOMPARE(info->Label1->text(), QLocale::c().dayName(day.addDays(1).dayOfWeek()));
    }
};

QTEST_MAIN(TestMainMenu)
#include "test_mainmenu.moc"

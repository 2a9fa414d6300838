// The password administration screen, driven headless through real focus
// changes and keystrokes.
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "app/MakePasswords.h"
#include "app/PasswordGate.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using app::MakePasswords;

namespace {

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

const QString kSupervisor = QStringLiteral("Boss7");
const QString kClearance = QStringLiteral("You must have supervisor clearance to change passwords!");

// A known supervisor password and a stored password for each screen.
void prepare(testing::TestApp& app)
{
    QVERIFY(app.exec(QStringLiteral("UPDATE Calls SET C1 = 'Boss7'")));
    QVERIFY(app.exec(QStringLiteral("UPDATE PWord SET assign = 'a1', dailyd = 'd4', premade = 'p2'")));
}

MakePasswords* openScreen()
{
    auto* screen = qobject_cast<MakePasswords*>(screens().show(QStringLiteral("MakePasswords")));
    if (screen && !QTest::qWaitForWindowActive(screen))
        qWarning("screen not active");
    return screen;
}

QList<QLineEdit*> sixBoxes(MakePasswords* s)
{
    return {s->Text5, s->Text10, s->Text3, s->Text8, s->Text1, s->Text6};
}

bool locked(MakePasswords* s)
{
    for (QLineEdit* box : sixBoxes(s)) {
        if (box->isEnabled())
            return false;
    }
    return true;
}

// Types into the box that has the focus, then leaves it with Tab.
void typeAndTab(MakePasswords* s, const QString& text)
{
    QWidget* box = s->focusWidget();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
}

// Opens the screen and unlocks it with the supervisor password.
MakePasswords* unlocked()
{
    MakePasswords* s = openScreen();
    if (!s)
        return nullptr;
    typeAndTab(s, kSupervisor);
    return s;
}

QString stored(testing::TestApp& app, const QString& field)
{
    return app.scalar(QStringLiteral("SELECT %1 FROM PWord").arg(field)).toString();
}

bool menuInFront()
{
    ui::Screen* menu = screens().find(QStringLiteral("MainMenu"));
    return menu && menu->isVisible();
}

} // namespace

class TestMakePasswords : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void opensLockedThenUnlocksInTabOrder()
    {
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = openScreen();
        QVERIFY(s);
        QCOMPARE(s->windowTitle(), QStringLiteral("Password Assignments"));
        QCOMPARE(s->focusWidget(), s->Text11);
        QCOMPARE(s->Text11->text(), QString());
        QVERIFY(locked(s));
        QVERIFY(!s->Text12->isVisible());
        QCOMPARE(s->Text12->text(), kSupervisor);
        QCOMPARE(s->Text5->text(), QStringLiteral("a1"));
        QCOMPARE(s->Text10->text(), QStringLiteral("a1"));
        QCOMPARE(s->Text3->text(), QStringLiteral("d4"));
        QCOMPARE(s->Text8->text(), QStringLiteral("d4"));
        QCOMPARE(s->Text1->text(), QStringLiteral("p2"));
        QCOMPARE(s->Text6->text(), QStringLiteral("p2"));
        for (QLineEdit* box : {s->Text11, s->Text5, s->Text10, s->Text3, s->Text8, s->Text1, s->Text6}) {
            QCOMPARE(box->echoMode(), QLineEdit::Password);
            QCOMPARE(box->displayText(), QString(box->text().size(), QLatin1Char('*')));
        }

        typeAndTab(s, kSupervisor);
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(app.beeps().count, 0);
        for (QLineEdit* box : sixBoxes(s))
            QVERIFY(box->isEnabled());
        QCOMPARE(QApplication::focusWidget(), s->Text5);
        QCOMPARE(s->Text5->selectedText(), QStringLiteral("a1")); // typing replaces the stored text
        QStringList order{s->Text5->objectName()};
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{QStringLiteral("Text5"), QStringLiteral("Text10"), QStringLiteral("Text3"),
                                     QStringLiteral("Text8"), QStringLiteral("Text1"), QStringLiteral("Text6"),
                                     QStringLiteral("Command1"), QStringLiteral("Command2")}));
        QCOMPARE(s->Text8->selectedText(), QString()); // left again, nothing changed
        QCOMPARE(stored(app, QStringLiteral("dailyd")), QStringLiteral("d4"));
    }

    void supervisorEntryMustMatchExactly_data()
    {
        QTest::addColumn<QString>("c1");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("unlocks");
        QTest::newRow("equal") << QStringLiteral("'Boss7'") << QStringLiteral("Boss7") << true;
        QTest::newRow("letter case") << QStringLiteral("'Boss7'") << QStringLiteral("boss7") << false;
        QTest::newRow("typed trailing blank") << QStringLiteral("'Boss7'") << QStringLiteral("Boss7 ") << false;
        QTest::newRow("stored trailing blank") << QStringLiteral("'Boss7 '") << QStringLiteral("Boss7") << false;
        QTest::newRow("leading blank") << QStringLiteral("'Boss7'") << QStringLiteral(" Boss7") << false;
        QTest::newRow("longer than a password")
            << QStringLiteral("'Pins jammed in elevator'") << QStringLiteral("Pins jammed in elevator") << true;
        QTest::newRow("empty call 1") << QStringLiteral("''") << QStringLiteral("x") << false;
        QTest::newRow("null call 1") << QStringLiteral("NULL") << QStringLiteral(" ") << false;
    }
    void supervisorEntryMustMatchExactly()
    {
        QFETCH(QString, c1);
        QFETCH(QString, typed);
        QFETCH(bool, unlocks);
        testing::TestApp app;
        prepare(app);
        QVERIFY(app.exec(QStringLiteral("UPDATE Calls SET C1 = %1").arg(c1)));
        MakePasswords* s = openScreen();
        QVERIFY(s);
        typeAndTab(s, typed);
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), s);
        if (unlocks) {
            QVERIFY(!locked(s));
            QVERIFY(app.messages().seen.isEmpty());
            QCOMPARE(QApplication::focusWidget(), s->Text5);
            return;
        }
        QVERIFY(locked(s));
        QCOMPARE(app.beeps().count, 1);
        QCOMPARE(app.messages().texts(), QStringList{kClearance});
        const ui::Message& m = app.messages().seen.first();
        QCOMPARE(m.buttons, ui::Buttons::Ok);
        QCOMPARE(m.icon, ui::Icon::Exclamation);
        QCOMPARE(m.title, QStringLiteral("Warning"));
        QCOMPARE(s->Text11->text(), QString());
        QCOMPARE(QApplication::focusWidget(), s->Text11);

        // Calling the handler itself behaves the same.
        s->Text11->setText(typed);
        s->Text11_LostFocus();
        QCOMPARE(app.beeps().count, 2);
        QCOMPARE(app.messages().seen.size(), 2);
        QVERIFY(locked(s));
    }

    void leavingTheSupervisorBoxEmptyCloses_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("tab") << QStringLiteral("tab");
        QTest::newRow("click exit") << QStringLiteral("exit");
        QTest::newRow("click save") << QStringLiteral("save");
        QTest::newRow("handler called") << QStringLiteral("call");
        QTest::newRow("after a refusal") << QStringLiteral("refused");
    }
    void leavingTheSupervisorBoxEmptyCloses()
    {
        QFETCH(QString, how);
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = openScreen();
        QVERIFY(s);
        QPointer<MakePasswords> watch = s;
        if (how == QLatin1String("tab")) {
            QTest::keyClick(s->Text11, Qt::Key_Tab);
        } else if (how == QLatin1String("exit")) {
            QTest::mouseClick(s->Command2, Qt::LeftButton);
        } else if (how == QLatin1String("save")) {
            QTest::mouseClick(s->Command1, Qt::LeftButton);
        } else if (how == QLatin1String("call")) {
            s->Text11_LostFocus();
        } else {
            typeAndTab(s, QStringLiteral("guess"));
            QCOMPARE(app.messages().texts(), QStringList{kClearance});
            app.messages().seen.clear();
            QTest::keyClick(s->Text11, Qt::Key_Tab);
        }
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), nullptr);
        QVERIFY(menuInFront());
        QVERIFY(app.messages().seen.isEmpty());
        testing::TestApp::settle();
        QVERIFY(!watch);
        QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("a1"));
    }

    void confirmBoxLeftWithAnotherEntryEmptiesTheRow_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("field");
        QTest::newRow("work assignment sheet")
            << QStringLiteral("Text5") << QStringLiteral("Text10") << QStringLiteral("assign");
        QTest::newRow("all calls recorded")
            << QStringLiteral("Text3") << QStringLiteral("Text8") << QStringLiteral("dailyd");
        QTest::newRow("pre-made work weeks")
            << QStringLiteral("Text1") << QStringLiteral("Text6") << QStringLiteral("premade");
    }
    void confirmBoxLeftWithAnotherEntryEmptiesTheRow()
    {
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(QString, field);
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = unlocked();
        QVERIFY(s);
        auto* pass = s->findChild<QLineEdit*>(password);
        auto* confirm = s->findChild<QLineEdit*>(confirmation);

        // Equal entries are kept.
        pass->setFocus();
        typeAndTab(s, QStringLiteral("Lane12"));
        QCOMPARE(QApplication::focusWidget(), confirm);
        typeAndTab(s, QStringLiteral("Lane12"));
        QCOMPARE(pass->text(), QStringLiteral("Lane12"));
        QCOMPARE(confirm->text(), QStringLiteral("Lane12"));

        // A different confirmation empties both, silently, and returns to the password box.
        pass->setFocus();
        typeAndTab(s, QStringLiteral("Lane13"));
        typeAndTab(s, QStringLiteral("lane13"));
        QCOMPARE(pass->text(), QString());
        QCOMPARE(confirm->text(), QString());
        QCOMPARE(QApplication::focusWidget(), pass);
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(app.beeps().count, 0);

        // Saving then stores an empty password for that screen only.
        QTest::mouseClick(s->Command1, Qt::LeftButton);
        const QHash<QString, QString> before{{QStringLiteral("assign"), QStringLiteral("a1")},
                                             {QStringLiteral("dailyd"), QStringLiteral("d4")},
                                             {QStringLiteral("premade"), QStringLiteral("p2")}};
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(stored(app, it.key()), it.key() == field ? QString() : it.value());
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), s);
    }

    void savedPasswordsOpenTheirGates()
    {
        testing::TestApp app;
        prepare(app);
        for (const char* name : {"WorkAssign", "WorkList", "MaintScreen"}) {
            const QString screen = QString::fromLatin1(name);
            if (!screens().knows(screen))
                screens().add(screen, [screen] { return new ui::Screen(screen, screen, QSize(200, 100)); });
        }
        MakePasswords* s = unlocked();
        QVERIFY(s);
        typeAndTab(s, QStringLiteral("Sheet1")); // Text5
        typeAndTab(s, QStringLiteral("Sheet1")); // Text10
        typeAndTab(s, QStringLiteral("Calls 2"));
        typeAndTab(s, QStringLiteral("Calls 2"));
        typeAndTab(s, QStringLiteral("Weeks3"));
        typeAndTab(s, QStringLiteral("Weeks3"));
        QCOMPARE(QApplication::focusWidget(), s->Command1);
        QTest::keyClick(s->Command1, Qt::Key_Space);
        QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("Sheet1"));
        QCOMPARE(stored(app, QStringLiteral("dailyd")), QStringLiteral("Calls 2"));
        QCOMPARE(stored(app, QStringLiteral("premade")), QStringLiteral("Weeks3"));
        QVERIFY(screens().find(QStringLiteral("MakePasswords"))); // Save keeps the screen open

        QTest::mouseClick(s->Command2, Qt::LeftButton);
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), nullptr);
        QVERIFY(menuInFront());
        QVERIFY(app.messages().seen.isEmpty());

        const struct {
            const char* gate;
            const char* password;
            const char* guarded;
        } gates[] = {{"Password1", "Sheet1", "WorkAssign"},
                     {"Password4", "Calls 2", "MaintScreen"},
                     {"Password2", "Weeks3", "WorkList"}};
        for (const auto& g : gates) {
            auto* gate = qobject_cast<app::PasswordGate*>(screens().show(QString::fromLatin1(g.gate)));
            QVERIFY(gate);
            gate->Text1->setText(QString::fromLatin1(g.password));
            gate->Command1_Click();
            QVERIFY(screens().find(QString::fromLatin1(g.guarded)));
            QCOMPARE(screens().find(QString::fromLatin1(g.gate)), nullptr);
        }
        QVERIFY(app.messages().seen.isEmpty());
    }

    // Only the password box of a row was retyped: its entry is what stays
    // stored, whatever way the screen is saved and left afterwards.
    void retypedPasswordBoxIsWhatStays_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("exit") << QStringLiteral("exit");
        QTest::newRow("save then exit") << QStringLiteral("save exit");
        QTest::newRow("save then window closed") << QStringLiteral("save close");
        QTest::newRow("window closed") << QStringLiteral("close");
        QTest::newRow("escape") << QStringLiteral("escape");
    }
    void retypedPasswordBoxIsWhatStays()
    {
        QFETCH(QString, how);
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = unlocked();
        QVERIFY(s);
        QTest::keyClicks(s->Text5, QStringLiteral("solo"));
        if (how.startsWith(QLatin1String("save"))) {
            QTest::mouseClick(s->Command1, Qt::LeftButton);
            QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("solo"));
        }
        if (how.endsWith(QLatin1String("exit")))
            QTest::mouseClick(s->Command2, Qt::LeftButton);
        else if (how.endsWith(QLatin1String("close")))
            s->close();
        else
            QTest::keyClick(s->Text5, Qt::Key_Escape);
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), nullptr);
        QVERIFY(menuInFront());
        QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("solo"));
        QCOMPARE(stored(app, QStringLiteral("dailyd")), QStringLiteral("d4"));
        QCOMPARE(stored(app, QStringLiteral("premade")), QStringLiteral("p2"));
    }

    // The main menu's Exit ends the program at once: a password that has not
    // passed its confirmation is never stored, one typed twice alike is.
    void programExitStoresOnlyConfirmedPasswords()
    {
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = unlocked();
        QVERIFY(s);
        QTest::keyClicks(s->Text5, QStringLiteral("typo"));
        s->Text3->setText(QStringLiteral("new4"));
        s->Text8->setText(QStringLiteral("new4"));
        s->Text1->setText(QStringLiteral("p9"));
        s->Text6->setText(QStringLiteral("p8"));
        auto* menu = qobject_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
        QVERIFY(menu);
        menu->Command7->click();
        QVERIFY(app.quitRequested());
        QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("a1"));
        QCOMPARE(stored(app, QStringLiteral("dailyd")), QStringLiteral("new4"));
        QCOMPARE(stored(app, QStringLiteral("premade")), QStringLiteral("p2"));
    }

    // Storing refused on Exit: the screen stays whole and usable, and once the
    // store takes the change, Exit stores it and closes.
    void aRefusedStoreLeavesTheScreenWorking()
    {
        testing::TestApp app;
        prepare(app);
        QVERIFY(app.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON PWord BEGIN SELECT RAISE(ABORT, "
                                        "'database or disk is full'); END")));
        MakePasswords* s = unlocked();
        QVERIFY(s);
        QTest::keyClicks(s->Text5, QStringLiteral("new1"));
        s->Text10->setText(QStringLiteral("new1"));
        app.messages().answers.enqueue(ui::Answer::Ok);
        app.messages().answers.enqueue(ui::Answer::No);
        s->close(); // closing by the frame stores first; "close anyway?" answered No
        testing::TestApp::settle();
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), s);
        QVERIFY(app.messages().seen.first().text.contains(QLatin1String("is full")));
        QCOMPARE(app.messages().seen.last().buttons, ui::Buttons::YesNo);
        QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("a1"));

        QVERIFY(app.exec(QStringLiteral("DROP TRIGGER refuse")));
        QTest::mouseClick(s->Command2, Qt::LeftButton);
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), nullptr);
        QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("new1"));
    }

    // Both boxes retyped and never compared (the focus never left the
    // confirm box): the password box's entry is stored.
    void bothBoxesRetypedKeepThePasswordBox()
    {
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = unlocked();
        QVERIFY(s);
        QTest::keyClicks(s->Text5, QStringLiteral("first"));
        s->Text10->setText(QStringLiteral("second"));
        s->Command1_Click();
        QCOMPARE(stored(app, QStringLiteral("assign")), QStringLiteral("first"));
        QCOMPARE(s->Text10->text(), QStringLiteral("first"));
    }

    void switchingWindowsDoesNotLeaveTheBox()
    {
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = openScreen();
        QVERIFY(s);
        ui::Screen* menu = screens().show(QStringLiteral("MainMenu"));
        QVERIFY(QTest::qWaitForWindowActive(menu));
        QVERIFY(QTest::qWaitForWindowActive(screens().show(QStringLiteral("MakePasswords"))));
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), s);
        QCOMPARE(QApplication::focusWidget(), s->Text11);
        QVERIFY(app.messages().seen.isEmpty());
    }

    // Enter and Esc press Save and Exit with the focus still in a confirm box:
    // the box is checked first, so an unconfirmed entry is never stored.
    void enterOrEscapeInAConfirmBoxChecksItFirst_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("stored");
        const QString tooLong = QStringLiteral("much too long for ten");
        const QString match = QStringLiteral("Match9");
        QTest::newRow("enter, unconfirmed") << int(Qt::Key_Return) << QString() << tooLong << QString();
        QTest::newRow("escape, unconfirmed") << int(Qt::Key_Escape) << QString() << tooLong << QString();
        QTest::newRow("enter, differing") << int(Qt::Key_Return) << match << QStringLiteral("Match8") << QString();
        QTest::newRow("enter, confirmed") << int(Qt::Key_Return) << match << match << match;
        QTest::newRow("escape, confirmed") << int(Qt::Key_Escape) << match << match << match;
    }
    void enterOrEscapeInAConfirmBoxChecksItFirst()
    {
        QFETCH(int, key);
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(QString, stored);
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = unlocked();
        QVERIFY(s);
        if (!password.isEmpty()) {
            s->Text3->setFocus();
            QTest::keyClicks(s->Text3, password);
        }
        s->Text8->setFocus();
        QTest::keyClicks(s->Text8, confirmation);
        QCOMPARE(s->Text8->text(), confirmation); // confirm boxes have no length limit
        QTest::keyClick(s->Text8, Qt::Key(key));
        QCOMPARE(::stored(app, QStringLiteral("dailyd")), stored);
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")) == nullptr, key == Qt::Key_Escape);
        QCOMPARE(::stored(app, QStringLiteral("assign")), QStringLiteral("a1"));
    }

    void passwordBoxesTakeTenCharacters()
    {
        testing::TestApp app;
        prepare(app);
        MakePasswords* s = unlocked();
        QVERIFY(s);
        for (QLineEdit* box : {s->Text5, s->Text3, s->Text1}) {
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("ABCDEFGHIJK"));
            QCOMPARE(box->text(), QStringLiteral("ABCDEFGHIJ"));
        }
        s->Text11->setFocus();
        QTest::keyClicks(s->Text11, QStringLiteral("x"));
        QCOMPARE(s->Text11->text(), kSupervisor + QStringLiteral("x")); // the supervisor box has no limit
        s->Text11->setText(kSupervisor);
        s->Text1->setFocus();
        QTest::mouseClick(s->Command1, Qt::LeftButton);
        QCOMPARE(stored(app, QStringLiteral("premade")), QStringLiteral("ABCDEFGHIJ"));
    }

    void missingRowsRefuseToUnlock_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("message");
        QTest::newRow("no password row")
            << QStringLiteral("PWord")
            << QStringLiteral("The passwords cannot be changed: the database holds no row of screen passwords.");
        QTest::newRow("no preset calls row")
            << QStringLiteral("Calls")
            << QStringLiteral("The supervisor password cannot be checked: the database holds no preset calls.");
    }
    void missingRowsRefuseToUnlock()
    {
        QFETCH(QString, table);
        QFETCH(QString, message);
        testing::TestApp app;
        prepare(app);
        QVERIFY(app.exec(QStringLiteral("DELETE FROM %1").arg(table)));
        MakePasswords* s = openScreen();
        QVERIFY(s);
        QVERIFY(locked(s));
        QCOMPARE(s->Text5->text(), table == QLatin1String("PWord") ? QString() : QStringLiteral("a1"));
        typeAndTab(s, kSupervisor);
        QCOMPARE(app.messages().texts(), QStringList{message});
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Warning"));
        QVERIFY(locked(s));
        QCOMPARE(s->Text11->text(), QString());
        QCOMPARE(QApplication::focusWidget(), s->Text11);

        // Nothing to save, nothing stored, and leaving works as usual.
        s->Command1_Click();
        QCOMPARE(app.messages().seen.size(), 1);
        s->Command2_Click();
        QCOMPARE(screens().find(QStringLiteral("MakePasswords")), nullptr);
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt(), 0);
        QCOMPARE(app.messages().seen.size(), 1);
    }
};

QTEST_MAIN(TestMakePasswords)
#include "test_makepasswords.moc"

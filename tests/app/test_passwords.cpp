// The three password gates in front of the guarded screens, driven headless.
#include "support/TestApp.h"

#include "app/PasswordGate.h"
#include "ui/Pointer.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using app::PasswordGate;

namespace {

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

QString guardedOf(const QString& gate)
{
    if (gate == QLatin1String("Password1"))
        return QStringLiteral("WorkAssign");
    if (gate == QLatin1String("Password2"))
        return QStringLiteral("WorkList");
    return QStringLiteral("MaintScreen");
}

// The guarded screens may not be part of the program yet; an empty window
// stands in for each one that is not.
void provideGuardedScreens()
{
    for (const char* name : {"WorkAssign", "WorkList", "MaintScreen"}) {
        const QString screen = QString::fromLatin1(name);
        if (!screens().knows(screen))
            screens().add(screen, [screen] { return new ui::Screen(screen, screen, QSize(200, 100)); });
    }
}

// Stores a password: an SQL expression, or "no row" for an empty table.
void storePassword(testing::TestApp& app, const QString& field, const QString& expression)
{
    if (expression == QLatin1String("no row"))
        QVERIFY(app.exec(QStringLiteral("DELETE FROM PWord")));
    else
        QVERIFY(app.exec(QStringLiteral("UPDATE PWord SET %1 = %2").arg(field, expression)));
}

PasswordGate* openGate(const QString& name)
{
    auto* gate = qobject_cast<PasswordGate*>(screens().show(name));
    if (gate && !QTest::qWaitForWindowActive(gate))
        qWarning("gate not active");
    return gate;
}

const QString kTryAgain = QStringLiteral(" Try again !!! ");

} // namespace

class TestPasswords : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void gateStartsEmptyAndHidesTyping_data()
    {
        QTest::addColumn<QString>("gate");
        QTest::newRow("work assignments") << QStringLiteral("Password1");
        QTest::newRow("pre-made work") << QStringLiteral("Password2");
        QTest::newRow("stops database") << QStringLiteral("Password4");
    }
    void gateStartsEmptyAndHidesTyping()
    {
        QFETCH(QString, gate);
        testing::TestApp app;
        PasswordGate* g = openGate(gate);
        QVERIFY(g);
        QCOMPARE(g->windowTitle(), QStringLiteral("Security Check"));
        QVERIFY(!g->Label1->isVisible());
        QCOMPARE(g->guardedScreen(), guardedOf(gate));
        QCOMPARE(g->focusWidget(), g->Text1);
        // At most ten characters, each shown as an asterisk.
        QTest::keyClicks(g->Text1, QStringLiteral("Abcdefghijkl"));
        QCOMPARE(g->Text1->text(), QStringLiteral("Abcdefghij"));
        QCOMPARE(g->Text1->displayText(), QStringLiteral("**********"));
    }

    void comparesTrimmedExactly_data()
    {
        QTest::addColumn<QString>("gate");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("opens");
        const QString p1 = QStringLiteral("Password1"), p2 = QStringLiteral("Password2"),
                      p4 = QStringLiteral("Password4");
        QTest::newRow("equal") << p1 << QStringLiteral("'Bowl9'") << QStringLiteral("Bowl9") << true;
        QTest::newRow("typed trailing blanks") << p2 << QStringLiteral("'Bowl9'") << QStringLiteral("Bowl9   ") << true;
        QTest::newRow("stored trailing blanks") << p4 << QStringLiteral("'Bowl9  '") << QStringLiteral("Bowl9") << true;
        QTest::newRow("leading blank typed") << p1 << QStringLiteral("'Bowl9'") << QStringLiteral(" Bowl9") << false;
        QTest::newRow("leading blank on both") << p4 << QStringLiteral("' Bowl9'") << QStringLiteral(" Bowl9") << true;
        QTest::newRow("letter case") << p4 << QStringLiteral("'Bowl9'") << QStringLiteral("bowl9") << false;
        QTest::newRow("tab is not a blank") << p1 << QStringLiteral("'Bowl9'") << QStringLiteral("Bowl9\t") << false;
        QTest::newRow("empty stored, empty typed") << p1 << QStringLiteral("''") << QString() << true;
        QTest::newRow("empty stored, blanks typed") << p2 << QStringLiteral("''") << QStringLiteral("   ") << true;
        QTest::newRow("empty stored, letter typed") << p4 << QStringLiteral("''") << QStringLiteral("x") << false;
        QTest::newRow("blanks stored, empty typed") << p2 << QStringLiteral("'    '") << QString() << true;
        QTest::newRow("null stored, empty typed") << p1 << QStringLiteral("NULL") << QString() << true;
        QTest::newRow("no row, empty typed") << p4 << QStringLiteral("no row") << QString() << true;
        QTest::newRow("no row, design caption typed")
            << p1 << QStringLiteral("no row") << QStringLiteral("Label1") << false;
    }
    void comparesTrimmedExactly()
    {
        QFETCH(QString, gate);
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, opens);
        testing::TestApp app;
        provideGuardedScreens();
        const char* field = gate == QLatin1String("Password1")   ? "assign"
                            : gate == QLatin1String("Password2") ? "premade"
                                                                 : "dailyd";
        storePassword(app, QString::fromLatin1(field), stored);
        PasswordGate* g = openGate(gate);
        QVERIFY(g); // the gate shows whatever is stored
        g->Text1->setText(typed);
        g->Command1_Click();
        if (opens) {
            QVERIFY(app.messages().seen.isEmpty());
            QCOMPARE(screens().find(gate), nullptr);
            QVERIFY(screens().find(guardedOf(gate)));
            QVERIFY(screens().find(guardedOf(gate))->isVisible());
        } else {
            QCOMPARE(app.messages().texts(), QStringList{kTryAgain});
            const ui::Message& m = app.messages().seen.first();
            QCOMPARE(m.buttons, ui::Buttons::Ok);
            QCOMPARE(m.icon, ui::Icon::None);
            QCOMPARE(m.title, QStringLiteral("Tarrowby Stopwell"));
            QCOMPARE(screens().find(gate), g);
            QVERIFY(g->isVisible());
            QCOMPARE(g->Text1->text(), QString());
            QCOMPARE(screens().find(guardedOf(gate)), nullptr);
        }
        // The gate only reads the password table.
        if (stored == QLatin1String("no row"))
            QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM PWord")).toInt(), 0);
    }

    void eachGateReadsItsOwnFieldAndPointer()
    {
        testing::TestApp app;
        provideGuardedScreens();
        QVERIFY(app.exec(QStringLiteral("UPDATE PWord SET assign = 'a1', premade = 'p2', dailyd = 'd4'")));
        const struct {
            const char* gate;
            const char* own;
            const char* other;
            int busy;
        } gates[] = {{"Password1", "a1", "p2", 1}, {"Password2", "p2", "d4", 1}, {"Password4", "d4", "a1", 0}};
        for (const auto& g : gates) {
            const QString name = QString::fromLatin1(g.gate);
            PasswordGate* gate = openGate(name);
            QVERIFY(gate);
            int depthAtMessage = -1;
            app.messages().onAsk = [&](const ui::Message&) { depthAtMessage = ui::pointer::depth(); };
            gate->Text1->setText(QString::fromLatin1(g.other));
            gate->Command1_Click();
            QCOMPARE(app.messages().texts(), QStringList{kTryAgain});
            QCOMPARE(depthAtMessage, g.busy);
            QCOMPARE(ui::pointer::depth(), 0);
            app.messages().seen.clear();

            gate->Text1->setText(QString::fromLatin1(g.own));
            gate->Command1_Click();
            QVERIFY(app.messages().seen.isEmpty());
            QCOMPARE(screens().find(name), nullptr);
            QVERIFY(screens().find(guardedOf(name)));
            QCOMPARE(ui::pointer::depth(), 0);
        }
        QCOMPARE(app.scalar(QStringLiteral("SELECT assign || premade || dailyd FROM PWord")).toString(),
                 QStringLiteral("a1p2d4"));
    }

    void refusalThenSecondAttemptByKeyboard()
    {
        testing::TestApp app;
        provideGuardedScreens();
        QVERIFY(app.exec(QStringLiteral("UPDATE PWord SET premade = 'Week42'")));
        PasswordGate* gate = openGate(QStringLiteral("Password2"));
        QVERIFY(gate);
        QTest::keyClicks(gate->Text1, QStringLiteral("week42"));
        QTest::keyClick(gate->Text1, Qt::Key_Return);
        QCOMPARE(app.messages().texts(), QStringList{kTryAgain});
        QCOMPARE(gate->Text1->text(), QString());
        QCOMPARE(screens().find(QStringLiteral("Password2")), gate);
        QVERIFY(gate->isVisible());
        QVERIFY(gate->Text1->hasFocus());

        QTest::keyClicks(gate->Text1, QStringLiteral("Week42"));
        QTest::keyClick(gate->Text1, Qt::Key_Return);
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(screens().find(QStringLiteral("Password2")), nullptr);
        QVERIFY(screens().find(QStringLiteral("WorkList")));
        testing::TestApp::settle();
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void cancelLeavesNoGateOpen_data()
    {
        QTest::addColumn<QString>("gate");
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("Password1 cancel") << QStringLiteral("Password1") << false;
        QTest::newRow("Password2 cancel") << QStringLiteral("Password2") << false;
        QTest::newRow("Password4 cancel") << QStringLiteral("Password4") << false;
        QTest::newRow("Password1 window closed") << QStringLiteral("Password1") << true;
    }
    void cancelLeavesNoGateOpen()
    {
        QFETCH(QString, gate);
        QFETCH(bool, byFrame);
        testing::TestApp app;
        provideGuardedScreens();
        QVERIFY(app.exec(QStringLiteral("UPDATE PWord SET assign = ''")));
        PasswordGate* g = openGate(gate);
        QVERIFY(g);
        QPointer<PasswordGate> watch = g;
        if (byFrame)
            g->close();
        else
            QTest::mouseClick(g->Command2, Qt::LeftButton);
        QCOMPARE(screens().find(gate), nullptr);
        QVERIFY(screens().find(QStringLiteral("MainMenu")));
        QVERIFY(screens().find(QStringLiteral("MainMenu"))->isVisible());
        QCOMPARE(screens().find(guardedOf(gate)), nullptr);
        QVERIFY(app.messages().seen.isEmpty());
        testing::TestApp::settle();
        QVERIFY(!watch);
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void missingGuardedScreenKeepsTheGate()
    {
        testing::TestApp app;
        screens().add(QStringLiteral("ProbeGate"), [] {
            return new PasswordGate(QStringLiteral("ProbeGate"), QStringLiteral("assign"),
                                    QStringLiteral("NoSuchScreen"), true);
        });
        QVERIFY(app.exec(QStringLiteral("UPDATE PWord SET assign = 'pin'")));
        PasswordGate* gate = openGate(QStringLiteral("ProbeGate"));
        QVERIFY(gate);
        gate->Text1->setText(QStringLiteral("pin"));
        gate->Command1_Click();
        QCOMPARE(
            app.messages().texts(),
            QStringList{QStringLiteral("The screen \"NoSuchScreen\" is not part of this version of the program yet.")});
        QCOMPARE(screens().find(QStringLiteral("ProbeGate")), gate);
        QVERIFY(gate->isVisible());
        QCOMPARE(gate->Text1->text(), QString());
        QCOMPARE(ui::pointer::depth(), 0);
        gate->Command2_Click();
        QCOMPARE(screens().find(QStringLiteral("ProbeGate")), nullptr);
    }
};

QTEST_MAIN(TestPasswords)
#include "test_passwords.moc"

// The screen frame: registry, busy pointer, masked date entry, resizing,
// select-all on focus and the message box seam.
#include "support/TestApp.h"

#include "ui/Controls.h"
#include "ui/HelpWindow.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Pointer.h"
#include "ui/ReSize.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

int g_loads = 0;

class Sample : public ui::Screen {
public:
    Sample() : ui::Screen(QStringLiteral("Sample"), QStringLiteral("Sample"), QSize(200, 100))
    {
        Text1 = ui::textBox(canvas(), QStringLiteral("Text1"), QRect(10, 10, 100, 20), 10, QStringLiteral("Name"));
        Command1 = ui::button(canvas(), QStringLiteral("Command1"), QStringLiteral("&OK"), QRect(120, 60, 70, 30));
        Command2 = ui::button(canvas(), QStringLiteral("Command2"), QStringLiteral("&Cancel"), QRect(40, 60, 70, 30));
        setDefaultButton(Command1);
        setCancelButton(Command2);
    }
    void Form_Load() override { ++g_loads; }
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
};

class Second : public ui::Screen {
public:
    Second() : ui::Screen(QStringLiteral("Second"), QStringLiteral("Second"), QSize(200, 100)) {}
};

} // namespace

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ui::ScreenRegistry::instance().add(QStringLiteral("Sample"), [] { return new Sample; });
        ui::ScreenRegistry::instance().add(QStringLiteral("Second"), [] { return new Second; });
    }

    // A screen closed or hidden hands the keyboard back to the window it was
    // opened from, and takes it from no one when it did not have it.
    void aClosedScreenGivesTheKeyboardBackToItsOpener()
    {
        testing::TestApp app;
        auto& registry = ui::ScreenRegistry::instance();
        ui::Screen* first = registry.show(QStringLiteral("Sample"));
        QTRY_COMPARE(QApplication::activeWindow(), first);
        ui::Screen* second = registry.show(QStringLiteral("Second"));
        QTRY_COMPARE(QApplication::activeWindow(), second);
        QVERIFY(registry.unload(second));
        QTRY_COMPARE(QApplication::activeWindow(), first);
        // The same for a screen that hides itself and is kept for later.
        second = registry.show(QStringLiteral("Second"));
        QTRY_COMPARE(QApplication::activeWindow(), second);
        second->hide();
        QTRY_COMPARE(QApplication::activeWindow(), first);
        QVERIFY(registry.unload(second));

        second = registry.show(QStringLiteral("Second"));
        QTRY_COMPARE(QApplication::activeWindow(), second);
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &elsewhere);
        QVERIFY(registry.unload(second));
        testing::TestApp::settle();
        QCOMPARE(QApplication::activeWindow(), &elsewhere);
        QVERIFY(registry.unload(first));
    }

    void oneInstanceLoadedOnFirstUse()
    {
        testing::TestApp app;
        auto& registry = ui::ScreenRegistry::instance();
        g_loads = 0;
        QVERIFY(!registry.find(QStringLiteral("Sample")));
        // Reading a control loads the screen hidden.
        auto* text = registry.control<QLineEdit>(QStringLiteral("Sample"), QStringLiteral("Text1"));
        QVERIFY(text);
        QCOMPARE(g_loads, 1);
        ui::Screen* screen = registry.find(QStringLiteral("Sample"));
        QVERIFY(screen && !screen->isVisible());
        QCOMPARE(registry.show(QStringLiteral("Sample")), screen);
        QVERIFY(screen->isVisible());
        QCOMPARE(g_loads, 1);
        // Unloading discards it; the next use loads it afresh in its designed state.
        text->setText(QStringLiteral("typed"));
        QVERIFY(registry.unload(QStringLiteral("Sample")));
        QVERIFY(!registry.find(QStringLiteral("Sample")));
        testing::TestApp::settle();
        auto* fresh = registry.control<QLineEdit>(QStringLiteral("Sample"), QStringLiteral("Text1"));
        QCOMPARE(fresh->text(), QString());
        QCOMPARE(g_loads, 2);
    }

    void unknownScreenSaysSo()
    {
        testing::TestApp app;
        QVERIFY(!ui::ScreenRegistry::instance().show(QStringLiteral("NoSuchScreen")));
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().seen.first().text.contains(QStringLiteral("NoSuchScreen")));
    }

    void enterPressesDefaultAndEscTheCancelButton()
    {
        testing::TestApp app;
        auto* screen = static_cast<Sample*>(ui::ScreenRegistry::instance().show(QStringLiteral("Sample")));
        int ok = 0, cancel = 0;
        connect(screen->Command1, &QPushButton::clicked, screen, [&] { ++ok; });
        connect(screen->Command2, &QPushButton::clicked, screen, [&] { ++cancel; });
        screen->Text1->setFocus();
        QTest::keyClick(screen->Text1, Qt::Key_Return);
        QCOMPARE(ok, 1);
        QTest::keyClick(screen->Text1, Qt::Key_Escape);
        QCOMPARE(cancel, 1);
        // Enter on a button with the focus presses that button.
        screen->Command2->setFocus();
        QTest::keyClick(screen->Command2, Qt::Key_Return);
        QCOMPARE(cancel, 2);
        QCOMPARE(ok, 1);
    }

    void busyPointerIsCounted()
    {
        QCOMPARE(ui::pointer::depth(), 0);
        ui::pointer::hourglass();
        ui::pointer::hourglass();
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui::pointer::arrow();
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        ui::pointer::restore();
        ui::pointer::restore();
        ui::pointer::restore(); // one too many is harmless
        QCOMPARE(ui::pointer::depth(), 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        {
            ui::pointer::BusyGuard busy;
            QCOMPARE(ui::pointer::depth(), 1);
        }
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void maskedDateEntry()
    {
        ui::MaskedDateEdit edit;
        QCOMPARE(edit.maskedText(), QStringLiteral("__/__/____"));
        QVERIFY(edit.isBlank());
        QTest::keyClicks(&edit, QStringLiteral("12"));
        QCOMPARE(edit.maskedText(), QStringLiteral("12/__/____"));
        QVERIFY(!edit.isBlank());
        QVERIFY(!edit.date().isValid());
        QTest::keyClicks(&edit, QStringLiteral("072004"));
        QCOMPARE(edit.date(), QDate(2004, 12, 7));
        edit.setMaskedText(QStringLiteral("__/__/____"));
        QVERIFY(edit.isBlank());
        // Letters are not taken.
        QTest::keyClicks(&edit, QStringLiteral("ab"));
        QVERIFY(edit.isBlank());
        int keys = 0;
        connect(&edit, &ui::MaskedDateEdit::keyDown, &edit, [&] { ++keys; });
        QTest::keyClick(&edit, Qt::Key_1);
        QCOMPARE(keys, 1);
    }

    void reSizeScalesControlsInProportion()
    {
        testing::TestApp app;
        auto* screen = static_cast<Sample*>(ui::ScreenRegistry::instance().show(QStringLiteral("Sample")));
        QTest::qWait(10);
        QCOMPARE(screen->Text1->geometry(), QRect(10, 10, 100, 20));
        screen->resize(400, 200);
        QTest::qWait(10);
        QCOMPARE(screen->Text1->geometry(), QRect(20, 20, 200, 40));
        screen->resize(200, 100);
        QTest::qWait(10);
        QCOMPARE(screen->Command1->geometry(), QRect(120, 60, 70, 30));
    }

    // A window designed larger than the display opens scaled down to fit it,
    // in proportion, its lettering with it; a smaller one opens as designed.
    void aWindowLargerThanTheDisplayFitsIt()
    {
        testing::TestApp app;
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize design(free.width() * 2, free.height());
        ui::Screen big(QStringLiteral("Big"), QStringLiteral("Big"), design);
        QLabel* text = ui::label(big.canvas(), QStringLiteral("Label1"), QStringLiteral("Deck chain off"),
                                 QRect(10, 10, design.width() / 2, 40));
        const qreal designPoints = text->font().pointSizeF();
        big.show();
        QVERIFY(QTest::qWaitForWindowExposed(&big));
        QVERIFY(big.width() <= free.width() && big.height() <= free.height());
        QVERIFY(qAbs(double(big.width()) / big.height() - double(design.width()) / design.height()) < 0.05);
        QVERIFY(qAbs(text->width() - big.canvas()->width() / 2) <= 2);
        QVERIFY(text->font().pointSizeF() < designPoints);
        QVERIFY(text->fontMetrics().horizontalAdvance(text->text()) <= text->width());

        Sample* small = static_cast<Sample*>(ui::ScreenRegistry::instance().show(QStringLiteral("Sample")));
        QVERIFY(QTest::qWaitForWindowExposed(small));
        QCOMPARE(small->canvas()->size(), QSize(200, 100));
    }

    void retypedBoxesSelectAllOnFocus()
    {
        QWidget form;
        auto* first = new QLineEdit(QStringLiteral("Dave"), &form);
        auto* second = new QLineEdit(QStringLiteral("Marco"), &form);
        ui::selectAllOnFocus(second);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        first->setFocus();
        second->setFocus();
        QCOMPARE(second->selectedText(), QStringLiteral("Marco"));
    }

    void messageBoxTakesTheApplicationTitle()
    {
        testing::TestApp app;
        ui::msgBox(QStringLiteral("Hello"));
        ui::msgBox(QStringLiteral("Careful"), ui::Buttons::Ok, ui::Icon::Exclamation, QStringLiteral("Warning"));
        QCOMPARE(app.messages().seen.at(0).title, QStringLiteral("Tarrowby Stopwell"));
        QCOMPARE(app.messages().seen.at(1).title, QStringLiteral("Warning"));
        QCOMPARE(app.messages().seen.at(1).icon, ui::Icon::Exclamation);
    }

    void realMessageBoxCanMakeTheSecondButtonTheDefault_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("expected");
        QTest::newRow("Yes/No, No") << int(ui::Buttons::YesNo) << int(ui::Answer::No) << int(QMessageBox::No);
        QTest::newRow("Yes/No/Cancel, No")
            << int(ui::Buttons::YesNoCancel) << int(ui::Answer::No) << int(QMessageBox::No);
        QTest::newRow("OK/Cancel, Cancel")
            << int(ui::Buttons::OkCancel) << int(ui::Answer::Cancel) << int(QMessageBox::Cancel);
        QTest::newRow("Yes/No, first") << int(ui::Buttons::YesNo) << -1 << int(QMessageBox::Yes);
    }
    void realMessageBoxCanMakeTheSecondButtonTheDefault()
    {
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(int, expected);
        ui::Platform::instance().reset();
        int seen = -1;
        // Enter presses the default button of the box that opened.
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = box->defaultButton() ? int(box->standardButton(box->defaultButton())) : -2;
            QTest::keyClick(box, Qt::Key_Return);
        });
        ui::Message message{QStringLiteral("Delete?"), ui::Buttons(buttons), ui::Icon::Question, {}, std::nullopt};
        if (defaultButton >= 0)
            message.defaultButton = ui::Answer(defaultButton);
        const ui::Answer answer = ui::msgBox(message);
        if (expected == QMessageBox::Yes) {
            // Without a default set, Qt picks the first accepting button.
            QCOMPARE(answer, ui::Answer::Yes);
            return;
        }
        QCOMPARE(seen, expected);
        QCOMPARE(answer, expected == QMessageBox::No ? ui::Answer::No : ui::Answer::Cancel);
    }

    void helpWindowOpensAtContentsOrSaysTheFileIsMissing()
    {
        testing::TestApp app;
        ui::HelpWindow::showTopic({});
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().seen.first().text.contains(ui::HelpWindow::helpFile()));
        QFile file(ui::HelpWindow::helpFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body><h1 id=\"contents\">Contents</h1><p>Starting a shift</p></body></html>");
        file.close();
        ui::HelpWindow::showTopic({});
        auto* window = qobject_cast<ui::HelpWindow*>(QApplication::topLevelWidgets().isEmpty() ? nullptr : [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QStringLiteral("HelpWindow") && w->isVisible())
                    return w;
            return static_cast<QWidget*>(nullptr);
        }());
        QVERIFY(window);
        auto* browser = window->findChild<QTextBrowser*>();
        QCOMPARE(browser->source().fragment(), QStringLiteral("contents"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Starting a shift")));
        window->close();
    }

    void f1OpensHelpInAnyScreen()
    {
        testing::TestApp app;
        auto* screen = static_cast<Sample*>(ui::ScreenRegistry::instance().show(QStringLiteral("Sample")));
        QVERIFY(QTest::qWaitForWindowActive(screen));
        screen->Text1->setFocus();
        QTest::keyClick(screen->Text1, Qt::Key_F1);
        QCOMPARE(app.help().topics, QStringList{QString()});
    }
};

QTEST_MAIN(TestFrame)
#include "test_frame.moc"

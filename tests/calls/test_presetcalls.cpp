// The preset calls editor: where each call is edited, the lengths, and how
// the edits reach the stored row and the board.
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "calls/Allsect.h"
#include "calls/ListOfCalls.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using calls::Allsect;
using calls::ListOfCalls;

namespace {

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

app::MainMenu* mainMenu()
{
    return static_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
}

Allsect* openEditor()
{
    mainMenu()->Command2_Click();
    auto* editor = qobject_cast<Allsect*>(screens().find(QStringLiteral("Allsect")));
    if (!editor || !editor->isVisible() || !QTest::qWaitForWindowActive(editor))
        return nullptr;
    return editor;
}

/// The text box on the same row as the label, to its right: what the user sees beside "Call # j".
QLineEdit* boxBeside(QWidget* page, const QString& caption)
{
    QLabel* label = nullptr;
    const auto labels = page->findChildren<QLabel*>();
    for (QLabel* candidate : labels) {
        if (candidate->text() == caption)
            label = candidate;
    }
    if (!label)
        return nullptr;
    QLineEdit* nearest = nullptr;
    const auto boxes = page->findChildren<QLineEdit*>();
    for (QLineEdit* box : boxes) {
        const bool sameRow = qAbs(box->geometry().center().y() - label->geometry().center().y()) <= 2;
        if (sameRow && box->x() > label->geometry().right() && (!nearest || box->x() < nearest->x()))
            nearest = box;
    }
    return nearest;
}

} // namespace

class TestPresetCalls : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void everyCallIsEditedBesideItsLabel()
    {
        testing::TestApp app;
        Allsect* editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Pre-Set Calls"));
        QCOMPARE(editor->defaultButton(), editor->Command1);
        QCOMPARE(editor->Command1->toolTip(), QStringLiteral("Save, then returns to main menu"));
        QCOMPARE(editor->SSTab1->count(), 5);
        QSet<QLineEdit*> seen;
        for (int section = 1; section <= 5; ++section) {
            QCOMPARE(editor->SSTab1->tabText(section - 1), QStringLiteral("Section %1").arg(section));
            QWidget* page = editor->SSTab1->widget(section - 1);
            for (int row = 1; row <= 20; ++row) {
                QLineEdit* box = boxBeside(page, QStringLiteral("Call # %1").arg(row));
                QVERIFY2(box, qPrintable(QStringLiteral("tab %1 call %2").arg(section).arg(row)));
                const int call = 20 * (section - 1) + row;
                QCOMPARE(box->text(), app.scalar(QStringLiteral("SELECT C%1 FROM Calls").arg(call)).toString());
                QCOMPARE(box->maxLength(), 30);
                seen.insert(box);
            }
            const QString tip = QStringLiteral("Enter a category that refers to section # %1").arg(section);
            QLineEdit* name = nullptr;
            const auto boxes = page->findChildren<QLineEdit*>();
            for (QLineEdit* box : boxes) {
                if (box->toolTip() == tip)
                    name = box;
            }
            QVERIFY(name);
            QCOMPARE(name->text(), app.scalar(QStringLiteral("SELECT S%1 FROM Calls").arg(section)).toString());
            QCOMPARE(name->maxLength(), 15);
            seen.insert(name);
        }
        QCOMPARE(seen.size(), 105);
        // The design names of the third tab run backwards.
        QWidget* third = editor->SSTab1->widget(2);
        QCOMPARE(boxBeside(third, QStringLiteral("Call # 1"))->objectName(), QStringLiteral("Text43"));
        QCOMPARE(boxBeside(third, QStringLiteral("Call # 2"))->objectName(), QStringLiteral("Text63"));
        QCOMPARE(boxBeside(third, QStringLiteral("Call # 20"))->objectName(), QStringLiteral("Text45"));
        QCOMPARE(boxBeside(editor->SSTab1->widget(4), QStringLiteral("Call # 1"))->objectName(),
                 QStringLiteral("Text105"));
    }

    void lengthsAreEnforced()
    {
        testing::TestApp app;
        Allsect* editor = openEditor();
        QVERIFY(editor);
        editor->Text[1]->clear();
        QTest::keyClicks(editor->Text[1], QString(35, QLatin1Char('x')));
        QCOMPARE(editor->Text[1]->text(), QString(30, QLatin1Char('x')));
        editor->Text[21]->clear();
        QTest::keyClicks(editor->Text[21], QString(20, QLatin1Char('y')));
        QCOMPARE(editor->Text[21]->text(), QString(15, QLatin1Char('y')));
        editor->Command1->click();
        QCOMPARE(app.scalar(QStringLiteral("SELECT C1 FROM Calls")).toString(), QString(30, QLatin1Char('x')));
        QCOMPARE(app.scalar(QStringLiteral("SELECT S1 FROM Calls")).toString(), QString(15, QLatin1Char('y')));
    }

    void editsReachTheBoard_data()
    {
        QTest::addColumn<bool>("boardOpenFirst");
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("Exit, board open") << true << false;
        QTest::newRow("Exit, board not loaded yet") << false << false;
        QTest::newRow("window frame, board open") << true << true;
    }
    void editsReachTheBoard()
    {
        QFETCH(bool, boardOpenFirst);
        QFETCH(bool, byFrame);
        testing::TestApp app;
        const QString old41 = app.scalar(QStringLiteral("SELECT C41 FROM Calls")).toString();
        if (boardOpenFirst) {
            QVERIFY(screens().show(QStringLiteral("ListOfCalls")));
            QCOMPARE(static_cast<ListOfCalls*>(screens().find(QStringLiteral("ListOfCalls")))->Label[46]->text(),
                     old41);
        }
        Allsect* editor = openEditor();
        QVERIFY(editor);
        editor->SSTab1->setCurrentIndex(2);
        QLineEdit* first = boxBeside(editor->SSTab1->widget(2), QStringLiteral("Call # 1"));
        first->setFocus();
        QTest::keyClicks(first, QStringLiteral("Deck stuck half way down"));
        editor->Text[104]->setText(QStringLiteral("Misc"));
        if (byFrame)
            editor->close();
        else
            QTest::keyClick(first, Qt::Key_Return);
        testing::TestApp::settle();

        QCOMPARE(app.scalar(QStringLiteral("SELECT C41 FROM Calls")).toString(),
                 QStringLiteral("Deck stuck half way down"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT S5 FROM Calls")).toString(), QStringLiteral("Misc"));
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM Calls")).toInt(), 1);
        QVERIFY(!screens().find(QStringLiteral("Allsect")));
        QVERIFY(screens().find(QStringLiteral("MainMenu"))->isVisible());
        auto* board = qobject_cast<ListOfCalls*>(screens().find(QStringLiteral("ListOfCalls")));
        QVERIFY(board);
        QCOMPARE(board->isVisible(), boardOpenFirst);
        // Call 1 of the third section heads the third column; section 5 names the fifth.
        QCOMPARE(board->Label[46]->text(), QStringLiteral("Deck stuck half way down"));
        QCOMPARE(board->Label[4]->text(), QStringLiteral("Misc"));
        QVERIFY(board->Label[4]->x() > board->Label[5]->x());
        QVERIFY(board->Label[46]->x() > board->Label[26]->x() && board->Label[46]->x() < board->Label[66]->x());
        QVERIFY(board->Label[46]->y() < board->Label[47]->y());
        QVERIFY(app.messages().seen.isEmpty());
    }
};

QTEST_MAIN(TestPresetCalls)
#include "test_presetcalls.moc"

// The pre-made work lists: weeks 1 to 52 stepped with the bar, edits stored
// by every move and by Exit, job boxes of 40 characters.
#include "support/TestApp.h"

#include "shift/WorkList.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using shift::WorkList;

namespace {

QString item(testing::TestApp& app, int week, int job)
{
    return app.scalar(QStringLiteral("SELECT WL%1 FROM WList WHERE Weekno = %2").arg(job).arg(week)).toString();
}

void press(WorkList* s, const char* button)
{
    auto* b = s->Data1->findChild<QToolButton*>(QString::fromLatin1(button));
    QVERIFY(b);
    b->click();
}

} // namespace

class TestWorkList : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void editsStoredByMovesAndExit()
    {
        testing::TestApp app;
        const QString week2Job1 = item(app, 2, 1);
        auto* s = qobject_cast<WorkList*>(ui::ScreenRegistry::instance().show(QStringLiteral("WorkList")));
        QVERIFY(s);
        QCOMPARE(s->Label1->text(), QStringLiteral("1"));
        QCOMPARE(s->Text[0]->text(), item(app, 1, 1));

        s->Text[2]->setText(QStringLiteral("Replace pit curtain on 7-8"));
        s->Text[19]->clear();
        press(s, "Next");
        QCOMPARE(s->Label1->text(), QStringLiteral("2"));
        QCOMPARE(item(app, 1, 3), QStringLiteral("Replace pit curtain on 7-8"));
        QCOMPARE(item(app, 1, 20), QString()); // an emptied item is stored empty
        QCOMPARE(s->Text[0]->text(), week2Job1);

        press(s, "Last");
        QCOMPARE(s->Label1->text(), QStringLiteral("52"));
        s->Text[10]->clear();
        QTest::keyClicks(s->Text[10], QString(45, QLatin1Char('x')));
        QCOMPARE(s->Text[10]->text().size(), 40);
        press(s, "Previous");
        QCOMPARE(s->Label1->text(), QStringLiteral("51"));
        QCOMPARE(item(app, 52, 11), QString(40, QLatin1Char('x')));

        s->Text[0]->setText(QStringLiteral("Check the lane 51 ball return"));
        s->Command1->click();
        testing::TestApp::settle();
        QCOMPARE(item(app, 51, 1), QStringLiteral("Check the lane 51 ball return"));
        QVERIFY(!ui::ScreenRegistry::instance().find(QStringLiteral("WorkList")));
        QVERIFY(ui::ScreenRegistry::instance().find(QStringLiteral("MainMenu"))->isVisible());

        // Weeks are neither added nor renumbered, and untouched weeks keep their lists.
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM WList")).toInt(), 52);
        QCOMPARE(app.scalar(QStringLiteral("SELECT sum(Weekno) FROM WList")).toInt(), 52 * 53 / 2);
        QCOMPARE(item(app, 2, 1), week2Job1);
        QVERIFY(app.messages().seen.isEmpty());
    }
};

QTEST_MAIN(TestWorkList)
#include "test_worklist.moc"

// Work completed: name boxes only beside assigned jobs, the quick-paste list
// of the shift's names, a click pasting it, and names stored by a move or Exit.
#include "support/TestApp.h"

#include "shift/WorkDone.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using shift::WorkDone;

namespace {

WorkDone* openScreen()
{
    return qobject_cast<WorkDone*>(ui::ScreenRegistry::instance().show(QStringLiteral("WorkDone")));
}

void setShift(const QString& first, const QString& second)
{
    auto& screens = ui::ScreenRegistry::instance();
    screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text1"))->setText(first);
    screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text2"))->setText(second);
}

/// A day whose jobs stand in the boxes numbered in `jobs`.
void addDay(testing::TestApp& app, const QString& date, const QList<int>& jobs)
{
    QStringList fields{QStringLiteral("DateNow")};
    QStringList values{QStringLiteral("'%1'").arg(date)};
    for (int job : jobs) {
        fields << QStringLiteral("\"%1W\"").arg(job);
        values << QStringLiteral("'Job %1 of %2'").arg(job).arg(date);
    }
    QVERIFY(app.exec(QStringLiteral("INSERT INTO WAssign (%1) VALUES (%2)")
                         .arg(fields.join(QLatin1Char(',')), values.join(QLatin1Char(',')))));
}

QList<int> nameBoxesShown(WorkDone* s)
{
    QList<int> shown;
    for (int i = 0; i < 20; ++i) {
        if (s->Text[i]->isVisible())
            shown << i + 1;
    }
    return shown;
}

QVariant name(testing::TestApp& app, int row, int job)
{
    return app.scalar(QStringLiteral("SELECT \"%1M\" FROM WAssign WHERE rowid = %2").arg(job).arg(row));
}

} // namespace

class TestWorkDone : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void nameBoxesOnlyBesideJobs()
    {
        testing::TestApp app;
        addDay(app, QStringLiteral("2004-12-06"), {1, 2, 3, 4, 5, 6, 7});
        addDay(app, QStringLiteral("2004-12-07"), {1, 2, 5, 20});
        addDay(app, QStringLiteral("2004-12-08"), {});
        WorkDone* s = openScreen();
        QVERIFY(s);
        QCOMPARE(s->Label25->text(), testing::shownDate(2004, 12, 6));
        QCOMPARE(s->Label[6]->text(), QStringLiteral("Job 7 of 2004-12-06"));
        QCOMPARE(nameBoxesShown(s), QList<int>({1, 2, 3, 4, 5, 6, 7}));

        auto* next = s->Data1->findChild<QToolButton*>(QStringLiteral("Next"));
        next->click();
        QCOMPARE(nameBoxesShown(s), QList<int>({1, 2, 5, 20}));
        next->click();
        QCOMPARE(nameBoxesShown(s), QList<int>());
        s->Data1->findChild<QToolButton*>(QStringLiteral("First"))->click();
        QCOMPARE(nameBoxesShown(s), QList<int>({1, 2, 3, 4, 5, 6, 7}));
    }

    void quickPasteListReadAtEveryOpening()
    {
        testing::TestApp app;
        setShift(QStringLiteral("Dave"), QString());
        WorkDone* s = openScreen();
        QVERIFY(s);
        s->Combo1_DropDown();
        QCOMPARE(s->Combo1->count(), 2);
        QCOMPARE(s->Combo1->itemText(0), QStringLiteral("Dave"));
        QCOMPARE(s->Combo1->itemText(1), QString());

        // The shift changes while the screen is open; opening the list shows it.
        setShift(QStringLiteral("Marco"), QStringLiteral("Lena"));
        s->Combo1->showPopup();
        QCOMPARE(s->Combo1->count(), 2);
        QCOMPARE(s->Combo1->itemText(0), QStringLiteral("Marco"));
        QCOMPARE(s->Combo1->itemText(1), QStringLiteral("Lena"));
        s->Combo1->hidePopup();
    }

    void clickPastesAndExitStores()
    {
        testing::TestApp app;
        addDay(app, QStringLiteral("2004-12-06"), {1, 2, 3});
        addDay(app, QStringLiteral("2004-12-07"), {1});
        QVERIFY(app.exec(QStringLiteral("UPDATE WAssign SET \"3M\" = 'Old name' WHERE rowid = 1")));
        setShift(QStringLiteral("Dave"), QStringLiteral("Marco"));
        WorkDone* s = openScreen();
        QVERIFY(s);
        QCOMPARE(s->Text[2]->text(), QStringLiteral("Old name"));

        // Nothing picked yet: a click empties the box.
        QTest::mouseClick(s->Text[2], Qt::LeftButton);
        QCOMPARE(s->Text[2]->text(), QString());

        s->Combo1_DropDown();
        s->Combo1->setCurrentIndex(1);
        QTest::mouseClick(s->Text[0], Qt::LeftButton);
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Marco"));
        s->Combo1->setCurrentIndex(0);
        QTest::mouseClick(s->Text[0], Qt::LeftButton);
        QCOMPARE(s->Text[0]->text(), QStringLiteral("Dave"));
        QTest::mouseClick(s->Text[1], Qt::RightButton);
        QCOMPARE(s->Text[1]->text(), QString());
        s->nameBoxClicked(2);
        QCOMPARE(s->Text[1]->text(), QStringLiteral("Dave"));

        // A typed name stops at ten characters, and a move stores the day left.
        s->Text[1]->clear();
        QTest::keyClicks(s->Text[1], QStringLiteral("Bartholomew"));
        QCOMPARE(s->Text[1]->text(), QStringLiteral("Bartholome"));
        s->Data1->findChild<QToolButton*>(QStringLiteral("Next"))->click();
        QCOMPARE(name(app, 1, 1).toString(), QStringLiteral("Dave"));
        QCOMPARE(name(app, 1, 2).toString(), QStringLiteral("Bartholome"));
        QCOMPARE(name(app, 1, 3).toString(), QString());

        // Exit stores the day shown.
        s->Combo1->setCurrentIndex(1);
        QTest::mouseClick(s->Text[0], Qt::LeftButton);
        s->Command1->click();
        testing::TestApp::settle();
        QCOMPARE(name(app, 2, 1).toString(), QStringLiteral("Marco"));
        QVERIFY(!ui::ScreenRegistry::instance().find(QStringLiteral("WorkDone")));
        QVERIFY(ui::ScreenRegistry::instance().find(QStringLiteral("MainMenu"))->isVisible());
        QCOMPARE(app.scalar(QStringLiteral("SELECT count(*) FROM WAssign")).toInt(), 2);
        QCOMPARE(app.scalar(QStringLiteral("SELECT \"1W\" FROM WAssign WHERE rowid = 2")).toString(),
                 QStringLiteral("Job 1 of 2004-12-07"));
        QVERIFY(app.messages().seen.isEmpty());
    }
};

QTEST_MAIN(TestWorkDone)
#include "test_workdone.moc"

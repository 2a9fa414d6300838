// The filter window driven through its controls over the browser on a real
// database file: rows grow and shrink, operators follow the field's kind,
// checks stop the filter, and OK, Count, Delete and Cancel Filter act on the
// browser, asking what they must and changing nothing when told No.
#include "FindDriver.h"

#include "filter/RaisedBorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using filter::FindWindow;
using filter::MaintScreen;
using namespace testing;

namespace {

const QString kAll = QStringLiteral("** Find All Records **");
const QString kWorkedExample =
    QStringLiteral("Select DData.* From DData Where [LaneNo] = 5 AND [callmade] LIKE '*JAM*' ORDER BY [DateNow] DESC");

// Seven calls; lane 5 holds calls 1, 2 and 4; "jam" is in calls 1, 2 and 5;
// call 6 has no call text and call 7 an empty one.
void addCalls(TestApp& app)
{
    const QStringList rows = {
        QStringLiteral("'2004-12-01','10:02:15 AM','Wednesday',5,'BALL JAM','1','Dave',' ',NULL"),
        QStringLiteral("'2004-12-02','11:00:00 AM','Thursday',5,'Pin jam on deck','2',' ','Marco','chain'"),
        QStringLiteral("'2004-12-03','9:30:00 PM','Friday',7,'Sweep hitting pins','3','Dave',' ',''"),
        QStringLiteral("'2004-12-04','8:00:00 PM','Saturday',5,'Out of range','4',' ','Marco',NULL"),
        QStringLiteral("'2004-12-28','1:00:00 PM','Tuesday',12,'Ball jam','1','Dave',' ',NULL"),
        QStringLiteral("'2004-11-30','6:10:40 PM','Tuesday',3,NULL,'1','Dave',' ',NULL"),
        QStringLiteral("'2004-12-06','7:55:31 PM','Monday',3,'','5','Dave',' ',NULL")};
    for (const QString& row : rows)
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, "
                                        "Name2, Notes) VALUES (") +
                         row + QLatin1Char(')')));
}

int calls(TestApp& app, const QString& where = QStringLiteral("1"))
{
    return app.scalar(QStringLiteral("SELECT count(*) FROM DData WHERE ") + where).toInt();
}

struct Session {
    TestApp app;
    MaintScreen* browser = nullptr;
    FindWindow* find = nullptr;
    Session()
    {
        addCalls(app);
        browser = openBrowser();
        find = browser ? openFilter(browser) : nullptr;
    }
    void laneIs(const QString& lane)
    {
        QVERIFY(fillRow(find, 0, QStringLiteral("LaneNo"), QStringLiteral("Equals"), lane));
    }
    void advanced(bool count, bool erase)
    {
        find->AdvancedButton->click();
        find->CountCheck->setChecked(count);
        find->DeleteCheck->setChecked(erase);
    }
    void reopen()
    {
        browser->Command2_Click();
        QVERIFY(find->isVisible());
    }
};

} // namespace

class TestFindWindow : public QObject {
    Q_OBJECT
private slots:
    void workedExampleIsBuiltAndApplied()
    {
        Session s;
        QVERIFY(s.find && s.find->isVisible());
        QCOMPARE(s.find->Field(0)->currentText(), kAll);
        s.laneIs(QStringLiteral("5"));
        QVERIFY(join(s.find, 0, QStringLiteral("And")));
        QVERIFY(fillRow(s.find, 1, QStringLiteral("callmade"), QStringLiteral("Contains"), QString()));
        type(s.find->Criteria(1), QStringLiteral("jam"));
        QVERIFY(pick(s.find->SortField(0), QStringLiteral("DateNow")));
        QVERIFY(pick(s.find->SortOrder(0), QStringLiteral("Descending")));
        s.find->AdvancedButton->click();
        QCOMPARE(s.find->SQLLabel->text(), kWorkedExample);
        s.find->OKButton->click();
        QVERIFY(s.app.messages().seen.isEmpty());
        QCOMPARE(s.browser->Data1->recordSource(), kWorkedExample);
        QCOMPARE(browsed(s.browser), (QList<qint64>{2, 1}));
        QVERIFY(s.browser->filterOn());
        QCOMPARE(s.find->Label4->text(), QStringLiteral("{DData.LaneNo} = 5 and {DData.callmade} LIKE \"*JAM*\""));
        QCOMPARE(s.find->Label6->text(), QStringLiteral("-{DData.DateNow}"));
        QCOMPARE(s.find->Label7->text(), QString());
        // OK ends like Exit: hidden, back in basic mode.
        QVERIFY(!s.find->isVisible());
        QCOMPARE(s.find->height(), FindWindow::basicHeight());
        QVERIFY(!s.find->AdvancedButton->isHidden());
        QVERIFY(s.find->CountCheck->isHidden());
    }

    void rowsGrowOneRowApartAndResetTogether()
    {
        Session s;
        FindWindow* f = s.find;
        QVERIFY(!f->Field(1));
        s.laneIs(QStringLiteral("5"));
        QVERIFY(!f->Operator(0)->isHidden() && !f->Criteria(0)->isHidden() && !f->Condition(0)->isHidden());
        QCOMPARE(f->Condition(0)->currentIndex(), -1);
        QVERIFY(!f->Field(1));
        const int pitch = 22; // 330 twips
        for (int i = 0; i < 4; ++i) {
            QVERIFY(join(f, i, QStringLiteral("Or")));
            QVERIFY(f->Field(i + 1));
            QCOMPARE(f->Field(i + 1)->y(), f->Field(0)->y() + (i + 1) * pitch);
            QCOMPARE(f->Field(i + 1)->currentIndex(), -1);
            QVERIFY(fillRow(f, i + 1, QStringLiteral("Time"), QStringLiteral("Contains"), QStringLiteral("AM")));
            QCOMPARE(f->Operator(i + 1)->y(), f->Operator(0)->y() + (i + 1) * pitch);
            QCOMPARE(f->Criteria(i + 1)->y(), f->Criteria(0)->y() + (i + 1) * pitch);
            // Tab runs along each row, then to the next row.
            QCOMPARE(f->Field(i + 1)->nextInFocusChain(), f->Operator(i + 1));
            QCOMPARE(f->Operator(i + 1)->nextInFocusChain(), f->Criteria(i + 1));
            QCOMPARE(f->Condition(i)->nextInFocusChain(), f->Field(i + 1));
        }
        QVERIFY(!f->Condition(4));
        QVERIFY(f->Condition(3) && !f->Condition(3)->isHidden());
        QCOMPARE(f->Condition(3)->y(), f->Condition(0)->y() + 3 * pitch);
        // "** Find All Records **" resets every row.
        QVERIFY(pick(f->Field(0), kAll));
        for (int i = 1; i < 5; ++i)
            QVERIFY(!f->Field(i) && !f->Operator(i) && !f->Criteria(i));
        QVERIFY(f->Operator(0)->isHidden() && f->Criteria(0)->isHidden() && f->Condition(0)->isHidden());
        QCOMPARE(f->Criteria(0)->text(), QString());
        QCOMPARE(f->Field(0)->currentIndex(), 0);

        // Sort rows: memo fields are not offered; each pick opens the next row.
        QCOMPARE(f->SortField(0)->findText(QStringLiteral("Notes")), -1);
        QVERIFY(pick(f->SortField(0), QStringLiteral("LaneNo")));
        QCOMPARE(f->SortOrder(0)->currentText(), QStringLiteral("Ascending"));
        QVERIFY(f->SortField(1));
        QCOMPARE(f->SortField(1)->y(), f->SortField(0)->y() + pitch);
        QVERIFY(pick(f->SortField(1), QStringLiteral("DateNow")));
        QVERIFY(pick(f->SortField(2), QStringLiteral("Time")));
        QVERIFY(f->SortOrder(2) && !f->SortField(3));
        QCOMPARE(f->SortOrder(2)->y(), f->SortOrder(0)->y() + 2 * pitch);
        QVERIFY(pick(f->SortField(0), QStringLiteral("** Do Not Sort **")));
        QVERIFY(!f->SortField(1) && !f->SortOrder(1) && f->SortOrder(0)->isHidden());
    }

    void operatorsFollowTheKindOfField()
    {
        Session s;
        FindWindow* f = s.find;
        QVERIFY(pick(f->Field(0), QStringLiteral("DateNow")));
        QCOMPARE(f->Operator(0)->Tag, QStringLiteral("Date"));
        QCOMPARE(f->Operator(0)->count(), 11);
        QCOMPARE(f->Operator(0)->itemText(10), QStringLiteral("Week of Year Equals"));
        f->Criteria(0)->setText(QStringLiteral("12/1/04"));
        QVERIFY(pick(f->Field(0), QStringLiteral("callmade")));
        QCOMPARE(f->Operator(0)->Tag, QStringLiteral("Text"));
        QCOMPARE(f->Operator(0)->count(), 9);
        QCOMPARE(f->Operator(0)->currentIndex(), 0);
        QCOMPARE(f->Criteria(0)->text(), QString());
        QVERIFY(pick(f->Operator(0), QStringLiteral("Begins With")));
        f->Criteria(0)->setText(QStringLiteral("PIN"));
        // Another text field keeps operator and criteria.
        QVERIFY(pick(f->Field(0), QStringLiteral("Name1")));
        QCOMPARE(f->Operator(0)->currentText(), QStringLiteral("Begins With"));
        QCOMPARE(f->Criteria(0)->text(), QStringLiteral("PIN"));
        QVERIFY(pick(f->Field(0), QStringLiteral("Recno")));
        QCOMPARE(f->Operator(0)->Tag, QStringLiteral("Number"));
        QCOMPARE(f->Operator(0)->count(), 6);
    }

    void checksStopTheFilter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("after");
        QTest::newRow("empty text") << "callmade"
                                    << "Equals"
                                    << ""
                                    << "Empty Criteria Field"
                                    << "empty";
        QTest::newRow("letters for a lane") << "LaneNo"
                                            << "Is Greater Than"
                                            << "ABC"
                                            << "Invalid Numeric Criteria"
                                            << "";
        QTest::newRow("no such date") << "DateNow"
                                      << "Is Less Than"
                                      << "13/45/93"
                                      << "Missing or Invalid Date"
                                      << "13/45/93";
        QTest::newRow("month 13") << "DateNow"
                                  << "Month Equals"
                                  << "13"
                                  << "Bad Month of the Year Number!"
                                  << "13";
        QTest::newRow("week 55") << "DateNow"
                                 << "Week of Year Equals"
                                 << "55"
                                 << "Bad Week of the Year Number!"
                                 << "55";
    }
    void checksStopTheFilter()
    {
        QFETCH(QString, field);
        QFETCH(QString, op);
        QFETCH(QString, criteria);
        QFETCH(QString, title);
        QFETCH(QString, after);
        Session s;
        QVERIFY(fillRow(s.find, 0, field, op, criteria));
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.size(), 1);
        QCOMPARE(s.app.messages().seen.first().title, title);
        QCOMPARE(s.app.messages().seen.first().icon, ui::Icon::Exclamation);
        QCOMPARE(s.app.beeps().count, 1);
        QCOMPARE(s.find->Criteria(0)->text(), after);
        QCOMPARE(s.find->focusWidget(), s.find->Criteria(0));
        // Nothing applied: the browser shows every call, with no filter on.
        QVERIFY(s.find->isVisible());
        QCOMPARE(s.browser->Data1->recordSource(), QStringLiteral("DData"));
        QVERIFY(!s.browser->filterOn());
    }

    void emptyFindsTheEmptyFields()
    {
        Session s;
        QVERIFY(fillRow(s.find, 0, QStringLiteral("callmade"), QStringLiteral("Equals"), QString()));
        s.find->OKButton->click(); // "empty" is put in, and asked for once
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.size(), 1);
        QCOMPARE(s.browser->Data1->recordSource(), QStringLiteral("Select DData.* From DData Where [callmade] = NULL"));
        QCOMPARE(browsed(s.browser), (QList<qint64>{6, 7}));
        s.reopen();
        QVERIFY(pick(s.find->Operator(0), QStringLiteral("Is Not Equal To")));
        s.find->Criteria(0)->clear();
        s.find->OKButton->click();
        s.find->OKButton->click();
        QCOMPARE(browsed(s.browser), (QList<qint64>{1, 2, 3, 4, 5}));
    }

    void countSaysHowManyWereFound()
    {
        Session s;
        s.advanced(true, false);
        s.laneIs(QStringLiteral("5"));
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.last().text, QStringLiteral("3 Records Were Found."));
        QCOMPARE(s.app.messages().seen.last().title, QStringLiteral("Found Records!"));
        s.reopen();
        s.advanced(true, false);
        QVERIFY(pick(s.find->SortField(0), QStringLiteral("Time")));
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.last().text, QStringLiteral("3 Records Were Found And Sorted."));
        s.reopen();
        s.advanced(true, false);
        s.laneIs(QStringLiteral("7"));
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.last().text, QStringLiteral("1 Record Was Found."));
        QCOMPARE(s.app.messages().seen.last().title, QStringLiteral("Found Record!"));
        QCOMPARE(s.app.beeps().count, 3);
    }

    void theSameFilterTwiceAsks()
    {
        Session s;
        s.laneIs(QStringLiteral("5"));
        s.find->OKButton->click();
        const QString applied = s.browser->Data1->recordSource();
        QCOMPARE(browsed(s.browser).size(), 3);
        QVERIFY(s.app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (5, 'later')")));
        s.reopen();
        s.app.messages().answers.append({ui::Answer::Cancel, ui::Answer::No, ui::Answer::Yes});
        s.find->OKButton->click();
        const ui::Message asked = s.app.messages().seen.last();
        QCOMPARE(asked.text, QStringLiteral("The current filter you have requested matches the current filter "
                                            "previously set.\n\nRefresh the Database?"));
        QCOMPARE(asked.title, QStringLiteral("Filter Duplicated!"));
        QCOMPARE(asked.buttons, ui::Buttons::YesNoCancel);
        QCOMPARE(asked.icon, ui::Icon::Exclamation);
        QVERIFY(s.find->isVisible()); // Cancel: the window stays
        s.find->OKButton->click();
        QVERIFY(!s.find->isVisible()); // No: only hidden
        QCOMPARE(browsed(s.browser).size(), 3);
        s.reopen();
        s.find->OKButton->click(); // Yes: read again
        QCOMPARE(s.browser->Data1->recordSource(), applied);
        QCOMPARE(browsed(s.browser).size(), 4);
        QVERIFY(s.browser->filterOn());
    }

    void aFilterFindingNothingAsksAndGoesBack()
    {
        Session s;
        s.laneIs(QStringLiteral("5"));
        s.find->OKButton->click();
        const QString lane5 = s.browser->Data1->recordSource();
        const QString labels = s.find->Label4->text();
        s.reopen();
        s.laneIs(QStringLiteral("99"));
        s.app.messages().answers.append({ui::Answer::Yes, ui::Answer::No});
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.last().text,
                 QStringLiteral("Your filter has found no matching records.\n\nTry Again?"));
        QCOMPARE(s.app.messages().seen.last().title, QStringLiteral("Sorry!"));
        QVERIFY(s.find->isVisible()); // Yes: try again
        QCOMPARE(s.browser->Data1->recordSource(), lane5);
        QCOMPARE(browsed(s.browser).size(), 3);
        // The filter shown is still on, and Print still prints it.
        QVERIFY(s.browser->filterOn());
        QCOMPARE(s.find->Label4->text(), labels);
        s.find->OKButton->click();
        QVERIFY(!s.find->isVisible()); // No: the window closes
        QCOMPARE(s.browser->Data1->recordSource(), lane5);
    }

    void deleteWithoutCountAsksWithNoAsTheDefault()
    {
        Session s;
        s.laneIs(QStringLiteral("5"));
        s.find->OKButton->click();
        s.reopen();
        s.advanced(false, true);
        QVERIFY(fillRow(s.find, 0, QStringLiteral("callmade"), QStringLiteral("Contains"), QStringLiteral("JAM")));
        s.app.messages().answers.append({ui::Answer::No});
        s.find->OKButton->click();
        const ui::Message asked = s.app.messages().seen.last();
        QCOMPARE(asked.text, QStringLiteral("Hint: Select the 'Count Records' checkbox before performing the function "
                                            "to find out how many records will be deleted.\n\nAre you sure you wish to "
                                            "delete the records which meet the provided criteria?"));
        QCOMPARE(asked.title, QStringLiteral("Confirm!"));
        QCOMPARE(asked.buttons, ui::Buttons::YesNo);
        QCOMPARE(asked.icon, ui::Icon::Question);
        QCOMPARE(asked.defaultButton, std::optional<ui::Answer>(ui::Answer::No));
        QCOMPARE(calls(s.app), 7);
        QVERIFY(s.find->isVisible());
        QVERIFY(s.browser->filterOn()); // the lane 5 filter still shows

        s.find->OKButton->click(); // Yes
        QCOMPARE(calls(s.app), 4);
        QCOMPARE(calls(s.app, QStringLiteral("upper(callmade) LIKE '%JAM%'")), 0);
        QCOMPARE(s.app.messages().seen.last().title, QStringLiteral("Finished Deleting!"));
        QCOMPARE(s.browser->Data1->recordSource(), QStringLiteral("Select [DData].* From DData"));
        QCOMPARE(browsed(s.browser).size(), 4);
        // All calls are shown again: no filter is on, so Print refuses.
        QVERIFY(!s.browser->filterOn());
        QVERIFY(!s.find->isVisible());
    }

    void deleteWithCountSaysHowMany()
    {
        Session s;
        s.advanced(true, true);
        s.laneIs(QStringLiteral("5"));
        s.app.messages().answers.append({ui::Answer::No});
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.last().text,
                 QStringLiteral("By performing this function, you will delete 3 records which meet your filter!\n\n"
                                "Are you sure you wish to delete these records?"));
        QCOMPARE(s.app.messages().seen.last().defaultButton, std::optional<ui::Answer>(ui::Answer::No));
        QCOMPARE(calls(s.app), 7);
        s.find->OKButton->click();
        QCOMPARE(calls(s.app), 4);
        QCOMPARE(calls(s.app, QStringLiteral("LaneNo = 5")), 0);
        QVERIFY(!s.browser->filterOn());

        // Nothing to delete: asked whether to try again; No closes the window.
        s.reopen();
        s.advanced(true, true);
        s.laneIs(QStringLiteral("5"));
        s.app.messages().answers.append({ui::Answer::No});
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.last().title, QStringLiteral("No Records Found!"));
        QCOMPARE(s.app.messages().seen.last().text,
                 QStringLiteral("By performing this function, you will not delete any records which meet the "
                                "filter!\n\nTry Again?"));
        QVERIFY(!s.find->isVisible());
        QCOMPARE(calls(s.app), 4);
    }

    void deletingEveryCallAsksAboutAll()
    {
        Session s;
        s.advanced(false, true);
        s.app.messages().answers.append({ui::Answer::Yes, ui::Answer::Ok, ui::Answer::No});
        s.find->OKButton->click();
        QCOMPARE(s.app.messages().seen.at(0).text,
                 QStringLiteral("Are you sure you wish to delete all the records in this database?"));
        QCOMPARE(calls(s.app), 0);
        // The table shown again is empty.
        QCOMPARE(s.app.messages().seen.last().title, QStringLiteral("Sorry!"));
        QVERIFY(!s.find->isVisible());
        QCOMPARE(browsed(s.browser).size(), 0);
    }

    void aDeleteIsAllOrNothing()
    {
        Session s;
        // The second call of lane 5 cannot be deleted: none of the three may go.
        QVERIFY(s.app.exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON DData WHEN old.Recno = 2 "
                                          "BEGIN SELECT RAISE(ABORT, 'kept by a test'); END")));
        s.advanced(false, true);
        s.laneIs(QStringLiteral("5"));
        s.find->OKButton->click();
        const QString told = s.app.messages().seen.last().text;
        QVERIFY2(told.contains(QStringLiteral("No record was deleted.")), qPrintable(told));
        QVERIFY(told.endsWith(QStringLiteral("\n\nDelete * From DData Where [LaneNo] = 5")));
        QCOMPARE(calls(s.app, QStringLiteral("LaneNo = 5")), 3);
        QVERIFY(s.find->isVisible());
        QVERIFY(!s.browser->filterOn());
        QCOMPARE(browsed(s.browser).size(), 7);

        // A statement the store refuses deletes nothing either, counted or not.
        for (const bool count : {false, true}) {
            s.find->CountCheck->setChecked(count);
            QVERIFY(fillRow(s.find, 0, QStringLiteral("callmade"), QStringLiteral("Contains"), QStringLiteral("[A")));
            s.find->OKButton->click();
            QVERIFY(s.app.messages().seen.last().text.contains(QStringLiteral("No record was deleted.")));
            QCOMPARE(calls(s.app), 7);
            QVERIFY(s.find->isVisible());
        }
    }

    void aRefusedStatementLeavesTheBrowserAsItWas()
    {
        Session s;
        s.laneIs(QStringLiteral("5"));
        s.find->OKButton->click();
        const QString lane5 = s.browser->Data1->recordSource();
        s.reopen();
        QVERIFY(fillRow(s.find, 0, QStringLiteral("callmade"), QStringLiteral("Contains"), QStringLiteral("[A")));
        s.find->OKButton->click();
        const ui::Message told = s.app.messages().seen.last();
        QVERIFY(told.text.endsWith(QStringLiteral("\n\nSelect DData.* From DData Where [callmade] LIKE '*[A*'")));
        QVERIFY(told.text.size() > 60);
        QCOMPARE(told.icon, ui::Icon::None);
        QCOMPARE(told.title, QStringLiteral("Tarrowby Stopwell"));
        QVERIFY(s.find->isVisible());
        QCOMPARE(s.browser->Data1->recordSource(), lane5);
        QVERIFY(s.browser->Data1->isOpen());
        QCOMPARE(browsed(s.browser).size(), 3);
        QVERIFY(s.browser->filterOn());
        // The window goes on working.
        s.find->Criteria(0)->setText(QStringLiteral("RANGE"));
        s.find->OKButton->click();
        QCOMPARE(browsed(s.browser), QList<qint64>{4});
    }

    void cancelFilterShowsEveryCall()
    {
        Session s;
        s.find->Command1->click();
        QCOMPARE(s.app.messages().seen.last().text, QStringLiteral("There is no active filter to cancel !"));
        QCOMPARE(s.app.messages().seen.last().title, QStringLiteral("Notice"));
        QCOMPARE(s.app.beeps().count, 1);

        s.laneIs(QStringLiteral("5"));
        QVERIFY(pick(s.find->SortField(0), QStringLiteral("Time")));
        s.find->OKButton->click();
        QVERIFY(s.browser->filterOn());
        s.reopen();
        // With Delete ticked the all-records statement is a delete, which the browser refuses.
        s.advanced(false, true);
        s.find->Command1->click();
        QVERIFY(s.app.messages().seen.last().text.endsWith(QStringLiteral("\n\nDelete * From DData")));
        QCOMPARE(calls(s.app), 7);
        QVERIFY(s.browser->filterOn());
        QCOMPARE(browsed(s.browser).size(), 3);

        s.find->DeleteCheck->setChecked(false);
        s.find->Command1->click();
        QCOMPARE(s.browser->Data1->recordSource(), QStringLiteral("Select DData.* From DData"));
        QCOMPARE(browsed(s.browser).size(), 7);
        QVERIFY(!s.browser->filterOn());
        QVERIFY(!s.find->isVisible());
        QCOMPARE(s.find->Field(0)->currentText(), kAll);
        QCOMPARE(s.find->SortField(0)->currentText(), QStringLiteral("** Do Not Sort **"));
    }

    void escEnterAndCapitals()
    {
        Session s;
        QVERIFY(QTest::qWaitForWindowExposed(s.find));
        QVERIFY(fillRow(s.find, 0, QStringLiteral("callmade"), QStringLiteral("Contains"), QString()));
        type(s.find->Criteria(0), QStringLiteral("jam "));
        // A letter no key of the test keyboard has, as an input method types it.
        QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xc3\xa9"));
        QApplication::sendEvent(s.find->Criteria(0), &accented);
        QTest::keyClicks(s.find->Criteria(0), QStringLiteral("t"));
        QApplication::sendEvent(s.find->Criteria(0), &accented);
        // Every letter in capitals, as every letter compares without regard to case.
        QCOMPARE(s.find->Criteria(0)->text(), QString::fromUtf8("JAM \xc3\x89T\xc3\x89"));
        s.find->Criteria(0)->setText(QStringLiteral("JAM"));
        QTest::keyClick(s.find->Criteria(0), Qt::Key_Return);
        QCOMPARE(browsed(s.browser), (QList<qint64>{1, 2, 5}));
        QVERIFY(!s.find->isVisible());
        s.reopen();
        QTest::keyClick(s.find->Field(0), Qt::Key_Escape);
        QVERIFY(!s.find->isVisible());
    }

    void deleteTickTakesSortingAway()
    {
        Session s;
        QVERIFY(pick(s.find->SortField(0), QStringLiteral("Time")));
        s.find->AdvancedButton->click();
        s.find->DeleteCheck->setChecked(true);
        QCOMPARE(s.find->SortField(0)->currentIndex(), 0);
        QVERIFY(!s.find->SortField(0)->isEnabled());
        QVERIFY(s.find->SortOrder(0)->isHidden() && !s.find->SortField(1));
        s.find->DeleteCheck->setChecked(false);
        QVERIFY(s.find->SortField(0)->isEnabled());
        s.find->DeleteCheck->setChecked(true);
        s.find->CancelButton->click(); // Exit unticks it and gives sorting back
        QVERIFY(!s.find->DeleteCheck->isChecked());
        QVERIFY(s.find->SortField(0)->isEnabled());
    }

    void advancedModeShowsTheStatement()
    {
        Session s;
        s.laneIs(QStringLiteral("5"));
        s.find->OKButton->click();
        s.reopen();
        QCOMPARE(s.find->height(), FindWindow::basicHeight());
        s.find->AdvancedButton->click();
        QCOMPARE(s.find->height(), FindWindow::advancedHeight());
        QVERIFY(s.find->SQLLabel->geometry().bottom() < s.find->height());
        QVERIFY(!s.find->CountCheck->isHidden() && !s.find->DeleteCheck->isHidden());
        type(s.find->Criteria(0), QStringLiteral("12"));
        QCOMPARE(s.find->SQLLabel->text(), QStringLiteral("Select DData.* From DData Where [LaneNo] = 12"));
        // Building for the display applies nothing: the filter shown stays on.
        QVERIFY(pick(s.find->Field(0), kAll));
        QCOMPARE(s.find->SQLLabel->text(), QStringLiteral("Select DData.* From DData"));
        QVERIFY(s.browser->filterOn());
        QCOMPARE(s.find->Label4->text(), QStringLiteral("{DData.LaneNo} = 5"));
        s.find->CountCheck->setChecked(true);
        QTest::keyClick(s.find, Qt::Key_Escape);
        QCOMPARE(s.find->height(), FindWindow::basicHeight());
        QVERIFY(s.find->CountCheck->isHidden() && !s.find->CountCheck->isChecked());
    }

    void lateDecemberIsInWeek53()
    {
        Session s;
        QVERIFY(
            fillRow(s.find, 0, QStringLiteral("DateNow"), QStringLiteral("Week of Year Equals"), QStringLiteral("53")));
        s.find->OKButton->click();
        QVERIFY(s.app.messages().seen.isEmpty());
        QCOMPARE(browsed(s.browser), QList<qint64>{5});
    }

    void theWindowIsRaised_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("3, as the window uses") << 3 << true;
        QTest::newRow("20") << 20 << true;
        QTest::newRow("0 draws nothing") << 0 << false;
        QTest::newRow("21 draws nothing") << 21 << false;
    }
    void theWindowIsRaised()
    {
        QFETCH(int, width);
        QFETCH(bool, drawn);
        Session s;
        filter::PaintRaisedBorder(s.find, width);
        QCOMPARE(s.find->palette().color(QPalette::Window), QColor(192, 192, 192));
        const QImage image = s.find->grab().toImage();
        const QColor grey(192, 192, 192);
        const int w = image.width();
        const int h = image.height();
        QCOMPARE(h, FindWindow::basicHeight());
        // White along the top and left, dark grey along the bottom and right, `width` lines deep.
        QCOMPARE(image.pixelColor(w / 2, 0), drawn ? QColor(Qt::white) : grey);
        QCOMPARE(image.pixelColor(0, h / 2), drawn ? QColor(Qt::white) : grey);
        QCOMPARE(image.pixelColor(w - 1, h / 2), drawn ? QColor(128, 128, 128) : grey);
        QCOMPARE(image.pixelColor(w / 2, h - 1), drawn ? QColor(128, 128, 128) : grey);
        if (drawn) {
            QCOMPARE(image.pixelColor(width - 1, h / 2), QColor(Qt::white));
            QCOMPARE(image.pixelColor(width, h / 2), grey);
            QCOMPARE(image.pixelColor(w - width, h / 2), QColor(128, 128, 128));
        }
        QCOMPARE(filter::raisedBorderWidth(s.find), drawn ? width : 0);
        // In advanced mode the border runs along the taller window.
        filter::PaintRaisedBorder(s.find, 3);
        s.find->AdvancedButton->click();
        const QImage taller = s.find->grab().toImage();
        QCOMPARE(taller.height(), FindWindow::advancedHeight());
        QCOMPARE(taller.pixelColor(w / 2, taller.height() - 1), QColor(128, 128, 128));
    }

    void hostileCriteriaStayCriteria()
    {
        Session s;
        const QStringList hostile = {QStringLiteral("X'; DROP TABLE Calls; --"),
                                     QStringLiteral("1; DELETE FROM DData"),
                                     QStringLiteral("A' OR '1'='1"),
                                     QStringLiteral("/* X */"),
                                     QStringLiteral("[!A-Z]"),
                                     QStringLiteral("100%"),
                                     QStringLiteral("\"); DROP TABLE PWord; (\""),
                                     QString::fromUtf8("\xc3\x89T\xc3\x89 \xe6\x97\xa5\xe6\x9c\xac"),
                                     QString(5000, QLatin1Char('Z')) + QStringLiteral("';")};
        const QStringList fields = {QStringLiteral("callmade"), QStringLiteral("Notes"), QStringLiteral("LaneNo"),
                                    QStringLiteral("DateNow")};
        for (const QString& text : hostile) {
            for (const QString& field : fields) {
                for (int op : {0, 1, 6, 7}) {
                    if (!s.find->isVisible())
                        s.reopen();
                    QVERIFY(pick(s.find->Field(0), field));
                    s.find->Operator(0)->setCurrentIndex(std::min(op, s.find->Operator(0)->count() - 1));
                    s.find->Criteria(0)->setText(text);
                    s.find->OKButton->click();
                    QVERIFY(s.browser->Data1->isOpen());
                }
            }
        }
        QCOMPARE(calls(s.app), 7);
        QCOMPARE(s.app.scalar(QStringLiteral("SELECT count(*) FROM Calls")).toInt(), 1);
        QCOMPARE(s.app.scalar(QStringLiteral("SELECT count(*) FROM PWord")).toInt(), 1);
    }
};

QTEST_MAIN(TestFindWindow)
#include "test_findwindow.moc"

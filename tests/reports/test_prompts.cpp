// The three date prompts and the lane prompt: the formulas they build, the
// two emptiness warnings, and formulas the engine refuses passed on as typed.
#include "ReportFixture.h"

#include "reports/CrystalReport.h"
#include "reports/RangePrompts.h"
#include "support/TestApp.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Pointer.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using reports::AskLane;
using reports::DatePrompt;

namespace {

template <class T> T* openPrompt(testing::TestApp& app, const QString& name)
{
    testing::copyDefinitions(app.folder());
    testing::fillReportData([&app](const QString& sql) { return app.exec(sql); });
    auto* prompt = qobject_cast<T*>(ui::ScreenRegistry::instance().show(name));
    if (prompt)
        (void)QTest::qWaitForWindowActive(prompt);
    return prompt;
}

void typeDate(ui::MaskedDateEdit* box, const QString& text)
{
    box->setFocus();
    box->setCursorPosition(0);
    QTest::keyClicks(box, text);
}

} // namespace

class TestPrompts : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void datePromptsBuildTheirFormula_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("records");
        QTest::newRow("Date1") << "Date1"
                               << "{DData.DateNow} >= Date (2004,01,05) and {DData.DateNow} <= Date (2004,01,31)"
                               << "seldate.rpt" << 2;
        QTest::newRow("Date2") << "Date2"
                               << "{DWork.DateNow} >= Date (2004,01,05) and {DWork.DateNow} <= Date (2004,01,31)"
                               << "1daynote.rpt" << 0;
        QTest::newRow("Date3") << "Date3"
                               << "{WAssign.DateNow} >= Date (2004,01,05) and {WAssign.DateNow} <= Date (2004,01,31)"
                               << "1assign.rpt" << 0;
    }
    void datePromptsBuildTheirFormula()
    {
        QFETCH(QString, prompt);
        QFETCH(QString, formula);
        QFETCH(QString, file);
        testing::TestApp app;
        auto* screen = openPrompt<DatePrompt>(app, prompt);
        QVERIFY(screen);
        typeDate(screen->MaskEdBox1, QStringLiteral("01052004"));
        typeDate(screen->MaskEdBox2, QStringLiteral("01312004"));
        screen->Command3->click();
        QCOMPARE(screen->Text3->text(), formula);
        QCOMPARE(*screen->CrystalReport1->selectionFormula(), formula);
        QCOMPARE(screen->CrystalReport1->reportFileName(), file);
        QCOMPARE(app.messages().texts(), QStringList());
        QCOMPARE(app.reportOutput().windows.size(), 1);
        const auto& report = app.reportOutput().windows.first();
        QCOMPARE(report->fileName(), file);
        // Under the title: the period in words, not the formula.
        QVERIFY2(report->pageText(0).contains(QStringLiteral("01/05/2004 to 01/31/2004")),
                 qPrintable(report->pageText(0).join(QLatin1Char('\n'))));
        // The prompt stays open with what was typed, for another run.
        QVERIFY(screen->isVisible());
        QCOMPARE(screen->MaskEdBox1->maskedText(), QStringLiteral("01/05/2004"));
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void emptyDateIsRefused_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("both empty") << ""
                                    << "";
        QTest::newRow("end empty") << "01052004"
                                   << "";
        QTest::newRow("start empty") << ""
                                     << "01312004";
    }
    void emptyDateIsRefused()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        testing::TestApp app;
        auto* screen = openPrompt<DatePrompt>(app, QStringLiteral("Date1"));
        typeDate(screen->MaskEdBox1, start);
        typeDate(screen->MaskEdBox2, end);
        screen->Command3->click();
        QCOMPARE(app.messages().seen.size(), 1);
        const ui::Message& message = app.messages().seen.first();
        QCOMPARE(message.text, QStringLiteral("A Starting & Ending Date Is Required"));
        QCOMPARE(message.title, QStringLiteral("Warning"));
        QCOMPARE(message.icon, ui::Icon::Exclamation);
        QCOMPARE(message.buttons, ui::Buttons::Ok);
        QCOMPARE(QApplication::focusWidget(), screen->MaskEdBox1);
        QVERIFY(app.reportOutput().windows.isEmpty());
        QVERIFY(!screen->CrystalReport1->selectionFormula());
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void engineRefusesWhatThePromptPassesOn_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("words");
        QTest::newRow("partly typed") << "1"
                                      << "01312004"
                                      << "{DData.DateNow} >= Date (____,1_,__) and {DData.DateNow} <= Date (2004,01,31)"
                                      << "at character 26: \"_\" cannot stand here";
        QTest::newRow("impossible date") << "13452004"
                                         << "12312004"
                                         << "{DData.DateNow} >= Date (2004,13,45) and {DData.DateNow} <= Date "
                                            "(2004,12,31)"
                                         << "at character 20: Date (2004,13,45) is not a real date";
    }
    void engineRefusesWhatThePromptPassesOn()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, formula);
        QFETCH(QString, words);
        testing::TestApp app;
        auto* screen = openPrompt<DatePrompt>(app, QStringLiteral("Date1"));
        typeDate(screen->MaskEdBox1, start);
        typeDate(screen->MaskEdBox2, end);
        screen->Command3->click();
        QCOMPARE(screen->Text3->text(), formula);
        QCOMPARE(*screen->CrystalReport1->selectionFormula(), formula);
        QCOMPARE(app.messages().seen.size(), 1);
        const QString text = app.messages().seen.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("The report \"seldate.rpt\" cannot be run: the selection formula is "
                                                "not valid ") +
                                 words),
                 qPrintable(text));
        QVERIFY(text.endsWith(QStringLiteral("The formula: ") + formula));
        QVERIFY(app.reportOutput().windows.isEmpty());
        QVERIFY(screen->isVisible());
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void partlyTypedMonthKeepsItsBlank()
    {
        testing::TestApp app;
        auto* screen = openPrompt<DatePrompt>(app, QStringLiteral("Date1"));
        screen->MaskEdBox1->setMaskedText(QStringLiteral("1_/05/2004"));
        typeDate(screen->MaskEdBox2, QStringLiteral("01312004"));
        screen->Command3->click();
        QCOMPARE(screen->Text3->text(),
                 QStringLiteral("{DData.DateNow} >= Date (2004,1_,05) and {DData.DateNow} <= Date (2004,01,31)"));
        QVERIFY(app.messages().texts().first().contains(QStringLiteral("at character 32")));
    }

    // An end before the start is told as such, not as a report without rows.
    void endBeforeStartIsTold()
    {
        testing::TestApp app;
        auto* screen = openPrompt<DatePrompt>(app, QStringLiteral("Date1"));
        typeDate(screen->MaskEdBox1, QStringLiteral("12312004"));
        typeDate(screen->MaskEdBox2, QStringLiteral("01012004"));
        screen->Command3->click();
        QCOMPARE(app.messages().seen.size(), 1);
        const ui::Message& message = app.messages().seen.first();
        QCOMPARE(message.text, QStringLiteral("The Ending Date (01/01/2004) comes before the Starting Date "
                                              "(12/31/2004)."));
        QCOMPARE(message.title, QStringLiteral("Warning"));
        QCOMPARE(message.icon, ui::Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), screen->MaskEdBox2);
        QVERIFY(app.reportOutput().windows.isEmpty());
        QCOMPARE(ui::pointer::depth(), 0);
        // The same day at both ends is one day's report.
        typeDate(screen->MaskEdBox2, QStringLiteral("12312004"));
        screen->Command3->click();
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(app.reportOutput().windows.size(), 1);
    }

    void laneEndBeforeStartIsTold()
    {
        testing::TestApp app;
        auto* screen = openPrompt<AskLane>(app, QStringLiteral("AskLane"));
        screen->Text1->setText(QStringLiteral("12"));
        screen->Text2->setText(QStringLiteral("3"));
        screen->Command3->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The Ending Lane (3) comes before the Starting Lane (12).")});
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Warning"));
        QCOMPARE(QApplication::focusWidget(), screen->Text2);
        QVERIFY(app.reportOutput().windows.isEmpty());
    }

    void laneRange_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("refusal"); // empty: the report runs
        QTest::newRow("1 to 12") << "1"
                                 << "12"
                                 << "{DData.LaneNo} in 1 to 12"
                                 << "";
        QTest::newRow("letters") << "A"
                                 << "B"
                                 << "{DData.LaneNo} in A to B"
                                 << "The report \"sellane.rpt\" cannot be run: the selection formula is not valid at "
                                    "character 19: \"A\" is not a number";
        QTest::newRow("blanks pass the emptiness test") << "  "
                                                        << "12"
                                                        << "{DData.LaneNo} in    to 12"
                                                        << "at character 22: a value is missing";
    }
    void deepStartingLaneIsRefusedNotACrash()
    {
        testing::TestApp app;
        auto* screen = openPrompt<AskLane>(app, QStringLiteral("AskLane"));
        screen->Text1->setText(QString(12000, QLatin1Char('(')));
        screen->Text2->setText(QStringLiteral("5"));
        screen->Command3->click();
        QCOMPARE(screen->Text3->text().size(), 12023);
        QCOMPARE(app.messages().seen.size(), 1);
        const QString text = app.messages().seen.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("The report \"sellane.rpt\" cannot be run: the selection formula is "
                                                "not valid at character 51: the formula is nested too deeply here: "
                                                "at most 32 levels")),
                 qPrintable(text.left(300)));
        // The formula is quoted by its start, not in full.
        QVERIFY2(text.endsWith(QStringLiteral("... (12023 characters in all)")), qPrintable(text.right(100)));
        QVERIFY(text.size() < 1000);
        QVERIFY(app.reportOutput().windows.isEmpty());
        QVERIFY(screen->isVisible());
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void laneRange()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, formula);
        QFETCH(QString, refusal);
        testing::TestApp app;
        auto* screen = openPrompt<AskLane>(app, QStringLiteral("AskLane"));
        screen->Text1->setText(from);
        screen->Text2->setText(to);
        screen->Command3->click();
        QCOMPARE(screen->Text3->text(), formula);
        QCOMPARE(*screen->CrystalReport1->selectionFormula(), formula);
        if (refusal.isEmpty()) {
            QCOMPARE(app.messages().texts(), QStringList());
            QCOMPARE(app.reportOutput().windows.size(), 1);
            QCOMPARE(app.reportOutput().windows.first()->fileName(), QStringLiteral("sellane.rpt"));
            QCOMPARE(app.reportOutput().windows.first()->pageText(0).filter(QStringLiteral("== Lane ")).size(), 8);
        } else {
            QCOMPARE(app.messages().seen.size(), 1);
            QVERIFY2(app.messages().texts().first().contains(refusal), qPrintable(app.messages().texts().first()));
            QVERIFY(app.reportOutput().windows.isEmpty());
        }
        QCOMPARE(ui::pointer::depth(), 0);
    }

    void emptyLaneIsRefused()
    {
        testing::TestApp app;
        auto* screen = openPrompt<AskLane>(app, QStringLiteral("AskLane"));
        screen->Text1->setText(QStringLiteral("3"));
        screen->Command3->click();
        QCOMPARE(app.messages().texts(), QStringList{QStringLiteral("A Starting & Ending Lane Is Required")});
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Warning"));
        QCOMPARE(QApplication::focusWidget(), screen->Text1);
        QVERIFY(app.reportOutput().windows.isEmpty());
        QVERIFY(screen->Text3->text().isEmpty());
    }
};

QTEST_MAIN(TestPrompts)
#include "test_prompts.moc"

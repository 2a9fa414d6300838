// The statistics window's printouts on the hand-worked log: each figure's PDF
// read back with pdftotext and its CSV read back hold the figures worked out
// by hand, every row once and whole; printing goes through the scripted
// report output; a refused file or printer is told; a line chart breaks
// where a period has no figure.
#include "GoldenLog.h"
#include "reports/DrawnText.h"
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "reports/engine/Report.h"
#include "stats/FigurePrint.h"
#include "stats/Statistics.h"
#include "ui/MaskedDateEdit.h"
#include "ui/ScreenRegistry.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using stats::Statistics;
using testing::GoldenLog;

namespace {

/// The window on the golden log's range, the centre's lanes set to ten.
Statistics* openOnTheLog(testing::TestApp& app)
{
    if (!GoldenLog::write([&app](const QString& sql) { return app.exec(sql); }) ||
        !app.exec(QStringLiteral("INSERT INTO Settings (Name, Value) VALUES ('Lanes', '10')")))
        return nullptr;
    auto* menu = qobject_cast<app::MainMenu*>(ui::ScreenRegistry::instance().show(QStringLiteral("MainMenu")));
    if (!menu)
        return nullptr;
    menu->mnuUtilStatistics->trigger();
    auto* window = qobject_cast<Statistics*>(ui::ScreenRegistry::instance().find(QStringLiteral("Statistics")));
    if (!window)
        return nullptr;
    for (auto [box, text] : {std::pair{window->MaskEdBox1, QStringLiteral("11282004")},
                             std::pair{window->MaskEdBox2, QStringLiteral("01082005")}}) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        box->setCursorPosition(0);
        QTest::keyClicks(box, text);
    }
    window->Command1->click();
    return window;
}

/// Presses an output button; on a tab of several tables, picks table `index` from its menu.
void press(QPushButton* button, int index)
{
    if (QMenu* menu = button->menu())
        menu->actions().at(index)->trigger();
    else
        button->click();
}

QStringList csvLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

/// The rows of a page as pdftotext lays them out, each with the lines its
/// wrapped values go on over (lines set in by more than a column's width).
QStringList pageRows(const QString& text)
{
    static const QRegularExpression firstWord(QStringLiteral("\\S"));
    QStringList rows;
    bool inRow = false;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype indent = line.indexOf(firstWord);
        if (indent < 0) {
            inRow = false;
            continue;
        }
        if (inRow && indent >= 12)
            rows.last() += QLatin1Char(' ') + line.simplified();
        else
            rows << line.simplified();
        inRow = true;
    }
    return rows;
}

/// The words of a row in order of the alphabet: a value wrapped over two lines has the same.
QStringList sortedWords(const QString& row)
{
    QStringList words = row.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    words.sort();
    return words;
}

/// A CSV row as the page prints it: dates as MM/DD/YYYY, cells apart, empty ones not seen.
QString printedRow(const QString& csv)
{
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    QStringList cells;
    for (QString cell : csv.split(QLatin1Char(','))) {
        if (const auto m = iso.match(cell); m.hasMatch())
            cell = m.captured(2) + QLatin1Char('/') + m.captured(3) + QLatin1Char('/') + m.captured(1);
        if (!cell.isEmpty())
            cells << cell;
    }
    return cells.join(QLatin1Char(' '));
}

} // namespace

class TestStatsPrint : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void eachFigureSavedHoldsTheHandWorkedFigures_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("view");             // Combo2, Combo3 or Combo4's choice; -1: as it opens
        QTest::addColumn<int>("table");            // the table chosen from the buttons' menu
        QTest::addColumn<QStringList>("expected"); // the captions, then rows that must each be there once
        QTest::addColumn<int>("rows");             // rows in all
        QTest::newRow("frames per stop by week")
            << int(Statistics::FramesTab) << -1 << 0
            << QStringList{QStringLiteral("Week of,Frames,Calls,Frames per stop,Days counted,Days left out,Calls left "
                                          "out,Goal"),
                           QStringLiteral("2004-11-28,14200,12,1183,6,1,3,1500"),
                           QStringLiteral("2004-12-26,8000,4,2000,2,1,1,1500"),
                           QStringLiteral("2005-01-02,1000,1,1000,1,2,2,1500")}
            << 3;
        QTest::newRow("frames per stop by day")
            << int(Statistics::FramesTab) << 0 << 0
            << QStringList{QStringLiteral("Day,Frames,Calls,Frames per stop,Days counted,Days left out,Calls left "
                                          "out,Goal"),
                           QStringLiteral("2004-11-30,,,,0,1,3,1500"),
                           QStringLiteral("2004-12-01,2000,0,no stop,1,0,0,1500"),
                           QStringLiteral("2004-12-02,1200,4,300,1,0,0,1500")}
            << 13;
        QTest::newRow("lanes that need attention")
            << int(Statistics::LanesTab) << -1 << 0
            << QStringList{QStringLiteral("Rank,Lane,Calls,Share of calls (%),Most frequent call,Times,Second,Times,"
                                          "Third,Times"),
                           QStringLiteral("1,3,5,21.7,Pins jammed in elevator,3,Ball stuck in pit,2,,"),
                           QStringLiteral("2,2,4,17.4,Pin on deck,2,Sweep stuck,2,,"),
                           QStringLiteral("2,5,4,17.4,Ball stuck in pit,2,Pins jammed in elevator,2,,"),
                           QStringLiteral("4,7,3,13.0,Foul light on,3,,,,"),
                           QStringLiteral("5,1,2,8.7,Scoring monitor blank,2,,,,"),
                           QStringLiteral("5,9,2,8.7,Ball return belt off,2,,,,"),
                           QStringLiteral("7,4,0,0.0,,,,,,"),
                           QStringLiteral("7,6,0,0.0,,,,,,"),
                           QStringLiteral("7,8,0,0.0,,,,,,"),
                           QStringLiteral("7,10,0,0.0,,,,,,")}
            << 10;
        QTest::newRow("calls per lane and week")
            << int(Statistics::LanesTab) << -1 << 1
            << QStringList{QStringLiteral(
                               "Lane,11/28/2004,12/05/2004,12/12/2004,12/19/2004,12/26/2004,01/02/2005,Total"),
                           QStringLiteral("2,0,0,0,0,3,1,4"), QStringLiteral("3,5,0,0,0,0,0,5"),
                           QStringLiteral("7,2,0,0,0,1,0,3"), QStringLiteral("9,0,0,0,0,1,1,2")}
            << 10;
        QTest::newRow("calls on other lanes")
            << int(Statistics::LanesTab) << -1 << 2
            << QStringList{QStringLiteral("Lane,Calls,Share of calls (%),Most frequent call,Times,Second,Times,Third,"
                                          "Times"),
                           QStringLiteral("12,2,8.7,Deck not lowering,2,,,,"),
                           QStringLiteral("7.5,1,4.3,Bumper stuck,1,,,,")}
            << 2;
        QTest::newRow("each repeat call")
            << int(Statistics::RepeatsTab) << -1 << 1
            << QStringList{QStringLiteral("Lane,Call,Repeats,First call,Time,Fixed by,Called again,Time,Fixed by,Days "
                                          "between"),
                           QStringLiteral(
                               "3,Pins jammed in elevator,2,2004-11-28,10:05:00,Dave,2004-11-30,10:15:00,Dave,2"),
                           QStringLiteral(
                               "3,Pins jammed in elevator,2,2004-11-30,10:15:00,Dave,2004-12-02,09:00:00,Ray,2"),
                           QStringLiteral("5,Pins jammed in elevator,1,2004-11-29,14:10:00,Dave & Marco,2004-12-02,"
                                          "18:00:00,Ray & Tomasz,3"),
                           QStringLiteral("9,Ball return belt off,1,2005-01-01,12:00:00,Marco,2005-01-02,12:10:00 AM,"
                                          "Ray,1")}
            << 9;
        QTest::newRow("calls by section")
            << int(Statistics::TimesTab) << -1 << 0
            << QStringList{QStringLiteral("Section,Calls,Share (%)"), QStringLiteral("Pin handling,9,39.1"),
                           QStringLiteral("Ball return,6,26.1"),      QStringLiteral("Detection,3,13.0"),
                           QStringLiteral("Scoring,2,8.7"),           QStringLiteral("Lane and people,3,13.0")}
            << 5;
        QTest::newRow("calls by weekday and hour")
            << int(Statistics::TimesTab) << 3 << 0
            << QStringList{QStringLiteral("Weekday,0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,"
                                          "Total"),
                           QStringLiteral("Thursday,0,0,0,0,0,0,0,0,0,1,1,0,0,1,0,0,0,0,1,0,0,1,0,0,5")}
            << 7;
        QTest::newRow("calls per mechanic by week")
            << int(Statistics::MechanicsTab) << -1 << 0
            << QStringList{QStringLiteral("Week of,Dave,Ray,Marco,Tomasz,Nobody ticked,All calls"),
                           QStringLiteral("2004-11-28,7,3,4,2,1,15"),
                           QStringLiteral("2004-12-05,0,0,0,0,0,0"),
                           QStringLiteral("2004-12-12,0,0,0,0,0,0"),
                           QStringLiteral("2004-12-19,0,0,0,0,0,0"),
                           QStringLiteral("2004-12-26,2,1,1,1,0,5"),
                           QStringLiteral("2005-01-02,1,2,0,0,0,3")}
            << 6;
        QTest::newRow("share of each section")
            << int(Statistics::MechanicsTab) << 1 << 0
            << QStringList{QStringLiteral("Mechanic,Section,Handled,Section's calls,Share (%)"),
                           QStringLiteral("Dave,Pin handling,5,9,55.6"), QStringLiteral("Tomasz,Ball return,0,6,0.0"),
                           QStringLiteral("Nobody ticked,Ball return,1,6,16.7")}
            << 25;
    }

    void eachFigureSavedHoldsTheHandWorkedFigures()
    {
        QFETCH(int, tab);
        QFETCH(int, view);
        QFETCH(int, table);
        QFETCH(QStringList, expected);
        QFETCH(int, rows);
        if (!testing::canReadPdf())
            QSKIP("pdftotext (poppler-utils) is not installed");
        testing::TestApp app;
        Statistics* window = openOnTheLog(app);
        QVERIFY(window);
        window->SSTab1->setCurrentIndex(tab);
        if (view >= 0) {
            QComboBox* combo = tab == Statistics::FramesTab  ? window->Combo2
                               : tab == Statistics::TimesTab ? window->Combo3
                                                             : window->Combo4;
            combo->setCurrentIndex(view);
            emit combo->activated(view);
        }
        const QString pdf = QDir(app.folder()).filePath(QStringLiteral("figures.pdf"));
        const QString csv = QDir(app.folder()).filePath(QStringLiteral("figures")); // ".csv" is added
        app.fileDialog().names << pdf << csv;
        press(window->Command5, table);
        press(window->Command6, table);
        QCOMPARE(app.messages().texts(), QStringList());

        // The CSV: the captions, then every row once, the numbers as worked out by hand.
        const QStringList lines = csvLines(csv + QStringLiteral(".csv"));
        QCOMPARE(lines.value(0), expected.first());
        QCOMPARE(lines.size(), rows + 1);
        for (const QString& row : expected.mid(1))
            QVERIFY2(lines.count(row) == 1, qPrintable(row));

        // The PDF: the period, and each row once on a line of its own, nothing cut short.
        const QString text = testing::pdfPages(pdf).join(QLatin1Char('\n'));
        QVERIFY(text.contains(QStringLiteral("Figures of 11/28/2004 to 01/08/2005 (42 days).")));
        QVERIFY(!text.contains(QChar(0x2026)) && !text.contains(QStringLiteral("...")));
        QList<QStringList> printed;
        for (const QString& row : pageRows(text))
            printed << sortedWords(row);
        for (const QString& row : expected.mid(1))
            QVERIFY2(printed.count(sortedWords(printedRow(row))) == 1, qPrintable(printedRow(row)));
        if (tab == Statistics::FramesTab)
            QVERIFY(text.contains(QStringLiteral("4 days with calls but no frame count were left out (6 calls)")));
    }

    void printingGoesThroughTheReportOutput()
    {
        testing::TestApp app;
        Statistics* window = openOnTheLog(app);
        QVERIFY(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // The print dialog cancelled: nothing printed, nothing said.
        window->Command4->click();
        QCOMPARE(app.reportOutput().dialogPages, QList<int>{0});
        QVERIFY(app.reportOutput().printed.isEmpty());
        // Chosen: the printout holds the title, the period and the figures.
        app.reportOutput().choices.enqueue(ui::PrintChoice{QStringLiteral("Back Office"), 1, 0, -1});
        QTest::keySequence(window, QKeySequence::Print);
        QCOMPARE(app.reportOutput().printed.size(), 1);
        const auto& job = app.reportOutput().printed.first();
        QCOMPARE(job.title, QStringLiteral("Frames per Stop by Week"));
        QVERIFY(job.text.contains(QStringLiteral("Figures of 11/28/2004 to 01/08/2005 (42 days).")));
        QVERIFY(job.text.contains(QStringLiteral("11/28/2004 | 14200 | 12 | 1183 | 6 | 1 | 3 | 1500")));
        QCOMPARE(app.messages().texts(), QStringList());
        // The printer refuses it: said as the report windows say it.
        app.reportOutput().choices.enqueue(ui::PrintChoice{});
        app.reportOutput().outcomes.enqueue(ui::PrintOutcome{ui::PrintOutcome::State::Refused, QStringLiteral("Office"),
                                                             0, 0,
                                                             QStringLiteral("the printer is set not to accept "
                                                                            "jobs")});
        window->Command4->click();
        QCOMPARE(app.messages().texts(),
                 QStringList{QStringLiteral("The printer \"Office\" refused the report \"frames per stop by week\": "
                                            "the printer is set not to accept jobs. Nothing was printed; ask whoever "
                                            "looks after the printer, or preview the report and save it as a PDF "
                                            "file.")});
        // Preview opens the report window on the same figures (Alt+V presses the button a moment later).
        QTest::keyClick(window, Qt::Key_V, Qt::AltModifier);
        QTRY_COMPARE(app.reportOutput().windows.size(), 1);
        QVERIFY(app.reportOutput().windows.first()->pageText(0).contains(
            QStringLiteral("01/02/2005 | 1000 | 1 | 1000 | 1 | 2 | 2 | 1500")));
    }

    void aPdfThatCannotBeWrittenIsToldAndLeavesNothing()
    {
        testing::TestApp app;
        Statistics* window = openOnTheLog(app);
        QVERIFY(window);
        window->SSTab1->setCurrentIndex(Statistics::LanesTab);
        // A folder that is not there (Alt+D, the second table from the menu).
        const QString gone = QDir(app.folder()).filePath(QStringLiteral("gone/lanes.pdf"));
        app.fileDialog().names.enqueue(gone);
        QCOMPARE(window->Command5->menu()->actions().size(), 3);
        window->Command5->menu()->actions().at(1)->trigger();
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().texts().first().startsWith(QStringLiteral("The report was not saved: ")));
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Exclamation);
        QVERIFY(!QFile::exists(gone));
        // The file dialog cancelled: nothing written, nothing said.
        app.messages().seen.clear();
        window->Command5->menu()->actions().at(0)->trigger();
        QVERIFY(app.messages().seen.isEmpty());
        QCOMPARE(QDir(app.folder()).entryList({QStringLiteral("*.pdf")}), QStringList());
    }

    void aLongGridIsTurnedOrListedToFitThePage()
    {
        // 14 weeks of lanes 1 to N: lane L has L calls in week W's (W from 0) when W + L is even.
        auto grid = [](int lanes) {
            stats::LaneFigures figure;
            QList<stats::Column> columns{{QStringLiteral("Lane"), stats::Kind::Count}};
            for (int w = 0; w < 14; ++w)
                columns << stats::Column{QStringLiteral("week"), stats::Kind::Count};
            columns << stats::Column{QStringLiteral("Total"), stats::Kind::Count};
            figure.grid = stats::FigureTable(QStringLiteral("Calls per Lane and Week"), columns);
            for (int lane = 1; lane <= lanes; ++lane) {
                figure.grid.addRow();
                figure.grid.setCount(0, lane);
                for (int w = 0; w < 14; ++w)
                    figure.grid.setCount(w + 1, (w + lane) % 2 == 0 ? lane : 0);
                figure.grid.setCount(15, 7 * lane);
            }
            return figure;
        };
        stats::Request request;
        request.range = {QDate(2004, 10, 3), QDate(2005, 1, 8)}; // Sunday to Saturday, 14 weeks
        // 32 lanes: a row a week, a column a lane, every value whole on a landscape page.
        reports::FigureTable turned = stats::print::laneWeeks(grid(32), request);
        QCOMPARE(turned.columns.size(), 33);
        QCOMPARE(turned.columns.at(32).caption, QStringLiteral("32"));
        QCOMPARE(turned.rows.size(), 14);
        QCOMPARE(turned.rows.at(1).at(0).toDate(), QDate(2004, 10, 10));
        QCOMPARE(turned.rows.at(1).at(1).toLongLong(), 1);   // week 1, lane 1
        QCOMPARE(turned.rows.at(1).at(2).toLongLong(), 0);   // week 1, lane 2
        QCOMPARE(turned.rows.at(2).at(32).toLongLong(), 32); // week 2, lane 32
        QVERIFY(turned.landscape);
        store::Error error;
        auto report = reports::Report::fromFigures(turned, QDateTime(QDate(2005, 1, 9), QTime(9, 0)), &error);
        QVERIFY2(report, qPrintable(error.text()));
        QVERIFY(report->pageText(0).contains(QStringLiteral("10/10/2004 | 1 | 0 | 3 | 0 | 5 | 0 | 7 | 0 | 9 | 0 | 11 | "
                                                            "0 | 13 | 0 | 15 | 0 | 17 | 0 | 19 | 0 | 21 | 0 | 23 | 0 | "
                                                            "25 | 0 | 27 | 0 | 29 | 0 | 31 | 0")));
        // 40 lanes fit neither way: each lane's weeks with calls, one a line.
        const reports::FigureTable listed = stats::print::laneWeeks(grid(40), request);
        QCOMPARE(listed.columns.size(), 3);
        QCOMPARE(listed.rows.size(), 40 * 7);
        QCOMPARE(listed.rows.at(0), (QList<QVariant>{qint64(1), QDate(2004, 10, 10), qint64(1)}));
        QCOMPARE(listed.rows.last(), (QList<QVariant>{qint64(40), QDate(2004, 12, 26), qint64(40)}));
    }

    void aLineBreaksWhereAPeriodHasNoFigure()
    {
        // Three days at 1,000 frames per stop, the second without a figure: no point falls to zero.
        reports::FigureTable table;
        table.title = QStringLiteral("Frames per Stop by Day");
        table.columns = {{QStringLiteral("Day"), reports::FigureTable::Type::Date, 0},
                         {QStringLiteral("Frames per stop"), reports::FigureTable::Type::Number, 0}};
        table.rows = {{QDate(2004, 12, 1), 1000},
                      {QDate(2004, 12, 2), QStringLiteral("no stop")},
                      {QDate(2004, 12, 3), QVariant()},
                      {QDate(2004, 12, 4), 1000}};
        table.chartPlace = reports::FigureTable::ChartPlace::Above;
        table.chartKind = reports::ChartData::Kind::Line;
        table.chartValues = {1};
        store::Error error;
        const auto report = reports::Report::fromFigures(table, QDateTime(QDate(2004, 12, 7), QTime(9, 0)), &error);
        QVERIFY2(report, qPrintable(error.text()));
        QImage page(QSize(612, 792), QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setDotsPerMeterX(2835);
        page.setDotsPerMeterY(2835);
        {
            QPainter painter(&page);
            QVERIFY(report->paintPage(painter, 0, &error));
        }
        // The line's blue stands only near the top of the chart, at 1,000; axes and grid are grey.
        int high = 0, low = 0;
        for (int y = 80; y < 450; ++y) {
            for (int x = 36; x < 576; ++x) {
                const QColor c = page.pixelColor(x, y);
                if (c.blue() > c.red() + 40 && c.blue() > c.green() + 20)
                    ++(y < 200 ? high : low);
            }
        }
        QVERIFY2(high > 0 && low == 0, qPrintable(QStringLiteral("%1 above, %2 below").arg(high).arg(low)));
    }
};

QTEST_MAIN(TestStatsPrint)
#include "test_statsprint.moc"

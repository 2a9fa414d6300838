// The maintenance schedule on paper, on the hand-worked log (MaintLog, the
// clock on Sunday 11/07/2004): Preview on each tab hands a report to the
// preview, whose Print, Save as PDF and Save as CSV go through the scripted
// seams. The PDF is read back with pdftotext and the CSV as a file: every row
// of the window is there once, with the figures worked out by hand, whatever
// the user's language.
#include "MaintLog.h"
#include "support/TestApp.h"

#include "../reports/DrawnText.h"

#include "app/MainMenu.h"
#include "maint/MaintSchedule.h"
#include "maint/ScheduleModels.h"
#include "reports/PreviewWindow.h"
#include "ui/MaskedDateEdit.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <algorithm>

using maint::MaintSchedule;
using testing::MaintLog;

namespace {

const QDateTime kSunday(QDate(2004, 11, 7), QTime(10, 0));

MaintSchedule* openFromMenu()
{
    auto& screens = ui::ScreenRegistry::instance();
    auto* menu = qobject_cast<app::MainMenu*>(screens.show(QStringLiteral("MainMenu")));
    if (!menu)
        return nullptr;
    menu->mnuUtilMaintenance->trigger();
    return qobject_cast<MaintSchedule*>(screens.find(QStringLiteral("MaintSchedule")));
}

MaintSchedule* openOnLog(testing::TestApp& app)
{
    if (!MaintLog::write([&app](const QString& sql) { return app.exec(sql); }))
        return nullptr;
    return openFromMenu();
}

/// Presses Preview on a tab: the one report it handed to the preview.
std::shared_ptr<ui::ReportDocument> previewTab(testing::TestApp& app, MaintSchedule* window, MaintSchedule::Tab tab)
{
    window->SSTab1->setCurrentIndex(tab);
    const qsizetype before = app.reportOutput().windows.size();
    window->Command8->click();
    if (app.reportOutput().windows.size() != before + 1)
        return nullptr;
    return app.reportOutput().windows.last();
}

/// Saves the report from its preview as PDF and CSV, as the user does: the
/// PDF's text page by page, and the CSV's lines.
struct Saved {
    QStringList pages;
    QStringList csv;
};

Saved saveFromPreview(testing::TestApp& app, const std::shared_ptr<ui::ReportDocument>& document, const QString& name)
{
    reports::PreviewWindow preview(document);
    const QString pdf = QDir(app.folder()).filePath(name + QStringLiteral(".pdf"));
    const QString csv = QDir(app.folder()).filePath(name + QStringLiteral(".csv"));
    app.fileDialog().names.enqueue(pdf);
    preview.PdfButton->click();
    app.fileDialog().names.enqueue(csv);
    preview.CsvButton->click();
    Saved saved;
    saved.pages = testing::pdfPages(pdf);
    QFile file(csv);
    if (file.open(QIODevice::ReadOnly))
        saved.csv = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return saved;
}

/// The lines of the PDF's pages, each as its words (pdftotext sets columns apart by one space or more).
QList<QStringList> rowsOf(const QStringList& pages)
{
    QList<QStringList> rows;
    for (const QString& page : pages)
        for (const QString& line : page.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                rows << testing::wordsOf(line);
    return rows;
}

/// How many lines hold these cells, and nothing else.
int countRow(const QList<QStringList>& rows, const QStringList& cells)
{
    return int(std::count(rows.begin(), rows.end(), testing::wordsOf(cells.join(QLatin1Char(' ')))));
}

/// The words of the PDF's pages in reading order, the page headings and footings left in.
bool saysInOrder(const QStringList& pages, const QString& text)
{
    const QStringList words = testing::wordsOf(pages.join(QLatin1Char('\n')));
    return testing::findInOrder(words, testing::wordsOf(text), 0, words.size()) >= 0;
}

} // namespace

class TestMaintPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!testing::canReadPdf())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void theDueListIsPrintedAndSavedRowForRow()
    {
        testing::TestApp app(kSunday);
        MaintSchedule* window = openOnLog(app);
        QVERIFY(window);
        QCOMPARE(window->Command8->text(), QStringLiteral("Pre&view..."));
        const auto document = previewTab(app, window, MaintSchedule::DueTab);
        QVERIFY(document);
        QCOMPARE(document->title(), QStringLiteral("Maintenance Due List"));
        QCOMPARE(document->fileName(), QStringLiteral("maintenance due list"));
        QVERIFY2(document->pageSize().width() > document->pageSize().height(), "nine columns: a page turned");

        // Printed through the print dialog's answer: every page, the figures with them.
        reports::PreviewWindow preview(document);
        app.reportOutput().choices.enqueue(ui::PrintChoice{});
        preview.PrintButton->click();
        QCOMPARE(app.reportOutput().printed.size(), 1);
        QCOMPARE(app.reportOutput().printed.first().pages, document->pageCount());
        QVERIFY(app.reportOutput().printed.first().text.contains(
            QStringLiteral("Check ball lift belts | Centre | 25,000 frames or 30 days | 10/15/2004 | Marco | 27083 | "
                           "23 | 18 | Due")));
        QVERIFY(app.messages().seen.isEmpty());

        const Saved saved = saveFromPreview(app, document, QStringLiteral("due"));
        QVERIFY(!saved.pages.isEmpty());
        QVERIFY(saysInOrder(saved.pages,
                            QStringLiteral("Maintenance Due List Printed 11/07/2004 10:00 AM Due on 11/07/2004 at a "
                                           "centre of 24 lanes, due soon within 10% of an interval: 0 overdue, 26 "
                                           "due, 0 due soon, 24 done. Some days since a task by frames was done have "
                                           "no frame count (up to 18 days): their frames are not counted.")));
        // Figures worked out by hand: 650,000 frames since 10/15 over 24 lanes, 18 of the 22 days
        // between without a count; 600,000 since 11/01 (the day itself not counted) is 25,000 exactly.
        const QList<QStringList> rows = rowsOf(saved.pages);
        QCOMPARE(countRow(rows, {QStringLiteral("Check ball lift belts"), QStringLiteral("Centre"),
                                 QStringLiteral("25,000 frames or 30 days"), QStringLiteral("10/15/2004"),
                                 QStringLiteral("Marco"), QStringLiteral("27083"), QStringLiteral("23"),
                                 QStringLiteral("18"), QStringLiteral("Due")}),
                 1);
        QCOMPARE(
            countRow(rows, {QStringLiteral("Lube deck gearboxes"), QStringLiteral("Centre"),
                            QStringLiteral("25,000 frames"), QStringLiteral("11/01/2004"), QStringLiteral("Dave"),
                            QStringLiteral("25000"), QStringLiteral("6"), QStringLiteral("2"), QStringLiteral("Due")}),
            1);
        for (int lane = 1; lane <= MaintLog::kLanes; ++lane) {
            const QString l = QString::number(lane);
            QCOMPARE(countRow(rows, {QStringLiteral("Replace deck belts"), l, QStringLiteral("365 days"),
                                     QStringLiteral("never"), QStringLiteral("Due")}),
                     1);
            QCOMPARE(countRow(rows, {QStringLiteral("Clean pit carpet"), l, QStringLiteral("7 days"),
                                     QStringLiteral("11/07/2004"), QStringLiteral("Marco"), QStringLiteral("0"),
                                     QStringLiteral("Done")}),
                     1);
        }
        QVERIFY(saysInOrder(saved.pages, QStringLiteral("Page 1 of %1").arg(document->pageCount())));

        // The CSV: a heading and the 50 rows of the window, in its order, figures as stored.
        QCOMPARE(saved.csv.size(), 51);
        QCOMPARE(saved.csv.at(0), QStringLiteral("Task,Lane,Every,Last done,By,Frames per machine,Days since,"
                                                 "Days without a count,State"));
        QCOMPARE(
            saved.csv.at(1),
            QStringLiteral("Check ball lift belts,Centre,\"25,000 frames or 30 days\",2004-10-15,Marco,27083,23,18,"
                           "Due"));
        QCOMPARE(saved.csv.at(2),
                 QStringLiteral("Lube deck gearboxes,Centre,\"25,000 frames\",2004-11-01,Dave,25000,6,2,Due"));
        QCOMPARE(saved.csv.at(3), QStringLiteral("Replace deck belts,1,365 days,never,,,,,Due"));
        QCOMPARE(saved.csv.last(), QStringLiteral("Clean pit carpet,24,7 days,2004-11-07,Marco,,0,,Done"));
        QCOMPARE(saved.csv.filter(QStringLiteral(",Done")).size(), 24);
    }

    void theGridIsPrintedAsTheLanesInEachState()
    {
        testing::TestApp app(kSunday);
        QVERIFY(MaintLog::write([&app](const QString& sql) { return app.exec(sql); }));
        // New deck belts on lanes 5-8 and 12: those are done, the others still due.
        for (int lane : {5, 6, 7, 8, 12})
            QVERIFY(app.exec(QStringLiteral("INSERT INTO MaintDone (TaskId, Lane, DateDone, Mechanic) VALUES "
                                            "(4, %1, '2004-11-06', 'Dave')")
                                 .arg(lane)));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        const auto document = previewTab(app, window, MaintSchedule::GridTab);
        QVERIFY(document);
        QCOMPARE(document->title(), QStringLiteral("Maintenance Due by Lane"));
        const Saved saved = saveFromPreview(app, document, QStringLiteral("grid"));
        QVERIFY(saysInOrder(saved.pages, QStringLiteral("0 overdue, 21 due, 0 due soon, 29 done.")));
        QVERIFY(saysInOrder(saved.pages, QStringLiteral("Tasks done on each lane separately, each lane under its "
                                                        "state.")));
        const QList<QStringList> rows = rowsOf(saved.pages);
        QCOMPARE(countRow(rows, {QStringLiteral("Task"), QStringLiteral("Overdue"), QStringLiteral("Due"),
                                 QStringLiteral("Due soon"), QStringLiteral("Done")}),
                 1);
        QCOMPARE(countRow(rows, {QStringLiteral("Clean pit carpet"), QStringLiteral("1-24")}), 1);
        QCOMPARE(countRow(rows, {QStringLiteral("Replace deck belts"), QStringLiteral("1-4, 9-11, 13-24"),
                                 QStringLiteral("5-8, 12")}),
                 1);
        // Centre tasks have no lanes: they stand in the due list only.
        QVERIFY(!saysInOrder(saved.pages, QStringLiteral("Lube deck gearboxes")));
        QCOMPARE(saved.csv, QStringList({QStringLiteral("Task,Overdue,Due,Due soon,Done"),
                                         QStringLiteral("Clean pit carpet,,,,1-24"),
                                         QStringLiteral("Replace deck belts,,\"1-4, 9-11, 13-24\",,\"5-8, 12\"")}));
    }

    void theHistoryChosenIsPrintedWithItsDaysWithoutACount()
    {
        testing::TestApp app(kSunday);
        MaintSchedule* window = openOnLog(app);
        QVERIFY(window);
        // The gearboxes lubed again today: 600,000 frames since 11/01 over 24 lanes.
        window->SSTab1->setCurrentIndex(MaintSchedule::DueTab);
        const auto& entries = window->dueList().entries;
        for (int row = 0; row < entries.size(); ++row)
            if (entries.at(row).task.id == 1)
                window->Grid1->selectionModel()->select(window->dueModel()->index(row, 0),
                                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window->Combo1->setEditText(QStringLiteral("Dave"));
        window->Command2->click();
        QVERIFY(app.messages().seen.isEmpty());

        // What the boxes say is shown and printed, even before Show is pressed.
        window->SSTab1->setCurrentIndex(MaintSchedule::HistoryTab);
        window->Combo2->setCurrentIndex(window->Combo2->findText(QStringLiteral("Lube deck gearboxes")));
        window->Text6->setText(QStringLiteral("c"));
        window->MaskEdBox2->setDate(QDate(2004, 11, 1));
        window->MaskEdBox3->setDate(QDate(2004, 11, 7));
        auto document = previewTab(app, window, MaintSchedule::HistoryTab);
        QVERIFY(document);
        QCOMPARE(window->Grid4->model()->rowCount(), 2);
        Saved saved = saveFromPreview(app, document, QStringLiteral("history"));
        // 11/04 has a count of 0 and 11/05 none.
        QVERIFY(saysInOrder(saved.pages,
                            QStringLiteral("Maintenance History Printed 11/07/2004 10:00 AM Completions of \"Lube deck "
                                           "gearboxes\" on the centre, from 11/01/2004 to 11/07/2004. 2 days from "
                                           "11/01/2004 to 11/07/2004 have no frame count: the frames per machine "
                                           "leave them out.")));
        QList<QStringList> rows = rowsOf(saved.pages);
        QCOMPARE(
            countRow(rows, {QStringLiteral("11/01/2004"), QStringLiteral("Lube deck gearboxes"),
                            QStringLiteral("Centre"), QStringLiteral("Dave"), QStringLiteral("Maintenance window")}),
            1);
        QCOMPARE(countRow(rows, {QStringLiteral("11/07/2004"), QStringLiteral("Lube deck gearboxes"),
                                 QStringLiteral("Centre"), QStringLiteral("Dave"), QStringLiteral("25000"),
                                 QStringLiteral("Maintenance window")}),
                 1);
        QCOMPARE(saved.csv.size(), 3);
        QCOMPARE(saved.csv.at(2),
                 QStringLiteral("2004-11-07,Lube deck gearboxes,Centre,Dave,25000,Maintenance window"));

        // Every task on every lane: all 29 completions once, the removed task said, over more than one page.
        window->Combo2->setCurrentIndex(0);
        window->Text6->clear();
        window->MaskEdBox2->setMaskedText(QString());
        window->MaskEdBox3->setMaskedText(QString());
        document = previewTab(app, window, MaintSchedule::HistoryTab);
        QVERIFY(document);
        saved = saveFromPreview(app, document, QStringLiteral("all"));
        QVERIFY2(saysInOrder(saved.pages, QStringLiteral("Completions of every task on every lane and the centre, on "
                                                         "every day. 24 days from 10/10/2004 to 11/07/2004 have no "
                                                         "frame count: the frames per machine leave them out.")),
                 qPrintable(saved.pages.value(0).left(400)));
        rows = rowsOf(saved.pages);
        QCOMPARE(
            countRow(rows, {QStringLiteral("10/10/2004"), QStringLiteral("Old task (removed)"),
                            QStringLiteral("Centre"), QStringLiteral("Dave"), QStringLiteral("Maintenance window")}),
            1);
        for (int lane = 1; lane <= MaintLog::kLanes; ++lane)
            QCOMPARE(
                countRow(rows, {QStringLiteral("11/07/2004"), QStringLiteral("Clean pit carpet"), QString::number(lane),
                                QStringLiteral("Marco"), QStringLiteral("Maintenance window")}),
                1);
        QCOMPARE(saved.csv.size(), 30);
        QCOMPARE(saved.csv.filter(QStringLiteral("Clean pit carpet")).size(), 25);
    }

    void nothingIsPreviewedThatTheWindowCannotShow()
    {
        testing::TestApp app(kSunday);
        MaintSchedule* window = openOnLog(app);
        QVERIFY(window);
        // A lane that is none: said, and no report.
        window->SSTab1->setCurrentIndex(MaintSchedule::HistoryTab);
        window->Text6->setText(QStringLiteral("x"));
        app.messages().answers.enqueue(ui::Answer::Ok);
        window->Command8->click();
        QCOMPARE(app.messages().seen.size(), 1);
        QCOMPARE(app.messages().seen.last().text,
                 QStringLiteral("The lane must be a lane number, C for the centre, or empty for every lane; \"x\" is "
                                "not."));
        QVERIFY(app.reportOutput().windows.isEmpty());
        // The tasks tab has nothing to print: no Preview there.
        window->SSTab1->setCurrentIndex(MaintSchedule::TasksTab);
        QVERIFY(!window->Command8->isVisible());
        // Without the number of lanes there is no due list to print.
        QVERIFY(app.exec(QStringLiteral("DELETE FROM Settings")));
        window->Command1->click();
        window = openFromMenu();
        QVERIFY(window);
        app.messages().answers.enqueue(ui::Answer::Ok);
        window->SSTab1->setCurrentIndex(MaintSchedule::DueTab);
        window->Command8->click();
        QCOMPARE(app.messages().seen.last().text,
                 QStringLiteral("Type the number of lanes at the centre in Lanes at the centre first: the due list is "
                                "worked out from it."));
        QVERIFY(app.reportOutput().windows.isEmpty());
    }
};

QTEST_MAIN(TestMaintPrint)
#include "test_maintprint.moc"

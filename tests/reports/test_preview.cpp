// The preview window on real reports: moving through the pages, zoom, saving
// as PDF and CSV, the graphs drawn, and printing on a machine without a printer.
#include "ReportFixture.h"

#include "reports/CrystalReport.h"
#include "reports/PreviewWindow.h"
#include "reports/ReportOutput.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using reports::CrystalReport;
using reports::PreviewWindow;

namespace {

std::shared_ptr<ui::ReportDocument> runReport(testing::TestApp& app, const QString& file, int extraCalls = 0)
{
    testing::copyDefinitions(app.folder());
    testing::fillReportData([&app](const QString& sql) { return app.exec(sql); });
    if (extraCalls > 0) {
        QStringList rows;
        for (int i = 0; i < extraCalls; ++i)
            rows << QStringLiteral("('2004-11-%1', '9:00:00 AM', 'Day', %2, 'Extra %3', '1', 'Ray', ' ', NULL)")
                        .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                        .arg(1 + i % 24)
                        .arg(i);
        app.exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, "
                                "Notes) VALUES ") +
                 rows.join(QLatin1Char(',')));
    }
    QObject owner;
    CrystalReport control(&owner);
    control.setReportFileName(file);
    control.setAction(1);
    return app.reportOutput().windows.value(0);
}

bool hasColour(const QImage& image, QColor colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); y += 2) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); x += 2) {
            const QColor c(line[x]);
            if (qAbs(c.red() - colour.red()) < 12 && qAbs(c.green() - colour.green()) < 12 &&
                qAbs(c.blue() - colour.blue()) < 12)
                return true;
        }
    }
    return false;
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void movesThroughThePages()
    {
        testing::TestApp app;
        const auto document = runReport(app, QStringLiteral("alldata.rpt"), 200);
        QVERIFY(document);
        const int pages = document->pageCount();
        QVERIFY(pages >= 4);
        PreviewWindow window(document);
        window.show();
        QCOMPARE(window.PageCount->text(), QStringLiteral(" of %1 ").arg(pages));
        QCOMPARE(window.currentPage(), 0);
        QVERIFY(!window.PreviousButton->isEnabled());
        const QImage first = window.pageImage();
        QVERIFY(!first.isNull());
        window.NextButton->click();
        QCOMPARE(window.currentPage(), 1);
        QCOMPARE(window.PageBox->value(), 2);
        QVERIFY(window.pageImage() != first);
        window.LastButton->click();
        QCOMPARE(window.currentPage(), pages - 1);
        QVERIFY(!window.NextButton->isEnabled());
        window.NextButton->click(); // disabled: stays
        QCOMPARE(window.currentPage(), pages - 1);
        window.PageBox->setValue(3);
        QCOMPARE(window.currentPage(), 2);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.Area->setFocus();
        QTest::keyClick(window.Area, Qt::Key_Home);
        QCOMPARE(window.currentPage(), 0);
        QTest::keyClick(window.Area, Qt::Key_PageDown);
        QCOMPARE(window.currentPage(), 1);
    }

    // The window says when the report ran: its pages are the rows of that moment.
    void saysWhenTheReportRan()
    {
        testing::TestApp app;
        const auto document = runReport(app, QStringLiteral("daily.rpt"));
        PreviewWindow window(document);
        QCOMPARE(window.RunLabel->text(), QStringLiteral(" Run 12/07/2004 10:15 AM "));
        QVERIFY(window.PageCount->text() == QStringLiteral(" of 1 "));
    }

    // The window opens at "Page Width": the page fills the width it is shown
    // in, and again when the window is made wider.
    void opensWithThePageAsWideAsTheWindow()
    {
        testing::TestApp app;
        const auto document = runReport(app, QStringLiteral("daily.rpt"));
        PreviewWindow window(document);
        QCOMPARE(window.ZoomBox->currentText(), QStringLiteral("Page Width"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.PageView->width() >= window.Area->viewport()->width() - 30);
        window.resize(window.width() + 200, window.height());
        QTRY_VERIFY(window.PageView->width() >= window.Area->viewport()->width() - 30);
        QVERIFY(window.PageView->width() <= window.Area->viewport()->width());
    }

    void zoomSetsTheSizeOnScreen()
    {
        testing::TestApp app;
        const auto document = runReport(app, QStringLiteral("daily.rpt"));
        PreviewWindow window(document);
        window.show();
        window.ZoomBox->setCurrentIndex(window.ZoomBox->findText(QStringLiteral("100%")));
        const double ratio = window.devicePixelRatioF();
        QCOMPARE(window.pageImage().width(), qRound(612 * window.logicalDpiX() / 72.0 * ratio));
        window.ZoomBox->setCurrentIndex(window.ZoomBox->findText(QStringLiteral("200%")));
        QCOMPARE(window.pageImage().width(), qRound(2 * 612 * window.logicalDpiX() / 72.0 * ratio));
        window.ZoomBox->setCurrentIndex(window.ZoomBox->findText(QStringLiteral("Whole Page")));
        QVERIFY(window.PageView->height() <= window.Area->viewport()->height());
    }

    void savesPdfAndCsv()
    {
        testing::TestApp app;
        const auto document = runReport(app, QStringLiteral("weekly.rpt"));
        PreviewWindow window(document);
        const QString pdf = QDir(app.folder()).filePath(QStringLiteral("week"));
        app.fileDialog().names.enqueue(pdf);
        window.PdfButton->click();
        QVERIFY(QFile::exists(pdf + QStringLiteral(".pdf")));
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"), {pdf + QStringLiteral(".pdf"), QStringLiteral("-")});
        if (tool.waitForFinished(30000) && tool.exitCode() == 0) {
            const QString text = QString::fromUtf8(tool.readAllStandardOutput());
            QVERIFY2(text.contains(QStringLiteral("Calls This Week")), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("Page 1 of 1")));
            QVERIFY(text.contains(QStringLiteral("Deck not lowering")));
        }
        const QString csv = QDir(app.folder()).filePath(QStringLiteral("week.csv"));
        app.fileDialog().names.enqueue(csv);
        window.CsvButton->click();
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 8); // the headings and the week's seven calls
        QCOMPARE(app.messages().texts(), QStringList());
        // Cancelled: nothing written, nothing said.
        window.PdfButton->click();
        QCOMPARE(app.messages().texts(), QStringList());
        // A folder that is not there: said, and nothing left behind.
        app.fileDialog().names.enqueue(QDir(app.folder()).filePath(QStringLiteral("gone/week.pdf")));
        window.PdfButton->click();
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().texts().first().startsWith(QStringLiteral("The report was not saved: ")));
    }

    void graphsAreDrawn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("bar") << "bgraph.rpt";
        QTest::newRow("pie") << "pgraph.rpt";
        QTest::newRow("mechanic #1") << "gmech1.rpt";
        QTest::newRow("mechanic #2") << "gmech2.rpt";
    }
    void graphsAreDrawn()
    {
        QFETCH(QString, file);
        testing::TestApp app;
        const auto document = runReport(app, file);
        QVERIFY(document);
        PreviewWindow window(document);
        window.show();
        // The first bar or slice is drawn in the graphs' first colour.
        QVERIFY(hasColour(window.pageImage(), QColor(0x3B, 0x6E, 0xA5)));
    }

    // Print asks for the printer, copies and pages, sends what was chosen and
    // tells what the print system answers; Cancel sends nothing.
    void printsWhatTheDialogChose()
    {
        testing::TestApp app;
        const auto document = runReport(app, QStringLiteral("alldata.rpt"), 200);
        PreviewWindow window(document);
        window.NextButton->click();
        window.PrintButton->click(); // the dialog cancelled
        QCOMPARE(app.reportOutput().dialogPages, QList<int>{1});
        QVERIFY(app.reportOutput().printed.isEmpty());
        app.reportOutput().choices.enqueue(ui::PrintChoice{QStringLiteral("Back Office"), 2, 1, 1});
        window.PrintButton->click();
        QCOMPARE(app.reportOutput().printed.size(), 1);
        const auto& job = app.reportOutput().printed.first();
        QCOMPARE(job.choice.printer, QStringLiteral("Back Office"));
        QCOMPARE(job.choice.copies, 2);
        QCOMPARE(job.pages, 1);
        QVERIFY(job.text.contains(QStringLiteral("alldata.rpt | Page 2 of %1").arg(document->pageCount())));
        QCOMPARE(app.messages().texts(), QStringList());
        app.reportOutput().choices.enqueue(ui::PrintChoice{});
        app.reportOutput().outcomes.enqueue(ui::PrintOutcome{ui::PrintOutcome::State::Refused, QStringLiteral("Office"),
                                                             0, 0,
                                                             QStringLiteral("the printer is set not to accept jobs")});
        window.PrintButton->click();
        QCOMPARE(app.messages().seen.size(), 1);
        QVERIFY(app.messages().texts().first().startsWith(
            QStringLiteral("The printer \"Office\" refused the report \"alldata.rpt\"")));
    }

    void programsOutputOpensTheWindowWithItsFirstPage()
    {
        testing::TestApp app;
        const auto document = runReport(app, QStringLiteral("alldata.rpt"));
        reports::ReportOutput output;
        output.toWindow(document);
        PreviewWindow* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<PreviewWindow*>(top); preview && preview->isVisible())
                window = preview;
        }
        QVERIFY(window);
        QVERIFY(!window->pageImage().isNull());
        QCOMPARE(window->windowTitle(), QStringLiteral("All Calls Sorted by Date - Preview"));
        window->CloseButton->click();
        QTRY_VERIFY(!window->isVisible());
    }
};

QTEST_MAIN(TestPreview)
#include "test_preview.moc"

// A table of figures the program computed, shown as a report: its title,
// period, captions and every value on the page and in the PDF, its graph
// drawn beside the table, its CSV as computed; a table that is not one is
// refused with a message.
#include "DrawnText.h"

#include "reports/engine/Report.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using reports::FigureTable;
using reports::Report;

namespace {

FigureTable framesPerStop()
{
    FigureTable table;
    table.title = QStringLiteral("Frames per Stop");
    table.period = QStringLiteral("11/01/2026 to 11/28/2026");
    table.fileName = QStringLiteral("frames per stop");
    table.columns = {{QStringLiteral("Week of"), FigureTable::Type::Date, 0},
                     {QStringLiteral("Frames"), FigureTable::Type::Number, 0},
                     {QStringLiteral("Calls"), FigureTable::Type::Number, 0},
                     {QStringLiteral("Frames per stop"), FigureTable::Type::Number, 1}};
    table.rows = {{QDate(2026, 11, 1), 41230, 27, 41230.0 / 27},
                  {QDate(2026, 11, 8), 39877, 31, 39877.0 / 31},
                  {QDate(2026, 11, 15), 44102, 24, 44102.0 / 24},
                  {QDate(2026, 11, 22), 38011, QVariant(), QVariant()}};
    table.chartPlace = FigureTable::ChartPlace::Beside;
    table.chartKind = reports::ChartData::Kind::Bar;
    table.chartCategory = 0;
    table.chartValues = {3};
    return table;
}

} // namespace

class TestFigureReport : public QObject {
    Q_OBJECT
private slots:
    void figuresArePrintedAsComputed()
    {
        store::Error error;
        const auto report = Report::fromFigures(framesPerStop(), QDateTime(QDate(2026, 12, 8), QTime(16, 5)), &error);
        QVERIFY2(report, qPrintable(error.text()));
        QCOMPARE(report->pageCount(), 1);
        const QStringList text = report->pageText(0);
        QCOMPARE(text.value(0), QStringLiteral("Frames per Stop | Printed 12/08/2026 4:05 PM"));
        QCOMPARE(text.value(1), QStringLiteral("11/01/2026 to 11/28/2026"));
        QVERIFY(text.contains(QStringLiteral("Week of | Frames | Calls | Frames per stop")));
        QVERIFY(text.contains(QStringLiteral("11/01/2026 | 41230 | 27 | 1527.0")));
        QVERIFY(text.contains(QStringLiteral("11/22/2026 | 38011 |  | ")));
        QCOMPARE(report->chart()->slices.size(), 4);
        QCOMPARE(report->chart()->slices.at(1).label, QStringLiteral("11/08/2026"));
        QCOMPARE(report->chart()->series, QStringList{QStringLiteral("Frames per stop")});

        // The graph stands beside the table, in the graphs' first colour.
        QImage page(QSize(850, 1100), QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        {
            QPainter painter(&page);
            QVERIFY(report->paintPage(painter, 0, &error));
        }
        int bar = 0;
        for (int y = 100; y < 500; y += 2) {
            for (int x = 480; x < 820; x += 2)
                bar += page.pixelColor(x, y) == QColor(0x3B, 0x6E, 0xA5) ? 1 : 0;
        }
        QVERIFY2(bar > 200, qPrintable(QString::number(bar)));

        if (!testing::canReadPdf())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("figures.pdf"));
        QVERIFY2(report->writePdf(pdf, &error), qPrintable(error.text()));
        const QStringList words = testing::wordsOf(testing::pdfPages(pdf).join(QLatin1Char('\n')));
        for (const char* shown : {"11/01/2026 to 11/28/2026", "Week of", "Frames per stop", "41230", "1286.4",
                                  "11/15/2026", "1837.6", "38011"})
            QVERIFY2(testing::findInOrder(words, testing::wordsOf(QString::fromLatin1(shown)), 0, words.size()) >= 0,
                     shown);
        const QString csv = folder.filePath(QStringLiteral("figures.csv"));
        QVERIFY2(report->writeCsv(csv, &error), qPrintable(error.text()));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 QStringLiteral("Week of,Frames,Calls,Frames per stop\r\n2026-11-01,41230,27,1527.0\r\n"
                                "2026-11-08,39877,31,1286.4\r\n2026-11-15,44102,24,1837.6\r\n2026-11-22,38011,,\r\n"));
    }

    void aTableThatIsNoneIsRefused()
    {
        FigureTable table = framesPerStop();
        table.rows << QList<QVariant>{QDate(2026, 11, 29), 1};
        store::Error error;
        QVERIFY(!Report::fromFigures(table, QDateTime::currentDateTime(), &error));
        QCOMPARE(error.text(), QStringLiteral("The figures \"Frames per Stop\" cannot be shown: row 5 has 2 values for "
                                              "4 columns."));
        QCOMPARE(error.kind, store::Error::Kind::Refused);
        table = framesPerStop();
        table.chartValues = {0};
        QVERIFY(!Report::fromFigures(table, QDateTime::currentDateTime(), &error));
        QVERIFY2(error.text().endsWith(QStringLiteral("its graph shows a column that holds no numbers.")),
                 qPrintable(error.text()));
        // No rows: the page says so.
        table = framesPerStop();
        table.rows.clear();
        const auto empty = Report::fromFigures(table, QDateTime::currentDateTime(), &error);
        QVERIFY(empty);
        QVERIFY(empty->pageText(0).contains(QStringLiteral("There are no figures for this period.")));
    }
};

QTEST_MAIN(TestFigureReport)
#include "test_figurereport.moc"

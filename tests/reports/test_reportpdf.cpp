// A report written as PDF by the engine, read back with pdftotext: every
// call on its page, the title and print date on each page, "Page N of M".
#include "ReportFixture.h"

#include "reports/engine/Report.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

using reports::Report;
using reports::ReportRequest;

namespace {

QString pdfText(const QString& pdf, int page)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                             QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(30000))
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {pdf});
    tool.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

} // namespace

class TestReportPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void callsAndFootingsOnEveryPage()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        QStringList rows;
        for (int i = 0; i < 130; ++i)
            rows << QStringLiteral(
                        "('2004-12-%1', '%2:%3:00 AM', 'Weekday', %4, 'Jam number %5', '1', 'Dave', ' ', NULL)")
                        .arg(1 + i / 50, 2, 10, QLatin1Char('0'))
                        .arg(8 + (i % 50) / 10)
                        .arg((i % 10) * 5, 2, 10, QLatin1Char('0'))
                        .arg(1 + i % 32)
                        .arg(i, 3, 10, QLatin1Char('0'));
        QVERIFY(
            db.exec(QStringLiteral("INSERT INTO DData (DateNow, Time, Weekday, LaneNo, callmade, Type, Name1, Name2, "
                                   "Notes) VALUES ") +
                    rows.join(QLatin1Char(','))));
        ReportRequest request;
        request.folder = db.folder();
        request.databasePath = db.databasePath();
        request.fileName = QStringLiteral("alldata.rpt");
        request.printedAt = QDateTime(testing::reportToday(), QTime(16, 5, 0));
        store::Error error;
        const auto report = Report::run(request, &error);
        QVERIFY2(report, qPrintable(error.text()));
        const QString pdf = QDir(db.folder()).filePath(QStringLiteral("alldata.pdf"));
        QVERIFY2(report->writePdf(pdf, &error), qPrintable(error.text()));
        QVERIFY(!QFile::exists(pdf + QStringLiteral(".partial")));
        const int pages = report->pageCount();
        QCOMPARE(pdfPages(pdf), pages);
        QCOMPARE(pages, 3);
        QStringList calls;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText(pdf, page);
            QVERIFY2(text.contains(QStringLiteral("All Calls Sorted by Date")), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("Printed 12/07/2004 4:05 PM")));
            QVERIFY(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)));
            QVERIFY(text.contains(QStringLiteral("alldata.rpt")));
            for (const QString& line : text.split(QLatin1Char('\n'))) {
                const qsizetype at = line.indexOf(QLatin1String("Jam number "));
                if (at >= 0)
                    calls << line.mid(at + 11, 3);
            }
        }
        QCOMPARE(calls.size(), 130);
        for (int i = 0; i < 130; ++i)
            QCOMPARE(calls.at(i), QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')));
        QVERIFY(pdfText(pdf, 1).contains(QStringLiteral("12/01/2004")));
        QVERIFY(pdfText(pdf, 3).contains(QStringLiteral("Total: 130 calls")));
    }

    // A saved PDF or CSV is readable by the other users of the PC as any file
    // the user makes; one saved over keeps the permissions it had.
    void savedFilesTakeTheUsualPermissions()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        store::Error error;
        const auto report = Report::run(testing::requestFor(db, QStringLiteral("daily.rpt")), &error);
        QVERIFY2(report, qPrintable(error.text()));
        const auto modeOf = [](const QString& path) {
            struct stat info {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
        };
        const mode_t before = ::umask(0002);
        const QString pdf = QDir(db.folder()).filePath(QStringLiteral("daily.pdf"));
        const QString csv = QDir(db.folder()).filePath(QStringLiteral("daily.csv"));
        const bool savedPdf = report->writePdf(pdf, &error);
        const bool savedCsv = report->writeCsv(csv, &error);
        ::chmod(QFile::encodeName(csv).constData(), 0640);
        const bool savedAgain = report->writeCsv(csv, &error);
        ::umask(before);
        QVERIFY2(savedPdf && savedCsv && savedAgain, qPrintable(error.text()));
        QCOMPARE(modeOf(pdf), 0664);
        QCOMPARE(modeOf(csv), 0640);
    }

    void unwritableFileLeavesNothing()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        ReportRequest request;
        request.folder = db.folder();
        request.databasePath = db.databasePath();
        request.fileName = QStringLiteral("daily.rpt");
        request.printedAt = QDateTime(testing::reportToday(), QTime(9, 0));
        store::Error error;
        const auto report = Report::run(request, &error);
        QVERIFY(report);
        const QString pdf = QDir(db.folder()).filePath(QStringLiteral("missing/daily.pdf"));
        QVERIFY(!report->writePdf(pdf, &error));
        QVERIFY2(error.text().startsWith(QLatin1Char('"') + QDir::toNativeSeparators(pdf) +
                                         QStringLiteral("\" cannot be written: ")),
                 qPrintable(error.text()));
        QCOMPARE(error.kind, store::Error::Kind::Io);
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(TestReportPdf)
#include "test_reportpdf.moc"

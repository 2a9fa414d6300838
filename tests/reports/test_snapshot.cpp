// A report shows the calls as they were when it ran: calls deleted or a
// file locked by another program afterwards change nothing on its pages or
// in its PDF; and running a report never writes to the file.
#include "DrawnText.h"
#include "HostileLog.h"
#include "ReportFixture.h"

#include "reports/engine/Report.h"
#include "store/Database.h"
#include "support/CallLogGenerator.h"
#include "support/TempDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <sqlite3.h>

using reports::Report;
using reports::ReportRequest;

namespace {

ReportRequest requestOn(const testing::TempDatabase& db, const QString& file)
{
    return testing::requestFor(db, file, testing::hostileNow());
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Another program holding the file locked for writing: no one else may read it.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const QString& path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        m_locked = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ExclusiveLock()
    {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    bool locked() const { return m_locked; }

private:
    sqlite3* m_db = nullptr;
    bool m_locked = false;
};

} // namespace

class TestSnapshot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!testing::canReadPdf())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }
    void cleanup() { store::Database::setBusyTimeout(4000); }

    // Five calls of yesterday deleted while "Sorted by Date" is open: its
    // pages and its PDF still show them under their own day, with the count
    // of the run, and today's calls stay under today.
    void deletedCallsStayAsTheyWereWhenRun()
    {
        testing::TempDatabase db;
        testing::fillHostileLog([&db](const QString& sql) { return db.exec(sql); });
        testing::copyDefinitions(db.folder());
        store::Error error;
        const auto report = Report::run(requestOn(db, QStringLiteral("alldata.rpt")), &error);
        QVERIFY2(report, qPrintable(error.text()));
        const QStringList gone =
            db.rows(QStringLiteral("SELECT Time FROM DData WHERE DateNow = '2026-12-07' ORDER BY rowid LIMIT 5"));
        QCOMPARE(gone.size(), 5);
        QVERIFY(db.exec(QStringLiteral("DELETE FROM DData WHERE rowid IN (SELECT rowid FROM DData WHERE DateNow = "
                                       "'2026-12-07' ORDER BY rowid LIMIT 5)")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM DData WHERE DateNow = '2026-12-07'")).toInt(), 7);

        const QString pdf = QDir(db.folder()).filePath(QStringLiteral("after.pdf"));
        QVERIFY2(report->writePdf(pdf, &error), qPrintable(error.text()));
        const QString text = testing::pdfPages(pdf).join(QLatin1Char('\n'));
        const QStringList words = testing::wordsOf(text);
        const qsizetype monday = text.indexOf(QStringLiteral("Monday 12/07/2026"));
        const qsizetype tuesday = text.indexOf(QStringLiteral("Tuesday 12/08/2026"));
        QVERIFY(monday >= 0 && tuesday > monday);
        for (const QString& time : gone) {
            const QString clock = time.split(QLatin1Char(' ')).first();
            QCOMPARE(testing::countWord(words, clock), 1);
            const qsizetype at = text.indexOf(clock);
            QVERIFY2(at > monday && at < tuesday, qPrintable(time));
        }
        QVERIFY(text.contains(QStringLiteral("12 calls")));
        QVERIFY(text.contains(QStringLiteral("Total: 122 calls")));
        QVERIFY(!text.contains(QStringLiteral("Total: 117 calls")));
        // The pages as the preview draws them agree with the PDF.
        QStringList drawn;
        for (int page = 0; page < report->pageCount(); ++page)
            drawn << report->pageText(page);
        for (const QString& time : gone)
            QVERIFY2(drawn.join(QLatin1Char('\n')).contains(time), qPrintable(time));
    }

    // Another program locks the file after the run: the pages, the PDF and
    // the CSV still hold every call of the run, at once, without waiting.
    void lockedFileAfterTheRunStillShowsTheRows()
    {
        testing::TempDatabase db;
        testing::fillHostileLog([&db](const QString& sql) { return db.exec(sql); });
        testing::copyDefinitions(db.folder());
        store::Database::setBusyTimeout(100);
        store::Error error;
        const auto report = Report::run(requestOn(db, QStringLiteral("daily.rpt")), &error);
        QVERIFY2(report, qPrintable(error.text()));
        ExclusiveLock lock(db.databasePath());
        QVERIFY(lock.locked());

        const QString pdf = QDir(db.folder()).filePath(QStringLiteral("locked.pdf"));
        QVERIFY2(report->writePdf(pdf, &error), qPrintable(error.text()));
        const QStringList words = testing::wordsOf(testing::pdfPages(pdf).join(QLatin1Char('\n')));
        QCOMPARE(testing::countWord(words, QStringLiteral("Maximilian")) > 10, true);
        QVERIFY(testing::findInOrder(words, testing::wordsOf(QStringLiteral("Total: 75 calls")), 0, words.size()) >= 0);
        for (int page = 0; page < report->pageCount(); ++page) {
            const QStringList lines = report->pageText(page);
            for (const QString& line : lines)
                QVERIFY2(!line.startsWith(QLatin1String(" |  |")), qPrintable(line));
        }
        const QString csv = QDir(db.folder()).filePath(QStringLiteral("locked.csv"));
        QVERIFY2(report->writeCsv(csv, &error), qPrintable(error.text()));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), 76);
    }

    // A list longer than what is read before its first page reads on in a
    // thread of its own, inside the same read transaction: calls deleted
    // meanwhile (the deleting program waits for the reading) are still on
    // its pages, and the page count comes once every row is in.
    void longListReadsOnAfterItsFirstPages()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        testing::CallLogGenerator generator;
        QString filled;
        QVERIFY2(generator.fill(db.databasePath(), 30000, &filled), qPrintable(filled));
        store::Error error;
        const auto report = Report::run(requestOn(db, QStringLiteral("alldata.rpt")), &error);
        QVERIFY2(report, qPrintable(error.text()));
        QVERIFY(!report->isComplete());
        QVERIFY(report->pagesReady() > 20);
        QVERIFY2(report->pageText(0).last() == QStringLiteral("alldata.rpt | Page 1"),
                 qPrintable(report->pageText(0).last()));
        const QString lastTime =
            db.scalar(QStringLiteral("SELECT Time FROM DData ORDER BY DateNow DESC, rowid DESC LIMIT 1")).toString();
        QVERIFY(db.exec(QStringLiteral("DELETE FROM DData WHERE rowid > 29000")));
        QVERIFY2(report->finish(&error), qPrintable(error.text()));
        QVERIFY(report->isComplete());
        QCOMPARE(report->recordCount(), 30000);
        const int pages = report->pageCount();
        QCOMPARE(report->pageText(0).last(), QStringLiteral("alldata.rpt | Page 1 of %1").arg(pages));
        const QStringList last = report->pageText(pages - 1);
        QVERIFY(last.contains(QStringLiteral("Total: 30000 calls")));
        QVERIFY2(last.join(QLatin1Char('\n')).contains(lastTime), qPrintable(lastTime));
        // Read to its end, the report holds the file no more.
        QVERIFY(db.exec(QStringLiteral("DELETE FROM DData WHERE rowid > 28000")));
    }

    // The pages of the later half of the calls lost (a failing disk): a long
    // list shows its first pages, read from the earlier half; the page
    // after them says why it cannot be shown, and neither a PDF nor a CSV is
    // written with rows missing.
    void rowsThatCannotBeReadAreTold()
    {
        testing::TempDatabase db;
        testing::copyDefinitions(db.folder());
        testing::CallLogGenerator generator;
        QString filled;
        QVERIFY2(generator.fill(db.databasePath(), 30000, &filled), qPrintable(filled));
        store::Error error;
        // The calls' own pages in the order of their record numbers, which is the order of their days.
        const QStringList pages = db.rows(
            QStringLiteral("SELECT pageno FROM dbstat WHERE name = 'DData' AND pagetype = 'leaf' ORDER BY path"));
        const qint64 pageSize = db.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
        QVERIFY(pages.size() > 100);
        QFile file(db.databasePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        for (qsizetype i = pages.size() / 2; i < pages.size(); ++i) {
            QVERIFY(file.seek((pages.at(i).toLongLong() - 1) * pageSize));
            file.write(QByteArray(int(pageSize), '\0'));
        }
        file.close();
        const auto report = Report::run(requestOn(db, QStringLiteral("alldata.rpt")), &error);
        QVERIFY2(report, qPrintable(error.text()));
        const QStringList first = report->pageText(0);
        QVERIFY(first.size() > 20);
        QVERIFY(!report->finish(&error));
        QVERIFY2(error.text().startsWith(QStringLiteral("The report \"alldata.rpt\" could not read all its rows: ")),
                 qPrintable(error.text()));
        QVERIFY2(error.text().contains(QStringLiteral("it is damaged")), qPrintable(error.text()));
        // The engine's own words stay beside the message, never in it.
        QCOMPARE(error.kind, store::Error::Kind::Damaged);
        QVERIFY(!error.detail.isEmpty());
        QVERIFY2(!error.message.contains(error.detail), qPrintable(error.message));
        QVERIFY(!report->isComplete());
        QCOMPARE(report->pageText(0), first);
        const QStringList next = report->pageText(report->pagesReady());
        QCOMPARE(next.size(), 1);
        QVERIFY2(next.first().contains(QStringLiteral("cannot be shown")), qPrintable(next.first()));
        const QString pdf = QDir(db.folder()).filePath(QStringLiteral("half.pdf"));
        QVERIFY(!report->writePdf(pdf, &error));
        QVERIFY2(error.text().contains(QStringLiteral("could not read all its rows")), qPrintable(error.text()));
        QCOMPARE(error.kind, store::Error::Kind::Damaged);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!report->writeCsv(QDir(db.folder()).filePath(QStringLiteral("half.csv")), &error));
    }

    // No report writes to the file, not even an index on an older file
    // that lacks the delivered ones: it reads, only more slowly.
    void reportsOnlyRead()
    {
        testing::TempDatabase db;
        testing::fillHostileLog([&db](const QString& sql) { return db.exec(sql); });
        testing::copyDefinitions(db.folder());
        const QStringList indexes =
            db.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'DData%'"));
        QVERIFY(!indexes.isEmpty());
        for (const QString& index : indexes)
            QVERIFY(db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(index)));
        const QByteArray before = fileHash(db.databasePath());
        QVERIFY(!before.isEmpty());
        for (const QString& file : testing::definitionNames()) {
            store::Error error;
            const auto report = Report::run(requestOn(db, file), &error);
            QVERIFY2(report, qPrintable(error.text()));
            QImage page(QSize(612, 792), QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            report->paintPage(painter, 0);
        }
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name LIKE "
                                          "'DData%'"))
                     .toInt(),
                 0);
        QCOMPARE(fileHash(db.databasePath()), before);
    }
};

QTEST_MAIN(TestSnapshot)
#include "test_snapshot.moc"

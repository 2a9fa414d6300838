// Every delivered report definition run against the fixed database at the
// fixed clock: the rows each selects, their order, the groups and their
// counts, and the page footings, compared line by line with golden files.
// STOPWELL_UPDATE_GOLDEN=1 rewrites the golden files (read them before
// committing them).
#include "ReportFixture.h"

#include "reports/engine/Report.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

using reports::Report;
using reports::ReportRequest;

class TestCatalogue : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::TempDatabase> m_temp;

private slots:
    void initTestCase()
    {
        m_temp = std::make_unique<testing::TempDatabase>();
        testing::fillReportData(*m_temp);
        testing::copyDefinitions(m_temp->folder());
    }
    void cleanupTestCase() { m_temp.reset(); }

    void everyDefinitionIsDelivered()
    {
        const QStringList delivered =
            QDir(QStringLiteral(REPORT_DEFINITIONS_DIR)).entryList({QStringLiteral("*.rpt")}, QDir::Files, QDir::Name);
        QStringList expected = testing::definitionNames();
        expected.sort();
        QCOMPARE(delivered, expected);
    }

    void matchesGolden_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString& name : testing::definitionNames())
            QTest::newRow(qPrintable(name)) << name;
    }
    void matchesGolden()
    {
        QFETCH(QString, file);
        ReportRequest request;
        request.folder = m_temp->folder();
        request.databasePath = m_temp->databasePath();
        request.fileName = file;
        request.printedAt = QDateTime(testing::reportToday(), QTime(10, 15, 30));
        store::Error error;
        const auto report = Report::run(request, &error);
        QVERIFY2(report, qPrintable(error.text()));
        QStringList text;
        for (int page = 0; page < report->pageCount(); ++page) {
            text << QStringLiteral("---- page %1").arg(page + 1);
            text << report->pageText(page);
        }
        if (report->chart()) {
            text << QStringLiteral("---- graph");
            for (const auto& slice : report->chart()->slices)
                text << slice.label + QStringLiteral(": ") + QString::number(slice.value);
        }
        const QString actual = text.join(QLatin1Char('\n')) + QLatin1Char('\n');
        const QString path =
            QDir(QStringLiteral(REPORT_GOLDEN_DIR)).filePath(QFileInfo(file).baseName() + QStringLiteral(".txt"));
        if (qEnvironmentVariableIsSet("STOPWELL_UPDATE_GOLDEN")) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(actual.toUtf8());
        }
        QFile golden(path);
        QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(path));
        const QStringList expectedLines = QString::fromUtf8(golden.readAll()).split(QLatin1Char('\n'));
        const QStringList actualLines = actual.split(QLatin1Char('\n'));
        for (int i = 0; i < qMin(expectedLines.size(), actualLines.size()); ++i)
            QCOMPARE(actualLines.at(i), expectedLines.at(i));
        QCOMPARE(actualLines.size(), expectedLines.size());
    }
};

QTEST_MAIN(TestCatalogue)
#include "test_catalogue.moc"

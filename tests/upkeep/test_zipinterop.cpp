// Archives exchanged with Info-ZIP's zip and unzip and with 7-Zip, both ways,
// on real files.
#include "ZipSupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace upkeep::zip;
using testing::readFile;
using testing::Recorder;
using testing::runTool;
using testing::writeFile;

namespace {

// Every file below `folder`, relative, with its content.
QMap<QString, QByteArray> tree(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(QDir(folder).relativeFilePath(file), readFile(file));
    }
    return files;
}

} // namespace

class TestZipInterop : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(writeFile(path(QStringLiteral("src/Zuvevadu.mdb")), testing::prose(400000)));
        QVERIFY(writeFile(path(QStringLiteral("src/reports/daily.rpt")), "report daily\n"));
        QVERIFY(writeFile(path(QStringLiteral("src/reports/old/weekly.rpt")), testing::noise(30000)));
        QVERIFY(writeFile(path(QStringLiteral("src/empty.txt")), {}));
    }

    void archivesZipWrote()
    {
        const QString archive = path(QStringLiteral("byzip.zip"));
        QFile::remove(archive);
        QString output;
        QCOMPARE(runTool(QStringLiteral("zip"), {QStringLiteral("-qr"), archive, QStringLiteral(".")},
                         path(QStringLiteral("src")), &output),
                 0);
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        QCOMPARE(zip.List(), 0);
        QVERIFY(events.listed.contains(QStringLiteral("reports\\old\\weekly.rpt")));
        QVERIFY(events.listed.contains(QStringLiteral("reports\\"))); // a folder entry
        QCOMPARE(zip.Test(), 0);
        zip.setExtractFolder(path(QStringLiteral("fromzip")));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(tree(path(QStringLiteral("fromzip"))), tree(path(QStringLiteral("src"))));

        // Only the entries asked for, named as the list shows them.
        QDir(path(QStringLiteral("some"))).removeRecursively();
        zip.setExtractFolder(path(QStringLiteral("some")));
        zip.setFileList(QStringLiteral("reports\\daily.rpt\r"));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(tree(path(QStringLiteral("some"))).keys(), QStringList{QStringLiteral("reports/daily.rpt")});
    }

    void streamedByZipAndItsDirectoryLost()
    {
        // Written from a pipe, the sizes follow the data in descriptors.
        const QString archive = path(QStringLiteral("streamed.zip"));
        QProcess zipper;
        zipper.setStandardInputFile(path(QStringLiteral("src/Zuvevadu.mdb")));
        zipper.setStandardOutputFile(archive);
        zipper.start(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-"), QStringLiteral("-")});
        QVERIFY(zipper.waitForFinished());
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        QCOMPARE(zip.Test(), 0);

        QByteArray bytes = readFile(archive);
        bytes.truncate(bytes.indexOf(QByteArray("PK\x01\x02", 4)));
        QVERIFY(writeFile(archive, bytes));
        QCOMPARE(zip.Test(), 110);
        QCOMPARE(zip.Fix(false), 0);
        QCOMPARE(runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive}), 0);
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed, QStringList{QStringLiteral("-")});
        QCOMPARE(events.sizes, QList<qint64>{400000});
    }

    void archivesWeWrite()
    {
        const QString archive = path(QStringLiteral("ours.zip"));
        ZipMain zip;
        zip.setArchivePath(archive);
        zip.setFileList(path(QStringLiteral("src/Zuvevadu.mdb\r")) + path(QStringLiteral("src/empty.txt\r")) +
                        path(QStringLiteral("src/reports/old/weekly.rpt\r")));
        QCOMPARE(zip.Add(0), 0);
        QString output;
        QCOMPARE(runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive}, {}, &output), 0);
        QCOMPARE(runTool(QStringLiteral("7zz"), {QStringLiteral("t"), archive}, {}, &output), 0);
        QVERIFY2(output.contains(QStringLiteral("Everything is Ok")), qPrintable(output));
        QCOMPARE(runTool(QStringLiteral("unzip"),
                         {QStringLiteral("-q"), archive, QStringLiteral("-d"), path(QStringLiteral("byunzip"))}),
                 0);
        QCOMPARE(readFile(path(QStringLiteral("byunzip/Zuvevadu.mdb"))),
                 readFile(path(QStringLiteral("src/Zuvevadu.mdb"))));
        QCOMPARE(readFile(path(QStringLiteral("byunzip/weekly.rpt"))),
                 readFile(path(QStringLiteral("src/reports/old/weekly.rpt"))));
        QVERIFY(QFileInfo(path(QStringLiteral("byunzip/empty.txt"))).isFile());
        // unzip keeps the file's mode and time as stored.
        QCOMPARE(QFileInfo(path(QStringLiteral("byunzip/Zuvevadu.mdb"))).permissions(),
                 QFileInfo(path(QStringLiteral("src/Zuvevadu.mdb"))).permissions());
    }
};

QTEST_GUILESS_MAIN(TestZipInterop)
#include "test_zipinterop.moc"

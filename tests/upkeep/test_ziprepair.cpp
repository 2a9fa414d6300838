// Damaged archives (Test reports them, Fix saves what can be saved) and
// archives made to write outside the destination folder (refused).
#include "ZipCraft.h"

#include "upkeep/zip/EntryPath.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <zip.h>

using namespace upkeep::zip;
using testing::makeArchive;
using testing::patchEntry;
using testing::readFile;
using testing::Recorder;
using testing::runTool;
using testing::Stored;
using testing::writeFile;

class TestZipRepair : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    const QByteArray m_first = testing::prose(50000);
    const QByteArray m_second = testing::noise(40000, 11);
    const QByteArray m_third = testing::prose(30000).toUpper();

    QString threeEntries()
    {
        const QString archive = path(QStringLiteral("three.zip"));
        makeArchive(archive, {{"first.txt", m_first}, {"second.bin", m_second}, {"third.txt", m_third}});
        return archive;
    }
    static void damage(const QString& archive, qsizetype at, qsizetype length)
    {
        QByteArray bytes = readFile(archive);
        for (qsizetype i = at; i < at + length && i < bytes.size(); ++i)
            bytes[i] = char(bytes[i] ^ 0x5a);
        writeFile(archive, bytes);
    }
    QStringList extracted(ZipMain& zip)
    {
        const QString out = path(QStringLiteral("out"));
        QDir(out).removeRecursively();
        zip.setExtractFolder(out);
        zip.Extract(0);
        return QDir(out).entryList(QDir::Files, QDir::Name);
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void damagedData()
    {
        const QString archive = threeEntries();
        const QByteArray bytes = readFile(archive);
        damage(archive, bytes.indexOf("second.bin") + 10 + 20000, 8);

        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        QCOMPARE(zip.Test(), 200);
        QCOMPARE(events.skipped, QStringList{QStringLiteral("second.bin:2")});
        QVERIFY(events.events.contains(QStringLiteral("Testing:third.txt:30000")));

        events.skipped.clear();
        QCOMPARE(zip.Fix(false), 40);
        QCOMPARE(events.skipped, QStringList{QStringLiteral("second.bin:2")});
        QCOMPARE(events.events.filter(QStringLiteral("Fixing")),
                 (QStringList{QStringLiteral("Fixing:first.txt"), QStringLiteral("Fixing:third.txt")}));
        QCOMPARE(runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive}), 0);
        QCOMPARE(zip.Test(), 0);
        QCOMPARE(extracted(zip), (QStringList{QStringLiteral("first.txt"), QStringLiteral("third.txt")}));
        QCOMPARE(readFile(path(QStringLiteral("out/third.txt"))), m_third);
    }

    void fixDropsEntriesWhoseRecordsDoNotMatchTheirData_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("directory");
        QTest::newRow("CRC, from the directory") << int(Stored::Crc) << true;
        QTest::newRow("size, from the directory") << int(Stored::Size) << true;
        QTest::newRow("CRC, from the local headers") << int(Stored::Crc) << false;
        QTest::newRow("size, from the local headers") << int(Stored::Size) << false;
    }
    void fixDropsEntriesWhoseRecordsDoNotMatchTheirData()
    {
        QFETCH(int, field);
        QFETCH(bool, directory);
        // The data of second.bin read whole; only what is stored about them is wrong.
        const QString archive = threeEntries();
        const quint32 wrong = Stored(field) == Stored::Crc ? 0x12345678u : quint32(m_second.size() - 1);
        QVERIFY(patchEntry(archive, "second.bin", Stored(field), wrong));
        if (!directory) {
            QByteArray bytes = readFile(archive);
            bytes.truncate(bytes.indexOf(QByteArray("PK\x01\x02", 4)));
            QVERIFY(writeFile(archive, bytes));
        }

        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        QCOMPARE(zip.Fix(false), 40);
        QCOMPARE(events.skipped, QStringList{QStringLiteral("second.bin:2")});
        QCOMPARE(events.events.filter(QStringLiteral("Fixing")),
                 (QStringList{QStringLiteral("Fixing:first.txt"), QStringLiteral("Fixing:third.txt")}));
        QCOMPARE(runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive}), 0);
        QCOMPARE(zip.Test(), 0);
        QCOMPARE(extracted(zip), (QStringList{QStringLiteral("first.txt"), QStringLiteral("third.txt")}));
    }

    void lostDirectory_data()
    {
        QTest::addColumn<bool>("aggressive");
        QTest::addColumn<QStringList>("saved");
        // The directory is gone and the second local header is damaged: going
        // header by header stops there; the search finds the third beyond it.
        QTest::newRow("normal") << false << QStringList{QStringLiteral("first.txt")};
        QTest::newRow("aggressive") << true << QStringList{QStringLiteral("first.txt"), QStringLiteral("third.txt")};
    }
    void lostDirectory()
    {
        QFETCH(bool, aggressive);
        QFETCH(QStringList, saved);
        const QString archive = threeEntries();
        QByteArray bytes = readFile(archive);
        bytes.truncate(bytes.indexOf(QByteArray("PK\x01\x02", 4)));
        const qsizetype second = bytes.indexOf("second.bin") - 30;
        bytes[second] = 'X';
        QVERIFY(writeFile(archive, bytes));

        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        QCOMPARE(zip.Test(), 110);
        QCOMPARE(zip.List(), 110);
        QCOMPARE(zip.Fix(aggressive), 0);
        QCOMPARE(runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive}), 0);
        QCOMPARE(extracted(zip), saved);
        QCOMPARE(readFile(path(QStringLiteral("out/first.txt"))), m_first);
    }

    void directoryRebuiltFromLocalHeaders()
    {
        const QString archive = threeEntries();
        QByteArray bytes = readFile(archive);
        bytes.truncate(bytes.indexOf(QByteArray("PK\x01\x02", 4)));
        QVERIFY(writeFile(archive, bytes));
        ZipMain zip;
        zip.setArchivePath(archive);
        QCOMPARE(zip.Fix(false), 0);
        QCOMPARE(extracted(zip),
                 (QStringList{QStringLiteral("first.txt"), QStringLiteral("second.bin"), QStringLiteral("third.txt")}));
        QCOMPARE(readFile(path(QStringLiteral("out/second.bin"))), m_second);
    }

    void nothingLeftToSave()
    {
        QVERIFY(writeFile(path(QStringLiteral("junk.zip")), testing::noise(5000)));
        const QByteArray before = readFile(path(QStringLiteral("junk.zip")));
        ZipMain zip;
        zip.setArchivePath(path(QStringLiteral("junk.zip")));
        QCOMPARE(zip.Fix(true), 110);
        QCOMPARE(readFile(path(QStringLiteral("junk.zip"))), before);
    }

    void entriesOutsideTheFolderAreRefused()
    {
        const QString archive = path(QStringLiteral("slip.zip"));
        QVERIFY(makeArchive(archive,
                            {{"../evil.txt", "climbs out"},
                             {"/tmp/stopwell-absolute.txt", "absolute"},
                             {"C:\\Windows\\evil.txt", "drive"},
                             {"docs/../../evil2.txt", "climbs out later"},
                             {"link", "/etc/passwd"},
                             {"docs/good.txt", "stays inside"}},
                            {0100644, 0100644, 0100644, 0100644, 0120777, 0100644}));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        zip.setExtractFolder(path(QStringLiteral("dest/inner")));
        QCOMPARE(zip.Extract(0), 40);
        QCOMPARE(events.skipped,
                 (QStringList{QStringLiteral("..\\evil.txt:8"), QStringLiteral("\\tmp\\stopwell-absolute.txt:8"),
                              QStringLiteral("C:\\Windows\\evil.txt:8"), QStringLiteral("docs\\..\\..\\evil2.txt:8"),
                              QStringLiteral("link:9")}));
        QCOMPARE(readFile(path(QStringLiteral("dest/inner/docs/good.txt"))), QByteArray("stays inside"));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("dest/evil.txt"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("evil2.txt"))));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/stopwell-absolute.txt")));
        QVERIFY(!QFileInfo(path(QStringLiteral("dest/inner/link"))).exists());

        // A link already in the destination is not followed either.
        QDir().mkpath(path(QStringLiteral("elsewhere")));
        QVERIFY(QFile::link(path(QStringLiteral("elsewhere")), path(QStringLiteral("dest/inner/docs2"))));
        QVERIFY(makeArchive(archive, {{"docs2/planted.txt", "through a link"}}));
        events.skipped.clear();
        QCOMPARE(zip.Extract(0), 40);
        QCOMPARE(events.skipped, QStringList{QStringLiteral("docs2\\planted.txt:8")});
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("elsewhere/planted.txt"))));
    }

    void safeRelativePaths_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("relative");
        QTest::newRow("plain") << "a.txt"
                               << "a.txt";
        QTest::newRow("folders") << "a/b/c.txt"
                                 << "a/b/c.txt";
        QTest::newRow("backslashes") << "a\\b.txt"
                                     << "a/b.txt";
        QTest::newRow("dot") << "./a/./b.txt"
                             << "a/b.txt";
        QTest::newRow("dots in a name") << "a/..b/c..txt"
                                        << "a/..b/c..txt";
        QTest::newRow("parent") << "../a.txt"
                                << "";
        QTest::newRow("parent inside") << "a/../../b"
                                       << "";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "";
        QTest::newRow("absolute backslash") << "\\etc\\passwd"
                                            << "";
        QTest::newRow("drive") << "c:evil"
                               << "";
        QTest::newRow("nothing") << "./"
                                 << "";
    }
    void safeRelativePaths()
    {
        QFETCH(QString, stored);
        QFETCH(QString, relative);
        QCOMPARE(safeRelativePath(stored).value_or(QString()), relative);
    }
};

QTEST_GUILESS_MAIN(TestZipRepair)
#include "test_ziprepair.moc"

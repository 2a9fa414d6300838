// The archive component on one disk: add, update, list, extract, delete and
// the replace question, with the events each raises and the archives checked
// by Info-ZIP's unzip.
#include "ZipSupport.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

using namespace upkeep::zip;
using testing::readFile;
using testing::Recorder;
using testing::writeFile;

class TestZipMain : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void addListExtractRoundTrip_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("store") << 0;
        QTest::newRow("fastest") << 1;
        QTest::newRow("normal") << 6;
        QTest::newRow("best") << 9;
    }
    void addListExtractRoundTrip()
    {
        QFETCH(int, level);
        const QByteArray text = testing::prose(300000);
        const QByteArray binary = testing::noise(70000);
        QVERIFY(writeFile(path(QStringLiteral("in/calls.txt")), text));
        QVERIFY(writeFile(path(QStringLiteral("in/noise.bin")), binary));
        QVERIFY(writeFile(path(QStringLiteral("in/empty.txt")), {}));

        ZipMain zip;
        Recorder events(zip);
        zip.setCompression(level);
        zip.setArchivePath(path(QStringLiteral("out.zip")));
        for (const char* name : {"calls.txt", "noise.bin", "empty.txt"})
            zip.setFileList(zip.FileList() + path(QStringLiteral("in/")) + QString::fromLatin1(name) +
                            QLatin1Char('\r'));
        QCOMPARE(zip.Add(0), 0);
        QCOMPARE(zip.FileList(), QString());
        QCOMPARE(events.events,
                 (QStringList{QStringLiteral("Adding:calls.txt:300000"), QStringLiteral("Adding:noise.bin:70000"),
                              QStringLiteral("Adding:empty.txt:0")}));
        QCOMPARE(events.progress.last(), 100);
        QCOMPARE(testing::runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), zip.ArchivePath()}), 0);

        QCOMPARE(zip.EntryCount(), 3);
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed,
                 (QStringList{QStringLiteral("calls.txt"), QStringLiteral("noise.bin"), QStringLiteral("empty.txt")}));
        QCOMPARE(events.sizes, (QList<qint64>{300000, 70000, 0}));
        if (level == 0) {
            QCOMPARE(events.ratios.first(), 0);
        } else {
            QVERIFY2(events.ratios.first() > 80, qPrintable(QString::number(events.ratios.first())));
            QVERIFY(events.packedSizes.first() < 60000);
        }
        // What deflating cannot shrink is stored, as Info-ZIP does.
        QCOMPARE(events.packedSizes.at(1), 70000);
        // "MM/dd/yy HH:mm" of the file's time, whatever the locale.
        const QDateTime stamp = QFileInfo(path(QStringLiteral("in/calls.txt"))).lastModified();
        QCOMPARE(events.times.first(), stamp.toString(QStringLiteral("MM/dd/yy HH:mm")));

        zip.setExtractFolder(path(QStringLiteral("back")));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(readFile(path(QStringLiteral("back/calls.txt"))), text);
        QCOMPARE(readFile(path(QStringLiteral("back/noise.bin"))), binary);
        QVERIFY(QFileInfo(path(QStringLiteral("back/empty.txt"))).isFile());
        // Nothing half-written is left beside the files.
        QCOMPARE(QDir(path(QStringLiteral("back"))).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void namesDifferingInCaseMeetTheFileOnDisk()
    {
        // The list names the database as another program wrote it; the entry
        // takes the file's own name, and restoring lands on that same file.
        QVERIFY(writeFile(path(QStringLiteral("app/Zuvevadu.mdb")), "new content"));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(path(QStringLiteral("backup.zip")));
        zip.setFileList(path(QStringLiteral("app/ZuveVadu.mdb")) + QLatin1Char('\r'));
        QCOMPARE(zip.Add(0), 0);
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed, QStringList{QStringLiteral("Zuvevadu.mdb")});

        // An older archive holding the other spelling restores onto the same file.
        QVERIFY(writeFile(path(QStringLiteral("old/ZuveVadu.mdb")), "old content"));
        zip.setArchivePath(path(QStringLiteral("old.zip")));
        zip.setFileList(path(QStringLiteral("old/ZuveVadu.mdb")) + QLatin1Char('\r'));
        QCOMPARE(zip.Add(0), 0);
        zip.setExtractFolder(path(QStringLiteral("app")));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(events.replaced, QStringList{path(QStringLiteral("app/Zuvevadu.mdb"))});
        QCOMPARE(QDir(path(QStringLiteral("app"))).entryList(QDir::Files), QStringList{QStringLiteral("Zuvevadu.mdb")});
        QCOMPARE(readFile(path(QStringLiteral("app/Zuvevadu.mdb"))), QByteArray("old content"));
    }

    void updateReplacesOnlyNewerFiles()
    {
        const QString file = path(QStringLiteral("notes.txt"));
        QVERIFY(writeFile(file, "first"));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(path(QStringLiteral("a.zip")));
        zip.setFileList(file + QLatin1Char('\r'));
        QCOMPARE(zip.Add(0), 0);

        zip.setFileList(file + QLatin1Char('\r'));
        QCOMPARE(zip.Add(2), 40);
        QCOMPARE(events.skipped, QStringList{QStringLiteral("notes.txt:3")});

        QVERIFY(writeFile(file, "second"));
        QFile touched(file);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        touched.close();
        events.events.clear();
        zip.setFileList(file + QLatin1Char('\r'));
        QCOMPARE(zip.Add(2), 0);
        QCOMPARE(events.events, QStringList{QStringLiteral("Updating:notes.txt:6")});
        zip.setExtractFolder(path(QStringLiteral("x")));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(readFile(path(QStringLiteral("x/notes.txt"))), QByteArray("second"));
    }

    void deleteEntries()
    {
        for (const char* name : {"a.txt", "b.txt"})
            QVERIFY(writeFile(path(QString::fromLatin1(name)), name));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(path(QStringLiteral("d.zip")));
        zip.setFileList(path(QStringLiteral("a.txt\r")) + path(QStringLiteral("b.txt\r")));
        QCOMPARE(zip.Add(0), 0);

        zip.setFileList(QStringLiteral("a.txt\rmissing.txt\r"));
        QCOMPARE(zip.Delete(), 40);
        QCOMPARE(events.events.last(), QStringLiteral("Deleting:a.txt"));
        QCOMPARE(events.skipped, QStringList{QStringLiteral("missing.txt:0")});
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed, QStringList{QStringLiteral("b.txt")});

        // The last entry gone, an empty archive stays.
        zip.setFileList(QStringLiteral("b.txt\r"));
        QCOMPARE(zip.Delete(), 0);
        events.listed.clear();
        QCOMPARE(zip.List(), 0);
        QVERIFY(events.listed.isEmpty());
        QCOMPARE(QFileInfo(zip.ArchivePath()).size(), 22);
    }

    void replaceQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("yes") << int(replace::Yes) << 0 << QByteArray("packed 1") << QByteArray("packed 2");
        QTest::newRow("no") << int(replace::No) << 40 << QByteArray("on disk 1") << QByteArray("packed 2");
        QTest::newRow("cancel") << -1 << 190 << QByteArray("on disk 1") << QByteArray("on disk 2");
        QTest::newRow("nonsense reply") << 7 << 460 << QByteArray("on disk 1") << QByteArray("on disk 2");
    }
    void replaceQuestion()
    {
        QFETCH(int, answer);
        QFETCH(int, result);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QVERIFY(writeFile(path(QStringLiteral("src/1.txt")), "packed 1"));
        QVERIFY(writeFile(path(QStringLiteral("src/2.txt")), "packed 2"));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(path(QStringLiteral("r.zip")));
        zip.setFileList(path(QStringLiteral("src/1.txt\r")) + path(QStringLiteral("src/2.txt\r")));
        QCOMPARE(zip.Add(0), 0);
        QVERIFY(writeFile(path(QStringLiteral("dst/1.txt")), "on disk 1"));
        QVERIFY(writeFile(path(QStringLiteral("dst/2.txt")), "on disk 2"));

        events.replies << answer << replace::Yes;
        zip.setExtractFolder(path(QStringLiteral("dst")));
        QCOMPARE(zip.Extract(0), result);
        QCOMPARE(readFile(path(QStringLiteral("dst/1.txt"))), first);
        QCOMPARE(readFile(path(QStringLiteral("dst/2.txt"))), second);
        QCOMPARE(events.replaced.first(), path(QStringLiteral("dst/1.txt")));
        if (answer == replace::No)
            QCOMPARE(events.skipped, QStringList{QStringLiteral("1.txt:7")});
        QCOMPARE(zip.Abort(), false);
        QCOMPARE(QDir(path(QStringLiteral("dst"))).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void committerDecidesWhatReplacesAFile()
    {
        QVERIFY(writeFile(path(QStringLiteral("src/db.mdb")), "from the backup"));
        QVERIFY(writeFile(path(QStringLiteral("dst/db.mdb")), "live"));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(path(QStringLiteral("c.zip")));
        zip.setFileList(path(QStringLiteral("src/db.mdb\r")));
        QCOMPARE(zip.Add(0), 0);
        QStringList asked;
        zip.setCommitter([&](const QString& staged, const QString& target) {
            asked << QString::fromUtf8(readFile(staged)) + QStringLiteral(" -> ") + QFileInfo(target).fileName();
            return false;
        });
        zip.setExtractFolder(path(QStringLiteral("dst")));
        QCOMPARE(zip.Extract(0), 40);
        QCOMPARE(asked, QStringList{QStringLiteral("from the backup -> db.mdb")});
        QCOMPARE(readFile(path(QStringLiteral("dst/db.mdb"))), QByteArray("live"));
        QCOMPARE(QDir(path(QStringLiteral("dst"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void abortLeavesTheArchiveAsItWas()
    {
        QVERIFY(writeFile(path(QStringLiteral("small.txt")), "kept"));
        QVERIFY(writeFile(path(QStringLiteral("big.bin")), testing::noise(6 << 20)));
        ZipMain zip;
        zip.setArchivePath(path(QStringLiteral("abort.zip")));
        zip.setFileList(path(QStringLiteral("small.txt\r")));
        QCOMPARE(zip.Add(0), 0);
        const QByteArray before = readFile(zip.ArchivePath());

        int pumped = 0;
        zip.setEventPump([&] { ++pumped; });
        connect(&zip, &ZipMain::Status, &zip, [&](int percent) {
            if (percent > 0 && percent < 100)
                zip.setAbort(true);
        });
        zip.setFileList(path(QStringLiteral("big.bin\r")));
        QCOMPARE(zip.Add(0), 190);
        QCOMPARE(readFile(zip.ArchivePath()), before);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("abort.zip*")}, QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(zip.Abort(), false);
    }

    void failuresAsResultCodes()
    {
        ZipMain zip;
        QCOMPARE(zip.List(), 130); // no archive
        zip.setArchivePath(path(QStringLiteral("none.zip")));
        QCOMPARE(zip.List(), 100);
        QCOMPARE(zip.Test(), 100);
        QVERIFY(writeFile(path(QStringLiteral("text.zip")), "this is not an archive at all, not a bit of it"));
        zip.setArchivePath(path(QStringLiteral("text.zip")));
        QCOMPARE(zip.List(), 110);
        QCOMPARE(zip.Test(), 110);
        zip.setCompression(12);
        zip.setFileList(QStringLiteral("x\r"));
        QCOMPARE(zip.Add(0), 130);
        QCOMPARE(zip.FileList(), QString());

        // One operation at a time, even when events let another request in.
        QVERIFY(writeFile(path(QStringLiteral("one.txt")), "1"));
        zip.setCompression(6);
        zip.setArchivePath(path(QStringLiteral("one.zip")));
        zip.setFileList(path(QStringLiteral("one.txt\r")));
        QCOMPARE(zip.Add(0), 0);
        int nested = -1;
        connect(&zip, &ZipMain::Listing, &zip, [&] { nested = zip.Test(); });
        QCOMPARE(zip.List(), 0);
        QCOMPARE(nested, 180);
    }

    void updateZipDateTakesTheNewestEntry()
    {
        QVERIFY(writeFile(path(QStringLiteral("old.txt")), "old"));
        QFile old(path(QStringLiteral("old.txt")));
        QVERIFY(old.open(QIODevice::ReadWrite));
        const QDateTime stamp(QDate(2003, 6, 14), QTime(9, 30, 0));
        QVERIFY(old.setFileTime(stamp, QFileDevice::FileModificationTime));
        old.close();
        ZipMain zip;
        zip.setArchivePath(path(QStringLiteral("dated.zip")));
        zip.setFileList(path(QStringLiteral("old.txt\r")));
        QCOMPARE(zip.Add(0), 0);
        QCOMPARE(zip.UpdateZipDate(), 0);
        QCOMPARE(QFileInfo(zip.ArchivePath()).lastModified(), stamp);

        zip.setFileList(QStringLiteral("old.txt\r"));
        QCOMPARE(zip.Delete(), 0);
        QCOMPARE(zip.UpdateZipDate(), 380);
    }
};

QTEST_GUILESS_MAIN(TestZipMain)
#include "test_zipmain.moc"

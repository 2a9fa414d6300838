// What Extract writes and what it leaves out: names stored by archivers of
// other systems, names too long for the disk, and entries that would not fit
// the free space or unpack beyond the size stored for them (a zip bomb).
#include "ZipCraft.h"

#include "upkeep/zip/DiskMedium.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace upkeep::zip;
using testing::makeArchive;
using testing::readFile;
using testing::Recorder;

namespace {

/// A disk with a fixed number of bytes free.
class FixedFreeSpace final : public DiskMedium {
public:
    explicit FixedFreeSpace(qint64 bytes) : m_bytes(bytes) {}
    qint64 freeSpace(const QString&) const override { return m_bytes; }

private:
    qint64 m_bytes;
};

} // namespace

class TestZipExtract : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    /// Every file below the destination, hidden ones too, relative to it.
    QStringList restored() const
    {
        QStringList files;
        const QDir out(path(QStringLiteral("out")));
        QDirIterator it(out.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << out.relativeFilePath(it.next());
        files.sort();
        return files;
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(path(QStringLiteral("out")));
    }

    void namesWithBackslashesBetweenFolders()
    {
        const QString archive = path(QStringLiteral("dos.zip"));
        QVERIFY(makeArchive(archive, {{"sub\\notes.txt", "notes"}, {"a\\b/c.txt", "mixed"}, {"top.txt", "top"}}));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed, (QStringList{QStringLiteral("sub\\notes.txt"), QStringLiteral("a\\b\\c.txt"),
                                             QStringLiteral("top.txt")}));

        // Named as the list shows them, in any case.
        zip.setFileList(QStringLiteral("sub\\notes.txt\rA\\B\\C.TXT\r"));
        QCOMPARE(zip.Test(), 0);
        zip.setFileList(QStringLiteral("sub\\notes.txt\rA\\B\\C.TXT\r"));
        zip.setExtractFolder(path(QStringLiteral("out")));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(events.skipped, QStringList());
        QCOMPARE(restored(), (QStringList{QStringLiteral("a/b/c.txt"), QStringLiteral("sub/notes.txt")}));
        QCOMPARE(readFile(path(QStringLiteral("out/sub/notes.txt"))), QByteArray("notes"));

        zip.setFileList(QStringLiteral("sub\\notes.txt\r"));
        QCOMPARE(zip.Delete(), 0);
        events.listed.clear();
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed, (QStringList{QStringLiteral("a\\b\\c.txt"), QStringLiteral("top.txt")}));
    }

    void namesTooLongForTheDiskAreNamed()
    {
        const QByteArray longName = QByteArray(300, 'n') + ".txt";
        const QByteArray longFolder = QByteArray(300, 'f') + "/inside.txt";
        const QString archive = path(QStringLiteral("long.zip"));
        QVERIFY(makeArchive(archive, {{longName, "long"}, {longFolder, "deep"}, {"short.txt", "short"}}));
        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(archive);
        zip.setExtractFolder(path(QStringLiteral("out")));
        QCOMPARE(zip.Extract(0), 40);
        QCOMPARE(events.skipped,
                 (QStringList{QString::fromLatin1(longName) + QStringLiteral(":10"),
                              QString::fromLatin1(longFolder).replace(QLatin1Char('/'), QLatin1Char('\\')) +
                                  QStringLiteral(":10")}));
        QCOMPARE(restored(), QStringList{QStringLiteral("short.txt")});

        // A name that fits, though its staged copy beside it would not.
        const QByteArray fits = QByteArray(250, 'm');
        QVERIFY(makeArchive(archive, {{fits, "fits"}}));
        events.skipped.clear();
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(readFile(path(QStringLiteral("out/")) + QString::fromLatin1(fits)), QByteArray("fits"));
    }

    void entryLargerThanTheFreeSpaceIsNotWritten()
    {
        const QString archive = path(QStringLiteral("big.zip"));
        QVERIFY(makeArchive(archive, {{"big.bin", testing::noise(20000)}, {"small.txt", "small"}}));
        QVERIFY(testing::writeFile(path(QStringLiteral("out/big.bin")), "the old one"));
        FixedFreeSpace disk(10000);
        ZipMain zip;
        Recorder events(zip);
        zip.setMedium(&disk);
        zip.setArchivePath(archive);
        zip.setExtractFolder(path(QStringLiteral("out")));
        QCOMPARE(zip.Extract(0), 40);
        QCOMPARE(events.skipped, QStringList{QStringLiteral("big.bin:11")});
        // Not even asked to replace what it could not write.
        QCOMPARE(events.replaced, QStringList());
        QCOMPARE(restored(), (QStringList{QStringLiteral("big.bin"), QStringLiteral("small.txt")}));
        QCOMPARE(readFile(path(QStringLiteral("out/big.bin"))), QByteArray("the old one"));
    }

    void entryUnpackingBeyondItsStoredSizeIsStopped_data()
    {
        QTest::addColumn<quint32>("declared");
        QTest::addColumn<int>("reason");
        // 64 MiB of zeros pack into a few kilobytes.
        QTest::newRow("stored as small") << quint32(1000) << 6;
        QTest::newRow("stored as more than is free") << quint32(0xf0000000u) << 11;
    }
    void entryUnpackingBeyondItsStoredSizeIsStopped()
    {
        QFETCH(quint32, declared);
        QFETCH(int, reason);
        const QString archive = path(QStringLiteral("bomb.zip"));
        QVERIFY(makeArchive(archive, {{"first.txt", "first"}, {"bomb.txt", QByteArray(64 << 20, '\0')}}));
        QVERIFY(QFileInfo(archive).size() < 200000);
        QVERIFY(testing::patchEntry(archive, "bomb.txt", testing::Stored::Size, declared));
        FixedFreeSpace disk(1 << 30);
        ZipMain zip;
        Recorder events(zip);
        zip.setMedium(&disk);
        zip.setArchivePath(archive);
        zip.setExtractFolder(path(QStringLiteral("out")));
        qint64 written = 0;
        connect(&zip, &ZipMain::Status, &zip, [&] {
            QDirIterator it(path(QStringLiteral("out")), QDir::Files | QDir::Hidden);
            while (it.hasNext())
                written = qMax(written, QFileInfo(it.next()).size());
        });
        QCOMPARE(zip.Extract(0), 40);
        QCOMPARE(events.skipped, QStringList{QStringLiteral("bomb.txt:") + QString::number(reason)});
        QCOMPARE(restored(), QStringList{QStringLiteral("first.txt")});
        QVERIFY2(written <= qint64(declared), qPrintable(QString::number(written)));
    }
};

QTEST_GUILESS_MAIN(TestZipExtract)
#include "test_zipextract.moc"

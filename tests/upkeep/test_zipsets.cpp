// Sets that span several disks: written across "floppies" (a folder with a
// floppy's capacity whose disks are changed when the component asks), read
// back with the disks asked for, and exchanged with 7-Zip and Info-ZIP.
#include "ZipSupport.h"

#include "upkeep/zip/DiskMedium.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace upkeep::zip;
using testing::readFile;
using testing::Recorder;
using testing::runTool;
using testing::writeFile;

namespace {

constexpr qint64 kFloppy = 1457664;

/// A drive whose disks are folders on a shelf: one of them is in the drive at a time.
class FloppyDrive final : public DiskMedium {
public:
    FloppyDrive(const QString& root)
        : m_drive(QDir(root).filePath(QStringLiteral("a"))), m_shelf(QDir(root).filePath(QStringLiteral("shelf")))
    {
        QDir().mkpath(m_drive);
        QDir().mkpath(m_shelf);
    }
    QString drive() const { return m_drive; }
    bool isRemovable(const QString& folder) const override
    {
        return QFileInfo(folder).absoluteFilePath() == QFileInfo(m_drive).absoluteFilePath();
    }
    qint64 freeSpace(const QString& folder) const override
    {
        // Other folders are on the fixed disk, as for drive A:.
        if (!isRemovable(folder) &&
            !QFileInfo(folder).absoluteFilePath().startsWith(QFileInfo(m_shelf).absoluteFilePath()))
            return DiskMedium::freeSpace(folder);
        if (!QFileInfo(folder).isDir())
            return -1;
        qint64 used = 0;
        const auto files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
        for (const QFileInfo& file : files)
            used += file.size();
        return capacity - used;
    }
    /// Puts disk `n` in the drive (a blank one the first time), shelving the one that was in.
    void change(int n)
    {
        if (n == current)
            return;
        move(m_drive, disk(current));
        move(disk(n), m_drive);
        current = n;
    }
    QString disk(int n) const { return QDir(m_shelf).filePath(QString::number(n)); }
    QStringList filesOn(int n) const
    {
        return QDir(n == current ? m_drive : disk(n)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    /// Every part of every disk, in one folder.
    void gather(const QString& folder)
    {
        QDir().mkpath(folder);
        change(-1);
        QDirIterator it(m_shelf, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            QFile::copy(file, QDir(folder).filePath(QFileInfo(file).fileName()));
        }
    }

    qint64 capacity = kFloppy;
    int current = 1;

private:
    static void move(const QString& from, const QString& to)
    {
        QDir().mkpath(to);
        const auto files = QDir(from).entryList(QDir::Files | QDir::Hidden);
        for (const QString& file : files)
            QFile::rename(QDir(from).filePath(file), QDir(to).filePath(file));
    }
    QString m_drive;
    QString m_shelf;
};

} // namespace

class TestZipSets : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A database-sized file that does not compress, and a small one that does.
    void makeFiles()
    {
        QVERIFY(writeFile(path(QStringLiteral("in/calls.mdb")), testing::noise(3500000)));
        QVERIFY(writeFile(path(QStringLiteral("in/notes.txt")), testing::prose(200000)));
    }
    QString fileList() const { return path(QStringLiteral("in/calls.mdb\r")) + path(QStringLiteral("in/notes.txt\r")); }

    void backUpToFloppies(ZipMain& zip, FloppyDrive& drive, Recorder& events)
    {
        zip.setMedium(&drive);
        zip.setMultidiskMode(true);
        zip.setClearDisks(true);
        zip.setArchivePath(QDir(drive.drive()).filePath(QStringLiteral("Backup.zip")));
        events.onNewdisk = [&drive](int disk) {
            drive.change(disk);
            return true;
        };
        zip.setFileList(fileList());
        QCOMPARE(zip.Add(0), 0);
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        makeFiles();
    }

    void spansFloppiesAndReadsThemBack()
    {
        FloppyDrive drive(path(QStringLiteral("floppies")));
        // A letter on the first disk stays; an earlier set's piece on it goes.
        QVERIFY(writeFile(QDir(drive.drive()).filePath(QStringLiteral("old letter.txt")), "kept on the disk"));
        QVERIFY(writeFile(QDir(drive.drive()).filePath(QStringLiteral("BACKUP.Z07")), "an earlier set"));
        ZipMain zip;
        Recorder events(zip);
        backUpToFloppies(zip, drive, events);
        QCOMPARE(events.disks, (QList<int>{2, 3}));
        QCOMPARE(drive.filesOn(1), (QStringList{QStringLiteral("Backup.z01"), QStringLiteral("old letter.txt")}));
        QCOMPARE(readFile(QDir(drive.disk(1)).filePath(QStringLiteral("old letter.txt"))),
                 QByteArray("kept on the disk"));
        QCOMPARE(drive.filesOn(2), QStringList{QStringLiteral("Backup.z02")});
        QCOMPARE(drive.filesOn(3), QStringList{QStringLiteral("Backup.zip")});
        for (int disk = 1; disk <= 3; ++disk)
            QVERIFY(drive.freeSpace(disk == drive.current ? drive.drive() : drive.disk(disk)) >= 0);

        // The disk in the drive is the last one; the others are asked for in order.
        events.disks.clear();
        events.onNewdisk = [&drive](int disk) {
            drive.change(disk == 0 ? 3 : disk);
            return true;
        };
        QCOMPARE(zip.EntryCount(), 2);
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed, (QStringList{QStringLiteral("calls.mdb"), QStringLiteral("notes.txt")}));
        QCOMPARE(events.sizes, (QList<qint64>{3500000, 200000}));
        QVERIFY(events.disks.isEmpty()); // the last disk holds the directory
        zip.setExtractFolder(path(QStringLiteral("restored")));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(events.disks, (QList<int>{1, 2}));
        events.listed.clear();
        QCOMPARE(zip.List(), 0); // read once, kept
        QCOMPARE(events.disks, (QList<int>{1, 2}));
        QCOMPARE(events.listed.size(), 2);
        QCOMPARE(readFile(path(QStringLiteral("restored/calls.mdb"))), readFile(path(QStringLiteral("in/calls.mdb"))));

        // Starting from the first disk, the last one is asked for first.
        ZipMain again;
        Recorder second(again);
        again.setMedium(&drive);
        again.setMultidiskMode(true);
        again.setArchivePath(zip.ArchivePath());
        second.onNewdisk = events.onNewdisk;
        drive.change(1);
        QCOMPARE(again.Test(), 0);
        QCOMPARE(second.disks, (QList<int>{0, 2}));

        // 7-Zip and Info-ZIP read the parts once they are in one folder.
        drive.gather(path(QStringLiteral("parts")));
        QString output;
        QCOMPARE(runTool(QStringLiteral("7zz"), {QStringLiteral("t"), QStringLiteral("Backup.zip")},
                         path(QStringLiteral("parts")), &output),
                 0);
        QVERIFY2(output.contains(QStringLiteral("Everything is Ok")), qPrintable(output));
        QCOMPARE(runTool(QStringLiteral("zip"),
                         {QStringLiteral("-q"), QStringLiteral("-s"), QStringLiteral("0"), QStringLiteral("Backup.zip"),
                          QStringLiteral("--out"), QStringLiteral("joined.zip")},
                         path(QStringLiteral("parts")), &output),
                 0);
        QCOMPARE(runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), QStringLiteral("joined.zip")},
                         path(QStringLiteral("parts")), &output),
                 0);
    }

    void diskProblems_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("asked");
        QTest::newRow("cancelled") << "cancel" << 190 << QList<int>{2};
        QTest::newRow("disk never changed") << "same disk" << 420 << QList<int>{2, 2, 2};
        QTest::newRow("full disk") << "full disk" << 150 << QList<int>{2};
        QTest::newRow("no disk") << "no disk" << 420 << QList<int>{2, 2, 2};
    }
    void diskProblems()
    {
        QFETCH(QString, problem);
        QFETCH(int, result);
        QFETCH(QList<int>, asked);
        FloppyDrive drive(path(QStringLiteral("floppies")));
        ZipMain zip;
        Recorder events(zip);
        zip.setMedium(&drive);
        zip.setMultidiskMode(true);
        zip.setArchivePath(QDir(drive.drive()).filePath(QStringLiteral("Backup.zip")));
        events.onNewdisk = [&](int disk) {
            if (problem == QLatin1String("cancel"))
                return false;
            if (problem == QLatin1String("full disk")) {
                drive.change(disk);
                writeFile(QDir(drive.drive()).filePath(QStringLiteral("photos.jpg")), QByteArray(kFloppy - 4000, 'x'));
            } else if (problem == QLatin1String("no disk")) {
                drive.change(disk);
                QDir(drive.drive()).removeRecursively();
            }
            return true;
        };
        zip.setFileList(fileList());
        QCOMPARE(zip.Add(0), result);
        QCOMPARE(events.disks, asked);
        // No disk ever carries the archive's name unless the set is complete.
        QVERIFY(!QFileInfo::exists(zip.ArchivePath()));
    }

    void fitsOnOneDiskAsAnOrdinaryArchive()
    {
        FloppyDrive drive(path(QStringLiteral("floppies")));
        ZipMain zip;
        Recorder events(zip);
        zip.setMedium(&drive);
        zip.setMultidiskMode(true);
        zip.setArchivePath(QDir(drive.drive()).filePath(QStringLiteral("Small.zip")));
        zip.setFileList(path(QStringLiteral("in/notes.txt\r")));
        QCOMPARE(zip.Add(0), 0);
        QVERIFY(events.disks.isEmpty());
        QCOMPARE(runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), zip.ArchivePath()}), 0);
        // And a set cannot grow: it is written anew or not at all.
        zip.setFileList(path(QStringLiteral("in/calls.mdb\r")));
        QCOMPARE(zip.Add(0), 430);
    }

    void setsWrittenByOtherTools_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("open");
        QTest::newRow("zip -s") << QStringList{QStringLiteral("zip"),      QStringLiteral("-q"),
                                               QStringLiteral("-s"),       QStringLiteral("1m"),
                                               QStringLiteral("set.zip"),  QStringLiteral("calls.mdb"),
                                               QStringLiteral("notes.txt")}
                                << "set.zip";
        QTest::newRow("7-Zip volumes") << QStringList{QStringLiteral("7zz"),      QStringLiteral("a"),
                                                      QStringLiteral("-tzip"),    QStringLiteral("-v1m"),
                                                      QStringLiteral("vol.zip"),  QStringLiteral("calls.mdb"),
                                                      QStringLiteral("notes.txt")}
                                       << "vol.zip.001";
        QTest::newRow("7-Zip volumes by the archive's name")
            << QStringList{QStringLiteral("7zz"),      QStringLiteral("a"),       QStringLiteral("-tzip"),
                           QStringLiteral("-v1m"),     QStringLiteral("vol.zip"), QStringLiteral("calls.mdb"),
                           QStringLiteral("notes.txt")}
            << "vol.zip";
    }
    void setsWrittenByOtherTools()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, open);
        const QString program = command.takeFirst();
        QString output;
        QCOMPARE(runTool(program, command, path(QStringLiteral("in")), &output), 0);

        ZipMain zip;
        Recorder events(zip);
        zip.setArchivePath(path(QStringLiteral("in/")) + open);
        QCOMPARE(zip.List(), 410); // sets only in multidisk mode
        zip.setMultidiskMode(true);
        QCOMPARE(zip.List(), 0);
        QCOMPARE(events.listed, (QStringList{QStringLiteral("calls.mdb"), QStringLiteral("notes.txt")}));
        QCOMPARE(zip.Test(), 0);
        zip.setExtractFolder(path(QStringLiteral("out")));
        QCOMPARE(zip.Extract(0), 0);
        QCOMPARE(readFile(path(QStringLiteral("out/calls.mdb"))), readFile(path(QStringLiteral("in/calls.mdb"))));
        QCOMPARE(readFile(path(QStringLiteral("out/notes.txt"))), readFile(path(QStringLiteral("in/notes.txt"))));
        QVERIFY(events.disks.isEmpty());
        // Sets are read, never changed in place.
        zip.setFileList(QStringLiteral("notes.txt\r"));
        QCOMPARE(zip.Delete(), 430);
    }
};

QTEST_GUILESS_MAIN(TestZipSets)
#include "test_zipsets.moc"

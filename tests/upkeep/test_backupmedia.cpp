// The media a backup goes to and comes from: disks of an earlier backup
// inserted again, other files on the medium, a write-protected medium, a
// full disk named for what it is, the disk the program itself is on, and
// the letters of the window's menus.
#include "WindowSupport.h"

#include <QAction>
#include <QFile>
#include <QHash>
#include <QMenu>

using namespace testing::window;

namespace {

const QString kBackupName = QStringLiteral("VevoDorivBackup.zip");
const QString kNotCompleted =
    QStringLiteral("The backup on drive A was not completed. Start it again with a blank formatted disk.");
const QString kWriteProtected =
    QStringLiteral("The disk in drive A is write-protected, and a backup must write to it. Slide its tab to let it "
                   "be written, or put in another disk, then choose Backup to Drive A again.");

QString onDrive(testing::TestApp& app, const QString& name)
{
    return QDir(app.drive().path).filePath(name);
}

/// Puts in the disk `shelf` maps the asked-for disk to (0 is the last one).
void insertDisks(testing::TestApp& app, const QHash<int, int>& shelf)
{
    app.messages().onAsk = [&app, shelf](const ui::Message& message) {
        static const QRegularExpression numbered(QStringLiteral("^Please insert disk #(\\d+) of the set\\.$"));
        if (const auto match = numbered.match(message.text); match.hasMatch())
            app.drive().changeDisk(shelf.value(match.captured(1).toInt()));
        else if (message.text == QLatin1String("Please insert the last disk of the set."))
            app.drive().changeDisk(shelf.value(0));
    };
}

QString fullDisk(const QString& what, const QString& folder)
{
    return QStringLiteral("The disk that holds ") + what + QStringLiteral(" (") + QDir::toNativeSeparators(folder) +
           QStringLiteral(") is full. Make room on it, then try again.");
}

} // namespace

class TestBackupMedia : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    // A disk of an earlier set, first in the drive or handed in later, is a disk to erase.
    void disksOfAnEarlierSetAreReused()
    {
        testing::TestApp app;
        QVERIFY(testing::writeFile(onDrive(app, QStringLiteral("VevoDorivBackup.z01")), "an earlier set"));
        QVERIFY(testing::writeFile(onDrive(app, QStringLiteral("VEVODORIVBACKUP.Z02")), "an earlier set"));
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, kCompleted}));
        QCOMPARE(app.drive().filesOn(1), QStringList{kBackupName});
        QCOMPARE(testing::runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), onDrive(app, kBackupName)}), 0);

        // A set of three disks, then a second backup over it starting on its
        // last disk, with its first and second disk handed in as disks #2 and #3.
        growDatabase(app, 10000);
        insertDisks(app, {{2, 2}, {3, 3}});
        app.messages().seen.clear();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts().size(), 4);
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (7, 'second backup')")));
        const int calls = callsIn(app.databasePath());
        app.drive().changeDisk(3);
        insertDisks(app, {{2, 1}, {3, 2}});
        app.messages().seen.clear();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, QStringLiteral("Please insert disk #2 of the set."),
                                                QStringLiteral("Please insert disk #3 of the set."), kCompleted}));
        QCOMPARE(app.drive().filesOn(3), QStringList{QStringLiteral("VevoDorivBackup.z01")});
        QCOMPARE(app.drive().filesOn(1), QStringList{QStringLiteral("VevoDorivBackup.z02")});
        QCOMPARE(app.drive().filesOn(2), QStringList{kBackupName});

        QVERIFY(app.exec(QStringLiteral("DELETE FROM DData")));
        insertDisks(app, {{1, 3}, {2, 1}, {0, 2}});
        window->mnuAutomaticRestore_Click();
        QCOMPARE(callsIn(app.databasePath()), calls);
    }

    // Only the backup's own files leave the medium; where the others leave too little room, the user is told.
    void otherFilesOnTheMediumStay()
    {
        testing::TestApp app;
        QVERIFY(testing::writeFile(onDrive(app, QStringLiteral("Photos/beach.jpg")), "the beach"));
        QVERIFY(testing::writeFile(onDrive(app, QStringLiteral("letter.doc")), "a letter"));
        QVERIFY(testing::writeFile(onDrive(app, QStringLiteral("vevodorivbackup.ZIP")), "an earlier backup"));
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, kCompleted}));
        QCOMPARE(testing::readFile(onDrive(app, QStringLiteral("Photos/beach.jpg"))), QByteArray("the beach"));
        QCOMPARE(app.drive().filesOn(1), (QStringList{kBackupName, QStringLiteral("letter.doc")}));
        QCOMPARE(testing::runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), onDrive(app, kBackupName)}), 0);

        // A letter that fills the disk: another disk is asked for, and the letter stays.
        const QByteArray letter(int(app.drive().bytes - 1024), 'x');
        app.drive().changeDisk(2);
        QVERIFY(testing::writeFile(onDrive(app, QStringLiteral("letter.doc")), letter));
        const QRegularExpression noRoom(
            QStringLiteral("^The disk in drive A has room for only (\\d+) bytes: files on it that are not part of a "
                           "backup take the rest, and they are not erased\\. The backup needs (\\d+) bytes\\. Put "
                           "in another disk \\(or make room on this one\\), then choose OK\\.$"));
        app.messages().onAsk = [&](const ui::Message& message) {
            if (noRoom.match(message.text).hasMatch() && app.messages().answers.isEmpty())
                app.drive().changeDisk(3);
        };
        app.messages().seen.clear();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts().size(), 3);
        const auto match = noRoom.match(app.messages().texts().at(1));
        QVERIFY2(match.hasMatch(), qPrintable(app.messages().texts().at(1)));
        QVERIFY(match.captured(1).toLongLong() <= 1024);
        QVERIFY(match.captured(2).toLongLong() > 1024);
        QCOMPARE(app.messages().seen.at(1).buttons, ui::Buttons::OkCancel);
        QCOMPARE(app.messages().texts().at(2), kCompleted);
        QCOMPARE(app.drive().filesOn(3), QStringList{kBackupName});
        QCOMPARE(testing::readFile(QDir(app.drive().shelved(2)).filePath(QStringLiteral("letter.doc"))), letter);

        // Cancelled, nothing is written and the letter stays.
        app.drive().changeDisk(2);
        app.messages().seen.clear();
        app.messages().answers << ui::Answer::Yes << ui::Answer::Cancel;
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts().size(), 4);
        QCOMPARE(app.messages().texts().at(2), QStringLiteral("The adding operation was aborted."));
        QCOMPARE(app.messages().texts().at(3), kNotCompleted);
        QCOMPARE(app.drive().filesOn(2), QStringList{QStringLiteral("letter.doc")});
        QCOMPARE(testing::readFile(onDrive(app, QStringLiteral("letter.doc"))), letter);
    }

    void neverErasesTheDiskTheProgramIsOn()
    {
        testing::TestApp app;
        app.drive().path = app.folder(); // the program runs from the memory stick
        const QByteArray before = testing::readFile(app.databasePath());
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(),
                 (Texts{kBackupQuestion, QStringLiteral("The disk in drive A holds this program and its database: "
                                                        "a backup on it would be lost with them. Put in another "
                                                        "disk for the backup.")}));
        QCOMPARE(testing::readFile(app.databasePath()), before);
        QVERIFY(!window->mnuAutomaticBackup->isChecked());
        // Nor does a set written by hand with Clear disks on.
        upkeep::DriveA drive;
        QString where;
        QVERIFY(testing::writeFile(QDir(app.folder()).filePath(QStringLiteral("VevoDorivBackup.zip")), "by hand"));
        QVERIFY(!drive.eraseSet(QDir(app.folder()).filePath(QStringLiteral("VevoDorivBackup.zip")), &where));
        QVERIFY(QFileInfo::exists(QDir(app.folder()).filePath(QStringLiteral("VevoDorivBackup.zip"))));
        QVERIFY(QFileInfo::exists(app.databasePath()));
    }

    // A write-protected medium is restored from; a backup to it says what is wrong.
    void writeProtectedMedium()
    {
        testing::TestApp app;
        QVERIFY(QDir().mkpath(app.drive().path));
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        const int calls = callsIn(app.databasePath());
        const QByteArray backup = testing::readFile(onDrive(app, kBackupName));
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (7, 'after the backup')")));

        app.drive().writeProtected = true;
        app.messages().seen.clear();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, kWriteProtected}));
        QVERIFY(!window->mnuAutomaticBackup->isChecked());
        QCOMPARE(testing::readFile(onDrive(app, kBackupName)), backup);

        app.messages().seen.clear();
        window->mnuAutomaticRestore_Click();
        QCOMPARE(app.messages().texts(), (Texts{kRestoreQuestion, replaceQuestion(app)}));
        QCOMPARE(callsIn(app.databasePath()), calls);
        QCOMPARE(testing::readFile(onDrive(app, kBackupName)), backup);
    }

    // The machine's removable medium is found whether or not it can be written.
    void removableMediumFoundReadOnlyToo()
    {
        testing::TestApp app;
        const QString sys = QDir(app.folder()).filePath(QStringLiteral("sys"));
        QVERIFY(testing::writeFile(sys + QStringLiteral("/devices/sda/removable"), "0\n"));
        QVERIFY(testing::writeFile(sys + QStringLiteral("/devices/sda/sda1/partition"), "1\n"));
        QVERIFY(testing::writeFile(sys + QStringLiteral("/devices/sdb/removable"), "1\n"));
        QVERIFY(testing::writeFile(sys + QStringLiteral("/devices/sdb/sdb1/partition"), "1\n"));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/block")));
        QVERIFY(QFile::link(sys + QStringLiteral("/devices/sda/sda1"), sys + QStringLiteral("/block/sda1")));
        QVERIFY(QFile::link(sys + QStringLiteral("/devices/sdb/sdb1"), sys + QStringLiteral("/block/sdb1")));
        const QList<ui::MountedVolume> volumes{
            {QStringLiteral("/"), QStringLiteral("/dev/sda1"), true, false},
            {QStringLiteral("/proc"), QString(), true, false},
            {QStringLiteral("/media/stick"), QStringLiteral("/dev/sdb1"), true, true}};
        const auto stick = ui::removableVolume(volumes, sys + QStringLiteral("/block"));
        QVERIFY(stick);
        QCOMPARE(stick->root, QStringLiteral("/media/stick"));
        QVERIFY(stick->readOnly);
        QVERIFY(!ui::removableVolume(volumes.mid(0, 2), sys + QStringLiteral("/block")));
    }

    // A full disk is named: the program's folder, the temporary folder or the medium.
    void fullDiskNamed()
    {
        testing::TestApp app;
        QVERIFY(QDir().mkpath(app.drive().path));
        app.volumes().free.insert(app.folder(), qint64(1) << 40);
        app.volumes().free.insert(QDir::tempPath(), 1000);
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(),
                 (Texts{kBackupQuestion, fullDisk(QStringLiteral("the temporary folder"), QDir::tempPath()),
                        kNotCompleted}));
        QVERIFY(!QFileInfo::exists(onDrive(app, kBackupName)));

        app.volumes().free.clear();
        app.messages().seen.clear();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, kCompleted}));
        const QByteArray before = testing::readFile(app.databasePath());
        app.volumes().free.insert(app.folder(), 1000);
        app.messages().seen.clear();
        window->mnuAutomaticRestore_Click();
        QCOMPARE(app.messages().texts().size(), 3);
        QVERIFY2(app.messages().texts().at(1).startsWith(QStringLiteral("The disk that holds the program's folder (") +
                                                         QDir::toNativeSeparators(app.folder()) +
                                                         QStringLiteral(") is full: restoring the database needs ")),
                 qPrintable(app.messages().texts().at(1)));
        QVERIFY(app.messages().texts().at(1).endsWith(
            QStringLiteral(" bytes there, and 1000 are free. Make room on it, then try again.")));
        QCOMPARE(app.messages().texts().at(2), kNotRestored);
        QCOMPARE(testing::readFile(app.databasePath()), before);

        // A set written by hand to the program's folder.
        app.messages().seen.clear();
        app.volumes().free.insert(app.folder(), 100);
        window->mnuOptionsMultidiskMode->trigger();
        app.fileDialog().names << QDir(app.folder()).filePath(QStringLiteral("manual.zip")) << app.databasePath();
        window->mnuFileNew_Click();
        window->mnuEditAdd_Click();
        QCOMPARE(app.messages().texts(), Texts{fullDisk(QStringLiteral("the program's folder"), app.folder())});
    }

    // A set read back needs room in the temporary folder for its disks.
    void fullTemporaryFolderWhileRestoring()
    {
        testing::TestApp app;
        growDatabase(app, 10000);
        QVERIFY(QDir().mkpath(app.drive().path));
        frmZipCreate* window = openWindow();
        answerDiskPrompts(app, 3);
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts().last(), kCompleted);
        const QByteArray before = testing::readFile(app.databasePath());
        app.volumes().free.insert(app.folder(), qint64(1) << 40);
        app.volumes().free.insert(QDir::tempPath(), 1000);
        app.messages().seen.clear();
        window->mnuAutomaticRestore_Click();
        QCOMPARE(app.messages().texts().mid(app.messages().texts().size() - 2),
                 (Texts{fullDisk(QStringLiteral("the temporary folder"), QDir::tempPath()), kNotRestored}));
        QVERIFY(!app.messages().texts().contains(QStringLiteral("A full disk was inserted instead of an empty one.")));
        QCOMPARE(testing::readFile(app.databasePath()), before);
    }

    // A letter that only one enabled item of the open menu carries opens that item.
    void menuLetterOfTheOnlyEnabledItem()
    {
        testing::TestApp app;
        const QString notes = QDir(app.folder()).filePath(QStringLiteral("notes.txt"));
        QVERIFY(testing::writeFile(notes, "deck chain"));
        frmZipCreate* window = openWindow();
        app.fileDialog().names << QDir(app.folder()).filePath(QStringLiteral("letters.zip")) << notes;
        window->mnuFileNew_Click();
        auto pressInEdit = [&](Qt::Key key) {
            window->mnuEdit->popup(window->mapToGlobal(QPoint(0, 0)));
            QTRY_VERIFY(window->mnuEdit->isVisible());
            QTest::keyClick(window->mnuEdit, key);
        };

        // "&Add..." enabled, "Select &All" not (no rows yet): A adds.
        pressInEdit(Qt::Key_A);
        QTRY_VERIFY(!window->mnuEdit->isVisible());
        QCOMPARE(window->lstMain->topLevelItemCount(), 1);

        // In multidisk mode with rows, "&Add..." is disabled: A selects all.
        window->lstMain->clearSelection();
        window->mnuOptionsMultidiskMode->trigger();
        pressInEdit(Qt::Key_A);
        QTRY_VERIFY(!window->mnuEdit->isVisible());
        QVERIFY(window->lstMain->topLevelItem(0)->isSelected());
        QVERIFY(app.messages().seen.isEmpty());
    }
};

QTEST_MAIN(TestBackupMedia)
#include "test_backupmedia.moc"

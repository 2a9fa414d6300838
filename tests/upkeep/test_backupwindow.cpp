// The backup window driven through its menus: the automatic backup to and
// restore from drive A: (a folder with a floppy's capacity whose disks are
// changed when the window asks), the replace question, a database held open,
// the menus' enabling rules and check marks, and the archive manager's
// test, fix and restore by hand.
#include "WindowSupport.h"

#include "app/MainMenu.h"
#include "ui/ScreenRegistry.h"
#include "upkeep/ExtractDialog.h"
#include "upkeep/frmZipCreate.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

using namespace testing::window;

class TestBackupWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void backupAcrossFloppiesThenRestore()
    {
        testing::TestApp app;
        growDatabase(app, 10000);
        QVERIFY(QDir().mkpath(app.drive().path));
        QVERIFY(testing::writeFile(QDir(app.drive().path).filePath(QStringLiteral("letter.txt")), "old letter"));
        const int calls = callsIn(app.databasePath());
        frmZipCreate* window = openWindow();
        answerDiskPrompts(app, 3);

        window->mnuAutomaticBackup->trigger();
        const Texts backup{kBackupQuestion, QStringLiteral("Please insert disk #2 of the set."),
                           QStringLiteral("Please insert disk #3 of the set."), kCompleted};
        QCOMPARE(app.messages().texts(), backup);
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Confirm"));
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Question);
        QCOMPARE(app.messages().seen.first().defaultButton, std::optional<ui::Answer>(ui::Answer::No));
        QCOMPARE(app.messages().seen.at(1).buttons, ui::Buttons::OkCancel);
        QVERIFY(!window->mnuAutomaticBackup->isChecked());
        // The letter is not the program's to erase.
        QCOMPARE(app.drive().filesOn(1),
                 (QStringList{QStringLiteral("VevoDorivBackup.z01"), QStringLiteral("letter.txt")}));
        QCOMPARE(app.drive().filesOn(2), QStringList{QStringLiteral("VevoDorivBackup.z02")});
        QCOMPARE(app.drive().filesOn(3), QStringList{QStringLiteral("VevoDorivBackup.zip")});
        QCOMPARE(rowTexts(window->lstMain).size(), 1);
        QVERIFY(window->lstMain->topLevelItem(0)->text(0) == QLatin1String("Zuvevadu.mdb"));
        QVERIFY2(window->statusText().startsWith(QStringLiteral(" 1 files, ")), qPrintable(window->statusText()));
        QCOMPARE(window->windowTitle(), QDir(app.drive().path).filePath(QStringLiteral("VevoDorivBackup.zip")));

        // Calls logged after the backup go with the restore.
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (7, 'after the backup')")));
        app.messages().seen.clear();
        window->mnuAutomaticRestore->trigger();
        const Texts restore{kRestoreQuestion, QStringLiteral("Please insert disk #1 of the set."),
                            QStringLiteral("Please insert disk #2 of the set."), replaceQuestion(app)};
        QCOMPARE(app.messages().texts(), restore);
        QCOMPARE(app.messages().seen.last().buttons, ui::Buttons::YesNoCancel);
        QCOMPARE(callsIn(app.databasePath()), calls);
        QVERIFY(!QFileInfo::exists(app.databasePath() + QStringLiteral(".previous")));
        QCOMPARE(QDir(app.folder()).entryList({QStringLiteral("*.mdb*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Zuvevadu.mdb")});
        QVERIFY(!window->mnuAutomaticRestore->isChecked());
        QVERIFY(!window->isBusy());
    }

    void replaceQuestionAnswered_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("yes") << int(ui::Answer::Yes) << true << QStringList{};
        QTest::newRow("no") << int(ui::Answer::No) << false
                            << QStringList{QStringLiteral("Can't process 'Zuvevadu.mdb', instructed not to overwrite."),
                                           QStringLiteral("Some files were skipped while extracting."), kNotRestored};
        QTest::newRow("cancel") << int(ui::Answer::Cancel) << false
                                << QStringList{QStringLiteral("The extracting operation was aborted."), kNotRestored};
    }
    void replaceQuestionAnswered()
    {
        QFETCH(int, answer);
        QFETCH(bool, restored);
        QFETCH(QStringList, after);
        testing::TestApp app;
        QVERIFY(QDir().mkpath(app.drive().path));
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, kCompleted}));
        const int calls = callsIn(app.databasePath());
        QVERIFY(app.exec(QStringLiteral("INSERT INTO DData (LaneNo, callmade) VALUES (7, 'after the backup')")));

        app.messages().seen.clear();
        app.messages().answers << ui::Answer::Yes << ui::Answer(answer);
        window->mnuAutomaticRestore_Click();
        const Texts expected = Texts{kRestoreQuestion, replaceQuestion(app)} + after;
        QCOMPARE(app.messages().texts(), expected);
        QCOMPARE(callsIn(app.databasePath()), restored ? calls : calls + 1);
        QVERIFY(!window->mnuAutomaticRestore->isChecked());
        if (answer == int(ui::Answer::Cancel))
            QCOMPARE(app.messages().seen.at(2).icon, ui::Icon::Exclamation);
    }

    void noDiskInDriveA()
    {
        testing::TestApp app;
        app.drive().inserted = false;
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        window->mnuAutomaticRestore_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, kNoDisk, kRestoreQuestion, kNoDisk}));
        QVERIFY(!window->mnuAutomaticBackup->isChecked());
        QVERIFY(!window->mnuAutomaticRestore->isChecked());

        // Answered No, nothing happens at all.
        app.messages().seen.clear();
        app.messages().answers << ui::Answer::No << ui::Answer::No;
        window->mnuAutomaticBackup_Click();
        window->mnuAutomaticRestore_Click();
        QCOMPARE(app.messages().texts(), (Texts{kBackupQuestion, kRestoreQuestion}));
    }

    void failedSequenceSaysSoAndClearsItsMark()
    {
        testing::TestApp app;
        growDatabase(app, 10000);
        QVERIFY(QDir().mkpath(app.drive().path));
        frmZipCreate* window = openWindow();
        app.messages().answers << ui::Answer::Yes << ui::Answer::Cancel; // the second disk is never inserted
        window->mnuAutomaticBackup_Click();
        QCOMPARE(app.messages().texts(),
                 (Texts{kBackupQuestion, QStringLiteral("Please insert disk #2 of the set."),
                        QStringLiteral("The adding operation was aborted."),
                        QStringLiteral("The backup on drive A was not completed. Start it again with a blank "
                                       "formatted disk.")}));
        QVERIFY(!window->mnuAutomaticBackup->isChecked());
        QVERIFY(!QFileInfo::exists(QDir(app.drive().path).filePath(QStringLiteral("VevoDorivBackup.zip"))));

        // A disk without a backup on it.
        app.messages().seen.clear();
        window->mnuAutomaticRestore_Click();
        QCOMPARE(app.messages().texts(),
                 (Texts{kRestoreQuestion, QStringLiteral("Please insert the last disk of the set."),
                        QStringLiteral("Please insert the last disk of the set."),
                        QStringLiteral("Please insert the last disk of the set."),
                        QStringLiteral("Wrong disk was inserted too many times."), kNotRestored}));
        QVERIFY(!window->mnuAutomaticRestore->isChecked());
    }

    void databaseHeldOpenIsNeitherRestoredNorCompacted()
    {
        testing::TestApp app;
        QVERIFY(QDir().mkpath(app.drive().path));
        frmZipCreate* window = openWindow();
        window->mnuAutomaticBackup_Click();
        const QByteArray before = testing::readFile(app.databasePath());

        ui::Screen* notes = screens().show(QStringLiteral("Notes"));
        QVERIFY(notes);
        app.messages().seen.clear();
        window->mnuAutomaticRestore_Click();
        auto* menu = static_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
        menu->mnuUtilCompact_Click();
        const QString where = QStringLiteral("the screen \"") + notes->windowTitle() + QLatin1Char('"');
        QCOMPARE(app.messages().texts(),
                 (Texts{kRestoreQuestion,
                        QStringLiteral("The database cannot be restored while it is open on ") + where +
                            QStringLiteral(". Close it, then choose Restore From Drive A "
                                           "again."),
                        QStringLiteral("The database was not compacted: it is open on ") + where +
                            QStringLiteral(". Close it, then choose Compact Database again.")}));
        QCOMPARE(testing::readFile(app.databasePath()), before);
        QVERIFY(!window->mnuAutomaticRestore->isChecked());

        // Closed, the database can be compacted; a screen only loaded hidden is closed on the way.
        screens().unload(notes);
        QVERIFY(screens().load(QStringLiteral("FrameCount")));
        app.messages().seen.clear();
        menu->mnuUtilCompact_Click();
        QCOMPARE(app.messages().texts(), Texts{QStringLiteral("Your database has been compressed")});
        QVERIFY(!screens().find(QStringLiteral("FrameCount")));
    }

    void leftoverCopyOfACompaction_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("keep it") << int(ui::Answer::No);
        QTest::newRow("delete it") << int(ui::Answer::Yes);
    }
    void leftoverCopyOfACompaction()
    {
        QFETCH(int, answer);
        testing::TestApp app;
        const QString leftover = QDir(app.folder()).filePath(QStringLiteral("SL.MDB"));
        QVERIFY(testing::writeFile(leftover, "cut short"));
        const QByteArray before = testing::readFile(app.databasePath());
        const int calls = callsIn(app.databasePath());
        auto* menu = static_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
        app.messages().answers << ui::Answer(answer);
        menu->mnuUtilCompact_Click();
        const QString question = QStringLiteral("A copy left over from a compaction that did not finish is in the "
                                                "way:\r") +
                                 leftover +
                                 QStringLiteral("\rIt is not your database. Delete it and compact the "
                                                "database now?");
        if (answer == int(ui::Answer::No)) {
            QCOMPARE(app.messages().texts(), Texts{question});
            QCOMPARE(testing::readFile(app.databasePath()), before);
            QCOMPARE(testing::readFile(leftover), QByteArray("cut short"));
        } else {
            QCOMPARE(app.messages().texts(), (Texts{question, QStringLiteral("Your database has been compressed")}));
            QVERIFY(!QFileInfo::exists(leftover));
            QCOMPARE(callsIn(app.databasePath()), calls);
        }
    }

    void menusFollowTheArchiveAndTheOptions()
    {
        testing::TestApp app;
        frmZipCreate* window = openWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Database Backup "));
        auto enabled = [](std::initializer_list<QAction*> items) -> QString {
            QString flags;
            for (QAction* item : items)
                flags += item->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return flags;
        };
        auto edit = [&] {
            window->mnuEdit_Click();
            return enabled({window->mnuEditAdd, window->mnuEditDelete, window->mnuEditExtract, window->mnuEditUpdate,
                            window->mnuEditUpdateZipDate, window->mnuEditSelectAll});
        };
        auto file = [&] {
            window->mnuFile_Click();
            return enabled(
                {window->mnuFileClose, window->mnuFileFix->menuAction(), window->mnuFileDelete, window->mnuFileTest});
        };
        auto marks = [&]() -> QString {
            window->mnuOptions_Click();
            QString flags;
            for (QAction* item :
                 {window->mnuOptionsBest, window->mnuOptionsNormal, window->mnuOptionsFastest, window->mnuOptionsStore,
                  window->mnuOptionsMultidiskMode, window->mnuOptionsClearDisks, window->mnuOptionsUseTempFile})
                flags += item->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
            return flags + QLatin1Char(' ') + enabled({window->mnuOptionsClearDisks, window->mnuOptionsUseTempFile});
        };

        // No archive: only what works on a file chosen by dialog.
        QCOMPARE(file(), QStringLiteral("0111"));
        QCOMPARE(edit(), QStringLiteral("000000"));
        QCOMPARE(marks(), QStringLiteral("0100001 01"));

        // Multidisk mode chosen twice without opening the menu stays on.
        window->mnuOptionsMultidiskMode->trigger();
        window->mnuOptionsMultidiskMode->trigger();
        QVERIFY(window->ZipMain->MultidiskMode());
        QCOMPARE(marks(), QStringLiteral("0100100 10"));
        window->mnuOptionsClearDisks->trigger();
        window->mnuOptionsBest->trigger();
        QCOMPARE(marks(), QStringLiteral("1000110 10"));
        QCOMPARE(file(), QStringLiteral("0011")); // no fixing in multidisk mode

        // A new archive in multidisk mode: add to it once, nothing else.
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("manual.zip"));
        app.fileDialog().names << archive << app.databasePath();
        window->mnuFileNew->trigger();
        QCOMPARE(window->windowTitle(), archive);
        QCOMPARE(window->statusText(), QStringLiteral(" New Zip archive now open."));
        QCOMPARE(file(), QStringLiteral("1000"));
        QCOMPARE(edit(), QStringLiteral("100000"));
        window->mnuEditAdd->trigger();
        QCOMPARE(app.messages().texts(), Texts{kCompleted});
        QCOMPARE(edit(), QStringLiteral("000001"));
        window->mnuEditSelectAll->trigger();
        QCOMPARE(edit(), QStringLiteral("001001"));

        // Out of multidisk mode everything applies.
        window->mnuOptionsMultidiskMode->trigger();
        QCOMPARE(marks(), QStringLiteral("1000001 01"));
        QCOMPARE(edit(), QStringLiteral("111111"));
        window->lstMain->clearSelection();
        QCOMPARE(edit(), QStringLiteral("100111"));

        window->mnuFileClose->trigger();
        QCOMPARE(window->windowTitle(), QStringLiteral("Database Backup"));
        QCOMPARE(window->statusText(), QStringLiteral(" No Zip archive is currently open."));
        QCOMPARE(edit(), QStringLiteral("000000"));
        QCOMPARE(window->mnuAutomaticBackup->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
        QCOMPARE(window->mnuAutomaticRestore->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    }

    void listShowsTheArchive()
    {
        testing::TestApp app;
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("list.zip"));
        {
            QVERIFY(testing::writeFile(QDir(app.folder()).filePath(QStringLiteral("src/reports/daily.rpt")), ""));
            QVERIFY(testing::writeFile(QDir(app.folder()).filePath(QStringLiteral("src/notes.txt")), ""));
            QFile notes(QDir(app.folder()).filePath(QStringLiteral("src/notes.txt")));
            QVERIFY(notes.open(QIODevice::ReadWrite));
            QVERIFY(
                notes.setFileTime(QDateTime(QDate(2004, 12, 7), QTime(10, 15, 30)), QFileDevice::FileModificationTime));
            notes.close();
            QString output;
            QCOMPARE(testing::runTool(
                         QStringLiteral("zip"),
                         {QStringLiteral("-qr"), archive, QStringLiteral("notes.txt"), QStringLiteral("reports")},
                         QDir(app.folder()).filePath(QStringLiteral("src")), &output),
                     0);
        }
        frmZipCreate* window = openWindow();
        app.fileDialog().names << archive;
        window->mnuFileOpen_Click();
        const QStringList rows = rowTexts(window->lstMain);
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows.at(0).startsWith(QStringLiteral("notes.txt|")));
        QVERIFY(rows.at(1).startsWith(QStringLiteral("<dir>|")) && rows.at(1).endsWith(QStringLiteral("|reports")));
        QVERIFY(rows.at(2).startsWith(QStringLiteral("daily.rpt|")) && rows.at(2).endsWith(QStringLiteral("|reports")));
        // Day/month/year, and the time.
        const QDateTime stamp = QFileInfo(QDir(app.folder()).filePath(QStringLiteral("src/notes.txt"))).lastModified();
        QCOMPARE(window->lstMain->topLevelItem(0)->text(1), stamp.toString(QStringLiteral("dd/MM/yy")));
        QCOMPARE(window->lstMain->topLevelItem(0)->text(2), stamp.toString(QStringLiteral("HH:mm")));
        QCOMPARE(window->statusText(), QStringLiteral(" 3 files, 0 bytes"));
        QVERIFY(app.messages().seen.isEmpty());
    }

    // Add takes several files chosen at once, each into the archive.
    void addSeveralFilesAtOnce()
    {
        testing::TestApp app;
        const QString one = QDir(app.folder()).filePath(QStringLiteral("one.txt"));
        const QString two = QDir(app.folder()).filePath(QStringLiteral("two.txt"));
        QVERIFY(testing::writeFile(one, "deck chain"));
        QVERIFY(testing::writeFile(two, "sweep belt"));
        frmZipCreate* window = openWindow();
        app.fileDialog().names << QDir(app.folder()).filePath(QStringLiteral("two-files.zip"))
                               << one + QLatin1Char('\n') + two;
        window->mnuFileNew_Click();
        window->mnuEditAdd_Click();
        const QStringList rows = rowTexts(window->lstMain);
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows.at(0).startsWith(QStringLiteral("one.txt|")));
        QVERIFY(rows.at(1).startsWith(QStringLiteral("two.txt|")));
        QVERIFY(app.messages().seen.isEmpty());
    }

    void readingTextOnlyForLongArchives_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("reading");
        QTest::newRow("100 entries") << 100 << false;
        QTest::newRow("101 entries") << 101 << true;
    }
    void readingTextOnlyForLongArchives()
    {
        QFETCH(int, entries);
        QFETCH(bool, reading);
        testing::TestApp app;
        const QString src = QDir(app.folder()).filePath(QStringLiteral("many"));
        frmZipCreate* window = openWindow();
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("many.zip"));
        QString list;
        for (int i = 0; i < entries; ++i) {
            const QString file = QDir(src).filePath(QStringLiteral("call%1.txt").arg(i));
            QVERIFY(testing::writeFile(file, "x"));
            list += file + QLatin1Char('\r');
        }
        window->ZipMain->setArchivePath(archive);
        window->ZipMain->setFileList(list);
        QCOMPARE(window->ZipMain->Add(0), 0);
        QString statusWhileListing;
        QList<int> progress;
        connect(window->ZipMain, &upkeep::zip::ZipMain::Listing, window, [&] {
            if (statusWhileListing.isEmpty())
                statusWhileListing = window->statusText();
            progress << window->prbMain->value();
        });
        app.fileDialog().names << archive;
        window->mnuFileOpen_Click();
        QCOMPARE(statusWhileListing == QStringLiteral("Reading 101 files..."), reading);
        QCOMPARE(progress.last() > 0, reading);
        QCOMPARE(window->lstMain->topLevelItemCount(), entries);
        QCOMPARE(window->statusText(), QStringLiteral(" %1 files, %1 bytes, %1 bytes compressed, 0%").arg(entries));
    }

    void resultAndSkippingMessages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("multidisk");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing for 0") << 0 << false << "";
        QTest::newRow("nothing for 10") << 10 << false << "";
        QTest::newRow("skipped") << 40 << false << "Some files were skipped while adding.";
        QTest::newRow("disk full") << 150 << false << "Disk full while adding.";
        QTest::newRow("full disk inserted") << 150 << true << "A full disk was inserted instead of an empty one.";
        QTest::newRow("event parameter") << 460 << false
                                         << "Invalid command parameter passed to an event of the Tarrowby Stopwell "
                                            "archive component.";
        QTest::newRow("folder") << 510 << false << "Problem creating destination directory while adding.";
        QTest::newRow("any other") << 777 << false << "An error occured while adding the specified files.";
    }
    void resultAndSkippingMessages()
    {
        QFETCH(int, code);
        QFETCH(bool, multidisk);
        QFETCH(QString, message);
        QCOMPARE(upkeep::resultMessage(code, QStringLiteral("adding"), multidisk), message);
        QCOMPARE(upkeep::skippingMessage(QStringLiteral("..\\evil"), 8),
                 QStringLiteral("Can't process '..\\evil', its name would put it outside the folder it is restored "
                                "to."));
        QCOMPARE(upkeep::skippingMessage(QStringLiteral("x"), 12), QStringLiteral("Can't process 'x', "));
    }

    void testAndFixADamagedArchive()
    {
        testing::TestApp app;
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("damaged.zip"));
        QVERIFY(testing::writeFile(QDir(app.folder()).filePath(QStringLiteral("a.bin")), testing::noise(30000, 1)));
        QVERIFY(testing::writeFile(QDir(app.folder()).filePath(QStringLiteral("b.bin")), testing::noise(30000, 2)));
        frmZipCreate* window = openWindow();
        window->ZipMain->setArchivePath(archive);
        window->ZipMain->setCompression(0);
        window->ZipMain->setFileList(QDir(app.folder()).filePath(QStringLiteral("a.bin\r")) +
                                     QDir(app.folder()).filePath(QStringLiteral("b.bin\r")));
        QCOMPARE(window->ZipMain->Add(0), 0);
        window->ZipMain->setArchivePath(QString());
        QByteArray bytes = testing::readFile(archive);
        bytes[bytes.indexOf("b.bin") + 5 + 15000] = char(bytes[bytes.indexOf("b.bin") + 5 + 15000] ^ 1);
        QVERIFY(testing::writeFile(archive, bytes));

        app.fileDialog().names << archive << archive << archive;
        window->mnuFileTest_Click();
        window->mnuFileFixNormal_Click();
        window->mnuFileTest_Click();
        QCOMPARE(app.messages().texts(), (Texts{QStringLiteral("Can't process 'b.bin', CRC does not check out."),
                                                QStringLiteral("Test failed - errors in the archive."),
                                                QStringLiteral("Can't process 'b.bin', CRC does not check out."),
                                                QStringLiteral("Some files were skipped while fixing."),
                                                QStringLiteral("All files in the archive are OK.")}));
        QCOMPARE(app.messages().seen.at(1).icon, ui::Icon::Critical);
        QCOMPARE(app.messages().seen.at(4).icon, ui::Icon::Information);
        QCOMPARE(window->statusText(), QStringLiteral(" Finished testing files."));
        QVERIFY(window->ZipMain->ArchivePath().isEmpty());
        QVERIFY(!window->isBusy());
        QCOMPARE(testing::runTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive}), 0);
    }

    void restoreByHandThroughTheExtractDialog()
    {
        testing::TestApp app;
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("hand.zip"));
        const QString dest = QDir(app.folder()).filePath(QStringLiteral("restored"));
        QVERIFY(QDir().mkpath(dest));
        QVERIFY(testing::writeFile(QDir(app.folder()).filePath(QStringLiteral("notes.txt")), "notes"));
        frmZipCreate* window = openWindow();
        window->ZipMain->setArchivePath(archive);
        window->ZipMain->setFileList(QDir(app.folder()).filePath(QStringLiteral("notes.txt\r")));
        QCOMPARE(window->ZipMain->Add(0), 0);
        app.fileDialog().names << archive;
        window->mnuFileOpen_Click();
        window->mnuEditSelectAll_Click();

        // Cancel keeps the folder as it was and restores nothing. The drives
        // are drive A: and the machine's volumes, here one mounted at the
        // application folder.
        app.volumes().folders = QStringList{app.folder()};
        whenModal([&] {
            auto* dialog = qobject_cast<upkeep::ExtractDialog*>(screens().find(QStringLiteral("ExtractDialog")));
            QVERIFY(dialog);
            QCOMPARE(QApplication::activeModalWidget(), dialog);
            QCOMPARE(dialog->drvExtract->count(), 2);
            QCOMPARE(dialog->drvExtract->itemText(0), QStringLiteral("A:"));
            QCOMPARE(dialog->drvExtract->itemText(1), app.folder());
            dialog->openFolder(dest);
            QCOMPARE(dialog->txtExtract->text(), dest);
            QCOMPARE(dialog->drvExtract->currentIndex(), 1);
            dialog->cmdCancel->click();
        });
        window->mnuEditExtract_Click();
        QVERIFY(window->ZipMain->ExtractFolder().isEmpty());
        QVERIFY(!QFileInfo::exists(QDir(dest).filePath(QStringLiteral("notes.txt"))));

        whenModal([&] {
            auto* dialog = qobject_cast<upkeep::ExtractDialog*>(screens().find(QStringLiteral("ExtractDialog")));
            QVERIFY(dialog);
            dialog->txtExtract->setText(QStringLiteral("  ") + dest + QStringLiteral(" "));
            dialog->cmdSelect->click();
        });
        window->mnuEditExtract_Click();
        QCOMPARE(window->ZipMain->ExtractFolder(), dest);
        QCOMPARE(testing::readFile(QDir(dest).filePath(QStringLiteral("notes.txt"))), QByteArray("notes"));
        QCOMPARE(window->statusText(), QStringLiteral(" 1 files, 5 bytes, 5 bytes compressed, 0%"));

        // The second time the dialog starts at the folder chosen; drive A: without a disk is refused.
        app.drive().inserted = false;
        whenModal([&] {
            auto* dialog = qobject_cast<upkeep::ExtractDialog*>(screens().find(QStringLiteral("ExtractDialog")));
            QVERIFY(dialog);
            QCOMPARE(dialog->txtExtract->text(), dest);
            QCOMPARE(dialog->currentFolder(), dest);
            const int before = dialog->drvExtract->currentIndex();
            dialog->drvExtract->setCurrentIndex(0);
            dialog->drvExtract_Change();
            QCOMPARE(dialog->drvExtract->currentIndex(), before);
            dialog->cmdCancel->click();
        });
        window->mnuEditExtract_Click();
        QCOMPARE(app.messages().texts(), Texts{QStringLiteral("A:\\ is not accessible\r\rThe device is not ready")});
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Error"));
        QCOMPARE(app.messages().seen.first().icon, ui::Icon::Critical);
    }

    void abortWhileAdding()
    {
        testing::TestApp app;
        const QString big = QDir(app.folder()).filePath(QStringLiteral("big.bin"));
        QVERIFY(testing::writeFile(big, testing::noise(8 << 20)));
        frmZipCreate* window = openWindow();
        const QString archive = QDir(app.folder()).filePath(QStringLiteral("abort.zip"));
        app.fileDialog().names << archive << big;
        window->mnuFileNew_Click();

        // Without a temporary file there is no aborting.
        window->ZipMain->setUseTempFile(false);
        window->cmdAbort_Click();
        window->ZipMain->setUseTempFile(true);
        QCOMPARE(app.messages().texts(),
                 Texts{QStringLiteral("You cannot abort an operation when you are not using a temporary file.")});
        app.messages().seen.clear();

        // While the file is compressed the window is busy, shows its progress and takes Abort.
        bool busySeen = false;
        QList<int> progress;
        connect(window->ZipMain, &upkeep::zip::ZipMain::Status, window, [&](int percent) {
            progress << window->prbMain->value();
            if (percent > 0 && !busySeen) {
                busySeen = window->isBusy() && window->cmdAbort->isVisible() && window->prbMain->isVisible() &&
                           !window->mnuFile->menuAction()->isEnabled() && !window->lstMain->isEnabled();
                QTest::mouseClick(window->cmdAbort, Qt::LeftButton);
            }
        });
        window->mnuEditAdd_Click();
        QVERIFY(busySeen);
        QVERIFY(progress.size() >= 2);
        QCOMPARE(app.messages().texts(), (Texts{QStringLiteral("Are you sure you want to abort the current operation?"),
                                                QStringLiteral("The adding operation was aborted.")}));
        QCOMPARE(app.messages().seen.first().title, QStringLiteral("Abort"));
        QVERIFY(!QFileInfo::exists(archive));
        QVERIFY(!window->isBusy());
        QVERIFY(!window->cmdAbort->isVisible());
        QVERIFY(window->mnuFile->menuAction()->isEnabled());
    }

    void resizingKeepsTheDesignSizeAsTheSmallest()
    {
        testing::TestApp app;
        frmZipCreate* window = openWindow();
        const QSize design = window->size();
        const int listWidth = window->lstMain->width();
        window->resize(design.width() / 2, design.height() / 2);
        QCOMPARE(window->size(), design);
        window->resize(design.width() + 200, design.height() + 100);
        QTRY_COMPARE(window->lstMain->width(), listWidth + 200);
        QCOMPARE(window->lstMain->columnWidth(6), 200 + 108);
        QCOMPARE(window->cmdAbort->x() + window->cmdAbort->width(), window->lstMain->width() - 8);
    }

    void openedModallyFromTheMainMenu()
    {
        testing::TestApp app;
        auto* menu = static_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
        whenModal([&] {
            auto* window = qobject_cast<frmZipCreate*>(screens().find(QStringLiteral("frmZipCreate")));
            QVERIFY(window);
            QCOMPARE(QApplication::activeModalWidget(), window);
            window->mnuFileExit->trigger();
        });
        menu->MnuUtilBackup_Click();
        QTRY_VERIFY(!screens().find(QStringLiteral("frmZipCreate")));
        QCOMPARE(menu->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestBackupWindow)
#include "test_backupwindow.moc"

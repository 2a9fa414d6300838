// The File and Automatic menus: new, open, close, test, fix and delete an
// archive, the backup wizard, and the one-step backup to and restore from drive A:.
#include "DatabaseUsers.h"
#include "frmZipCreate.h"

#include "ui/Platform.h"
#include "upkeep/zip/SplitSet.h"

#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

namespace upkeep {
namespace {

const QString kBackupName = QStringLiteral("VevoDorivBackup.zip");
const QString kNoDisk = QStringLiteral("There is no disk in drive A, or it is not formatted!");

} // namespace

frmZipCreate::Outcome frmZipCreate::newArchive()
{
    QString name;
    if (mnuAutomaticBackup->isChecked()) {
        // Drive A: is read here first.
        name = DriveA::file(kBackupName);
        if (name.isEmpty())
            return Outcome::NoDisk;
    } else {
        name = AskArchiveName(this, dlgSelectZip, 1);
    }
    if (name.isEmpty())
        return Outcome::Stopped;
    // The new archive replaces the old one of that name, and with it the
    // pieces of an earlier set (name.z01 ...) that would be taken for its own.
    QStringList old = zip::setFiles(name);
    if (QFileInfo::exists(name) && !old.contains(name))
        old.append(name);
    for (const QString& file : old) {
        if (!QFile::remove(file)) {
            ui::msgBox(QStringLiteral("The archive \"%1\" cannot be replaced: it cannot be deleted.").arg(file),
                       ui::Buttons::Ok, ui::Icon::Exclamation);
            return Outcome::Failed;
        }
    }
    lstMain->clear();
    setStatus(QStringLiteral(" New Zip archive now open."));
    ZipMain->setArchivePath(name);
    setWindowTitle(name);
    return Outcome::Done;
}

void frmZipCreate::mnuFileNew_Click()
{
    newArchive();
}

frmZipCreate::Outcome frmZipCreate::openArchive()
{
    QString name;
    if (mnuAutomaticRestore->isChecked()) {
        name = DriveA::file(kBackupName);
        if (name.isEmpty())
            return Outcome::NoDisk;
    } else {
        name = AskArchiveName(this, dlgSelectZip, 0);
    }
    if (name.isEmpty())
        return Outcome::Stopped;
    bool state = false;
    EnableControls(state);
    ZipMain->setArchivePath(name);
    setWindowTitle(name);
    RefreshList(QStringLiteral("Opening"));
    state = true;
    EnableControls(state);
    return m_lastListResult == 0 ? Outcome::Done : Outcome::Failed;
}

void frmZipCreate::mnuFileOpen_Click()
{
    openArchive();
}

void frmZipCreate::mnuFileClose_Click()
{
    ZipMain->setArchivePath(QString());
    lstMain->clear();
    setStatus(QStringLiteral(" No Zip archive is currently open."));
    setWindowTitle(QStringLiteral("Database Backup"));
}

void frmZipCreate::mnuFileTest_Click()
{
    const QString name = AskArchiveName(this, dlgSelectZip, 2);
    if (name.isEmpty())
        return;
    bool state = true; // up, and back down with what comes back
    EnableControls(state);
    ZipMain->setArchivePath(name);
    setStatus(QStringLiteral(" Testing all files in ") + name + QStringLiteral("..."));
    const int result = ZipMain->Test();
    if (result == 0)
        ui::msgBox(QStringLiteral("All files in the archive are OK."), ui::Buttons::Ok, ui::Icon::Information);
    else if (result == 40)
        ui::msgBox(QStringLiteral("All files tested in the archive are OK.\r(Some files were skipped)"),
                   ui::Buttons::Ok, ui::Icon::Information);
    else
        report(result, QStringLiteral("testing"));
    ZipMain->setArchivePath(QString());
    SetProgress(0);
    setStatus(QStringLiteral(" Finished testing files."));
    EnableControls(state);
}

void frmZipCreate::RepairArchive(bool aggressive)
{
    bool state = false;
    EnableControls(state);
    const QString name = AskArchiveName(this, dlgSelectZip, 3);
    if (!name.isEmpty()) {
        ZipMain->setArchivePath(name);
        setStatus(QStringLiteral(" Repairing Zip archive..."));
        const int result = ZipMain->Fix(aggressive);
        if (result == 0)
            ui::msgBox(QStringLiteral("The specified Zip file has been fixed."), ui::Buttons::Ok,
                       ui::Icon::Information);
        else if (result == 110)
            ui::msgBox(QStringLiteral("The specified Zip file is too corrupted to be fixed."), ui::Buttons::Ok,
                       ui::Icon::Critical);
        else
            report(result, QStringLiteral("fixing"));
        ZipMain->setArchivePath(QString());
        SetProgress(0);
        setStatus(QStringLiteral(" Finished fixing files."));
    }
    state = true;
    EnableControls(state);
}

void frmZipCreate::mnuFileFixNormal_Click()
{
    RepairArchive(false);
}

void frmZipCreate::mnuFileFixAgressive_Click()
{
    RepairArchive(true);
}

void frmZipCreate::mnuFileDelete_Click()
{
    const QString name = AskArchiveName(this, dlgSelectZip, 4);
    if (name.isEmpty())
        return;
    if (ui::msgBox(QStringLiteral("Are you sure you want to delete ") + name + QLatin1Char('?'), ui::Buttons::YesNo,
                   ui::Icon::Question) == ui::Answer::Yes &&
        QFileInfo::exists(name))
        QFile::remove(name);
}

void frmZipCreate::mnuFileWizard_Click()
{
    mnuFileWizard->setChecked(true);
    ui::msgBox(QStringLiteral("The next window to pop up will ask you to create a new zip file. \r"
                              "Type in the name of the file you want to create."));
    // Without a new archive there is nothing to add files to.
    if (newArchive() == Outcome::Done) {
        ui::msgBox(QStringLiteral("The next window to pop up will ask you to add new files to your new zip file. \r"
                                  "Please select the files you wish to add."));
        mnuEditAdd_Click();
    }
    mnuFileWizard->setChecked(false);
}

void frmZipCreate::mnuAutomaticBackup_Click()
{
    if (ui::msgBox(QStringLiteral("Please insert a blank formatted floppy disk in drive A?\rIf you continue, all data "
                                  "on the floppy will be erased and a backup disk will be created!"),
                   ui::Buttons::YesNo, ui::Icon::Question, QStringLiteral("Confirm"),
                   ui::Answer::No) != ui::Answer::Yes)
        return;
    // Erasing the disk would take the program and the database with it.
    if (DriveA::holdsProgram()) {
        ui::msgBox(QStringLiteral("The disk in drive A holds this program and its database: a backup on it would "
                                  "be lost with them. Put in another disk for the backup."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    // A backup writes to the disk; a restore only reads it.
    if (!DriveA::root().isEmpty() && ui::Platform::instance().drive().readOnly()) {
        ui::msgBox(QStringLiteral("The disk in drive A is write-protected, and a backup must write to it. Slide "
                                  "its tab to let it be written, or put in another disk, then choose Backup to "
                                  "Drive A again."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    mnuAutomaticBackup->setChecked(true);
    // A backup always spans as many disks as it needs, each cleared first of
    // the files of an earlier backup (and nothing else), whatever the options were left at.
    ZipMain->setMultidiskMode(true);
    ZipMain->setClearDisks(true);
    Outcome outcome = newArchive();
    if (outcome == Outcome::Done)
        outcome = addFiles();
    if (outcome == Outcome::NoDisk)
        ui::msgBox(kNoDisk);
    else if (outcome != Outcome::Done)
        ui::msgBox(QStringLiteral("The backup on drive A was not completed. Start it again with a blank formatted "
                                  "disk."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
    mnuAutomaticBackup->setChecked(false);
}

void frmZipCreate::mnuAutomaticRestore_Click()
{
    if (ui::msgBox(QStringLiteral("Please insert your backup disk in drive A?"), ui::Buttons::YesNo, ui::Icon::Question,
                   QStringLiteral("Confirm"), ui::Answer::No) != ui::Answer::Yes)
        return;
    // Before any disk is read: the database must not be open on another screen.
    if (const QStringList screens = screensUsingDatabase(); !screens.isEmpty()) {
        ui::msgBox(QStringLiteral("The database cannot be restored while it is open on ") + screenNames(screens) +
                       QStringLiteral(". Close it, then choose Restore From Drive A again."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    mnuAutomaticRestore->setChecked(true);
    ZipMain->setMultidiskMode(true);
    m_databaseRestored = false;
    Outcome outcome = openArchive();
    if (outcome == Outcome::Done) {
        mnuEditSelectAll_Click();
        outcome = restoreSelected();
    }
    if (outcome == Outcome::NoDisk)
        ui::msgBox(kNoDisk);
    else if (!m_databaseRestored)
        ui::msgBox(QStringLiteral("The database was not restored from drive A; it is as it was."), ui::Buttons::Ok,
                   ui::Icon::Exclamation);
    mnuAutomaticRestore->setChecked(false);
}

} // namespace upkeep

// What the backup window does with the archive component's events, and how
// an extracted file takes its place.
#include "DatabaseUsers.h"
#include "frmZipCreate.h"

#include "ui/Platform.h"
#include "upkeep/dbfile/DatabaseFile.h"
#include "upkeep/zip/FileIo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace upkeep {
namespace {

QString sized(const char* what, const QString& name, qint64 size)
{
    return QString::fromLatin1(what) + name + QStringLiteral(" (") + QString::number(size) + QStringLiteral(" bytes)");
}

} // namespace

void frmZipCreate::ZipMain_Adding(const QString& name, qint64 size)
{
    setStatus(sized(" Adding file: ", name, size));
}

void frmZipCreate::ZipMain_Updating(const QString& name, qint64 size)
{
    setStatus(sized(" Updating file: ", name, size));
}

void frmZipCreate::ZipMain_Extracting(const QString& name, qint64 size)
{
    setStatus(sized(" Extracting file: ", name, size));
}

void frmZipCreate::ZipMain_Testing(const QString& name, qint64 size)
{
    setStatus(sized(" Testing file: ", name, size));
}

void frmZipCreate::ZipMain_Deleting(const QString& name)
{
    setStatus(QStringLiteral(" Deleting file: ") + name);
}

void frmZipCreate::ZipMain_Fixing(const QString& name)
{
    setStatus(QStringLiteral(" Repairing file: ") + name);
}

void frmZipCreate::ZipMain_Status(int percent)
{
    SetProgress(percent);
}

void frmZipCreate::ZipMain_Newdisk(int disk, bool& cancel)
{
    const QString text =
        disk == 0 ? QStringLiteral("Please insert the last disk of the set.")
                  : QStringLiteral("Please insert disk #") + QString::number(disk) + QStringLiteral(" of the set.");
    cancel = ui::msgBox(text, ui::Buttons::OkCancel) == ui::Answer::Cancel;
}

void frmZipCreate::ZipMain_NoRoom(int disk, qint64 free, qint64 needed, bool& retry)
{
    const QString which = disk > 1 ? QStringLiteral("Disk #") + QString::number(disk) + QStringLiteral(" of the set")
                                   : QStringLiteral("The backup");
    const QString text = QStringLiteral("The disk in drive A has room for only ") + QString::number(free) +
                         QStringLiteral(" bytes: files on it that are not part of a backup take the rest, and they "
                                        "are not erased. ") +
                         which + QStringLiteral(" needs ") + QString::number(needed) +
                         QStringLiteral(" bytes. Put in another disk (or make room on this one), then choose OK.");
    retry = ui::msgBox(text, ui::Buttons::OkCancel, ui::Icon::Exclamation) == ui::Answer::Ok;
    if (!retry)
        ZipMain->setAbort(true);
}

void frmZipCreate::report(int result, const QString& operation, const QString& written)
{
    const QString full = ZipMain->FullFolder().isEmpty() ? written : ZipMain->FullFolder();
    ReportResult(result, operation, ZipMain->MultidiskMode(), full);
}

bool frmZipCreate::roomToRestore(qint64 bytes)
{
    const QString folder = QFileInfo(ui::databasePath()).absolutePath();
    // The restored database is written whole beside the one it replaces.
    const qint64 free = m_driveA.freeSpace(folder);
    if (free < 0 || free >= bytes)
        return true;
    ui::msgBox(QStringLiteral("The disk that holds the program's folder (") + QDir::toNativeSeparators(folder) +
                   QStringLiteral(") is full: restoring the database needs ") + QString::number(bytes) +
                   QStringLiteral(" bytes there, and ") + QString::number(free) +
                   QStringLiteral(" are free. Make room on it, then try again."),
               ui::Buttons::Ok, ui::Icon::Exclamation);
    return false;
}

void frmZipCreate::ZipMain_Replace(const QString& name, int& reply)
{
    switch (ui::msgBox(QStringLiteral("The file '") + name +
                           QStringLiteral("' already exists. Do you want to replace this file?"),
                       ui::Buttons::YesNoCancel)) {
    case ui::Answer::Yes:
        reply = zip::replace::Yes;
        break;
    case ui::Answer::No:
        mnuAutomaticRestore->setChecked(false);
        reply = zip::replace::No;
        break;
    default:
        ZipMain->setAbort(true);
        mnuAutomaticRestore->setChecked(false);
        break;
    }
}

void frmZipCreate::ZipMain_SkippingFile(const QString& name, int reason)
{
    ui::msgBox(skippingMessage(name, reason), ui::Buttons::Ok, ui::Icon::Exclamation);
    SetProgress(0);
}

bool frmZipCreate::mayRestoreTo(const QString& target)
{
    const QFileInfo file(target);
    const QFileInfo database(ui::databasePath());
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    if (folder.isEmpty() || folder != QFileInfo(database.absolutePath()).canonicalFilePath())
        return true;
    // The engine plays a journal or log it finds beside a database into it,
    // whatever case its name is written in.
    const QString name = file.fileName().toLower();
    const bool engineReads = name.endsWith(QLatin1String("-journal")) || name.endsWith(QLatin1String("-wal")) ||
                             name.endsWith(QLatin1String("-shm")) ||
                             name.startsWith(database.fileName().toLower() + QLatin1String("-mj"));
    if (!engineReads)
        return true;
    ui::msgBox(QStringLiteral("'") + file.fileName() +
                   QStringLiteral("' was not restored: the database would read a file of that name beside it "
                                  "and could be damaged. Your database is as it was."),
               ui::Buttons::Ok, ui::Icon::Exclamation);
    return false;
}

bool frmZipCreate::commitExtracted(const QString& staged, const QString& target)
{
    const QFileInfo file(target);
    const QFileInfo database(ui::databasePath());
    // The database under any spelling of its name takes the database's own place.
    const bool isDatabase = file.absolutePath() == database.absolutePath() &&
                            file.fileName().compare(database.fileName(), Qt::CaseInsensitive) == 0;
    if (!isDatabase)
        return zip::commitFile(staged, target);

    if (const QStringList screens = screensUsingDatabase(); !screens.isEmpty()) {
        ui::msgBox(QStringLiteral("The database was not restored: it is open on ") + screenNames(screens) +
                       QStringLiteral(". Close it, then restore again."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return false;
    }
    QElapsedTimer sincePaint;
    sincePaint.start();
    dbfile::Hooks hooks;
    hooks.pump = [&sincePaint] {
        if (sincePaint.elapsed() >= 50) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePaint.restart();
        }
    };
    store::Error why;
    if (!dbfile::replaceDatabase(staged, database.absoluteFilePath(), &why, hooks)) {
        ui::msgBox(QStringLiteral("The database was not restored. ") + why.text() +
                       QStringLiteral("\n\nYour database is as it was."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return false;
    }
    m_databaseRestored = true;
    return true;
}

} // namespace upkeep

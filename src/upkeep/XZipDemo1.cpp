#include "XZipDemo1.h"

#include "DriveA.h"

#include "ui/Platform.h"
#include "upkeep/zip/ZipResult.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace upkeep {
namespace {

// File dialog flags, as the standard dialog numbers them.
constexpr int kFileMustExistNoChangeDirHideReadOnly = 4108;
constexpr int kOverwritePromptHideReadOnlyNoChangeDir = 14;
constexpr int kMultipleExplorerLongNames = 2626060;

const QChar kNul(u'\0');

} // namespace

QString dialogFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts.at(i);
        const QString patterns = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << (text.contains(QLatin1Char('(')) ? text : text + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

QString AskArchiveName(QWidget* parent, FileDialog& dialog, int mode)
{
    dialog.fileName.clear();
    dialog.flags = kFileMustExistNoChangeDirHideReadOnly;
    dialog.filter = QStringLiteral("Zip archives (*.zip)|*.zip|Self-extracting Zip archives (*.exe)|*.exe|"
                                   "All files (*.*)|*.*");
    bool save = false;
    switch (mode) {
    case 0:
        dialog.title = QStringLiteral("Open Archive");
        break;
    case 1:
        dialog.flags = kOverwritePromptHideReadOnlyNoChangeDir;
        dialog.title = QStringLiteral("New Archive");
        save = true;
        break;
    case 2:
        dialog.title = QStringLiteral("Test Archive");
        break;
    case 3:
        dialog.title = QStringLiteral("Fix Archive");
        break;
    case 4:
        dialog.title = QStringLiteral("Delete Archive");
        break;
    case 5:
        dialog.filter = QStringLiteral("Self-extractor binary (*.bin)|*.bin|All files (*.*)|*.*");
        dialog.title = QStringLiteral("Select self-extractor binary");
        break;
    default:
        return {};
    }
    auto& files = ui::Platform::instance().fileDialog();
    const QString filter = dialogFilter(dialog.filter);
    dialog.fileName = save ? files.saveFileName(parent, dialog.title, {}, filter)
                           : files.openFileName(parent, dialog.title, {}, filter);
    return dialog.fileName;
}

QString AskFilesToProcess(QWidget* parent, FileDialog& dialog, const QString& title)
{
    dialog.title = title;
    dialog.flags = kMultipleExplorerLongNames;
    const QStringList chosen =
        ui::Platform::instance().fileDialog().openFileNames(parent, title, {}, dialogFilter(dialog.filter));
    // One file comes back as its path; several as their folder and their
    // names, each after a NUL, as the selection routines read them.
    if (chosen.size() <= 1) {
        dialog.fileName = chosen.value(0);
        return dialog.fileName;
    }
    QString selection = QFileInfo(chosen.first()).absolutePath();
    for (const QString& path : chosen)
        selection += kNul + QFileInfo(path).fileName();
    dialog.fileName = selection;
    return selection;
}

int CountSelectedFiles(const QString& selection)
{
    const int nuls = int(selection.count(kNul));
    return nuls == 0 ? 1 : nuls;
}

QString SelectedFilePath(const QString& selection, int n)
{
    if (!selection.contains(kNul))
        return selection;
    const QStringList parts = selection.split(kNul);
    QString folder = parts.first();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return n >= 1 && n < parts.size() ? folder + parts.at(n) : QString();
}

namespace {

bool inside(const QString& path, const QString& folder)
{
    const QString root = QFileInfo(folder).absoluteFilePath();
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

} // namespace

QString fullDiskMessage(const QString& folder, const QString& op, bool multidisk)
{
    const QString path = QFileInfo(folder).absoluteFilePath();
    if (folder.isEmpty() || DriveA::holds(path))
        return multidisk ? QStringLiteral("A full disk was inserted instead of an empty one.")
                         : QStringLiteral("Disk full while ") + op + QLatin1Char('.');
    const QString makeRoom = QStringLiteral(" is full. Make room on it, then try again.");
    if (inside(path, ui::appFolder()))
        return QStringLiteral("The disk that holds the program's folder (") +
               QDir::toNativeSeparators(ui::appFolder()) + QLatin1Char(')') + makeRoom;
    if (inside(path, QDir::tempPath()))
        return QStringLiteral("The disk that holds the temporary folder (") +
               QDir::toNativeSeparators(QDir::tempPath()) + QLatin1Char(')') + makeRoom;
    return QStringLiteral("The disk that holds the folder ") + QDir::toNativeSeparators(path) + makeRoom;
}

QString resultMessage(int code, const QString& op, bool multidisk, const QString& fullFolder)
{
    namespace r = zip::result;
    if (code <= 0 || code == 10 || code == 30 || code == 140)
        return {};
    switch (code) {
    case r::FilesSkipped:
        return QStringLiteral("Some files were skipped while ") + op + QLatin1Char('.');
    case r::EmptyZipFile:
        return QStringLiteral("The Zip file is empty.");
    case r::FileNotFound:
        return QStringLiteral("Could not find the archive file.");
    case r::BadZipFile:
    case r::CorruptedData:
        return QStringLiteral("The archive file is corrupted. Try using the Fix option on it.");
    case r::OutOfMemory:
        return QStringLiteral("Ran out of memory while ") + op + QLatin1Char('.');
    case r::InvalidSettings:
        return QStringLiteral("Invalid property settings. Check your code.");
    case r::DiskFull:
        return fullDiskMessage(fullFolder, op, multidisk);
    case 180:
        return QStringLiteral("Another application is currently performing a similar task. Wait until the other "
                              "application has completed its operation.");
    case r::Aborted:
        return QStringLiteral("The ") + op + QStringLiteral(" operation was aborted.");
    case r::TestFailed:
        return QStringLiteral("Test failed - errors in the archive.");
    case r::NothingTested:
        return QStringLiteral("No files ended up being tested in the archive.");
    case r::TempFileProblem:
        return QStringLiteral("Problem with the temporary file.");
    case r::ReadError:
        return QStringLiteral("Problem reading from file while ") + op + QLatin1Char('.');
    case r::WriteError:
        return QStringLiteral("Problem writing to file while ") + op + QLatin1Char('.');
    case r::CreateError:
        return QStringLiteral("Problem creating file while ") + op + QLatin1Char('.');
    case 350:
        return QStringLiteral("Attempt to remove parent directory.");
    case 370:
        return QStringLiteral("Names repeated in archive after discarding pathnames.");
    case r::EmptyOrDirectoriesOnly:
        return QStringLiteral("Could not update the Zip archive date. Archive only contains directories or is empty.");
    case r::ReadWriteError:
        return QStringLiteral("Read/Write error with the Zip file or one of the files to process.");
    case r::MultidiskNotAllowed:
        return QStringLiteral("Cannot work on multiple-disk archives when not in Multidisk mode.");
    case r::WrongDiskTooOften:
        return QStringLiteral("Wrong disk was inserted too many times.");
    case r::NotForMultidisk:
        return QStringLiteral("Operation not supported for Multidisk Zip archives.");
    case 440:
        return QStringLiteral("Could not open the self-extractor binary.");
    case 450:
        return QStringLiteral("Could not open the self-extractor configuration file");
    case r::BadEventParameter:
        return QStringLiteral("Invalid command parameter passed to an event of the Tarrowby Stopwell archive "
                              "component.");
    case 470:
        return QStringLiteral("Not enough space on first disk to write self-extractor.");
    case 490:
        return QStringLiteral("Invalid self-extractor binary version.");
    case r::CannotCreateFolder:
        return QStringLiteral("Problem creating destination directory while ") + op + QLatin1Char('.');
    default:
        return QStringLiteral("An error occured while ") + op + QStringLiteral(" the specified files.");
    }
}

void ReportResult(int code, const QString& operation, bool multidisk, const QString& fullFolder)
{
    const QString text = resultMessage(code, operation, multidisk, fullFolder);
    if (text.isEmpty())
        return;
    const bool warning = code == 40 || code == 50 || code == 190;
    ui::msgBox(text, ui::Buttons::Ok, warning ? ui::Icon::Exclamation : ui::Icon::Critical);
}

QString skippingMessage(const QString& name, int reason)
{
    static const char* const kReasons[] = {"file not found.",
                                           "unknown compression.",
                                           "CRC does not check out.",
                                           "file is already up to date.",
                                           "unable to open file.",
                                           "invalid or no password to decrypt file.",
                                           "file's compressed data is corrupted.",
                                           "instructed not to overwrite.",
                                           "its name would put it outside the folder it is restored to.",
                                           "it is a link or a special file, not an ordinary file.",
                                           "its name is longer than the disk allows.",
                                           "there is not enough free space for it where it is restored to."};
    QString text = QStringLiteral("Can't process '") + name + QStringLiteral("', ");
    if (reason >= 0 && reason < int(std::size(kReasons)))
        text += QString::fromLatin1(kReasons[reason]);
    return text;
}

} // namespace upkeep

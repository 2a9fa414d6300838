#pragma once

#include <QString>

class QWidget;

namespace upkeep {

// The backup window's file dialogs and its messages for the archive
// component's result codes and skipped files.

/// A file dialog as the window keeps it between uses.
struct FileDialog {
    QString title;
    /// "Description|pattern|Description|pattern..."
    QString filter;
    QString fileName;
    int flags = 0;
};

/// Asks for an archive: 0 open, 1 new (a save dialog), 2 test, 3 fix,
/// 4 delete, 5 a self-extractor binary. The chosen path, or empty.
QString AskArchiveName(QWidget* parent, FileDialog& dialog, int mode);

/// Asks for files to process; a single file comes back as its full path, several as
/// the folder, a NUL and the names separated by NULs. Empty when none was chosen.
QString AskFilesToProcess(QWidget* parent, FileDialog& dialog, const QString& title);

/// How many files a selection names.
int CountSelectedFiles(const QString& selection);

/// The full path of the n-th file (from 1) of a selection.
QString SelectedFilePath(const QString& selection, int n);

/// The message for a result code, empty for the codes that have none. For a
/// full disk (150), `fullFolder` is where the operation could not write, when known.
QString resultMessage(int code, const QString& operation, bool multidisk, const QString& fullFolder = {});

/// Shows the message for a result code of the archive component.
void ReportResult(int code, const QString& operation, bool multidisk, const QString& fullFolder = {});

/// Which disk is full, by a folder on it: the medium in drive A:, the
/// program's folder, the temporary folder or another folder.
QString fullDiskMessage(const QString& folder, const QString& operation, bool multidisk);

/// The message for a file the archive component skipped.
QString skippingMessage(const QString& name, int reason);

/// The dialog filter "Text|*.txt|..." as Qt writes it: "Text (*.txt);;...".
QString dialogFilter(const QString& filter);

} // namespace upkeep

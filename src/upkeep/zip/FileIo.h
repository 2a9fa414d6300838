#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

namespace upkeep::zip {

using Progress = std::function<bool(qint64 done, qint64 total)>;

/// The file `name` in `folder`, found without regard to case when only a
/// differently written name exists; `folder`/`name` when none does.
QString existingCaseless(const QString& folder, const QString& name);

/// Makes sure what was written to an open file has reached the disk.
bool syncToDisk(QFile& file);
/// Makes a rename inside `folder` last through a power cut.
void syncFolder(const QString& folder);

/// The template (for QTemporaryFile) of a file staged in `folder` while
/// `leaf` is written there: a hidden name only this program makes, carrying
/// its process number, so that a later run tells its own leftovers apart.
QString stagedTemplate(const QString& folder, const QString& leaf);
/// The same for a work folder of the archive component in the temporary folder.
QString workFolderTemplate();

/// Removes from `folder` what runs of this program staged there and never put
/// in place (a run killed, or the power cut): files named by stagedTemplate()
/// whose process is no longer running, and, when `ownToo`, this process's own
/// (no operation of it is under way). No other file is touched. Returns how
/// many were removed.
int removeStagedLeftovers(const QString& folder, bool ownToo);
/// Removes work folders of the archive component left in the temporary folder
/// by runs that have ended.
int removeWorkLeftovers();

/// A file written straight through, with write failures as result codes (a
/// full disk told apart) and its data on the disk before commit() returns.
class OutputFile {
public:
    ~OutputFile();
    int open(const QString& path);
    int write(const char* data, qint64 length);
    /// Copies `length` bytes from `in`, reporting progress.
    int append(QFile& in, qint64 length, const Progress& progress, qint64* done, qint64 total);
    qint64 size() const { return m_file.size(); }
    QByteArray readAt(qint64 offset, qint64 length);
    /// Cuts the file at `offset` and writes `data` there.
    int truncateAndAppend(qint64 offset, const QByteArray& data);
    int commit();

private:
    QFile m_file;
};

/// Copies `in` to `target` through a file beside it, renamed over `target` once complete.
int copyInto(QFile& in, const QString& target, const Progress& progress);

/// Renames `from`, written beside `to`, over `to` in one step: `to` is either
/// the old or the new file, never missing (store::durable::commitBeside).
bool replaceFile(const QString& from, const QString& to);

/// Flushes `staged` to the disk, then renames it over `target` as replaceFile() does.
bool commitFile(const QString& staged, const QString& target);

} // namespace upkeep::zip

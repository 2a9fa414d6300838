#pragma once

#include <QString>

#include <functional>

namespace store::durable {

// Files that last through a power cut. Data written to a file are on the disk
// only once the file is synced; a rename or a delete only once its folder is.
// A file is replaced by writing it beside its target and renaming it over the
// target: the target is then the old file or the new one, never missing and
// never half written.

/// The operations below, as the recording seam sees them.
enum class Operation { SyncFile, SyncFolder, Rename };

/// Called after each operation that succeeded, in order: `path` is the file or
/// folder, `target` the new name of a rename. Tests record through it, and may
/// end the process there to see what a crash after that operation leaves.
using Observer = std::function<void(Operation, const QString& path, const QString& target)>;
/// Replaces the observer (an empty one records nothing); returns the previous one.
Observer setObserver(Observer observer);

/// Waits until the file's data are on the disk.
bool syncFile(const QString& path);
/// Waits until an open file's data are on the disk.
bool syncOpenFile(int descriptor, const QString& path);
/// Waits until the names in `folder` (renames, deletes, new files) are on the disk.
bool syncFolder(const QString& folder);

/// Puts `staged`, written beside `target` and closed, in the place of
/// `target`: the staged file is synced, then its folder (so that earlier
/// deletes and renames there, a database engine's journal among them, reach
/// the disk before the new file takes the name), then the rename, then the
/// folder again. When this returns true the new file is there for good; on
/// false `target` is as it was and `staged` is left to the caller.
bool commitBeside(const QString& staged, const QString& target);

} // namespace store::durable

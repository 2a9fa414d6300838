#pragma once

#include <QString>

#include <functional>

namespace upkeep::zip {

class DiskMedium;

/// What an operation on a set of disks asks of its caller.
struct SetCallbacks {
    DiskMedium* medium = nullptr;
    /// Asks for disk `disk` (1 is the first; 0 the last); false when the user cancelled.
    std::function<bool(int disk)> askDisk;
    /// Bytes handled so far; false stops the operation (Abort).
    std::function<bool(qint64 done, qint64 total)> progress;
    /// Disk `disk` has only `free` bytes once the set's own files are off it,
    /// where `needed` are wanted: other files take the room. Success to look
    /// at the disk in the drive again (another one, or this one with room
    /// made), or the result code to stop with. Without it the disk counts as full.
    std::function<int(int disk, qint64 free, qint64 needed)> noRoom;
};

/// What lies at an archive path.
enum class SetKind {
    Missing, ///< nothing of the set can be found
    Single,  ///< one ordinary archive
    Split,   ///< parts name.z01, name.z02, ... and name.zip, by the zip format's rules for split sets
    Volumes, ///< name.zip.001, name.zip.002, ...: one archive cut into pieces
};

struct SetInfo {
    SetKind kind = SetKind::Missing;
    int parts = 0;       ///< parts of a split set, when its last part is at hand
    qint64 entries = -1; ///< entries, when the end record is at hand
};

/// Looks at the archive path and the files beside it.
SetInfo inspectSet(const QString& path);

/// The files of the set whose last part is `path`, in its folder: the last
/// part and the parts name.z01, name.z02, ..., in any case of letters.
QStringList setFiles(const QString& path);

/// The file of part `part` (1 = first) of the split set whose last part is `path`;
/// found without regard to case when it exists.
QString partPath(const QString& path, int part);

/// Writes the finished single archive `source` to `target` as a set: one
/// archive when it fits on the disk, else parts by the split-set rules, asking
/// for a new disk when one is full. Every disk written to is cleared first
/// of the files of a set of that name (an earlier one), and nothing else;
/// with `clearDisks` on a removable medium that includes an earlier last part.
/// A disk is told from the one just written by what is on it, so a disk of
/// an earlier set is taken as a new disk wherever it is inserted. Returns a result code.
int writeSet(const QString& source, const QString& target, bool clearDisks, const SetCallbacks& callbacks);

/// Joins the set at `path` into the ordinary archive `joined`, asking for the
/// disks it needs. Returns a result code.
int joinSet(const QString& path, const QString& joined, const QString& workFolder, const SetCallbacks& callbacks);

} // namespace upkeep::zip

#pragma once

#include <QString>

namespace upkeep::zip {

/// The medium a multidisk set is written to or read from. The default is a
/// fixed disk; the backup window puts drive A: behind it, and tests a folder
/// with a floppy's capacity.
class DiskMedium {
public:
    virtual ~DiskMedium() = default;
    /// Whether `folder` is on a medium the user changes between the disks of a set.
    virtual bool isRemovable(const QString& folder) const;
    /// Bytes that still fit on the disk holding `folder`; negative when no disk can be read there.
    virtual qint64 freeSpace(const QString& folder) const;
    /// Erases the files of the set whose last part is `archive` from the
    /// removable disk holding it: that archive and its parts, in any case of
    /// letters, and never another file. False, with the file that stayed in
    /// `stayed`, when one cannot be deleted.
    virtual bool eraseSet(const QString& archive, QString* stayed);
};

} // namespace upkeep::zip

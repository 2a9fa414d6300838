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
    /// Erases everything on the removable disk holding `folder`.
    virtual bool erase(const QString& folder, QString* error);
};

} // namespace upkeep::zip

#pragma once

#include "upkeep/zip/DiskMedium.h"

#include <QString>

namespace upkeep {

/// Drive "A:": the removable medium of the platform's drive seam, as the
/// archive component sees the disks of a set.
class DriveA final : public zip::DiskMedium {
public:
    /// Where the medium is mounted; empty when there is no readable disk in the drive.
    static QString root();
    /// "A:\" + `name` on the medium; empty when there is no readable disk.
    static QString file(const QString& name);
    /// Whether `path` lies on drive A:.
    static bool holds(const QString& path);

    /// Whether the disk in drive A: holds the program's own folder (and so the database).
    static bool holdsProgram();

    bool isRemovable(const QString& folder) const override;
    qint64 freeSpace(const QString& folder) const override;
    /// Never erases on the disk the program and its database are on.
    bool eraseSet(const QString& archive, QString* stayed) override;
};

} // namespace upkeep

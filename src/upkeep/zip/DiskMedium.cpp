#include "DiskMedium.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace upkeep::zip {

bool DiskMedium::isRemovable(const QString&) const
{
    return false;
}

qint64 DiskMedium::freeSpace(const QString& folder) const
{
    if (!QFileInfo(folder).isDir())
        return -1;
    const QStorageInfo volume(folder);
    return volume.isValid() && volume.isReady() ? volume.bytesAvailable() : -1;
}

bool DiskMedium::erase(const QString& folder, QString* error)
{
    QDir root(folder);
    const auto entries = root.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const bool removed = entry.isDir() && !entry.isSymLink() ? QDir(entry.filePath()).removeRecursively()
                                                                 : QFile::remove(entry.filePath());
        if (!removed) {
            if (error)
                *error = entry.filePath();
            return false;
        }
    }
    return true;
}

} // namespace upkeep::zip

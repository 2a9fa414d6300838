#include "DiskMedium.h"

#include "FileIo.h"
#include "SplitSet.h"

#include <QDir>
#include <QFileInfo>

#include <sys/statvfs.h>

namespace upkeep::zip {

bool DiskMedium::isRemovable(const QString&) const
{
    return false;
}

qint64 DiskMedium::freeSpace(const QString& folder) const
{
    // Asked of the file system itself: the mount table need not list the
    // volume (a program started in a changed root sees none for its root).
    struct statvfs volume;
    if (!QFileInfo(folder).isDir() || ::statvfs(QFile::encodeName(folder).constData(), &volume) != 0)
        return -1;
    return qint64(volume.f_bavail) * qint64(volume.f_frsize);
}

bool DiskMedium::eraseSet(const QString& archive, QString* stayed)
{
    const QStringList files = setFiles(archive);
    for (const QString& file : files) {
        if (!QFile::remove(file)) {
            if (stayed)
                *stayed = file;
            return false;
        }
    }
    if (!files.isEmpty())
        syncFolder(QFileInfo(archive).absolutePath());
    return true;
}

} // namespace upkeep::zip

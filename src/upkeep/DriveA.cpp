#include "DriveA.h"

#include "ui/Platform.h"

#include <QDir>
#include <QFileInfo>

namespace upkeep {

QString DriveA::root()
{
    return ui::Platform::instance().drive().root();
}

QString DriveA::file(const QString& name)
{
    const QString drive = root();
    return drive.isEmpty() ? QString() : QDir(drive).filePath(name);
}

bool DriveA::holds(const QString& path)
{
    const QString drive = root();
    if (drive.isEmpty())
        return false;
    const QString folder = QFileInfo(drive).absoluteFilePath();
    const QString target = QFileInfo(path).absoluteFilePath();
    return target == folder || target.startsWith(folder + QLatin1Char('/'));
}

bool DriveA::isRemovable(const QString& folder) const
{
    const QString drive = root();
    return !drive.isEmpty() && QFileInfo(folder).absoluteFilePath() == QFileInfo(drive).absoluteFilePath();
}

qint64 DriveA::freeSpace(const QString& folder) const
{
    if (isRemovable(folder))
        return ui::Platform::instance().drive().freeSpace();
    return ui::Platform::instance().volumes().freeSpace(folder);
}

bool DriveA::holdsProgram()
{
    return holds(ui::appFolder());
}

bool DriveA::eraseSet(const QString& archive, QString* stayed)
{
    if (holdsProgram()) {
        if (stayed)
            *stayed = archive;
        return false;
    }
    return zip::DiskMedium::eraseSet(archive, stayed);
}

} // namespace upkeep

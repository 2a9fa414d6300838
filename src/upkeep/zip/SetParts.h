#pragma once

// What writing and reading a set of disks share.
#include "DiskMedium.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QString>

namespace upkeep::zip::setparts {

// A part smaller than this is not worth a disk: such a disk counts as full.
inline constexpr qint64 kMinimumPart = 64 * 1024;
// Asking for the same disk more often than this gives up.
inline constexpr int kWrongDiskLimit = 3;

inline QString volumeBase(const QString& path)
{
    static const QRegularExpression numbered(QStringLiteral("\\.001$"));
    return numbered.match(path).hasMatch() ? path.chopped(4) : path;
}

inline QString volumePath(const QString& base, int volume)
{
    return base + QStringLiteral(".%1").arg(volume, 3, 10, QLatin1Char('0'));
}

// Space a part may take: whole sectors only.
inline qint64 usable(qint64 free)
{
    return free < 0 ? -1 : free - free % 512;
}

inline qint64 sizeOf(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

// Whether `bytes` still fit in `folder`, as far as its disk can tell.
inline bool fits(const DiskMedium* medium, const QString& folder, qint64 bytes)
{
    const qint64 room = medium ? medium->freeSpace(folder) : -1;
    return room < 0 || room >= bytes;
}

} // namespace upkeep::zip::setparts

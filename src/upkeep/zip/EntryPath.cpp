#include "EntryPath.h"

#include <QStringList>

#include <sys/stat.h>

namespace upkeep::zip {

std::optional<QString> safeRelativePath(const QString& stored)
{
    QString name = stored;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')))
        return std::nullopt;
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return std::nullopt;
    QStringList kept;
    const auto parts = name.split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return std::nullopt;
        kept.append(part);
    }
    if (kept.isEmpty())
        return std::nullopt;
    return kept.join(QLatin1Char('/'));
}

EntryKind entryKind(const QString& stored, quint8 system, quint32 attributes)
{
    // Made on a Unix system (3), the high half holds the file's mode.
    constexpr quint8 kUnix = 3;
    if (system == kUnix) {
        const quint32 mode = attributes >> 16;
        switch (mode & S_IFMT) {
        case 0:
        case S_IFREG:
            break;
        case S_IFDIR:
            return EntryKind::Folder;
        default:
            return EntryKind::Link;
        }
    }
    if (stored.endsWith(QLatin1Char('/')) || stored.endsWith(QLatin1Char('\\')))
        return EntryKind::Folder;
    // DOS attributes: 0x10 is a folder.
    if (system != kUnix && (attributes & 0x10))
        return EntryKind::Folder;
    return EntryKind::File;
}

} // namespace upkeep::zip

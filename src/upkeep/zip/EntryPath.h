#pragma once

#include <QString>

#include <optional>

namespace upkeep::zip {

/// Where a stored entry may be written below the destination folder: its
/// folders and name joined by "/", or nullopt when the name is absolute,
/// carries a drive, or climbs out with "..". Separators "\" and "/" both count.
std::optional<QString> safeRelativePath(const QString& stored);

/// Kinds of entries by their stored attributes.
enum class EntryKind { File, Folder, Link };

/// What an entry is, from its name and the attributes stored with it.
EntryKind entryKind(const QString& stored, quint8 system, quint32 attributes);

} // namespace upkeep::zip

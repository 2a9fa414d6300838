#pragma once

#include <QStringList>

namespace upkeep {

/// The titles of the screens shown with a record source open on the
/// database. Screens loaded but hidden are closed first: they load again
/// when they are next needed.
QStringList screensUsingDatabase();

/// "the screen "Daily Notes"" or "the screens "A" and "B"".
QString screenNames(const QStringList& titles);

} // namespace upkeep

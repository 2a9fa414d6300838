#pragma once

namespace upkeep {

/// "&Compact Database" of the main menu: compacts the database in place and
/// says how it went. The user interface waits under the hourglass meanwhile.
void compactDatabase();

} // namespace upkeep

#pragma once

namespace upkeep {

/// Makes this folder's screens known to the screen registry.
void registerScreens();

} // namespace upkeep

#pragma once

namespace reports {

/// Makes this folder's screens known to the screen registry.
void registerScreens();

} // namespace reports

#pragma once

namespace filter {

/// Makes this folder's screens known to the screen registry.
void registerScreens();

} // namespace filter

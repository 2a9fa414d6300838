#pragma once

namespace calls {

/// Makes the call-logging screens known to the screen registry.
void registerScreens();

} // namespace calls

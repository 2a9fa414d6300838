#pragma once

namespace app {

/// Makes the main menu, shift information and About screens known to the screen registry.
void registerScreens();

} // namespace app

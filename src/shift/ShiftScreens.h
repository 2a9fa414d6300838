#pragma once

namespace shift {

/// Makes the shift-record screens known to the screen registry.
void registerScreens();

} // namespace shift

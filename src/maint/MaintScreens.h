#pragma once

namespace maint {

/// Makes the maintenance schedule known to the screen registry, and has it
/// hear of the names Work Completed stores beside the jobs it put on a sheet.
void registerScreens();

} // namespace maint

#pragma once

namespace stats {

/// Makes the statistics window known to the screen registry.
void registerScreens();

} // namespace stats

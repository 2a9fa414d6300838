#include "UpkeepScreens.h"

#include "ui/ScreenRegistry.h"

namespace upkeep {

void registerScreens()
{
}

} // namespace upkeep

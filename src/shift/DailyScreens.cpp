// Registration of the daily notes and frame count screens.
#include "ui/ScreenRegistry.h"

namespace shift {

void registerDailyScreens()
{
}

} // namespace shift

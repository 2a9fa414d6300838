#include "ShiftScreens.h"

namespace shift {

void registerDailyScreens();
void registerWorkScreens();

void registerScreens()
{
    registerDailyScreens();
    registerWorkScreens();
}

} // namespace shift

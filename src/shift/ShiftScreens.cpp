#include "ShiftScreens.h"

#include "ui/ScreenRegistry.h"

namespace shift {

void registerScreens()
{
}

} // namespace shift

#include "FilterScreens.h"

#include "ui/ScreenRegistry.h"

namespace filter {

void registerScreens()
{
}

} // namespace filter

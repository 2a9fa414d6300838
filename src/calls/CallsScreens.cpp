#include "CallsScreens.h"

#include "ui/ScreenRegistry.h"

namespace calls {

void registerScreens()
{
}

} // namespace calls

#include "ReportsScreens.h"

#include "ui/ScreenRegistry.h"

namespace reports {

void registerScreens()
{
}

} // namespace reports

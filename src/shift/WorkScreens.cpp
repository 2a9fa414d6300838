// Registration of the work assignment, work completed and pre-made list screens.
#include "ui/ScreenRegistry.h"

namespace shift {

void registerWorkScreens()
{
}

} // namespace shift

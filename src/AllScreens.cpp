#include "AllScreens.h"

#include "app/AppScreens.h"
#include "calls/CallsScreens.h"
#include "shift/ShiftScreens.h"

void registerAllScreens()
{
    app::registerScreens();
    calls::registerScreens();
    shift::registerScreens();
}

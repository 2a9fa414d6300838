#include "AllScreens.h"

#include "app/AppScreens.h"
#include "calls/CallsScreens.h"
#include "filter/FilterScreens.h"
#include "maint/MaintScreens.h"
#include "reports/ReportsScreens.h"
#include "shift/ShiftScreens.h"
#include "stats/StatsScreens.h"
#include "upkeep/UpkeepScreens.h"

void registerAllScreens()
{
    app::registerScreens();
    calls::registerScreens();
    shift::registerScreens();
    reports::registerScreens();
    filter::registerScreens();
    upkeep::registerScreens();
    stats::registerScreens();
    maint::registerScreens();
}

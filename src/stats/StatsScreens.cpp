#include "StatsScreens.h"

#include "Statistics.h"

#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

namespace stats {

void registerScreens()
{
    ui::ScreenRegistry::instance().add(ui::forms::Statistics, [] { return new Statistics; });
}

} // namespace stats

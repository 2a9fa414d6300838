#include "CallsScreens.h"

#include "Allsect.h"
#include "EnterLaneNo.h"
#include "ListOfCalls.h"

#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

namespace calls {

void registerScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(ui::forms::ListOfCalls, [] { return new ListOfCalls; });
    registry.add(ui::forms::EnterLaneNo, [] { return new EnterLaneNo; });
    registry.add(ui::forms::Allsect, [] { return new Allsect; });
}

} // namespace calls

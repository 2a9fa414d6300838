// Registration of the work assignment, work completed and pre-made list screens.
#include "WorkAssign.h"
#include "WorkDone.h"
#include "WorkList.h"

#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

namespace shift {

void registerWorkScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(ui::forms::WorkAssign, [] { return new WorkAssign; });
    registry.add(ui::forms::WorkDone, [] { return new WorkDone; });
    registry.add(ui::forms::WorkList, [] { return new WorkList; });
}

} // namespace shift

// Registration of the work assignment, work completed and pre-made list screens.
#include "WorkAssign.h"
#include "WorkDone.h"
#include "WorkList.h"

#include "ui/ScreenRegistry.h"

namespace shift {

void registerWorkScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(QStringLiteral("WorkAssign"), [] { return new WorkAssign; });
    registry.add(QStringLiteral("WorkDone"), [] { return new WorkDone; });
    registry.add(QStringLiteral("WorkList"), [] { return new WorkList; });
}

} // namespace shift

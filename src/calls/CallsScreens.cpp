#include "CallsScreens.h"

#include "Allsect.h"
#include "EnterLaneNo.h"
#include "ListOfCalls.h"

#include "ui/ScreenRegistry.h"

namespace calls {

void registerScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(QStringLiteral("ListOfCalls"), [] { return new ListOfCalls; });
    registry.add(QStringLiteral("EnterLaneNo"), [] { return new EnterLaneNo; });
    registry.add(QStringLiteral("Allsect"), [] { return new Allsect; });
}

} // namespace calls

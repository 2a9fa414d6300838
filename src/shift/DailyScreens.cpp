// Registration of the daily notes and frame count screens.
#include "FrameCount.h"
#include "Notes.h"

#include "ui/ScreenRegistry.h"

namespace shift {

void registerDailyScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(QStringLiteral("Notes"), [] { return new Notes; });
    registry.add(QStringLiteral("FrameCount"), [] { return new FrameCount; });
}

} // namespace shift

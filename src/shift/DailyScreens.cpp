// Registration of the daily notes and frame count screens.
#include "FrameCount.h"
#include "Notes.h"

#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

namespace shift {

void registerDailyScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(ui::forms::Notes, [] { return new Notes; });
    registry.add(ui::forms::FrameCount, [] { return new FrameCount; });
}

} // namespace shift

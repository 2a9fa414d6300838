#include "FilterScreens.h"

#include "FindWindow.h"
#include "MaintScreen.h"

#include "ui/ScreenRegistry.h"

namespace filter {

void registerScreens()
{
    auto& screens = ui::ScreenRegistry::instance();
    screens.add(QStringLiteral("MaintScreen"), [] { return new MaintScreen; });
    screens.add(QStringLiteral("FindWindow"), [] { return new FindWindow; });
}

} // namespace filter

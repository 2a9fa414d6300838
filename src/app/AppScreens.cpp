#include "AppScreens.h"

#include "About.h"
#include "MainMenu.h"
#include "TodaysInfo.h"

#include "ui/ScreenRegistry.h"

namespace app {

void registerScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(QStringLiteral("MainMenu"), [] { return new MainMenu; });
    registry.add(QStringLiteral("TodaysInfo"), [] { return new TodaysInfo; });
    registry.add(QStringLiteral("About"), [] { return new About; });
}

} // namespace app

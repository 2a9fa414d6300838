#include "AppScreens.h"

#include "About.h"
#include "MainMenu.h"
#include "MakePasswords.h"
#include "PasswordGate.h"
#include "TodaysInfo.h"

#include "ui/ScreenRegistry.h"

namespace app {

void registerScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(QStringLiteral("MainMenu"), [] { return new MainMenu; });
    registry.add(QStringLiteral("TodaysInfo"), [] { return new TodaysInfo; });
    registry.add(QStringLiteral("About"), [] { return new About; });
    registry.add(QStringLiteral("Password1"), [] {
        return new PasswordGate(QStringLiteral("Password1"), QStringLiteral("assign"), QStringLiteral("WorkAssign"),
                                true);
    });
    registry.add(QStringLiteral("Password2"), [] {
        return new PasswordGate(QStringLiteral("Password2"), QStringLiteral("premade"), QStringLiteral("WorkList"),
                                true);
    });
    registry.add(QStringLiteral("Password4"), [] {
        return new PasswordGate(QStringLiteral("Password4"), QStringLiteral("dailyd"), QStringLiteral("MaintScreen"),
                                false);
    });
    registry.add(QStringLiteral("MakePasswords"), [] { return new MakePasswords; });
}

} // namespace app

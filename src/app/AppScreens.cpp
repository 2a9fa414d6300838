#include "AppScreens.h"

#include "About.h"
#include "MainMenu.h"
#include "MakePasswords.h"
#include "PasswordGate.h"
#include "TodaysInfo.h"

#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

namespace app {

void registerScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(ui::forms::MainMenu, [] { return new MainMenu; });
    registry.add(ui::forms::TodaysInfo, [] { return new TodaysInfo; });
    registry.add(ui::forms::About, [] { return new About; });
    registry.add(ui::forms::Password1, [] {
        return new PasswordGate(ui::forms::Password1, QStringLiteral("assign"), ui::forms::WorkAssign, true);
    });
    registry.add(ui::forms::Password2, [] {
        return new PasswordGate(ui::forms::Password2, QStringLiteral("premade"), ui::forms::WorkList, true);
    });
    registry.add(ui::forms::Password4, [] {
        return new PasswordGate(ui::forms::Password4, QStringLiteral("dailyd"), ui::forms::MaintScreen, false);
    });
    registry.add(ui::forms::MakePasswords, [] { return new MakePasswords; });
}

} // namespace app

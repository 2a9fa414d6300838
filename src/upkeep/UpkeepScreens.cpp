#include "UpkeepScreens.h"

#include "ExtractDialog.h"
#include "frmZipCreate.h"

#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

namespace upkeep {

void registerScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(ui::forms::frmZipCreate, [] { return new frmZipCreate; });
    registry.add(ui::forms::ExtractDialog, [] { return new ExtractDialog; });
}

} // namespace upkeep

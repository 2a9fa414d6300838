#include "UpkeepScreens.h"

#include "ExtractDialog.h"
#include "frmZipCreate.h"

#include "ui/ScreenRegistry.h"

namespace upkeep {

void registerScreens()
{
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(QStringLiteral("frmZipCreate"), [] { return new frmZipCreate; });
    registry.add(QStringLiteral("ExtractDialog"), [] { return new ExtractDialog; });
}

} // namespace upkeep

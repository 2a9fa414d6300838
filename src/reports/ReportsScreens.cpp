#include "ReportsScreens.h"

#include "PrintMenu.h"
#include "RangePrompts.h"
#include "ReportOutput.h"

#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

namespace reports {

void registerScreens()
{
    installReportOutput();
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(ui::forms::PrintMenu, [] { return new PrintMenu; });
    registry.add(ui::forms::Date1, [] {
        return new DatePrompt(ui::forms::Date1, QStringLiteral("DData"), QStringLiteral("seldate.rpt"));
    });
    registry.add(ui::forms::Date2, [] {
        return new DatePrompt(ui::forms::Date2, QStringLiteral("DWork"), QStringLiteral("1daynote.rpt"));
    });
    registry.add(ui::forms::Date3, [] {
        return new DatePrompt(ui::forms::Date3, QStringLiteral("WAssign"), QStringLiteral("1assign.rpt"));
    });
    registry.add(ui::forms::AskLane, [] { return new AskLane; });
}

} // namespace reports

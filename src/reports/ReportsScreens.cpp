#include "ReportsScreens.h"

#include "PrintMenu.h"
#include "RangePrompts.h"
#include "ReportOutput.h"

#include "ui/ScreenRegistry.h"

namespace reports {

void registerScreens()
{
    installReportOutput();
    auto& registry = ui::ScreenRegistry::instance();
    registry.add(QStringLiteral("PrintMenu"), [] { return new PrintMenu; });
    registry.add(QStringLiteral("Date1"), [] {
        return new DatePrompt(QStringLiteral("Date1"), QStringLiteral("DData"), QStringLiteral("seldate.rpt"));
    });
    registry.add(QStringLiteral("Date2"), [] {
        return new DatePrompt(QStringLiteral("Date2"), QStringLiteral("DWork"), QStringLiteral("1daynote.rpt"));
    });
    registry.add(QStringLiteral("Date3"), [] {
        return new DatePrompt(QStringLiteral("Date3"), QStringLiteral("WAssign"), QStringLiteral("1assign.rpt"));
    });
    registry.add(QStringLiteral("AskLane"), [] { return new AskLane; });
}

} // namespace reports

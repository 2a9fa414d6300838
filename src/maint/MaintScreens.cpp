#include "MaintScreens.h"

#include "MaintSchedule.h"

#include "maint/engine/Sheet.h"
#include "store/Database.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"

namespace maint {
namespace {

/// A name stored beside a job the schedule put on the sheet records the task done.
void namesStored(const ui::forms::workDone::StoredDay& stored)
{
    store::Error why;
    auto db = store::Database::open(ui::databasePath(), &why);
    std::optional<int> changed;
    if (db)
        changed = recordSheetNames(*db, {stored.day, stored.jobs, stored.names}, &why);
    if (!changed) {
        ui::msgBox(QStringLiteral("The names were stored on the work sheet, but the maintenance schedule could not "
                                  "record its tasks on this sheet as done. Once the database can be used, mark them "
                                  "done in the maintenance schedule. ") +
                       why.text(),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return;
    }
    if (*changed > 0)
        if (auto* window = qobject_cast<MaintSchedule*>(ui::ScreenRegistry::instance().find(ui::forms::MaintSchedule)))
            window->refresh();
}

} // namespace

void registerScreens()
{
    ui::ScreenRegistry::instance().add(ui::forms::MaintSchedule, [] { return new MaintSchedule; });
    ui::forms::workDone::setStoredListener(namesStored);
}

} // namespace maint

#include "Compact.h"

#include "DatabaseUsers.h"

#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "upkeep/dbfile/DatabaseFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace upkeep {
namespace {

const QString kNotCompacted = QStringLiteral("The database was not compacted: ");

void tellInUse(const QStringList& screens)
{
    ui::msgBox(kNotCompacted + QStringLiteral("it is open on ") + screenNames(screens) +
                   QStringLiteral(". Close it, then choose Compact Database again."),
               ui::Buttons::Ok, ui::Icon::Exclamation);
}

} // namespace

void compactDatabase()
{
    const QStringList screens = screensUsingDatabase();
    if (!screens.isEmpty()) {
        tellInUse(screens);
        return;
    }
    // Windows repaint while the copy is made; what the user clicks waits.
    QElapsedTimer sincePaint;
    sincePaint.start();
    dbfile::Hooks hooks;
    hooks.pump = [&sincePaint] {
        if (sincePaint.elapsed() >= 50) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePaint.restart();
        }
    };
    const QString database = ui::databasePath();
    // The hourglass stays while the work runs, not over the messages.
    auto compact = [&] {
        ui::pointer::BusyGuard busy;
        return dbfile::compactDatabase(database, hooks);
    };
    store::Error outcome = compact();
    if (outcome.kind == store::Error::Kind::Leftover) {
        const QString copy = outcome.detail;
        const ui::Answer answer =
            ui::msgBox(QStringLiteral("A copy left over from a compaction that did not finish is in the way:\r") +
                           copy + QStringLiteral("\rIt is not your database. Delete it and compact the database now?"),
                       ui::Buttons::YesNo, ui::Icon::Question);
        if (answer != ui::Answer::Yes)
            return;
        if (!dbfile::removeCompactCopy(database)) {
            ui::msgBox(kNotCompacted + QStringLiteral("the left-over copy ") + copy +
                           QStringLiteral(" cannot be deleted."),
                       ui::Buttons::Ok, ui::Icon::Exclamation);
            return;
        }
        outcome = compact();
    }
    if (!outcome)
        ui::msgBox(QStringLiteral("Your database has been compressed"));
    else
        ui::msgBox(QStringLiteral("The database was not compacted. ") + outcome.text() +
                       QStringLiteral("\n\nYour database is as it was."),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
}

} // namespace upkeep

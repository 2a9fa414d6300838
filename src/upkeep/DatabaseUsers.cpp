#include "DatabaseUsers.h"

#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QFileInfo>

namespace upkeep {
namespace {

bool holdsDatabase(ui::Screen* screen)
{
    const QString database = QFileInfo(ui::databasePath()).absoluteFilePath();
    const auto sources = screen->findChildren<ui::RecordSource*>();
    for (const ui::RecordSource* source : sources) {
        if (source->isOpen() && QFileInfo(source->DatabaseName()).absoluteFilePath() == database)
            return true;
    }
    return false;
}

} // namespace

QStringList screensUsingDatabase()
{
    auto& registry = ui::ScreenRegistry::instance();
    QStringList titles;
    for (ui::Screen* screen : registry.loaded()) {
        if (!holdsDatabase(screen))
            continue;
        if (!screen->isVisible() && registry.unload(screen)) {
            // The screen goes once events run again; its hold on the file goes now.
            const auto sources = screen->findChildren<ui::RecordSource*>();
            for (ui::RecordSource* source : sources)
                source->Close();
            continue;
        }
        titles << screen->windowTitle();
    }
    return titles;
}

QString screenNames(const QStringList& titles)
{
    QStringList quoted;
    for (const QString& title : titles)
        quoted << QLatin1Char('"') + title + QLatin1Char('"');
    if (quoted.size() == 1)
        return QStringLiteral("the screen ") + quoted.first();
    const QString last = quoted.takeLast();
    return QStringLiteral("the screens ") + quoted.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace upkeep

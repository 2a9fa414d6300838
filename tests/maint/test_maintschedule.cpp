// The maintenance schedule window, opened from the main menu.
#include "MaintLog.h"
#include "support/TestApp.h"

#include "app/MainMenu.h"
#include "maint/MaintSchedule.h"
#include "ui/ScreenRegistry.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using maint::MaintSchedule;

namespace {

ui::ScreenRegistry& screens()
{
    return ui::ScreenRegistry::instance();
}

MaintSchedule* openFromMenu()
{
    auto* menu = qobject_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
    if (!menu)
        return nullptr;
    menu->mnuUtilMaintenance->trigger();
    return qobject_cast<MaintSchedule*>(screens().find(QStringLiteral("MaintSchedule")));
}

} // namespace

class TestMaintSchedule : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(QApplication::activeModalWidget(), nullptr); }

    void opensFromTheUtilitiesMenu()
    {
        testing::TestApp app;
        auto* menu = qobject_cast<app::MainMenu*>(screens().show(QStringLiteral("MainMenu")));
        QVERIFY(menu);
        const QList<QAction*> items = menu->menuBar()->findChild<QMenu*>(QStringLiteral("MnuUtil"))->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.at(3), menu->mnuUtilMaintenance);
        QCOMPARE(items.at(3)->text(), QStringLiteral("&Maintenance Schedule..."));
        MaintSchedule* window = openFromMenu();
        QVERIFY(window);
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(TestMaintSchedule)
#include "test_maintschedule.moc"

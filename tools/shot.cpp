// Developer tool: shows screens on a copy of the delivered database and saves
// a picture of each window, to look at layouts without clicking through.
// usage: stopwell-shot <out-folder> <Screen>[,<Screen>|click:<Control>...] ...
// Each argument after the folder is one picture: the screens named are shown
// in order and the last one is pictured. The shift is filled in first.
#include "AllScreens.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"
#include "ui/ScriptedPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: stopwell-shot <out-folder> <Screen>[,<Screen>...] ...\n";
        return 2;
    }
    QTemporaryDir folder;
    // The delivered database and report definitions, so reports can be pictured too.
    const QDir app(QCoreApplication::applicationDirPath());
    for (const QString& name : app.entryList({QStringLiteral("Zuvevadu.mdb"), QStringLiteral("*.rpt")}, QDir::Files))
        QFile::copy(app.filePath(name), folder.filePath(name));
    ui::Platform::instance().setAppFolder(folder.path());
    ui::Platform::instance().setMessageBox(std::make_unique<ui::ScriptedMessageBox>());
    registerAllScreens();
    auto& screens = ui::ScreenRegistry::instance();
    if (auto* name = screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text1")))
        name->setText(QStringLiteral("Dave"));
    if (auto* name = screens.control<QLineEdit>(QStringLiteral("TodaysInfo"), QStringLiteral("Text2")))
        name->setText(QStringLiteral("Marco"));
    QDir().mkpath(args.at(1));
    for (int i = 2; i < args.size(); ++i) {
        ui::Screen* last = nullptr;
        for (const QString& name : args.at(i).split(QLatin1Char(','))) {
            if (name.startsWith(QLatin1String("click:"))) {
                // "click:Label10" clicks a named control of the screen shown last.
                QWidget* target = last ? last->findChild<QWidget*>(name.mid(6)) : nullptr;
                if (target)
                    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
                // The picture is of the window the click put the focus in.
                QTest::qWait(50);
                if (QWidget* focus = QApplication::focusWidget())
                    if (auto* screen = qobject_cast<ui::Screen*>(focus->window()))
                        last = screen;
            } else {
                last = screens.show(name);
            }
            QTest::qWait(100);
        }
        if (!last)
            continue;
        QTest::qWait(200);
        const QString file = QDir(args.at(1)).filePath(last->objectName() + QStringLiteral(".png"));
        last->grab().save(file);
        QTextStream(stdout) << file << '\n';
    }
    return 0;
}

#include "AllScreens.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarrowby Stopwell"));
    registerAllScreens();
    if (!ui::ScreenRegistry::instance().show(QStringLiteral("MainMenu")))
        return 1;
    return QApplication::exec();
}

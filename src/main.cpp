#include "AllScreens.h"
#include "ui/Forms.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarrowby Stopwell"));
    registerAllScreens();
    if (!ui::ScreenRegistry::instance().show(ui::forms::MainMenu))
        return 1;
    return QApplication::exec();
}

#include "AllScreens.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"

#include <QApplication>

#include <sys/stat.h>

int main(int argc, char* argv[])
{
#ifdef STOPWELL_APP_FOLDER
    // The installed program cannot keep its log beside itself: its build names
    // the one folder of the PC where the log lives, shared by the group of the
    // program's users. What it makes there must stay writable for the others
    // of that group, who start the program after this user: the group's bits
    // are taken out of the file-creation mask, the user's choice for everyone
    // else is kept.
    ::umask(::umask(0) & ~mode_t(S_IRWXG));
#endif
    QApplication application(argc, argv);
#ifdef STOPWELL_APP_FOLDER
    ui::Platform::instance().setAppFolder(QStringLiteral(STOPWELL_APP_FOLDER));
#endif
    QApplication::setApplicationName(QStringLiteral("Tarrowby Stopwell"));
    registerAllScreens();
    if (!ui::ScreenRegistry::instance().show(ui::forms::MainMenu))
        return 1;
    return QApplication::exec();
}

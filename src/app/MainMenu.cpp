#include "MainMenu.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "ui/ScreenRegistry.h"
#include "upkeep/Compact.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace app {

using ui::ScreenRegistry;

MainMenu::MainMenu() : ui::Screen(ui::forms::MainMenu, QStringLiteral("Main Menu"), QSize(440, 450))
{
    QWidget* c = canvas();
    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Tarrowby Stopwell"), QRect(10, 8, 420, 36));
    Label1->setAlignment(Qt::AlignCenter);
    QFont title = Label1->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    Label1->setFont(title);

    SSFrame1 = ui::frame(c, QStringLiteral("SSFrame1"), QStringLiteral("Main Menu"), QRect(10, 50, 420, 392));
    auto make = [this](const char* name, const char* caption, const char* tip, QRect at) {
        return ui::button(SSFrame1, QString::fromLatin1(name), QString::fromLatin1(caption), at,
                          QString::fromLatin1(tip));
    };
    const int left = 16, right = 216, width = 188, height = 40, top = 88, gap = 48;
    // Created in tab order.
    Command1 = make("Command1", "&Start Logging Calls", "Opens list of calls to select from", QRect(16, 28, 388, 48));
    Command8 = make("Command8", "Modify Shift &Information", "Opens screen to fill in your name",
                    QRect(right, top, width, height));
    Command2 =
        make("Command2", "Modify Pre-Set Calls", "Modifies section 1 calls", QRect(right, top + gap, width, height));
    Command14 = make("Command14", "&Modify Pre-Made Work", "Opens screen to modify pre-made work lists",
                     QRect(right, top + 2 * gap, width, height));
    Command15 = make("Command15", "Modify Passw&ords", "Opens screen to modify passwords",
                     QRect(right, top + 3 * gap, width, height));
    Command12 = make("Command12", "Daily &Work Assignments", "Opens work to be assigned",
                     QRect(right, top + 4 * gap, width, height));
    Command9 = make("Command9", "&Print Menu", "Opens menu of reports", QRect(left, top, width, height));
    Command10 = make("Command10", "Maintain Stops &Database", "Edit master database of stored calls",
                     QRect(left, top + gap, width, height));
    Command11 =
        make("Command11", "Daily &Notes", "Opens screen to make notes", QRect(left, top + 2 * gap, width, height));
    Command13 = make("Command13", "Daily Work &Completed", "Opens form to fill in work that has been completed",
                     QRect(left, top + 3 * gap, width, height));
    Command16 = make("Command16", "&Enter Daily Frame Counts", "Opens screen to enter daily pinsetter frame counts",
                     QRect(left, top + 4 * gap, width, height));
    Command7 = make("Command7", "E&xit", "Exits this program", QRect(150, top + 5 * gap + 2, 120, height));
    setDefaultButton(Command1);
    setCancelButton(Command7);

    connect(Command1, &QPushButton::clicked, this, &MainMenu::Command1_Click);
    connect(Command8, &QPushButton::clicked, this, &MainMenu::Command8_Click);
    connect(Command2, &QPushButton::clicked, this, &MainMenu::Command2_Click);
    connect(Command14, &QPushButton::clicked, this, &MainMenu::Command14_Click);
    connect(Command15, &QPushButton::clicked, this, &MainMenu::Command15_Click);
    connect(Command12, &QPushButton::clicked, this, &MainMenu::Command12_Click);
    connect(Command9, &QPushButton::clicked, this, &MainMenu::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &MainMenu::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &MainMenu::Command11_Click);
    connect(Command13, &QPushButton::clicked, this, &MainMenu::Command13_Click);
    connect(Command16, &QPushButton::clicked, this, &MainMenu::Command16_Click);
    connect(Command7, &QPushButton::clicked, this, &MainMenu::Command7_Click);

    QMenu* util = menuBar()->addMenu(QStringLiteral("&Utilities"));
    util->setObjectName(QStringLiteral("MnuUtil"));
    mnuUtilCompact = util->addAction(QStringLiteral("&Compact Database"), this, &MainMenu::mnuUtilCompact_Click);
    mnuUtilCompact->setObjectName(QStringLiteral("mnuUtilCompact"));
    MnuUtilBackup = util->addAction(QStringLiteral("&Backup / Restore Database"), this, &MainMenu::MnuUtilBackup_Click);
    MnuUtilBackup->setObjectName(QStringLiteral("MnuUtilBackup"));
    mnuUtilStatistics = util->addAction(QStringLiteral("&Statistics..."), this, &MainMenu::mnuUtilStatistics_Click);
    mnuUtilStatistics->setObjectName(QStringLiteral("mnuUtilStatistics"));
    mnuUtilMaintenance =
        util->addAction(QStringLiteral("&Maintenance Schedule..."), this, &MainMenu::mnuUtilMaintenance_Click);
    mnuUtilMaintenance->setObjectName(QStringLiteral("mnuUtilMaintenance"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    MenuHelpSelection = help->addAction(QStringLiteral("&Help"), this, &MainMenu::MenuHelpSelection_Click);
    MenuHelpSelection->setObjectName(QStringLiteral("MenuHelpSelection"));
    MenuHelpAbout = help->addAction(QStringLiteral("&About"), this, &MainMenu::MenuHelpAbout_Click);
    MenuHelpAbout->setObjectName(QStringLiteral("MenuHelpAbout"));
}

void MainMenu::open(const QString& screen)
{
    ui::pointer::hourglass();
    ScreenRegistry::instance().show(screen);
    ui::pointer::restore();
}

bool MainMenu::shiftFilledIn()
{
    if (!ui::forms::shift::mechanic1().isEmpty())
        return true;
    ui::msgBox(QStringLiteral("First, you must fill in today's shift information!"));
    ScreenRegistry::instance().show(ui::forms::TodaysInfo);
    return false;
}

void MainMenu::Command1_Click()
{
    ui::pointer::hourglass();
    if (shiftFilledIn())
        ScreenRegistry::instance().show(ui::forms::ListOfCalls);
    ui::pointer::restore();
}

void MainMenu::Command8_Click()
{
    open(ui::forms::TodaysInfo);
}

void MainMenu::Command2_Click()
{
    open(ui::forms::Allsect);
}

void MainMenu::Command14_Click()
{
    open(ui::forms::Password2);
}

void MainMenu::Command15_Click()
{
    open(ui::forms::MakePasswords);
}

void MainMenu::Command12_Click()
{
    open(ui::forms::Password1);
}

void MainMenu::Command9_Click()
{
    open(ui::forms::PrintMenu);
}

void MainMenu::Command10_Click()
{
    open(ui::forms::Password4);
}

void MainMenu::Command11_Click()
{
    open(ui::forms::Notes);
}

void MainMenu::Command13_Click()
{
    ui::pointer::hourglass();
    if (shiftFilledIn())
        ScreenRegistry::instance().show(ui::forms::WorkDone);
    ui::pointer::restore();
}

void MainMenu::Command16_Click()
{
    // Modal: the hourglass is set back only once the frame counts are closed.
    ui::pointer::hourglass();
    ScreenRegistry::instance().showModal(ui::forms::FrameCount);
    ui::pointer::restore();
}

void MainMenu::Command7_Click()
{
    ScreenRegistry::instance().exitProgram();
}

void MainMenu::mnuUtilCompact_Click()
{
    upkeep::compactDatabase();
}

void MainMenu::MnuUtilBackup_Click()
{
    setCursor(Qt::WaitCursor);
    ScreenRegistry::instance().showModal(ui::forms::frmZipCreate);
    setCursor(Qt::ArrowCursor);
}

void MainMenu::mnuUtilStatistics_Click()
{
    open(ui::forms::Statistics);
}

void MainMenu::mnuUtilMaintenance_Click()
{
    open(ui::forms::MaintSchedule);
}

void MainMenu::MenuHelpSelection_Click()
{
    ui::Platform::instance().help().open({});
}

void MainMenu::MenuHelpAbout_Click()
{
    ScreenRegistry::instance().show(ui::forms::About);
}

void MainMenu::frameClose()
{
    // The main menu stays for the whole run; closing its window ends the
    // program as Exit does.
    Command7_Click();
}

} // namespace app

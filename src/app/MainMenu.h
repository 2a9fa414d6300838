#pragma once

#include "ui/Screen.h"

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;

namespace app {

/// The start-up screen and the hub every other screen is reached from.
class MainMenu : public ui::Screen {
    Q_OBJECT
public:
    MainMenu();

    QGroupBox* SSFrame1;
    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command8;
    QPushButton* Command2;
    QPushButton* Command14;
    QPushButton* Command15;
    QPushButton* Command12;
    QPushButton* Command9;
    QPushButton* Command10;
    QPushButton* Command11;
    QPushButton* Command13;
    QPushButton* Command16;
    QPushButton* Command7;
    QAction* mnuUtilCompact;
    QAction* MnuUtilBackup;
    QAction* mnuUtilStatistics;
    QAction* mnuUtilMaintenance;
    QAction* MenuHelpSelection;
    QAction* MenuHelpAbout;

public slots:
    void Command1_Click();
    void Command8_Click();
    void Command2_Click();
    void Command14_Click();
    void Command15_Click();
    void Command12_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command13_Click();
    void Command16_Click();
    void Command7_Click();
    void mnuUtilCompact_Click();
    void MnuUtilBackup_Click();
    void mnuUtilStatistics_Click();
    void mnuUtilMaintenance_Click();
    void MenuHelpSelection_Click();
    void MenuHelpAbout_Click();

protected:
    void frameClose() override;

private:
    /// Opens a screen modeless under the hourglass.
    void open(const QString& screen);
    /// The shift check: true when mechanic #1's name is filled in.
    bool shiftFilledIn();
};

} // namespace app

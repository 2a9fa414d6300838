#pragma once

#include "ui/Platform.h"
#include "ui/Screen.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace reports {

class CrystalReport;

/// The print menu: every report of the calls, notes, work sheets and preset
/// calls, in five frames. Most buttons run one report file with the selection
/// stored in it; four open a range prompt beside the menu.
class PrintMenu : public ui::Screen {
    Q_OBJECT
public:
    PrintMenu();

    QGroupBox* SSFrame5;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QGroupBox* SSFrame4;
    QPushButton* Command24;
    QPushButton* Command25;
    QPushButton* Command26;
    QGroupBox* SSFrame3;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;
    QPushButton* Command9;
    QGroupBox* SSFrame1;
    QPushButton* Command11;
    QPushButton* Command12;
    QPushButton* Command13;
    QPushButton* Command14;
    QPushButton* Command22;
    QPushButton* Command23;
    QGroupBox* SSFrame2;
    QPushButton* Command15;
    QPushButton* Command16;
    QPushButton* Command17;
    QPushButton* Command18;
    QPushButton* Command19;
    QPushButton* Command20;
    QPushButton* Command21;
    QLabel* Image1;
    CrystalReport* CrystalReport1;

public slots:
    /// The calls of today, then the notes and work sheet of today, on the printer.
    void Command22_Click();
    void Command21_Click();

protected:
    void frameClose() override;

private:
    int buildLeftColumn();
    int buildRightColumn();
    void connectButtons();
    /// A button that runs one report file on the preview window.
    void runReport(const QString& file);
    /// A button that opens a range prompt, or brings it forward.
    void showPrompt(const QString& screen);
    /// Says what of the call sheet went to which printer.
    void tellCallSheet(const QList<std::pair<QString, std::optional<ui::PrintOutcome>>>& sheet);
};

} // namespace reports

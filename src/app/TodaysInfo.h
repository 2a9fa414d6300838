#pragma once

#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

/// Who is on shift for this run: mechanic #1's and #2's names, and today's
/// date and weekday. Other screens read these controls; nothing is stored.
class TodaysInfo : public ui::Screen {
    Q_OBJECT
public:
    TodaysInfo();

    QLabel* Label6;
    QLabel* Label3;
    QLineEdit* Text1;
    QLabel* Label4;
    QLineEdit* Text2;
    QLabel* Label2;
    QLabel* Label1;
    QPushButton* Command1;

    void Form_Paint() override;

public slots:
    void Command1_Click();

protected:
    void frameClose() override;
};

} // namespace app

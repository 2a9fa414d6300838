#pragma once

#include "ui/Screen.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {
class RecordSource;
}

namespace calls {

/// Completes and stores one call picked on the board: the lane number, who
/// corrected the stop and any notes, with the date, time, weekday and section.
class EnterLaneNo : public ui::Screen {
    Q_OBJECT
public:
    EnterLaneNo();

    void Form_Load() override;
    void Form_Paint() override;

    /// Readies the record set for a new call: a call that was started but not
    /// saved is dropped without storing any of it. False when the call log
    /// cannot be opened (the user was told why).
    bool beginCall();

    ui::RecordSource* Data2;
    QFrame* Shape1;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* Label3;
    QLineEdit* Text5;
    QLabel* Label4;
    QLineEdit* Text4;
    QGroupBox* Frame1;
    QCheckBox* Check1;
    QLineEdit* Text1;
    QCheckBox* Check2;
    QLineEdit* Text2;
    QPlainTextEdit* Text9;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    // Fields the mechanic does not type.
    QLineEdit* Text3;
    QLineEdit* Text7;
    QLineEdit* Text6;
    QLineEdit* Text8;
    QLabel* Label5;

public slots:
    void Check1_Click();
    void Check2_Click();
    void Text4_GotFocus();
    void Text9_LostFocus();
    /// A key pressed while Save has the focus; true when it was refused.
    bool Command1_KeyDown(int key);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    void frameClose() override;

private:
    /// Ends the call, saved or not: the screen is hidden in its designed state.
    void closeCall();
    /// Makes the board's calls pickable again, the one picked last included.
    void releaseBoard();
};

} // namespace calls

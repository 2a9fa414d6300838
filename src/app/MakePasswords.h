#pragma once

#include "ui/Screen.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class RecordSource;
}

namespace app {

/// Sets the passwords of the three guarded screens. Locked until the
/// supervisor password (the text of preset call 1) is typed; each screen's
/// password is typed twice, and a row whose two entries differ is emptied.
class MakePasswords : public ui::Screen {
    Q_OBJECT
public:
    MakePasswords();

    ui::RecordSource* Data1;
    ui::RecordSource* Data2;
    QGroupBox* Frame1;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QFrame* Line1;
    QLabel* Label9;
    QLineEdit* Text11;
    QLineEdit* Text12;
    QLabel* Label5;
    QLineEdit* Text5;
    QLineEdit* Text10;
    QLabel* Label3;
    QLineEdit* Text3;
    QLineEdit* Text8;
    QLabel* Label1;
    QLineEdit* Text1;
    QLineEdit* Text6;
    QPushButton* Command1;
    QPushButton* Command2;

    void Form_Load() override;
    void Form_Unload() override;
    void programEnding() override;

public slots:
    void Text11_LostFocus();
    void Text10_LostFocus();
    void Text8_LostFocus();
    void Text6_LostFocus();
    void Command1_Click();
    void Command2_Click();

protected:
    void frameClose() override;

private:
    /// Runs a handler when the focus leaves a box for another control of this
    /// screen (not when the user merely switches windows).
    void onLeaving(QLineEdit* box, void (MakePasswords::*handler)());
    /// Empties both boxes of a row when they differ.
    void confirmRow(QLineEdit* password, QLineEdit* confirmation, bool moveFocus);
    /// Enter and Esc press Save and Exit without the focus leaving the box it
    /// is in: a confirm box is checked then as if it had been left.
    void checkFocusedConfirmBox(bool moveFocus);
    /// Refuses the supervisor entry with a warning.
    void refuse(const QString& message);
    /// Stores the bound boxes; then each row shows the stored password in both
    /// of its boxes, so a later write-back cannot bring back an older entry.
    void leave();

    bool m_unloaded = false;
};

} // namespace app

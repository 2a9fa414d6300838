#pragma once

#include "ui/Screen.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class RecordSource;
}

namespace app {

/// Makes a text box show each typed character as "*"; its text can be neither
/// copied nor dragged out.
void hideTyping(QLineEdit* box);

/// The "Security Check" dialog in front of a guarded screen. One class serves
/// every gate: each is registered under its own form name and differs only in
/// the PWord field it compares, the screen it opens and whether OK and Cancel
/// run under the busy pointer.
class PasswordGate : public ui::Screen {
    Q_OBJECT
public:
    PasswordGate(const QString& name, const QString& field, const QString& guardedScreen, bool busyPointer);

    /// The stored and typed passwords match when they are equal once trailing
    /// blanks are removed from both; leading blanks and letter case count.
    static bool matches(const QString& typed, const QString& stored);

    const QString& guardedScreen() const { return m_guarded; }

    ui::RecordSource* Data1;
    QGroupBox* Frame1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label1;

    void Form_Load() override;

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void frameClose() override;

private:
    QString m_guarded;
    bool m_busyPointer;
};

} // namespace app

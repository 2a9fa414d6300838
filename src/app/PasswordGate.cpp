#include "PasswordGate.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

namespace app {
namespace {

QString withoutTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

} // namespace

void hideTyping(QLineEdit* box)
{
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

PasswordGate::PasswordGate(const QString& name, const QString& field, const QString& guardedScreen, bool busyPointer)
    : ui::Screen(name, QStringLiteral("Security Check"), QSize(300, 144)), m_guarded(guardedScreen),
      m_busyPointer(busyPointer)
{
    QWidget* c = canvas();
    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("PWord"));
    Data1->hide();

    Frame1 = ui::frame(c, QStringLiteral("Frame1"), QStringLiteral("Enter Your Password"), QRect(14, 10, 272, 66));
    Text1 =
        ui::textBox(Frame1, QStringLiteral("Text1"), QRect(16, 28, 240, 24), 10, QStringLiteral("Enter Your Password"));
    hideTyping(Text1);
    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("&OK"), QRect(40, 92, 100, 34));
    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("&Cancel"), QRect(160, 92, 100, 34));
    setDefaultButton(Command1);

    // Carries the stored password; never shown.
    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Label1"), QRect(14, 128, 60, 14));
    Label1->hide();
    Data1->bind(Label1, field);

    connect(Command1, &QPushButton::clicked, this, &PasswordGate::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PasswordGate::Command2_Click);
}

bool PasswordGate::matches(const QString& typed, const QString& stored)
{
    return withoutTrailingBlanks(typed) == withoutTrailingBlanks(stored);
}

void PasswordGate::Form_Load()
{
    Data1->setDatabaseName(ui::databasePath());
    Text1->clear();
    Text1->setFocus();
}

void PasswordGate::Command1_Click()
{
    std::optional<ui::pointer::BusyGuard> busy;
    if (m_busyPointer)
        busy.emplace();
    if (!matches(Text1->text(), Label1->text())) {
        ui::msgBox(QStringLiteral(" Try again !!! "));
        Text1->clear();
        Text1->setFocus();
        return;
    }
    auto& screens = ui::ScreenRegistry::instance();
    if (!screens.show(m_guarded)) {
        // The registry has told the user why the screen cannot open. The gate
        // stays, with an empty box, so Cancel leads back to the main menu.
        Text1->clear();
        Text1->setFocus();
        return;
    }
    screens.unload(this);
}

void PasswordGate::Command2_Click()
{
    std::optional<ui::pointer::BusyGuard> busy;
    if (m_busyPointer)
        busy.emplace();
    auto& screens = ui::ScreenRegistry::instance();
    screens.unload(this);
    screens.show(ui::forms::MainMenu);
}

void PasswordGate::frameClose()
{
    // Closing the window is the same as Cancel.
    Command2_Click();
}

} // namespace app

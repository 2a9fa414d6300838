#include "MakePasswords.h"

#include "PasswordGate.h"

#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace app {
namespace {

const QString kWarning = QStringLiteral("Warning");

} // namespace

MakePasswords::MakePasswords()
    : ui::Screen(ui::forms::MakePasswords, QStringLiteral("Password Assignments"), QSize(520, 300))
{
    QWidget* c = canvas();
    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("PWord"));
    Data1->hide();
    Data2 = new ui::RecordSource(c, QStringLiteral("Data2"), QStringLiteral("Calls"));
    Data2->hide();

    Frame1 = ui::frame(c, QStringLiteral("Frame1"), QString(), QRect(10, 8, 500, 222));
    Label6 = ui::label(Frame1, QStringLiteral("Label6"), QStringLiteral("Access to Screen"), QRect(14, 14, 236, 20));
    Label7 = ui::label(Frame1, QStringLiteral("Label7"), QStringLiteral("Password "), QRect(258, 14, 110, 20));
    Label8 = ui::label(Frame1, QStringLiteral("Label8"), QStringLiteral("Confirm"), QRect(378, 14, 110, 20));
    for (QLabel* heading : {Label6, Label7, Label8}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    Line1 = new QFrame(Frame1);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(14, 38, 472, 4);

    // Built in tab order: the supervisor box, then each row's password and confirm box.
    auto row = [this](const char* labelName, const char* caption, int y) {
        QLabel* l =
            ui::label(Frame1, QString::fromLatin1(labelName), QString::fromLatin1(caption), QRect(14, y, 236, 24));
        l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        return l;
    };
    auto box = [this](const char* name, int x, int y, int maxLength, const QString& accessible) {
        QLineEdit* b = ui::textBox(Frame1, QString::fromLatin1(name), QRect(x, y, 110, 24), maxLength, accessible);
        hideTyping(b);
        return b;
    };
    Label9 = row("Label9", "Supervisor Password", 54);
    Text11 = box("Text11", 258, 54, 0, QStringLiteral("Supervisor Password"));
    Label5 = row("Label5", "Modify Work Assignment Sheet", 100);
    Text5 = box("Text5", 258, 100, 10, QStringLiteral("Modify Work Assignment Sheet password"));
    Text10 = box("Text10", 378, 100, 0, QStringLiteral("Modify Work Assignment Sheet confirmation"));
    Label3 = row("Label3", "Modify All Calls Recorded", 140);
    Text3 = box("Text3", 258, 140, 10, QStringLiteral("Modify All Calls Recorded password"));
    Text8 = box("Text8", 378, 140, 0, QStringLiteral("Modify All Calls Recorded confirmation"));
    Label1 = row("Label1", "Modify Pre-Made Work Weeks", 180);
    Text1 = box("Text1", 258, 180, 10, QStringLiteral("Modify Pre-Made Work Weeks password"));
    Text6 = box("Text6", 378, 180, 0, QStringLiteral("Modify Pre-Made Work Weeks confirmation"));
    Label9->setBuddy(Text11);
    Label5->setBuddy(Text5);
    Label3->setBuddy(Text3);
    Label1->setBuddy(Text1);

    // The value the supervisor entry must match; never shown.
    Text12 = ui::textBox(Frame1, QStringLiteral("Text12"), QRect(378, 54, 110, 24), 0, QStringLiteral("Preset call 1"));
    Text12->hide();

    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("&Save"), QRect(146, 246, 104, 36),
                          QStringLiteral("Save all passwords"));
    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("E&xit"), QRect(270, 246, 104, 36),
                          QStringLiteral("Save all passwords and return to main menu"));
    setDefaultButton(Command1);
    setCancelButton(Command2);

    for (QLineEdit* b : {Text5, Text10, Text3, Text8, Text1, Text6}) {
        b->setEnabled(false);
        ui::selectAllOnFocus(b);
    }

    // Each confirm box is bound before its password box: when both were
    // edited the password box's entry is the one stored; when only one was,
    // the other still holds the stored value and is not written.
    Data2->bind(Text12, QStringLiteral("C1"));
    Data1->bind(Text10, QStringLiteral("assign"));
    Data1->bind(Text5, QStringLiteral("assign"));
    Data1->bind(Text8, QStringLiteral("dailyd"));
    Data1->bind(Text3, QStringLiteral("dailyd"));
    Data1->bind(Text6, QStringLiteral("premade"));
    Data1->bind(Text1, QStringLiteral("premade"));

    onLeaving(Text11, &MakePasswords::Text11_LostFocus);
    onLeaving(Text10, &MakePasswords::Text10_LostFocus);
    onLeaving(Text8, &MakePasswords::Text8_LostFocus);
    onLeaving(Text6, &MakePasswords::Text6_LostFocus);
    connect(Command1, &QPushButton::clicked, this, &MakePasswords::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MakePasswords::Command2_Click);
}

void MakePasswords::onLeaving(QLineEdit* box, void (MakePasswords::*handler)())
{
    ui::onLostFocus(box, this, [this, handler] {
        if (!m_unloaded)
            (this->*handler)();
    });
}

void MakePasswords::Form_Load()
{
    Text11->clear();
    Data1->setDatabaseName(ui::databasePath());
    Data2->setDatabaseName(ui::databasePath());
    Text11->setFocus();
}

void MakePasswords::programEnding()
{
    // The program ends without the focus leaving any box: a row whose two
    // boxes disagree has not passed its confirmation and keeps its stored
    // password. A row typed the same in both boxes is stored.
    const struct {
        QLineEdit* password;
        QLineEdit* confirmation;
        const char* field;
    } rows[] = {{Text5, Text10, "assign"}, {Text3, Text8, "dailyd"}, {Text1, Text6, "premade"}};
    for (const auto& row : rows) {
        if (row.password->text() == row.confirmation->text())
            continue;
        const QString stored = Data1->Recordset().value(QString::fromLatin1(row.field)).toString();
        row.password->setText(stored);
        row.confirmation->setText(stored);
    }
}

void MakePasswords::Form_Unload()
{
    m_unloaded = true;
}

void MakePasswords::leave()
{
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

void MakePasswords::refuse(const QString& message)
{
    ui::msgBox(message, ui::Buttons::Ok, ui::Icon::Exclamation, kWarning);
    Text11->clear();
    Text11->setFocus();
}

void MakePasswords::Text11_LostFocus()
{
    if (Text11->text().isEmpty()) {
        leave();
        return;
    }
    if (!Data2->Recordset().hasCurrent()) {
        refuse(QStringLiteral("The supervisor password cannot be checked: the database holds no preset calls."));
        return;
    }
    if (Text11->text() != Text12->text()) {
        ui::beep();
        refuse(QStringLiteral("You must have supervisor clearance to change passwords!"));
        return;
    }
    if (!Data1->Recordset().hasCurrent()) {
        refuse(QStringLiteral("The passwords cannot be changed: the database holds no row of screen passwords."));
        return;
    }
    for (QLineEdit* b : {Text1, Text3, Text5, Text6, Text8, Text10})
        b->setEnabled(true);
    Text5->setFocus();
}

void MakePasswords::confirmRow(QLineEdit* password, QLineEdit* confirmation, bool moveFocus)
{
    if (confirmation->text() == password->text())
        return;
    password->clear();
    confirmation->clear();
    if (moveFocus)
        password->setFocus();
}

void MakePasswords::Text10_LostFocus()
{
    confirmRow(Text5, Text10, true);
}

void MakePasswords::Text8_LostFocus()
{
    confirmRow(Text3, Text8, true);
}

void MakePasswords::Text6_LostFocus()
{
    confirmRow(Text1, Text6, true);
}

void MakePasswords::checkFocusedConfirmBox(bool moveFocus)
{
    QWidget* focused = focusWidget();
    if (focused == Text10 && Text10->isEnabled())
        confirmRow(Text5, Text10, moveFocus);
    else if (focused == Text8 && Text8->isEnabled())
        confirmRow(Text3, Text8, moveFocus);
    else if (focused == Text6 && Text6->isEnabled())
        confirmRow(Text1, Text6, moveFocus);
}

void MakePasswords::Command1_Click()
{
    if (m_unloaded)
        return;
    checkFocusedConfirmBox(true);
    Data1->UpdateRecord();
}

void MakePasswords::Command2_Click()
{
    if (m_unloaded)
        return;
    checkFocusedConfirmBox(false);
    Text11->setEnabled(false);
    if (!Data1->UpdateRecord()) {
        Text11->setEnabled(true);
        return;
    }
    leave();
}

void MakePasswords::frameClose()
{
    checkFocusedConfirmBox(false);
    leave();
}

} // namespace app

#include "Notes.h"

#include "ui/AddingMode.h"
#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace shift {

Notes::Notes() : ui::Screen(ui::forms::Notes, QStringLiteral("Daily Notes"), QSize(600, 456))
{
    QWidget* c = canvas();
    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("DWork"));
    Data1->setGeometry(10, 10, 340, 28);
    Data1->setToolTip(QStringLiteral("Steps through database of notes"));

    Text2 = ui::textBox(c, QStringLiteral("Text2"), QRect(370, 10, 110, 28), 0, QStringLiteral("Date"),
                        QStringLiteral("Enter date"));
    Text2->setAlignment(Qt::AlignCenter);
    MaskEdBox1 = new ui::MaskedDateEdit(c);
    MaskEdBox1->setObjectName(QStringLiteral("MaskEdBox1"));
    MaskEdBox1->setGeometry(370, 10, 110, 28);
    MaskEdBox1->setAlignment(Qt::AlignCenter);
    MaskEdBox1->setAccessibleName(QStringLiteral("Date"));
    MaskEdBox1->hide();
    Label4 = ui::label(c, QStringLiteral("Label4"), QStringLiteral("MM/DD/YYYY"), QRect(488, 10, 102, 28));
    Label4->hide();

    const QString optionTip = QStringLiteral("Click here to enter notes below for this mechanic");
    const QString nameTip = QStringLiteral("Enter name here");
    Frame1 = ui::frame(c, QStringLiteral("Frame1"), QStringLiteral("AM Shift Mechanic's"), QRect(10, 48, 285, 92));
    Text3 = ui::textBox(Frame1, QStringLiteral("Text3"), QRect(15, 26, 120, 26), 10,
                        QStringLiteral("AM shift mechanic #1"), nameTip);
    Text4 = ui::textBox(Frame1, QStringLiteral("Text4"), QRect(150, 26, 120, 26), 10,
                        QStringLiteral("AM shift mechanic #2"), nameTip);
    Option1 = ui::optionButton(Frame1, QStringLiteral("Option1"), QStringLiteral("Edit"), QRect(15, 60, 120, 22),
                               QStringLiteral("Edit notes of AM shift mechanic #1"), optionTip);
    Option2 = ui::optionButton(Frame1, QStringLiteral("Option2"), QStringLiteral("Edit"), QRect(150, 60, 120, 22),
                               QStringLiteral("Edit notes of AM shift mechanic #2"), optionTip);
    Frame2 = ui::frame(c, QStringLiteral("Frame2"), QStringLiteral("PM Shift Mechanic's"), QRect(305, 48, 285, 92));
    Text5 = ui::textBox(Frame2, QStringLiteral("Text5"), QRect(15, 26, 120, 26), 10,
                        QStringLiteral("PM shift mechanic #1"), nameTip);
    Text6 = ui::textBox(Frame2, QStringLiteral("Text6"), QRect(150, 26, 120, 26), 10,
                        QStringLiteral("PM shift mechanic #2"), nameTip);
    Option3 = ui::optionButton(Frame2, QStringLiteral("Option3"), QStringLiteral("Edit"), QRect(15, 60, 120, 22),
                               QStringLiteral("Edit notes of PM shift mechanic #1"), optionTip);
    Option4 = ui::optionButton(Frame2, QStringLiteral("Option4"), QStringLiteral("Edit"), QRect(150, 60, 120, 22),
                               QStringLiteral("Edit notes of PM shift mechanic #2"), optionTip);

    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Lane #"), QRect(12, 150, 60, 24));
    Label2 =
        ui::label(c, QStringLiteral("Label2"), QStringLiteral("Enter all Work Completed For"), QRect(90, 150, 200, 24));
    Label3 = ui::label(c, QStringLiteral("Label3"), QString(), QRect(295, 150, 200, 24));
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);

    const QRect noteArea(10, 178, 580, 222);
    Text1 = ui::memoBox(c, QStringLiteral("Text1"), noteArea, QStringLiteral("Notes of AM shift mechanic #1"));
    Text7 = ui::memoBox(c, QStringLiteral("Text7"), noteArea, QStringLiteral("Notes of AM shift mechanic #2"));
    Text8 = ui::memoBox(c, QStringLiteral("Text8"), noteArea, QStringLiteral("Notes of PM shift mechanic #1"));
    Text9 = ui::memoBox(c, QStringLiteral("Text9"), noteArea, QStringLiteral("Notes of PM shift mechanic #2"));
    Text7->hide();
    Text8->hide();
    Text9->hide();

    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("New &Day"), QRect(10, 410, 100, 34),
                          QStringLiteral("Click to enter a new day of notes"));
    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("&Save"), QRect(120, 410, 100, 34),
                          QStringLiteral("Saves record"));
    Command3->hide();
    Command4 = ui::button(c, QStringLiteral("Command4"), QStringLiteral("&Cancel"), QRect(230, 410, 100, 34),
                          QStringLiteral("Cancel this action"));
    Command4->hide();
    setCancelButton(Command4);
    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(490, 410, 100, 34),
                          QStringLiteral("Exits & returns to main menu"));

    m_options = {Option1, Option2, Option3, Option4};
    m_names = {Text3, Text4, Text5, Text6};
    m_notes = {Text1, Text7, Text8, Text9};
    // One mechanic's notes are edited at a time, though the options sit in two frames.
    auto* editing = new QButtonGroup(this);
    for (QRadioButton* option : m_options)
        editing->addButton(option);
    Option1->setChecked(true);

    // Both date controls show the day; the masked entry is the one a new day is typed into.
    Data1->bind(Text2, QStringLiteral("DateNow"));
    Data1->bind(MaskEdBox1, QStringLiteral("DateNow"));
    Data1->bind(Text3, QStringLiteral("mecha1"));
    Data1->bind(Text4, QStringLiteral("mecha2"));
    Data1->bind(Text5, QStringLiteral("mechp1"));
    Data1->bind(Text6, QStringLiteral("mechp2"));
    Data1->bind(Text1, QStringLiteral("noteam1"));
    Data1->bind(Text7, QStringLiteral("noteam2"));
    Data1->bind(Text8, QStringLiteral("notepm1"));
    Data1->bind(Text9, QStringLiteral("notepm2"));

    m_adding = new ui::AddingMode(Data1, MaskEdBox1, QStringLiteral("You must enter a date!"),
                                  {Text3, Text4, Text5, Text6, Text1, Text7, Text8, Text9}, this);
    m_adding->enableOnlyWithRecord({Text3, Text4, Text5, Text6, Text1, Text7, Text8, Text9});

    connect(Data1, &ui::RecordSource::Reposition, this, &Notes::Data1_Reposition);
    connect(Option1, &QRadioButton::clicked, this, &Notes::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Notes::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &Notes::Option3_Click);
    connect(Option4, &QRadioButton::clicked, this, &Notes::Option4_Click);
    ui::onLostFocus(Text3, this, [this] { Text3_LostFocus(); });
    connect(MaskEdBox1, &ui::MaskedDateEdit::keyDown, this, &Notes::MaskEdBox1_KeyDown);
    connect(Command2, &QPushButton::clicked, this, &Notes::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Notes::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Notes::Command4_Click);
    connect(Command1, &QPushButton::clicked, this, &Notes::Command1_Click);
}

void Notes::Form_Load()
{
    Data1->setDatabaseName(ui::databasePath());
}

void Notes::Form_Paint()
{
    nameLabelRule();
}

void Notes::nameLabelRule()
{
    for (size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i]->isChecked())
            ui::setTextIfChanged(Label3, m_names[i]->text());
    }
}

void Notes::Data1_Reposition()
{
    nameLabelRule();
}

void Notes::optionClick(int option)
{
    nameLabelRule();
    for (size_t i = 0; i < m_notes.size(); ++i)
        m_notes[i]->setVisible(int(i) == option - 1);
    m_notes[size_t(option - 1)]->setFocus();
}

void Notes::Option1_Click()
{
    optionClick(1);
}

void Notes::Option2_Click()
{
    optionClick(2);
}

void Notes::Option3_Click()
{
    optionClick(3);
}

void Notes::Option4_Click()
{
    optionClick(4);
}

void Notes::Text3_LostFocus()
{
    nameLabelRule();
}

void Notes::MaskEdBox1_KeyDown(int)
{
    Label4->show();
    MaskEdBox1->setDateMask();
    Command3->show();
}

void Notes::setBoxesEnabled(bool enabled)
{
    for (QLineEdit* name : m_names)
        name->setEnabled(enabled);
    for (QPlainTextEdit* note : m_notes)
        note->setEnabled(enabled);
}

void Notes::showDateEntry()
{
    MaskEdBox1->show();
    Text2->hide();
    MaskEdBox1->setFocus();
}

// New day.
void Notes::Command2_Click()
{
    if (!m_adding->begin())
        return;
    Command2->show();
    Command4->show();
    Command3->show();
    for (QRadioButton* option : m_options)
        option->setEnabled(true);
    MaskEdBox1->setEnabled(true);
    showDateEntry();
    setBoxesEnabled(true);
    Command2->setEnabled(false);
}

// Save.
void Notes::Command3_Click()
{
    if (!m_adding->save())
        return;
    Command2->show();
    Command2->setEnabled(true);
    Label4->hide();
    Text2->show();
    MaskEdBox1->hide();
    setBoxesEnabled(true);
    Command3->hide();
    Command4->hide();
}

// Cancel.
void Notes::Command4_Click()
{
    // Dropping the new day brings back the day shown before it with its own
    // names and notes (or empty boxes when there was none), so nothing blank
    // is written over it or stored later.
    m_adding->cancel();
    Label4->hide();
    Command4->hide();
    Command3->hide();
    Text2->show();
    MaskEdBox1->hide();
    setBoxesEnabled(false);
    Command2->setEnabled(true);
}

// Exit.
void Notes::Command1_Click()
{
    if (!m_adding->settle() || !Data1->UpdateRecord())
        return;
    Text2->show();
    MaskEdBox1->hide();
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

void Notes::frameClose()
{
    // Closing the window stores what Exit stores, with the same checks.
    Command1_Click();
}

} // namespace shift

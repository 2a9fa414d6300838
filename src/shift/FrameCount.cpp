#include "FrameCount.h"

#include "ui/AddingMode.h"
#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace shift {
namespace {

// Nine digits keep every count inside a whole-number field; their sum is checked.
constexpr int kCountDigits = 9;
constexpr qint64 kMostFrames = 2147483647;

QLineEdit* countBox(QWidget* parent, const QString& name, int top, const QString& accessibleName,
                    const QString& toolTip, int digits = kCountDigits)
{
    QLineEdit* box = ui::textBox(parent, name, QRect(160, top, 110, 26), digits, accessibleName, toolTip);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Frames are counted in whole numbers: only digits can be typed.
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), box));
    return box;
}

} // namespace

FrameCount::FrameCount()
    : ui::Screen(ui::forms::FrameCount, QStringLiteral("Daily Machine Frame Count"), QSize(380, 318))
{
    QWidget* c = canvas();
    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("Frames"));
    Data1->setGeometry(20, 12, 340, 28);
    Data1->setCaption(QStringLiteral("Move Date"));
    Data1->setToolTip(QStringLiteral("Steps through the database"));

    Label5 = ui::label(c, QStringLiteral("Label5"), QStringLiteral("Date"), QRect(40, 54, 110, 26));
    Label8 = ui::label(c, QStringLiteral("Label8"), QString(), QRect(160, 54, 110, 26));
    Label8->setFrameShape(QFrame::StyledPanel);
    Label8->setAlignment(Qt::AlignCenter);
    MaskEdBox1 = new ui::MaskedDateEdit(c);
    MaskEdBox1->setObjectName(QStringLiteral("MaskEdBox1"));
    MaskEdBox1->setGeometry(160, 54, 110, 26);
    MaskEdBox1->setAlignment(Qt::AlignCenter);
    MaskEdBox1->setAccessibleName(QStringLiteral("Date"));
    MaskEdBox1->hide();
    Label6 = ui::label(c, QStringLiteral("Label6"), QStringLiteral("MM/DD/YYYY"), QRect(278, 54, 96, 26));
    Label6->hide();
    Label5->setBuddy(MaskEdBox1);

    Label1 = ui::label(c, QStringLiteral("Label1"), QStringLiteral("Open Play"), QRect(40, 88, 110, 26));
    Text1 = countBox(c, QStringLiteral("Text1"), 88, QStringLiteral("Open Play"),
                     QStringLiteral("Enter the total frames for Open Play"));
    Label2 = ui::label(c, QStringLiteral("Label2"), QStringLiteral("League Play"), QRect(40, 118, 110, 26));
    Text2 = countBox(c, QStringLiteral("Text2"), 118, QStringLiteral("League Play"),
                     QStringLiteral("Enter the total frames for League Play"));
    Label3 = ui::label(c, QStringLiteral("Label3"), QStringLiteral("Rent-a-Lane "), QRect(40, 148, 110, 26));
    Text3 = countBox(c, QStringLiteral("Text3"), 148, QStringLiteral("Rent-a-Lane"),
                     QStringLiteral("Enter the total frames for Rent-a-Lane"));
    Label4 = ui::label(c, QStringLiteral("Label4"), QStringLiteral("Miscellaneous"), QRect(40, 178, 110, 26));
    Text4 = countBox(c, QStringLiteral("Text4"), 178, QStringLiteral("Miscellaneous"),
                     QStringLiteral("Enter the total frames for misc."));

    Line1 = new QFrame(c);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(160, 208, 110, 6);

    Label7 = ui::label(c, QStringLiteral("Label7"), QStringLiteral("Total"), QRect(40, 218, 110, 26));
    // Four full counts can add up to one more digit than each of them.
    Text6 = countBox(c, QStringLiteral("Text6"), 218, QStringLiteral("Total"),
                     QStringLiteral("Enter the total of all categories above"), kCountDigits + 1);
    Command5 = ui::button(c, QStringLiteral("Command5"), QStringLiteral("+"), QRect(278, 218, 32, 26),
                          QStringLiteral("Adds up the four counts"));
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    Label3->setBuddy(Text3);
    Label4->setBuddy(Text4);
    Label7->setBuddy(Text6);

    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("&New Date"), QRect(10, 270, 85, 34),
                          QStringLiteral("Adds a new day of machine frame counts"));
    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("&Save"), QRect(102, 270, 85, 34));
    Command3->hide();
    Command4 = ui::button(c, QStringLiteral("Command4"), QStringLiteral("&Cancel"), QRect(194, 270, 85, 34),
                          QStringLiteral("Click to cancel a new day's data"));
    Command4->hide();
    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"), QRect(286, 270, 85, 34),
                          QStringLiteral("Returns to the main menu"));
    setDefaultButton(Command1);
    setCancelButton(Command4);

    m_counts = {Text1, Text2, Text3, Text4};
    for (QLineEdit* count : m_counts)
        ui::selectAllOnFocus(count);

    Data1->bind(Label8, QStringLiteral("DateNow"));
    Data1->bind(MaskEdBox1, QStringLiteral("DateNow"));
    Data1->bind(Text1, QStringLiteral("Open"));
    Data1->bind(Text2, QStringLiteral("League"));
    Data1->bind(Text3, QStringLiteral("Rent"));
    Data1->bind(Text4, QStringLiteral("Misc"));
    Data1->bind(Text6, QStringLiteral("total"));

    m_adding = new ui::AddingMode(Data1, MaskEdBox1, QStringLiteral("You must enter a date!"),
                                  {Text1, Text2, Text3, Text4, Text6}, this);
    m_adding->enableOnlyWithRecord({Text1, Text2, Text3, Text4, Text6});

    connect(MaskEdBox1, &ui::MaskedDateEdit::keyDown, this, &FrameCount::MaskEdBox1_KeyDown);
    ui::onLostFocus(MaskEdBox1, this, [this] { MaskEdBox1_LostFocus(); });
    connect(Command5, &QPushButton::clicked, this, &FrameCount::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &FrameCount::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FrameCount::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &FrameCount::Command4_Click);
    connect(Command1, &QPushButton::clicked, this, &FrameCount::Command1_Click);
}

void FrameCount::Form_Load()
{
    Data1->setDatabaseName(ui::databasePath());
    // The main menu set the hourglass before opening this screen and waits for it.
    ui::pointer::arrow();
}

void FrameCount::Form_Paint()
{
    Command3->hide();
}

void FrameCount::MaskEdBox1_KeyDown(int)
{
    Label6->show();
    Command3->show();
}

void FrameCount::MaskEdBox1_LostFocus()
{
    Label6->hide();
}

// Add up ("+").
void FrameCount::Command5_Click()
{
    addUp();
}

bool FrameCount::addUp()
{
    bool allEmpty = true;
    qint64 sum = 0;
    for (QLineEdit* count : m_counts) {
        allEmpty = allEmpty && count->text().isEmpty();
        sum += count->text().toLongLong(); // an empty count adds as 0
    }
    if (allEmpty)
        return true;
    // The total is a whole-number field: a day's frames must fit in it.
    if (sum > kMostFrames) {
        ui::msgBox(QStringLiteral("The four counts add up to %1 frames, more than a day's total can hold (at most %2). "
                                  "Check the counts.")
                       .arg(QLocale().toString(sum), QLocale().toString(kMostFrames)),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        Text1->setFocus();
        return false;
    }
    Text6->setText(QString::number(sum));
    return true;
}

void FrameCount::showDateEntry()
{
    MaskEdBox1->show();
    MaskEdBox1->setFocus();
}

// New date.
void FrameCount::Command2_Click()
{
    if (!m_adding->begin())
        return;
    Label8->hide();
    showDateEntry();
    Command3->show();
    Command4->show();
    Command5->show();
    for (QLineEdit* count : m_counts)
        count->setText(QStringLiteral("0"));
    m_adding->markStart(); // the starting zeros are not something typed
    // One new day at a time.
    Command2->setEnabled(false);
}

void FrameCount::endNewDay()
{
    Command1->setFocus();
    Label8->show();
    MaskEdBox1->hide();
    Command2->setEnabled(true);
}

// Save.
void FrameCount::Command3_Click()
{
    if (!m_adding->dateReady() || !addUp() || !m_adding->save())
        return;
    Command3->hide();
    Command4->hide();
    endNewDay();
}

// Cancel.
void FrameCount::Command4_Click()
{
    // Dropping the new day brings back the day shown before it (or empty
    // boxes when there was none), so its starting counts are never stored.
    m_adding->cancel();
    Command3->hide();
    Command4->hide();
    endNewDay();
}

// Exit.
void FrameCount::Command1_Click()
{
    // A day being added is stored with a real date, or dropped when nothing
    // was typed; the missing date is put right here, or the day cancelled.
    if (!m_adding->settle())
        return;
    Command3->hide();
    Command4->hide();
    Command5->hide();
    // The screen is modal: when storing fails it may still be left, losing the change.
    ui::ScreenRegistry::instance().unloadAndShow(this, ui::forms::MainMenu);
}

void FrameCount::frameClose()
{
    // Closing the window stores what Exit stores, with the same checks.
    Command1_Click();
}

} // namespace shift

#include "EnterLaneNo.h"

#include "ListOfCalls.h"

#include "store/FieldValue.h"
#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace calls {
namespace {

const QString kLaneMessage = QStringLiteral("You need to enter a lane number here!") + QStringLiteral("\n") +
                             QStringLiteral("If you are trying to enter a lane pair, enter the odd lane only.");
const QString kNamesTip = QStringLiteral("Enter the name here of who corrected the stop");
const QString kCheckTip = QStringLiteral("Select this box to show this mechanic as correcting the call");

QLineEdit* hiddenBox(QWidget* parent, const QString& name, const QString& accessibleName)
{
    QLineEdit* box = ui::textBox(parent, name, QRect(0, 0, 10, 10), 0, accessibleName);
    box->setFocusPolicy(Qt::NoFocus);
    box->hide();
    return box;
}

} // namespace

EnterLaneNo::EnterLaneNo()
    : ui::Screen(ui::forms::EnterLaneNo, QStringLiteral("Lane Number Entry Form"), QSize(520, 292))
{
    QWidget* c = canvas();
    Data2 = new ui::RecordSource(c, QStringLiteral("Data2"), QStringLiteral("DData"));
    Data2->setCaption(QStringLiteral("Data2.Daily"));
    Data2->hide();

    Shape1 = new QFrame(c);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::StyledPanel);
    Shape1->setFrameShadow(QFrame::Sunken);
    Shape1->setGeometry(10, 10, 500, 62);
    Label2 = ui::label(c, QStringLiteral("Label2"), QStringLiteral("Original Call Selected"), QRect(22, 16, 300, 20));
    Label1 = ui::label(c, QStringLiteral("Label1"), QString(), QRect(22, 38, 476, 28));
    Label1->setToolTip(QStringLiteral("This is the actual call you selected from the previous screen"));
    QFont call = Label1->font();
    call.setBold(true);
    call.setPointSizeF(call.pointSizeF() * 1.2);
    Label1->setFont(call);

    Label3 = ui::label(c, QStringLiteral("Label3"), QStringLiteral("Lane Number"), QRect(20, 86, 100, 24));
    Text5 = ui::textBox(c, QStringLiteral("Text5"), QRect(124, 86, 56, 24), 3, Label3->text(),
                        QStringLiteral("Enter lane number"));
    Label3->setBuddy(Text5);
    Label4 = ui::label(c, QStringLiteral("Label4"), QStringLiteral("You May Enter a New Description Here"),
                       QRect(20, 118, 290, 20));
    Text4 = ui::textBox(c, QStringLiteral("Text4"), QRect(20, 140, 290, 24), 30, QStringLiteral("Description"),
                        QStringLiteral("Press tab or enter a new call"));
    Label4->setBuddy(Text4);

    Frame1 =
        ui::frame(c, QStringLiteral("Frame1"), QStringLiteral("Who Corrected This Call?"), QRect(14, 176, 296, 100));
    Check1 = ui::checkBox(Frame1, QStringLiteral("Check1"), QStringLiteral("Mechanic # 1"), QRect(12, 28, 124, 24), {},
                          kCheckTip);
    Text1 = ui::textBox(Frame1, QStringLiteral("Text1"), QRect(140, 28, 144, 24), 10,
                        QStringLiteral("Mechanic # 1 name"), kNamesTip);
    Check2 = ui::checkBox(Frame1, QStringLiteral("Check2"), QStringLiteral("Mechanic # 2"), QRect(12, 62, 124, 24), {},
                          kCheckTip);
    Text2 = ui::textBox(Frame1, QStringLiteral("Text2"), QRect(140, 62, 144, 24), 10,
                        QStringLiteral("Mechanic # 2 name"), kNamesTip);
    Check1->setChecked(true);

    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("&Save"), QRect(330, 86, 180, 32),
                          QStringLiteral("Click here to save and return to the list of calls"));
    Command2 = ui::button(c, QStringLiteral("Command2"), QStringLiteral("&Cancel"), QRect(330, 124, 180, 32));
    Command3 = ui::button(c, QStringLiteral("Command3"), QStringLiteral("&Enter  Notes"), QRect(330, 162, 180, 32));
    Text9 = ui::memoBox(c, QStringLiteral("Text9"), QRect(330, 200, 180, 76), QStringLiteral("Notes"),
                        QStringLiteral("You can enter any notes specific about this call here."));
    Text9->hide();
    setDefaultButton(Command1);

    Text3 = hiddenBox(c, QStringLiteral("Text3"), QStringLiteral("Date"));
    Text7 = hiddenBox(c, QStringLiteral("Text7"), QStringLiteral("Time"));
    Text6 = hiddenBox(c, QStringLiteral("Text6"), QStringLiteral("Weekday"));
    Text8 = hiddenBox(c, QStringLiteral("Text8"), QStringLiteral("Section"));
    Label5 = ui::label(c, QStringLiteral("Label5"), QString(), QRect(0, 0, 10, 10));
    Label5->hide();

    Data2->bind(Text5, QStringLiteral("LaneNo"));
    Data2->bind(Text4, QStringLiteral("callmade"));
    Data2->bind(Text1, QStringLiteral("Name1"));
    Data2->bind(Text2, QStringLiteral("Name2"));
    Data2->bind(Text9, QStringLiteral("Notes"));
    Data2->bind(Text3, QStringLiteral("DateNow"));
    Data2->bind(Text7, QStringLiteral("Time"));
    Data2->bind(Text6, QStringLiteral("Weekday"));
    Data2->bind(Text8, QStringLiteral("Type"));
    Data2->bind(Label5, QStringLiteral("Recno"));

    setTabOrder(Text5, Text4);
    setTabOrder(Text4, Text9);
    setTabOrder(Text9, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Check1);
    setTabOrder(Check1, Check2);

    ui::selectAllOnFocus(Text1);
    ui::selectAllOnFocus(Text2);
    // Text4 takes the call text first, then the whole of it is selected.
    ui::selectAllOnFocus(Text4);
    // Only Tab or a click into the description refills it: coming back to the
    // window from the board keeps what the mechanic typed.
    ui::onGotFocus(Text4, this, [this] { Text4_GotFocus(); });
    ui::onLostFocus(Text9, this, [this] { Text9_LostFocus(); });
    ui::onKeyDown(Command1, this, [this](QKeyEvent* event) {
        const int key = event->key();
        // Tab (with Shift held for it) only moves on; any other key on Save
        // wants a lane number first.
        const bool movesOn = key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Shift ||
                             key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta;
        return !movesOn && Command1_KeyDown(key);
    });

    connect(Check1, &QCheckBox::toggled, this, &EnterLaneNo::Check1_Click);
    connect(Check2, &QCheckBox::toggled, this, &EnterLaneNo::Check2_Click);
    connect(Command1, &QPushButton::clicked, this, &EnterLaneNo::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &EnterLaneNo::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &EnterLaneNo::Command3_Click);
}

void EnterLaneNo::Form_Load()
{
    Data2->setDatabaseName(ui::databasePath());
}

void EnterLaneNo::Form_Paint()
{
    // The date, time and names belong to the call being made; a stored call
    // is never edited here.
    if (!Data2->Recordset().isNew())
        return;
    // The date goes to the store in ISO form, never through the user's
    // convention; the time is kept as text in the user's long time form.
    ui::setTextIfChanged(Text3, ui::today().toString(Qt::ISODate));
    ui::setTextIfChanged(Text7, QLocale().toString(ui::now().time(), store::longTimeFormat()));
    ui::setTextIfChanged(Text2, Check2->isChecked() ? ui::forms::shift::mechanic2() : QStringLiteral(" "));
    ui::setTextIfChanged(Text1, Check1->isChecked() ? ui::forms::shift::mechanic1() : QStringLiteral(" "));
}

void EnterLaneNo::Check1_Click()
{
    Text1->setText(Check1->isChecked() ? ui::forms::shift::mechanic1() : QStringLiteral(" "));
}

void EnterLaneNo::Check2_Click()
{
    Text2->setText(Check2->isChecked() ? ui::forms::shift::mechanic2() : QStringLiteral(" "));
}

void EnterLaneNo::Text4_GotFocus()
{
    // Tabbing through keeps the call text as the description; typing replaces it.
    Text4->setText(Label1->text());
}

void EnterLaneNo::Command3_Click()
{
    // Enter makes new lines in the notes rather than saving.
    setDefaultButton(nullptr);
    Text9->show();
    Text9->setFocus();
}

void EnterLaneNo::Text9_LostFocus()
{
    setDefaultButton(Command1);
}

bool EnterLaneNo::Command1_KeyDown(int key)
{
    Q_UNUSED(key);
    if (!Text5->text().isEmpty())
        return false;
    ui::msgBox(QStringLiteral("You must enter a lane number"));
    Text5->setFocus();
    return true;
}

void EnterLaneNo::Command1_Click()
{
    const QString lane = Text5->text();
    if (lane.isEmpty() || !store::isNumericText(lane)) {
        ui::msgBox(kLaneMessage);
        Text5->setFocus();
        Text5->selectAll();
        return;
    }
    if (Text4->text().isEmpty())
        Text4->setText(Label1->text());
    // When the store refuses the call the user was told why, and it stays here to be mended.
    if (!Data2->UpdateRecord())
        return;
    closeCall();
    releaseBoard();
}

void EnterLaneNo::Command2_Click()
{
    // The pending call is dropped without ever being stored.
    Data2->Recordset().CancelUpdate();
    closeCall();
    releaseBoard();
}

bool EnterLaneNo::beginCall()
{
    // A call still pending is replaced, never stored half-made.
    Data2->Recordset().CancelUpdate();
    return Data2->isOpen() || Data2->Refresh();
}

void EnterLaneNo::closeCall()
{
    // The screen is kept, hidden, for the next call rather than built again
    // for each one: it goes back to its designed state here. The boxes keep
    // showing the record now current (the call just stored, or the one before
    // a dropped call), so the ticks are reset without filling in the names:
    // nothing changes in a stored call when the next one is started.
    {
        const QSignalBlocker block1(Check1);
        const QSignalBlocker block2(Check2);
        Check1->setChecked(true);
        Check2->setChecked(false);
    }
    Text9->hide();
    setDefaultButton(Command1);
    Label1->clear();
    hide();
}

void EnterLaneNo::releaseBoard()
{
    if (auto* board = qobject_cast<ListOfCalls*>(ui::ScreenRegistry::instance().load(ui::forms::ListOfCalls)))
        board->Option[ListOfCalls::kNoCall]->setChecked(true);
}

void EnterLaneNo::frameClose()
{
    Command2_Click();
}

} // namespace calls

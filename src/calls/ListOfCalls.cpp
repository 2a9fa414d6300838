#include "ListOfCalls.h"

#include "CallLabel.h"
#include "EnterLaneNo.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace calls {
namespace {

// Five columns of twenty rows; a call's text may take two lines of its row.
constexpr int kLeft = 12;
constexpr int kColumnWidth = 218;
constexpr int kHeadingTop = 10;
constexpr int kRowsTop = 50;
constexpr int kRowHeight = 28;
constexpr int kOptionWidth = 20;
constexpr int kTextWidth = kColumnWidth - kOptionWidth - 8;
constexpr QSize kDesignSize(2 * kLeft + 5 * kColumnWidth, 666);

// The heading label above each column, and so the section name it shows.
constexpr int kHeadingOfColumn[5] = {1, 2, 3, 5, 4};

} // namespace

ListOfCalls::ListOfCalls() : ui::Screen(ui::forms::ListOfCalls, QStringLiteral("Master List of Calls"), kDesignSize)
{
    QWidget* c = canvas();
    Data1 = new ui::RecordSource(c, QStringLiteral("Data1"), QStringLiteral("Calls"));
    Data1->setCaption(QStringLiteral("Data1 Calls"));
    Data1->hide();

    QFont bold = font();
    bold.setBold(true);
    for (int column = 1; column <= 5; ++column) {
        const int number = kHeadingOfColumn[column - 1];
        QLabel* heading = ui::label(c, QStringLiteral("Label%1").arg(number), QString(),
                                    QRect(kLeft + (column - 1) * kColumnWidth, kHeadingTop, kColumnWidth - 8, 24));
        heading->setFont(bold);
        heading->setAlignment(Qt::AlignCenter);
        Data1->bind(heading, QStringLiteral("S%1").arg(column));
        Label[number] = heading;
    }
    Line1 = new QFrame(c);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(kLeft, kRowsTop - 12, 5 * kColumnWidth - 8, 4);

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (int call = 1; call <= kCalls; ++call) {
        const int column = sectionOf(call);
        const int row = call - kPerSection * (column - 1);
        const int x = kLeft + (column - 1) * kColumnWidth;
        const int y = kRowsTop + (row - 1) * kRowHeight;
        QRadioButton* option =
            ui::optionButton(c, QStringLiteral("Option%1").arg(call), QString(),
                             QRect(x, y + 4, kOptionWidth, kRowHeight - 8), QStringLiteral("Call %1").arg(call));
        m_group->addButton(option, call);
        Option[call] = option;
        auto* text = new CallLabel(c);
        text->setObjectName(QStringLiteral("Label%1").arg(call + 5));
        text->setGeometry(x + kOptionWidth + 2, y, kTextWidth, kRowHeight);
        Data1->bind(text, QStringLiteral("C%1").arg(call));
        Label[call + 5] = text;
        connect(option, &QRadioButton::toggled, this, [this, call](bool selected) {
            if (selected)
                Option_Click(call);
        });
        connect(text, &CallLabel::clicked, this, [this, call] { Label_Click(call + 5); });
    }
    Option[kNoCall] =
        ui::optionButton(c, QStringLiteral("Option101"), QString(), QRect(0, 0, 0, 0), QStringLiteral("No call"));
    m_group->addButton(Option[kNoCall], kNoCall);
    Option[kNoCall]->hide();
    Option[kNoCall]->setChecked(true);

    Command1 = ui::button(c, QStringLiteral("Command1"), QStringLiteral("E&xit"),
                          QRect(kDesignSize.width() / 2 - 55, kRowsTop + kPerSection * kRowHeight + 12, 110, 34));
    connect(Command1, &QPushButton::clicked, this, &ListOfCalls::Command1_Click);
    connect(Data1, &ui::RecordSource::Reposition, this, &ListOfCalls::Data1_Reposition);
}

void ListOfCalls::Form_Load()
{
    Data1->setDatabaseName(ui::databasePath());
}

void ListOfCalls::Data1_Reposition()
{
    // A picked call is announced by its text.
    for (int call = 1; call <= kCalls; ++call) {
        const QString text = Label[call + 5]->text();
        Option[call]->setAccessibleName(text.isEmpty() ? QStringLiteral("Call %1").arg(call) : text);
    }
}

void ListOfCalls::Option_Click(int call)
{
    auto& screens = ui::ScreenRegistry::instance();
    auto* entry = qobject_cast<EnterLaneNo*>(screens.load(ui::forms::EnterLaneNo));
    if (!entry || !entry->beginCall()) {
        Option[kNoCall]->setChecked(true);
        return;
    }
    store::RecordSet& record = entry->Data2->Recordset();
    record.AddNew();
    if (!record.isNew()) {
        Option[kNoCall]->setChecked(true);
        return;
    }
    entry->Label1->setText(Label[call + 5]->text());
    entry->Text8->setText(QString::number(sectionOf(call)));
    entry->Text6->setText(ui::forms::shift::weekday());
    // Shown once the new record is current, so its paint fills this call's
    // date, time and names and never a stored call's.
    screens.show(ui::forms::EnterLaneNo);
    entry->Text5->setFocus();
}

void ListOfCalls::Label_Click(int label)
{
    const int call = label - 5;
    if (call < 1 || call > kCalls)
        return;
    // Selecting the option picks the call; while it is selected its lane entry is open.
    if (!Option[call]->isChecked())
        Option[call]->setChecked(true);
}

void ListOfCalls::Command1_Click()
{
    hide();
}

void ListOfCalls::frameClose()
{
    // The board keeps its state for the next call, as with Exit.
    Command1_Click();
}

} // namespace calls

#include "FindWindow.h"

#include "FindWindowLayout.h"
#include "MaintScreen.h"
#include "RaisedBorder.h"

#include "filter/engine/Criteria.h"
#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace filter {

using namespace engine;

using namespace layout;

FindWindow::FindWindow()
    : ui::Screen(QStringLiteral("FindWindow"), QStringLiteral("Set Filter"), QSize(tw(kWidth), tw(kCanvasHeight)))
{
    QWidget* c = canvas();
    // A fixed-size dialog: it shows the top of its canvas, the statement labels
    // lying below (out of view in basic mode).
    layout()->removeWidget(c);
    c->setGeometry(0, 0, tw(kWidth), tw(kCanvasHeight));
    setFixedSize(tw(kWidth), basicHeight());

    Label1 =
        ui::label(c, QStringLiteral("Label1"), QStringLiteral(" Find Records When:"), QRect(tw(120), tw(120), 240, 18));
    m_field[0] = makeList(QStringLiteral("Field(0)"), rowRect(300, 2460, 420, 0), kFieldTip);
    m_operator[0] = new OperatorBox(c);
    m_operator[0]->setObjectName(QStringLiteral("Operator(0)"));
    m_operator[0]->setGeometry(rowRect(2880, 2520, 420, 0));
    m_operator[0]->setToolTip(kOperatorTip);
    m_operator[0]->setAccessibleName(QStringLiteral("Operator"));
    m_criteria[0] =
        ui::textBox(c, QStringLiteral("Criteria(0)"), rowRect(5520, 2100, 420, 0), 0, QStringLiteral("Criteria"));
    m_condition[0] = makeList(QStringLiteral("Condition(0)"), rowRect(7740, 1020, 420, 0), kConditionTip);

    Label2 = ui::label(c, QStringLiteral("Label2"), QStringLiteral(" Sort Found Records By:"),
                       QRect(tw(120), tw(2250), 240, 18));
    m_sortField[0] = makeList(QStringLiteral("SortField(0)"), rowRect(225, 2340, 2535, 0), kSortFieldTip);
    m_sortOrder[0] =
        makeList(QStringLiteral("SortOrder(0)"), rowRect(2655, 1500, 2535, 0), QStringLiteral("Sort Order"));

    CountCheck = ui::checkBox(c, QStringLiteral("CountCheck"), QStringLiteral("Count &Records "),
                              rowRect(4320, 1860, 2535, 0), QStringLiteral("Count Records"),
                              QStringLiteral("Check this box to count all records you specify in the filter"));
    DeleteCheck = ui::checkBox(c, QStringLiteral("DeleteCheck"), QStringLiteral("&Delete Found Records"),
                               rowRect(6240, 2520, 2535, 0), QStringLiteral("Delete Found Records"),
                               QStringLiteral("Check this box to delete all records you specify in the filter"));
    CountCheck->hide();
    DeleteCheck->hide();

    auto buttonAt = [&](const char* name, const char* caption, int left, int top, const QString& tip) {
        return ui::button(c, QString::fromLatin1(name), QString::fromLatin1(caption),
                          QRect(tw(left), tw(top), tw(1440), tw(330)), tip);
    };
    ClearSortButton =
        buttonAt("ClearSortButton", "Clear &Sort", 4320, 2880, QStringLiteral("Clears all of the \"Sort\" windows"));
    ClearButton =
        buttonAt("ClearButton", "Clear &Find", 5820, 2880, QStringLiteral("Clears all of the find windows above"));
    AdvancedButton = buttonAt("AdvancedButton", "&Advanced...", 7320, 2880,
                              QStringLiteral("Click here to show \"Advanced\" features"));
    Command1 =
        buttonAt("Command1", "&Cancel Filter", 4320, 3300, QStringLiteral("Click here to cancel all active filters"));
    CancelButton = buttonAt("CancelButton", "E&xit", 5820, 3300, QStringLiteral("Click here to return"));
    OKButton = buttonAt("OKButton", "&OK", 7320, 3300, QStringLiteral("Click here to \"Build\" the filter"));
    setCancelButton(CancelButton);

    // Focus targets whose handlers reset the rows; never reached by Tab.
    Picture1 = new QWidget(c);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(tw(8580), tw(120), 1, 1);
    Picture2 = new QWidget(c);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(tw(8580), tw(2250), 1, 1);

    Label3 =
        ui::label(c, QStringLiteral("Label3"), QStringLiteral("Filter Statement"), QRect(tw(120), tw(3840), 240, 16));
    SQLLabel = ui::label(c, QStringLiteral("SQLLabel"), QString(), QRect(tw(90), tw(4080), tw(8700), tw(900)));
    SQLLabel->setWordWrap(true);
    SQLLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SQLLabel->setFrameShape(QFrame::Panel);
    SQLLabel->setFrameShadow(QFrame::Sunken);
    SQLLabel->setMargin(3);
    SQLLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SQLLabel->setAutoFillBackground(true);
    SQLLabel->setBackgroundRole(QPalette::Base);
    Label5 = ui::label(c, QStringLiteral("Label5"), QStringLiteral("Report Filter"), QRect(tw(120), tw(5280), 240, 16));
    Label4 = ui::label(c, QStringLiteral("Label4"), QString(), QRect(tw(90), tw(5520), tw(8700), tw(900)));
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label6 = ui::label(c, QStringLiteral("Label6"), QString(), QRect(tw(90), tw(6480), tw(8700), 15));
    Label7 = ui::label(c, QStringLiteral("Label7"), QString(), QRect(tw(90), tw(6720), tw(8700), 15));
    Label8 = ui::label(c, QStringLiteral("Label8"), QString(), QRect(tw(90), tw(6960), tw(8700), 15));

    // The design's tab order: the rows, then the sort rows, the check boxes and the buttons.
    QWidget* order[] = {m_field[0],     m_operator[0], m_criteria[0], m_condition[0],  m_sortField[0],
                        m_sortOrder[0], CountCheck,    DeleteCheck,   ClearSortButton, ClearButton,
                        AdvancedButton, Command1,      CancelButton,  OKButton};
    for (size_t k = 1; k < std::size(order); ++k)
        setTabOrder(order[k - 1], order[k]);

    connect(m_field[0], &QComboBox::activated, this, [this] { Field_Click(0); });
    connect(m_operator[0], &QComboBox::activated, this, [this] { Operator_Click(0); });
    connect(m_condition[0], &QComboBox::activated, this, [this] { Condition_Click(0); });
    connect(m_sortField[0], &QComboBox::activated, this, [this] { SortField_Click(0); });
    auto criteriaEvents = [this](QLineEdit* box, int i) {
        connect(box, &QLineEdit::textEdited, this, [this, i] { Criteria_KeyUp(i); });
        ui::onKeyDown(box, this, [this](QKeyEvent* event) {
            if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
                return false;
            OKButton_Click(); // Enter in a criteria box is OK
            return true;
        });
    };
    criteriaEvents(m_criteria[0], 0);
    ui::onClick(SQLLabel, this, [this] { SQLLabel_Click(); });
    connect(ClearButton, &QPushButton::clicked, this, &FindWindow::ClearButton_Click);
    connect(ClearSortButton, &QPushButton::clicked, this, &FindWindow::ClearSortButton_Click);
    connect(AdvancedButton, &QPushButton::clicked, this, &FindWindow::AdvancedButton_Click);
    // Toggled, not clicked: unticking it on Exit gives sorting back as unticking by hand does.
    connect(DeleteCheck, &QCheckBox::toggled, this, &FindWindow::DeleteCheck_Click);
    connect(CancelButton, &QPushButton::clicked, this, &FindWindow::CancelButton_Click);
    connect(OKButton, &QPushButton::clicked, this, &FindWindow::OKButton_Click);
    connect(Command1, &QPushButton::clicked, this, &FindWindow::Command1_Click);
}

int FindWindow::basicHeight()
{
    return tw(kBasicHeight);
}

int FindWindow::advancedHeight()
{
    return tw(kAdvancedHeight);
}

QComboBox* FindWindow::makeList(const QString& name, QRect at, const QString& toolTip)
{
    auto* list = new QComboBox(canvas());
    list->setObjectName(name);
    list->setGeometry(at);
    list->setToolTip(toolTip);
    list->setAccessibleName(name.left(name.indexOf(QLatin1Char('('))));
    list->setMaxVisibleItems(12);
    return list;
}

QComboBox* FindWindow::Field(int i) const
{
    return i >= 0 && i < kFindRows ? m_field[i].data() : nullptr;
}

OperatorBox* FindWindow::Operator(int i) const
{
    return i >= 0 && i < kFindRows ? m_operator[i].data() : nullptr;
}

QLineEdit* FindWindow::Criteria(int i) const
{
    return i >= 0 && i < kFindRows ? m_criteria[i].data() : nullptr;
}

QComboBox* FindWindow::Condition(int i) const
{
    return i >= 0 && i < kFindRows - 1 ? m_condition[i].data() : nullptr;
}

QComboBox* FindWindow::SortField(int j) const
{
    return j >= 0 && j < kSortRows ? m_sortField[j].data() : nullptr;
}

QComboBox* FindWindow::SortOrder(int j) const
{
    return j >= 0 && j < kSortRows ? m_sortOrder[j].data() : nullptr;
}

MaintScreen* FindWindow::TargetForm() const
{
    return qobject_cast<MaintScreen*>(ui::ScreenRegistry::instance().load(QStringLiteral("MaintScreen")));
}

ui::RecordSource* FindWindow::TargetData() const
{
    MaintScreen* browser = TargetForm();
    return browser ? browser->Data1 : nullptr;
}

QString FindWindow::CurrentTableName() const
{
    const ui::RecordSource* data = TargetData();
    return data ? engine::CurrentTableName(data->recordSource()) : QStringLiteral("DData");
}

// ---- Handlers ----------------------------------------------------------------------------

void FindWindow::Form_Load()
{
    ui::pointer::BusyGuard busy;
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    ResetFindRows();
    Field(0)->setCurrentIndex(0);
    ResetSortRows();
    SortField(0)->setCurrentIndex(0);
}

void FindWindow::Form_Paint()
{
    PaintRaisedBorder(this, 3);
}

void FindWindow::frameClose()
{
    CancelButton_Click();
}

void FindWindow::AdvancedButton_Click()
{
    ui::pointer::BusyGuard busy;
    CountCheck->show();
    DeleteCheck->show();
    AdvancedButton->hide();
    // Advanced mode brings the statement into view.
    setFixedHeight(advancedHeight());
    PaintRaisedBorder(this, 3);
    CountCheck->setFocus();
    ShowStatement();
}

void FindWindow::DeleteCheck_Click()
{
    // A delete is never sorted.
    if (DeleteCheck->isChecked()) {
        if (SortField(0)->currentIndex() != 0) {
            {
                ui::pointer::BusyGuard busy;
                SortOrder(0)->hide();
                ResetSortRows();
            }
            SortField(0)->setCurrentIndex(0);
        }
        SortField(0)->setEnabled(false);
    } else {
        SortField(0)->setEnabled(true);
    }
    ShowStatement();
}

// Exit.
void FindWindow::CancelButton_Click()
{
    hide();
    setFixedHeight(basicHeight());
    AdvancedButton->show();
    CountCheck->hide();
    DeleteCheck->hide();
    CountCheck->setChecked(false);
    DeleteCheck->setChecked(false);
}

} // namespace filter

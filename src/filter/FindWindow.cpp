#include "FindWindow.h"

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

namespace {

// The window is laid out in twips, 15 to a pixel.
constexpr int tw(int twips)
{
    return (twips + 7) / 15;
}

constexpr int kPitch = 330; // between two find rows, and between two sort rows
constexpr int kListHeight = 315;
constexpr int kWidth = 8880;
constexpr int kBasicHeight = 3675;
constexpr int kAdvancedHeight = 5100; // down to the statement
constexpr int kCanvasHeight = 7260;   // down to the last report label

const QString kFieldTip = QStringLiteral("Select the database field to search on");
const QString kOperatorTip = QStringLiteral("Select an operator from the drop down list");
const QString kConditionTip = QStringLiteral("Pick from the drop down list to make or more defined filter");
const QString kSortFieldTip = QStringLiteral("Enter a database field here to sort all filtered records on");

QRect rowRect(int left, int width, int top, int row)
{
    return QRect(tw(left), tw(top + row * kPitch), tw(width), tw(kListHeight));
}

// Letters a-z become A-Z as they are typed; other letters stay as typed,
// since criteria compare them exactly.
QString upperAscii(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    }
    return result;
}

} // namespace

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

// ---- Rows --------------------------------------------------------------------------------

void FindWindow::FillFieldList(int i)
{
    QComboBox* list = Field(i);
    ui::RecordSource* data = TargetData();
    if (!list || !data)
        return;
    for (const FieldItem& item : findFieldItems(i, data->Recordset().Fields()))
        list->addItem(item.name, item.typeCode);
    // Nothing is chosen until the user picks.
    list->setCurrentIndex(-1);
    if (OperatorBox* op = Operator(i))
        op->Tag.clear();
}

void FindWindow::FillSortList(int j)
{
    QComboBox* list = SortField(j);
    ui::RecordSource* data = TargetData();
    if (!list || !data)
        return;
    for (const FieldItem& item : sortFieldItems(j, data->Recordset().Fields()))
        list->addItem(item.name, item.typeCode);
    list->setCurrentIndex(-1);
}

void FindWindow::createFindRow(int i)
{
    QWidget* c = canvas();
    const int down = tw(i * kPitch);
    if (!m_criteria[i]) {
        m_criteria[i] = ui::textBox(c, QStringLiteral("Criteria(%1)").arg(i),
                                    m_criteria[0]->geometry().translated(0, down), 0, QStringLiteral("Criteria"));
        QLineEdit* box = m_criteria[i];
        connect(box, &QLineEdit::textEdited, this, [this, i] { Criteria_KeyUp(i); });
        ui::onKeyDown(box, this, [this](QKeyEvent* event) {
            if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
                return false;
            OKButton_Click();
            return true;
        });
    }
    if (!m_operator[i]) {
        m_operator[i] = new OperatorBox(c);
        m_operator[i]->setObjectName(QStringLiteral("Operator(%1)").arg(i));
        m_operator[i]->setGeometry(m_operator[0]->geometry().translated(0, down));
        m_operator[i]->setToolTip(kOperatorTip);
        m_operator[i]->setAccessibleName(QStringLiteral("Operator"));
        connect(m_operator[i], &QComboBox::activated, this, [this, i] { Operator_Click(i); });
    }
    if (i < kFindRows - 1 && !m_condition[i]) {
        m_condition[i] = makeList(QStringLiteral("Condition(%1)").arg(i),
                                  m_condition[0]->geometry().translated(0, down), kConditionTip);
        connect(m_condition[i], &QComboBox::activated, this, [this, i] { Condition_Click(i); });
    }
    if (QComboBox* condition = Condition(i); condition && condition->count() == 0) {
        condition->addItems({QStringLiteral("And"), QStringLiteral("Or")});
        condition->setCurrentIndex(-1);
    }
}

void FindWindow::removeFindRow(int i)
{
    // Deleted later: a row may be removed from inside one of its own signals.
    auto drop = [](QWidget* control) {
        if (control) {
            control->hide();
            control->deleteLater();
        }
    };
    drop(m_field[i]);
    drop(m_operator[i]);
    drop(m_criteria[i]);
    if (i < kFindRows - 1)
        drop(m_condition[i]);
    m_field[i] = nullptr;
    m_operator[i] = nullptr;
    m_criteria[i] = nullptr;
    if (i < kFindRows - 1)
        m_condition[i] = nullptr;
}

void FindWindow::ResetFindRows()
{
    Field(0)->clear();
    Operator(0)->clear();
    Operator(0)->hide();
    Criteria(0)->hide();
    Criteria(0)->clear();
    Condition(0)->clear();
    Condition(0)->addItems({QStringLiteral("And"), QStringLiteral("Or")});
    Condition(0)->setCurrentIndex(-1);
    Condition(0)->hide();
    for (int i = 1; i < kFindRows; ++i)
        removeFindRow(i);
    FillFieldList(0);
}

void FindWindow::ResetSortRows()
{
    SortField(0)->clear();
    SortOrder(0)->clear();
    SortOrder(0)->hide();
    for (int j = 1; j < kSortRows; ++j) {
        for (QPointer<QComboBox>* control : {&m_sortField[j], &m_sortOrder[j]}) {
            if (*control) {
                (*control)->hide();
                (*control)->deleteLater();
            }
            *control = nullptr;
        }
    }
    FillSortList(0);
}

void FindWindow::loadOperatorList(int i)
{
    OperatorBox* op = Operator(i);
    const OperatorList list = operatorListFor(Field(i)->currentData().toInt());
    if (!op || list == OperatorList::None || op->Tag == tagOf(list))
        return; // another field of the same kind keeps its operator and criteria
    op->Tag = tagOf(list);
    Criteria(i)->setText(list == OperatorList::Boolean ? QStringLiteral("Yes") : QString());
    op->clear();
    op->addItems(operatorsOf(list));
    op->show();
    op->setCurrentIndex(0);
}

FilterRows FindWindow::rows() const
{
    FilterRows rows;
    for (int i = 0; i < kFindRows && Field(i); ++i) {
        FindRow row;
        if (Field(i)->currentIndex() >= 0) {
            row.field = Field(i)->currentText();
            row.typeCode = Field(i)->currentData().toInt();
        }
        if (const OperatorBox* op = Operator(i)) {
            row.operatorTag = op->Tag;
            row.operatorIndex = op->currentIndex();
            row.operatorText = op->currentIndex() >= 0 ? op->currentText() : QString();
        }
        if (const QLineEdit* criteria = Criteria(i))
            row.criteria = criteria->text();
        if (const QComboBox* condition = Condition(i); condition && condition->currentIndex() >= 0)
            row.condition = condition->currentText();
        rows.find.append(row);
    }
    for (int j = 0; j < kSortRows && SortField(j); ++j) {
        SortRow sort;
        if (SortField(j)->currentIndex() >= 0) {
            sort.field = SortField(j)->currentText();
            sort.typeCode = SortField(j)->currentData().toInt();
        }
        const QComboBox* order = SortOrder(j);
        sort.order = order && order->currentIndex() >= 0 ? order->currentText() : QString();
        rows.sort.append(sort);
    }
    rows.deleteChecked = DeleteCheck->isChecked();
    return rows;
}

bool FindWindow::CheckCriteria()
{
    FilterRows filter = rows();
    const auto problem = engine::CheckCriteria(filter.find);
    // The criteria stay as the check normalised them, whether the build goes on or not.
    for (int i = 0; i < filter.find.size(); ++i) {
        if (QLineEdit* box = Criteria(i); box && box->text() != filter.find.at(i).criteria)
            box->setText(filter.find.at(i).criteria);
    }
    if (!problem)
        return true;
    if (problem->beep)
        ui::beep();
    ui::msgBox(problem->message, ui::Buttons::Ok, ui::Icon::Exclamation, problem->title);
    if (QLineEdit* box = Criteria(problem->row)) {
        box->setFocus();
        box->selectAll();
    }
    return false;
}

BuiltFilter FindWindow::CreateSQLStatement() const
{
    return engine::CreateSQLStatement(rows(), CurrentTableName());
}

void FindWindow::ShowStatement()
{
    // Basic mode shows no statement.
    if (!AdvancedButton->isHidden())
        return;
    ui::setTextIfChanged(SQLLabel, CreateSQLStatement().statement);
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

void FindWindow::Field_Click(int i)
{
    const bool findAll = Field(0)->currentText() == kFindAllRecords;
    if (findAll && !Operator(0)->isHidden()) {
        // Rows were in use: all of them are reset.
        Picture1_GotFocus();
        ShowStatement();
        return;
    }
    if (findAll) {
        ShowStatement();
        return;
    }
    QComboBox* field = Field(i);
    if (!field || field->currentIndex() < 0 || field->currentText().isEmpty())
        return;
    if (i > 0)
        createFindRow(i);
    Criteria(i)->show();
    setTabOrder(Field(i), Operator(i));
    setTabOrder(Operator(i), Criteria(i));
    if (QComboBox* condition = Condition(i)) {
        setTabOrder(Criteria(i), condition);
        condition->show();
    }
    loadOperatorList(i);
    Criteria(i)->setFocus();
    ShowStatement();
}

void FindWindow::Operator_Click(int)
{
    ShowStatement();
}

void FindWindow::Condition_Click(int i)
{
    QComboBox* condition = Condition(i);
    if (!condition || condition->currentIndex() < 0)
        return;
    const int next = i + 1;
    if (!Field(next)) {
        m_field[next] = makeList(QStringLiteral("Field(%1)").arg(next),
                                 Field(0)->geometry().translated(0, tw(next * kPitch)), kFieldTip);
        connect(m_field[next], &QComboBox::activated, this, [this, next] { Field_Click(next); });
        m_field[next]->show();
        setTabOrder(condition, m_field[next]);
        FillFieldList(next);
    }
    ShowStatement();
}

void FindWindow::SortField_Click(int j)
{
    const bool noSort = SortField(0)->currentText() == kDoNotSort;
    if (noSort && !SortOrder(0)->isHidden()) {
        Picture2_GotFocus();
        ShowStatement();
        return;
    }
    if (noSort) {
        ShowStatement();
        return;
    }
    QComboBox* field = SortField(j);
    if (!field || field->currentIndex() < 0 || field->currentText().isEmpty())
        return;
    const int down = tw(j * kPitch);
    if (!m_sortOrder[j])
        m_sortOrder[j] = makeList(QStringLiteral("SortOrder(%1)").arg(j), SortOrder(0)->geometry().translated(0, down),
                                  QStringLiteral("Sort Order"));
    QComboBox* order = SortOrder(j);
    if (order->count() == 0) {
        order->addItems({QStringLiteral("Ascending"), QStringLiteral("Descending")});
        order->setCurrentIndex(0);
        setTabOrder(field, order);
    }
    order->show();
    if (j < kSortRows - 1) {
        const int next = j + 1;
        if (!m_sortField[next]) {
            m_sortField[next] = makeList(QStringLiteral("SortField(%1)").arg(next),
                                         SortField(0)->geometry().translated(0, tw(next * kPitch)), kSortFieldTip);
            connect(m_sortField[next], &QComboBox::activated, this, [this, next] { SortField_Click(next); });
        }
        if (SortField(next)->count() == 0)
            FillSortList(next);
        SortField(next)->show();
        setTabOrder(order, SortField(next));
    }
    ShowStatement();
}

void FindWindow::Criteria_KeyUp(int i)
{
    if (QLineEdit* box = Criteria(i)) {
        const QString upper = upperAscii(box->text());
        if (upper != box->text()) {
            const int cursor = box->cursorPosition();
            box->setText(upper);
            box->setCursorPosition(cursor);
        }
    }
    ShowStatement();
}

void FindWindow::SQLLabel_Click()
{
    ShowStatement();
}

void FindWindow::Picture1_GotFocus()
{
    ResetFindRows();
    Field(0)->setCurrentIndex(0);
    Field(0)->setFocus();
}

void FindWindow::Picture2_GotFocus()
{
    ResetSortRows();
    SortField(0)->setCurrentIndex(0);
    SortField(0)->setFocus();
}

// Clear Find.
void FindWindow::ClearButton_Click()
{
    {
        ui::pointer::BusyGuard busy;
        ResetFindRows();
        Field(0)->setCurrentIndex(0);
        Field(0)->setFocus();
    }
    ShowStatement();
}

// Clear Sort.
void FindWindow::ClearSortButton_Click()
{
    {
        ui::pointer::BusyGuard busy;
        SortOrder(0)->hide();
        ResetSortRows();
    }
    SortField(0)->setCurrentIndex(0);
    SortField(0)->setFocus();
    ShowStatement();
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

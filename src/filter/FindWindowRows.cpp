// The rows of the filter window: filling the field lists, creating and
// removing the controls of find and sort rows as fields and conditions are
// picked, reading the rows for the check and the statement.
#include "FindWindow.h"

#include "FindWindowLayout.h"
#include "MaintScreen.h"

#include "filter/engine/Criteria.h"
#include "ui/ControlEvents.h"
#include "ui/Controls.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "ui/RecordSource.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace filter {

using namespace engine;
using namespace layout;

namespace {

// Every letter becomes its capital as it is typed, one character for one
// (a letter without a single capital, as the sharp s, stays), so the cursor keeps its place.
QString upperLetters(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (!c.isSurrogate())
            c = c.toUpper();
    }
    return result;
}

} // namespace

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
        const QString upper = upperLetters(box->text());
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

} // namespace filter

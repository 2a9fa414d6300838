#pragma once

#include "filter/engine/StatementBuilder.h"
#include "ui/Screen.h"

#include <QComboBox>
#include <QPointer>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace store {
struct Error;
}
namespace ui {
class RecordSource;
}

namespace filter {

class MaintScreen;

/// An operator list of a find row; its Tag names the list loaded
/// ("Boolean", "Number", "Date", "Text", or empty when none is).
class OperatorBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    QString Tag;
};

/// The filter window ("Set Filter"): up to five find rows joined by And/Or and
/// three sort rows describe a set of calls; OK checks the rows, builds the
/// statement and applies it to the browser (MaintScreen), or, in advanced
/// mode, counts or deletes the calls found. The rows keep their content
/// between uses: the window is only ever hidden.
class FindWindow : public ui::Screen {
    Q_OBJECT
public:
    FindWindow();

    QLabel* Label1;
    QLabel* Label2;
    QCheckBox* CountCheck;
    QCheckBox* DeleteCheck;
    QPushButton* ClearSortButton;
    QPushButton* ClearButton;
    QPushButton* AdvancedButton;
    QPushButton* Command1;
    QPushButton* CancelButton;
    QPushButton* OKButton;
    QWidget* Picture1;
    QWidget* Picture2;
    QLabel* Label3;
    QLabel* SQLLabel;
    QLabel* Label5;
    /// The report formula and sort texts of the filter applied to the browser,
    /// which the browser's Print hands to "filter.rpt".
    QLabel* Label4;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;

    // The control arrays of the rows; null where a row has no such control (yet).
    QComboBox* Field(int i) const;
    OperatorBox* Operator(int i) const;
    QLineEdit* Criteria(int i) const;
    QComboBox* Condition(int i) const;
    QComboBox* SortField(int j) const;
    QComboBox* SortOrder(int j) const;

    /// The browser the window acts on: the one open now.
    MaintScreen* TargetForm() const;
    ui::RecordSource* TargetData() const;

    /// Height of the window in basic mode, and with the statement in view (advanced mode).
    static int basicHeight();
    static int advancedHeight();

    void Form_Load() override;
    void Form_Paint() override;

public slots:
    void Field_Click(int i);
    void Operator_Click(int i);
    void Condition_Click(int i);
    void SortField_Click(int j);
    void Criteria_KeyUp(int i);
    void SQLLabel_Click();
    void Picture1_GotFocus();
    void Picture2_GotFocus();
    void ClearButton_Click();
    void ClearSortButton_Click();
    void AdvancedButton_Click();
    void DeleteCheck_Click();
    /// Exit: hides the window and goes back to basic mode.
    void CancelButton_Click();
    void OKButton_Click();
    /// Cancel Filter.
    void Command1_Click();

protected:
    void frameClose() override;

private:
    // Rows (FindWindow.cpp).
    QComboBox* makeList(const QString& name, QRect at, const QString& toolTip);
    void createFindRow(int i);
    void removeFindRow(int i);
    void ResetFindRows();
    void ResetSortRows();
    void FillFieldList(int i);
    void FillSortList(int j);
    void loadOperatorList(int i);
    void ShowStatement();
    engine::FilterRows rows() const;
    bool CheckCriteria();
    engine::BuiltFilter CreateSQLStatement() const;
    QString CurrentTableName() const;

    // Applying (FindWindowApply.cpp).
    bool applySelect(const engine::BuiltFilter& built, bool flagBefore);
    void deleteFound(const engine::BuiltFilter& built, bool flagBefore);
    void setReportLabels(const engine::BuiltFilter& built);
    void tellRefused(const store::Error& error, const QString& statement, bool deleting);

    std::array<QPointer<QComboBox>, engine::kFindRows> m_field;
    std::array<QPointer<OperatorBox>, engine::kFindRows> m_operator;
    std::array<QPointer<QLineEdit>, engine::kFindRows> m_criteria;
    std::array<QPointer<QComboBox>, engine::kFindRows - 1> m_condition;
    std::array<QPointer<QComboBox>, engine::kSortRows> m_sortField;
    std::array<QPointer<QComboBox>, engine::kSortRows> m_sortOrder;
};

} // namespace filter

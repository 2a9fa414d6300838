#pragma once

#include "ui/Screen.h"

class QLabel;
class QModelIndex;
class QPushButton;
class QTableView;

namespace reports {
class CrystalReport;
}
namespace ui {
class RecordSource;
class RecordTableModel;
} // namespace ui

namespace filter {

class DataWidget;

/// The stops database browser: every stored call (table DData) in a grid,
/// filtered by the filter window (FindWindow), and the filtered calls printed
/// with the report "filter.rpt". The filter window works on this screen's
/// record source and its "Filter is ON" label.
class MaintScreen : public ui::Screen {
    Q_OBJECT
public:
    MaintScreen();

    ui::RecordSource* Data1;
    QLabel* GridCaption;
    QTableView* SSDBGrid1;
    DataWidget* SSDBData1;
    QLabel* Label1;
    QLabel* FilterLabel;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command1;
    reports::CrystalReport* CrystalReport1;

    /// The grid's table of the record source's calls.
    ui::RecordTableModel* gridModel() const { return m_model; }

    /// "Filter is ON" shows: the record source holds a filter, which Print prints.
    bool filterOn() const;
    void setFilterOn(bool on);

    void Form_Load() override;
    void Form_Unload() override;

public slots:
    void Command2_Click();
    void Command3_Click();
    void Command1_Click();
    void Data1_Reposition();

protected:
    void frameClose() override;

private:
    void SSDBGrid1_RowColChange(const QModelIndex& current);
    void fitRowNumbers();

    ui::RecordTableModel* m_model;
    bool m_following = false;
};

} // namespace filter

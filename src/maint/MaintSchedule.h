#pragma once

#include "maint/engine/Done.h"
#include "maint/engine/DueList.h"
#include "ui/Screen.h"

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace reports {
struct FigureTable;
}

namespace store {
class Database;
}

namespace ui {
class MaskedDateEdit;
}

namespace maint {

class DueGridModel;
class TableModel;

/// The maintenance schedule: the tasks set by frames bowled and by the
/// calendar, what is due on which lanes (a list and a task-by-lane grid),
/// putting the due tasks on today's work sheet, marking them done, and the
/// history of every completion.
class MaintSchedule : public ui::Screen {
    Q_OBJECT
public:
    MaintSchedule();
    ~MaintSchedule() override;

    enum Tab { DueTab, GridTab, TasksTab, HistoryTab };

    // The centre, and what acts on the due list.
    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command1;
    QPushButton* Command8; ///< the tab shown, in the report preview
    QLabel* Label3;
    QTabWidget* SSTab1;
    QLabel* Label4;
    ui::MaskedDateEdit* MaskEdBox1;
    QLabel* Label5;
    QComboBox* Combo1;
    QPushButton* Command2;
    QPushButton* Command3;
    // Due list and due grid.
    QTableView* Grid1;
    QTableView* Grid2;
    QList<QLabel*> Key; ///< the colours of the states, under the grid
    // Tasks.
    QTableView* Grid3;
    QLabel* Label6;
    QLineEdit* Text3;
    QLabel* Label7;
    QLineEdit* Text4;
    QLabel* Label8;
    QLineEdit* Text5;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    // History.
    QLabel* Label9;
    QComboBox* Combo2;
    QLabel* Label10;
    QLineEdit* Text6;
    QLabel* Label11;
    ui::MaskedDateEdit* MaskEdBox2;
    QLabel* Label12;
    ui::MaskedDateEdit* MaskEdBox3;
    QPushButton* Command7;
    QTableView* Grid4;

    /// The due list as last worked out (empty until the tables and the number of lanes are there).
    const DueList& dueList() const { return m_due; }
    /// The history as last shown.
    const Table& history() const;
    TableModel* dueModel() const { return m_dueModel; }
    DueGridModel* gridModel() const { return m_gridModel; }
    TableModel* tasksModel() const { return m_tasksModel; }

    void Form_Load() override;
    /// Back to the front: the due list is worked out again when the frame
    /// counts, tasks or completions changed meanwhile (or the day did).
    void Form_Paint() override;
    /// Works out the due list again and shows it (another screen recorded a
    /// completion); false when it could not be (the user was told).
    bool refresh();

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Combo1_DropDown();
    void Text1_LostFocus();
    void Text2_LostFocus();
    void Grid3_Click();
    void SSTab1_Click();

private:
    void buildTop(QWidget* c);
    QWidget* buildDueTab();
    QWidget* buildGridTab();
    QWidget* buildTasksTab();
    QWidget* buildHistoryTab();
    QTableView* grid(QWidget* page, const QString& name, QRect at, const QString& accessibleName);

    // The database and the settings.
    std::shared_ptr<store::Database> database();
    bool tablesReady();
    void readSettings();
    bool takeLanes();
    bool takeMargin();
    std::optional<int> typedNumber(QLineEdit* box, qint64 lowest, qint64 highest, const QString& what,
                                   bool emptyIsZero = false);
    void keepSetting(const QString& name, int value, const QString& what);
    void tellFailure(const QString& what, const store::Error& why);

    // The due list.
    bool workOutDue();
    /// The tasks and lanes chosen in the due list or the grid.
    QList<QPair<qint64, int>> chosenEntries() const;

    // Tasks and history.
    void showTasks();
    void editTask(const Task* task);
    bool taskTextTaken(const QString& text, qint64 except) const;
    void fillHistoryTasks();
    /// Shows the history the boxes choose; false when they choose none (the user was told).
    bool showHistory();

    // Printing.
    Table dueListOnPaper() const;
    std::optional<reports::FigureTable> historyFigures();
    void preview(const reports::FigureTable& figures);

    DueList m_due;
    QList<Task> m_tasks;
    qint64 m_editing = 0; ///< the task in the boxes, 0 for a new one
    bool m_ready = false; ///< the tables are there
    QString m_stamp;      ///< what the due list shown was worked out from
    int m_lanes = 0;
    int m_margin = 10;
    TableModel* m_dueModel;
    DueGridModel* m_gridModel;
    TableModel* m_tasksModel;
    TableModel* m_historyModel;
    HistoryFilter m_historyFilter; ///< the history shown
    QString m_historyTask;         ///< its task, empty for every one
};

} // namespace maint

// The maintenance schedule's tasks (added, changed and removed, their history
// kept) and the history of completions.
#include "MaintSchedule.h"

#include "ScheduleModels.h"

#include "maint/engine/Done.h"
#include "store/CentreSettings.h"
#include "store/Database.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Platform.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace maint {

void MaintSchedule::showTasks()
{
    auto db = database();
    if (!db)
        return;
    store::Error why;
    std::optional<QList<Task>> tasks = readTasks(*db, false, &why);
    if (!tasks) {
        tellFailure(QStringLiteral("The tasks could not be read."), why);
        return;
    }
    m_tasks = std::move(*tasks);
    Table table;
    table.title = QStringLiteral("Maintenance Tasks");
    table.columns = {{QStringLiteral("Task"), Kind::Text},
                     {QStringLiteral("Every"), Kind::Text},
                     {QStringLiteral("Where"), Kind::Text},
                     {QStringLiteral("Added"), Kind::Day}};
    int current = -1;
    for (const Task& task : m_tasks) {
        if (task.id == m_editing)
            current = table.rowCount();
        table.rows << QVariantList{task.text, task.every(),
                                   task.perLane ? QStringLiteral("Each lane") : QStringLiteral("Centre"), task.added};
    }
    const QSignalBlocker quiet(Grid3->selectionModel());
    m_tasksModel->setTable(table);
    Grid3->resizeColumnsToContents();
    if (current >= 0)
        Grid3->selectRow(current);
    fillHistoryTasks();
}

void MaintSchedule::fillHistoryTasks()
{
    auto db = database();
    store::Error why;
    const std::optional<QList<Task>> all = db ? readTasks(*db, true, &why) : std::nullopt;
    const qint64 chosen = Combo2->currentData().toLongLong();
    Combo2->clear();
    Combo2->addItem(QStringLiteral("All tasks"), qint64(0));
    for (const Task& task : all.value_or(QList<Task>{}))
        Combo2->addItem(task.removed.isValid() ? task.text + QStringLiteral(" (removed)") : task.text, task.id);
    Combo2->setCurrentIndex(std::max(0, Combo2->findData(chosen)));
}

void MaintSchedule::editTask(const Task* task)
{
    m_editing = task ? task->id : 0;
    Text3->setText(task ? task->text : QString());
    Text4->setText(task && task->frames > 0 ? QString::number(task->frames) : QString());
    Text5->setText(task && task->days > 0 ? QString::number(task->days) : QString());
    (task && task->perLane ? Option2 : Option1)->setChecked(true);
}

void MaintSchedule::Grid3_Click()
{
    const int row = Grid3->currentIndex().row();
    editTask(row >= 0 && row < m_tasks.size() ? &m_tasks.at(row) : nullptr);
}

void MaintSchedule::Command4_Click()
{
    {
        const QSignalBlocker quiet(Grid3->selectionModel());
        Grid3->clearSelection();
        Grid3->setCurrentIndex({});
    }
    editTask(nullptr);
    Text3->setFocus();
}

bool MaintSchedule::taskTextTaken(const QString& text, qint64 except) const
{
    return std::any_of(m_tasks.begin(), m_tasks.end(), [&](const Task& task) {
        return task.id != except && task.text.compare(text, Qt::CaseInsensitive) == 0;
    });
}

void MaintSchedule::Command5_Click()
{
    if (!m_ready)
        return;
    Task task;
    task.id = m_editing;
    task.text = Text3->text().trimmed();
    const auto frames = typedNumber(Text4, 1, kMostFrames, QStringLiteral("The frames per machine"), true);
    if (!frames)
        return;
    const auto days = typedNumber(Text5, 1, kMostDays, QStringLiteral("The days"), true);
    if (!days)
        return;
    task.frames = *frames;
    task.days = *days;
    task.perLane = Option2->isChecked();
    const QString problem = taskProblem(task);
    if (!problem.isEmpty()) {
        ui::msgBox(problem, ui::Buttons::Ok, ui::Icon::Exclamation);
        (task.text.isEmpty() ? Text3 : Text4)->setFocus();
        return;
    }
    if (taskTextTaken(task.text, task.id)) {
        ui::msgBox(QStringLiteral("A task \"%1\" is on the schedule already. Give this one another name, or choose "
                                  "that one in the list to change it.")
                       .arg(task.text),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        Text3->setFocus();
        return;
    }
    auto db = database();
    if (!db)
        return;
    store::Error why;
    task.added = ui::today();
    const bool kept = task.id == 0 ? addTask(*db, &task, &why) : updateTask(*db, task, &why);
    if (!kept) {
        tellFailure(QStringLiteral("The task \"%1\" was not kept.").arg(task.text), why);
        return;
    }
    m_editing = task.id;
    refresh();
    Text3->setText(task.text);
    Label3->setText(QStringLiteral("The task \"%1\" is kept: every %2, %3.")
                        .arg(task.text, task.every(),
                             task.perLane ? QStringLiteral("on each lane") : QStringLiteral("once for the centre")));
}

void MaintSchedule::Command6_Click()
{
    if (!m_ready)
        return;
    const auto it = std::find_if(m_tasks.begin(), m_tasks.end(), [&](const Task& t) { return t.id == m_editing; });
    if (it == m_tasks.end()) {
        ui::msgBox(QStringLiteral("First choose the task to remove in the list."), ui::Buttons::Ok,
                   ui::Icon::Information);
        return;
    }
    const Task task = *it;
    if (ui::msgBox(QStringLiteral("Take the task \"%1\" off the schedule? Its history is kept.").arg(task.text),
                   ui::Buttons::YesNo, ui::Icon::Question, {}, ui::Answer::No) != ui::Answer::Yes)
        return;
    auto db = database();
    store::Error why;
    if (!db || !removeTask(*db, task.id, ui::today(), &why)) {
        if (why.isError())
            tellFailure(QStringLiteral("The task \"%1\" was not removed.").arg(task.text), why);
        return;
    }
    editTask(nullptr);
    refresh();
    Label3->setText(QStringLiteral("The task \"%1\" is off the schedule; its history is kept.").arg(task.text));
}

void MaintSchedule::Command7_Click()
{
    if (m_ready)
        showHistory();
}

bool MaintSchedule::showHistory()
{
    HistoryFilter filter;
    filter.taskId = Combo2->currentData().toLongLong();
    const QString lane = Text6->text().trimmed();
    if (lane.compare(QLatin1String("C"), Qt::CaseInsensitive) == 0 ||
        lane.compare(QLatin1String("Centre"), Qt::CaseInsensitive) == 0) {
        filter.lane = 0;
    } else if (!lane.isEmpty()) {
        bool ok = false;
        filter.lane = lane.toInt(&ok);
        if (!ok || filter.lane < 1 || filter.lane > store::settings::kMostLanes) {
            ui::msgBox(QStringLiteral("The lane must be a lane number, C for the centre, or empty for every lane; "
                                      "\"%1\" is not.")
                           .arg(Text6->text()),
                       ui::Buttons::Ok, ui::Icon::Exclamation);
            Text6->setFocus();
            return false;
        }
    }
    for (ui::MaskedDateEdit* box : {MaskEdBox2, MaskEdBox3})
        if (!box->isBlank() && !box->acceptTypedDate())
            return false;
    filter.from = MaskEdBox2->isBlank() ? QDate() : MaskEdBox2->date();
    filter.to = MaskEdBox3->isBlank() ? QDate() : MaskEdBox3->date();
    if (filter.from.isValid() && filter.to.isValid() && filter.to < filter.from) {
        ui::msgBox(QStringLiteral("The ending date %1 comes before the starting date %2. Enter an ending date on or "
                                  "after the starting date.")
                       .arg(MaskEdBox3->maskedText(), MaskEdBox2->maskedText()),
                   ui::Buttons::Ok, ui::Icon::Exclamation);
        MaskEdBox3->setFocus();
        return false;
    }
    auto db = database();
    if (!db)
        return false;
    store::Error why;
    std::optional<Table> table = historyTable(*db, filter, &why);
    if (!table) {
        tellFailure(QStringLiteral("The history could not be read."), why);
        return false;
    }
    m_historyModel->setTable(std::move(*table));
    Grid4->resizeColumnsToContents();
    m_historyFilter = filter;
    m_historyTask = filter.taskId > 0 ? Combo2->currentText() : QString();
    return true;
}

} // namespace maint

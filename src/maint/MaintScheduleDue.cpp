// The maintenance schedule's database, settings and due list: the tables are
// offered when missing, what is typed is checked and kept, and the due tasks
// are marked done or put on today's work sheet.
#include "MaintSchedule.h"

#include "ScheduleModels.h"

#include "maint/engine/Done.h"
#include "maint/engine/Schema.h"
#include "maint/engine/Sheet.h"
#include "store/CentreSettings.h"
#include "store/Database.h"
#include "ui/Forms.h"
#include "ui/MaskedDateEdit.h"
#include "ui/Platform.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>

namespace maint {
namespace {

/// The window's check of the database when it loads: it does not open on a
/// database it cannot read, and holds no connection afterwards, so compacting
/// and restoring are not kept waiting by an open window.
class DatabaseCheck : public QObject, public ui::SourceHook {
public:
    DatabaseCheck(MaintSchedule* window, std::function<bool()> open) : QObject(window), m_open(std::move(open)) {}
    bool openOnLoad() override { return m_open(); }
    bool writeBackOnClose() override { return true; }
    bool writeBackOnExit() override { return true; }
    void discard() override {}

private:
    std::function<bool()> m_open;
};

QString jobsWord(int count)
{
    return count == 1 ? QStringLiteral("1 job") : QStringLiteral("%1 jobs").arg(QLocale().toString(count));
}

} // namespace

std::shared_ptr<store::Database> MaintSchedule::database()
{
    store::Error why;
    auto db = store::Database::open(ui::databasePath(), &why);
    if (!db)
        ui::msgBox(why.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
    return db;
}

void MaintSchedule::tellFailure(const QString& what, const store::Error& why)
{
    ui::msgBox(what + QLatin1Char(' ') + why.text(), ui::Buttons::Ok, ui::Icon::Exclamation);
}

void MaintSchedule::Form_Load()
{
    new DatabaseCheck(this, [this] {
        if (!database())
            return false;
        m_ready = tablesReady();
        readSettings();
        refresh();
        return true;
    });
    MaskEdBox1->setDate(ui::today());
    Combo1->setEditText(ui::forms::shift::mechanic1());
    SSTab1_Click();
}

bool MaintSchedule::tablesReady()
{
    auto db = database();
    if (!db)
        return false;
    store::Error why;
    const QStringList missing = schema::missing(*db, &why);
    if (why.isError()) {
        tellFailure(QStringLiteral("The maintenance schedule cannot use this database."), why);
        return false;
    }
    if (missing.isEmpty())
        return true;
    QStringList parts;
    if (missing.size() > 1 || missing.first() != QLatin1String("Settings"))
        parts << QStringLiteral("tables for the maintenance schedule (its tasks, their history and the jobs it puts "
                                "on the work sheet)");
    if (missing.contains(QStringLiteral("Settings")))
        parts << QStringLiteral("table for the centre's settings (the number of lanes and the due soon margin)");
    const QString lacks =
        QStringLiteral("This database has no ") + parts.join(QStringLiteral(" and no ")) + QLatin1Char('.');
    if (db->isReadOnly()) {
        ui::msgBox(lacks + QStringLiteral(" The file can only be read, so they cannot be added."), ui::Buttons::Ok,
                   ui::Icon::Exclamation);
        return false;
    }
    const QString them = missing.size() == 1 ? QStringLiteral("it") : QStringLiteral("them");
    const ui::Answer answer = ui::msgBox(lacks + QStringLiteral(" Add %1 to the database now? Nothing else in the "
                                                                "file changes.")
                                                     .arg(them),
                                         ui::Buttons::YesNo, ui::Icon::Question);
    if (answer != ui::Answer::Yes)
        return false;
    if (!schema::add(*db, &why)) {
        tellFailure(QStringLiteral("The tables were not added."), why);
        return false;
    }
    return true;
}

void MaintSchedule::readSettings()
{
    auto db = m_ready ? database() : nullptr;
    if (!db)
        return;
    auto read = [&](const QString& name, int lowest, int highest, const QString& what) -> std::optional<int> {
        store::Error why;
        const std::optional<int> kept = store::settings::readNumberWithin(*db, name, lowest, highest, what, &why);
        if (!kept && why.isError())
            ui::msgBox(why.message + QStringLiteral(" Type the %1 again in this window.").arg(what), ui::Buttons::Ok,
                       ui::Icon::Exclamation);
        return kept;
    };
    m_lanes =
        read(store::settings::kLanes, 1, store::settings::kMostLanes, QStringLiteral("number of lanes")).value_or(0);
    m_margin =
        read(store::settings::kMaintenanceMargin, 0, store::settings::kMostMargin, QStringLiteral("due soon margin"))
            .value_or(store::settings::kDefaultMargin);
    Text1->setText(m_lanes > 0 ? QString::number(m_lanes) : QString());
    Text2->setText(QString::number(m_margin));
}

std::optional<int> MaintSchedule::typedNumber(QLineEdit* box, qint64 lowest, qint64 highest, const QString& what,
                                              bool emptyIsZero)
{
    // Digits alone, or a number as the user's language writes it ("25,000" in English).
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    const QString typed = box->text();
    const QString trimmed = typed.trimmed();
    if (emptyIsZero && trimmed.isEmpty())
        return 0;
    bool ok = digits.match(trimmed).hasMatch();
    const qint64 value = ok ? trimmed.toLongLong() : QLocale().toLongLong(trimmed, &ok);
    if (ok && value >= lowest && value <= highest)
        return int(value);
    ui::msgBox(QStringLiteral("%1 must be a whole number from %2 to %3%4; \"%5\" is not.")
                   .arg(what, QLocale().toString(lowest), QLocale().toString(highest),
                        emptyIsZero ? QStringLiteral(", or empty for none") : QString(), typed),
               ui::Buttons::Ok, ui::Icon::Exclamation);
    box->setFocus();
    box->selectAll();
    return std::nullopt;
}

void MaintSchedule::keepSetting(const QString& name, int value, const QString& what)
{
    auto db = database();
    store::Error why;
    if (db && !store::settings::writeNumber(*db, name, value, &why))
        tellFailure(QStringLiteral("The %1 %2 is used in this window, but it was not kept for the next time.")
                        .arg(what, QString::number(value)),
                    why);
}

bool MaintSchedule::takeLanes()
{
    const QString current = m_lanes > 0 ? QString::number(m_lanes) : QString();
    if (!m_ready || Text1->text().trimmed() == current)
        return true;
    const auto lanes = typedNumber(Text1, 1, store::settings::kMostLanes, QStringLiteral("The number of lanes"));
    if (!lanes)
        return false;
    Text1->setText(QString::number(*lanes));
    m_lanes = *lanes;
    keepSetting(store::settings::kLanes, *lanes, QStringLiteral("number of lanes"));
    refresh();
    return true;
}

bool MaintSchedule::takeMargin()
{
    if (!m_ready || Text2->text().trimmed() == QString::number(m_margin))
        return true;
    const auto margin = typedNumber(Text2, 0, store::settings::kMostMargin, QStringLiteral("The due soon margin"));
    if (!margin)
        return false;
    Text2->setText(QString::number(*margin));
    m_margin = *margin;
    keepSetting(store::settings::kMaintenanceMargin, *margin, QStringLiteral("due soon margin"));
    refresh();
    return true;
}

void MaintSchedule::Text1_LostFocus()
{
    takeLanes();
}

void MaintSchedule::Text2_LostFocus()
{
    takeMargin();
}

void MaintSchedule::Form_Paint()
{
    if (!m_ready || m_stamp.isEmpty())
        return;
    // Nothing is told here: a database that cannot be asked is told by the next action.
    store::Error why;
    auto db = store::Database::open(ui::databasePath(), &why);
    const QString stamp = db ? dataStamp(*db, &why) : QString();
    if (!why.isError() && stamp + QLatin1Char('/') + ui::today().toString(Qt::ISODate) != m_stamp)
        refresh();
}

bool MaintSchedule::refresh()
{
    for (QWidget* control :
         {static_cast<QWidget*>(SSTab1), static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
          static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command8)})
        control->setEnabled(m_ready);
    if (!m_ready) {
        Label3->setText(QStringLiteral("The maintenance schedule needs its tables in the database. Close this window "
                                       "and open it again to add them."));
        return false;
    }
    showTasks();
    return workOutDue();
}

bool MaintSchedule::workOutDue()
{
    m_stamp.clear();
    m_due = DueList();
    m_dueModel->setTable(m_due.table());
    m_gridModel->setDueList(m_due);
    Grid1->resizeColumnsToContents(); // an empty list's captions readable in full
    if (m_lanes <= 0) {
        Label3->setText(QStringLiteral("Type the number of lanes at the centre in Lanes at the centre: the frames per "
                                       "machine and the lanes of a task are worked out from it."));
        return false;
    }
    auto db = database();
    if (!db)
        return false;
    store::Error why;
    const QString stamp = dataStamp(*db, &why);
    std::optional<DueList> due;
    if (!why.isError())
        due = workOutDueList(*db, {ui::today(), m_lanes, m_margin}, &why);
    if (!due) {
        tellFailure(QStringLiteral("The due list could not be worked out."), why);
        Label3->setText(QStringLiteral("The due list could not be worked out."));
        return false;
    }
    m_stamp = stamp + QLatin1Char('/') + ui::today().toString(Qt::ISODate);
    m_due = std::move(*due);
    m_dueModel->setTable(m_due.table());
    m_gridModel->setDueList(m_due);
    Grid1->resizeColumnsToContents();
    // Lane columns as narrow as their figures: a centre of 32 lanes shows whole.
    Grid2->resizeColumnsToContents();
    Grid2->verticalHeader()->resizeSections(QHeaderView::ResizeToContents);
    std::array<int, 4> counts{};
    int missing = 0;
    for (const DueEntry& e : m_due.entries) {
        ++counts[size_t(e.state)];
        missing = std::max(missing, e.daysWithoutCount);
    }
    QString line =
        QStringLiteral("Due list of %1: %2 overdue, %3 due, %4 due soon, %5 done.")
            .arg(shownDay(ui::today()), QLocale().toString(counts[size_t(State::Overdue)]),
                 QLocale().toString(counts[size_t(State::Due)]), QLocale().toString(counts[size_t(State::DueSoon)]),
                 QLocale().toString(counts[size_t(State::Done)]));
    if (m_due.tasks.isEmpty())
        line = QStringLiteral("No task is on the schedule yet: add them on the Tasks tab.");
    else if (missing > 0)
        line += QStringLiteral(" Some days since tasks were done have no frame count (up to %1): their frames are not "
                               "counted.")
                    .arg(QLocale().toString(missing));
    Label3->setText(line);
    return true;
}

QList<QPair<qint64, int>> MaintSchedule::chosenEntries() const
{
    QList<QPair<qint64, int>> chosen;
    if (SSTab1->currentIndex() == GridTab) {
        for (const QModelIndex& index : Grid2->selectionModel()->selectedIndexes())
            if (const DueEntry* entry = m_gridModel->entryAt(index))
                chosen << qMakePair(entry->task.id, entry->lane);
    } else {
        for (const QModelIndex& index : Grid1->selectionModel()->selectedRows())
            if (index.row() < m_due.entries.size())
                chosen << qMakePair(m_due.entries.at(index.row()).task.id, m_due.entries.at(index.row()).lane);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

void MaintSchedule::Command2_Click()
{
    if (!m_ready || m_lanes <= 0)
        return;
    const QList<QPair<qint64, int>> chosen = chosenEntries();
    if (chosen.isEmpty()) {
        ui::msgBox(QStringLiteral("First choose the tasks that were done, in the due list or the grid (Ctrl+click "
                                  "chooses more than one)."),
                   ui::Buttons::Ok, ui::Icon::Information);
        return;
    }
    if (MaskEdBox1->isBlank()) {
        ui::msgBox(QStringLiteral("Type the day the work was done, MM/DD/YYYY."), ui::Buttons::Ok,
                   ui::Icon::Exclamation);
        MaskEdBox1->setFocus();
        return;
    }
    if (!MaskEdBox1->acceptTypedDate())
        return;
    QList<Completion> completions;
    QStringList names;
    for (const auto& [taskId, lane] : chosen) {
        if (completions.isEmpty() || completions.last().taskId != taskId) {
            completions << Completion{taskId, {}, MaskEdBox1->date(), Combo1->currentText()};
            const DueEntry* entry = m_due.find(taskId, lane);
            names << (entry ? entry->task.text : QString());
        }
        completions.last().lanes << lane;
    }
    const QString problem = completionProblem(completions.first(), ui::today());
    if (!problem.isEmpty()) {
        ui::msgBox(problem, ui::Buttons::Ok, ui::Icon::Exclamation);
        (problem.contains(QLatin1String("mechanic")) || problem.contains(QLatin1String("name"))
             ? static_cast<QWidget*>(Combo1)
             : static_cast<QWidget*>(MaskEdBox1))
            ->setFocus();
        return;
    }
    auto db = database();
    store::Error why;
    if (!db || !markDone(*db, completions, m_lanes, &why)) {
        if (why.isError())
            tellFailure(QStringLiteral("Nothing was marked done."), why);
        return;
    }
    refresh();
    QStringList what;
    for (int i = 0; i < completions.size(); ++i) {
        const QList<int>& lanes = completions.at(i).lanes;
        what << (lanes == QList<int>{0}
                     ? names.at(i)
                     : QStringLiteral("%1, %2 %3")
                           .arg(names.at(i), lanes.size() == 1 ? QStringLiteral("lane") : QStringLiteral("lanes"),
                                laneRanges(lanes)));
    }
    Label3->setText(
        QStringLiteral("Marked done on %1 by %2: %3.")
            .arg(shownDay(completions.first().day), completions.first().mechanic, what.join(QStringLiteral("; "))));
}

void MaintSchedule::Command3_Click()
{
    // Worked out afresh: what goes on the sheet is what is due now.
    if (!m_ready || m_lanes <= 0 || !refresh())
        return;
    auto db = database();
    if (!db)
        return;
    store::Error why;
    const std::optional<SheetFill> fill = putOnSheet(*db, m_due, &why);
    if (!fill) {
        tellFailure(QStringLiteral("Nothing was put on the work sheet."), why);
        return;
    }
    QString text;
    if (fill->added == 0 && fill->leftOff == 0)
        text = fill->alreadyOn > 0
                   ? QStringLiteral("The due tasks are on the work sheet of %1 already.").arg(shownDay(fill->day))
                   : QStringLiteral("No task is due: the work sheet was not changed.");
    else if (fill->added == 0)
        text = QStringLiteral("No job was put on the work sheet of %1.").arg(shownDay(fill->day));
    else
        text = QStringLiteral("%1 put on the work sheet of %2.").arg(jobsWord(fill->added), shownDay(fill->day));
    if (fill->leftOff > 0)
        text += QStringLiteral(" %1 left off: the sheet has no empty row for them. They stay in the due list.")
                    .arg(jobsWord(fill->leftOff));
    ui::msgBox(text, ui::Buttons::Ok, ui::Icon::Information);
}

} // namespace maint

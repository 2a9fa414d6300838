// What OK and Cancel Filter do with the statement built from the rows: a
// select becomes the browser's source, a delete runs after confirmation.
//
// The browser's "Filter is ON" label and the report texts Print hands on
// (Label4, Label6 to Label8) always belong to the statement the browser
// shows: they change only when a statement is applied, and whatever stops
// short of applying one (a refused check, a No, an empty result, a refused
// statement) leaves the browser, its label and the report texts as they were.
#include "FindWindow.h"

#include "MaintScreen.h"

#include "filter/engine/FoundRecords.h"
#include "store/Database.h"
#include "ui/Platform.h"
#include "ui/Pointer.h"
#include "ui/RecordSource.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace filter {

using namespace engine;

namespace {

const QString kTwoBreaks = QStringLiteral("\n\n");

bool isDeleteStatement(const QString& statement)
{
    return statement.left(6).toLower() == QLatin1String("delete");
}

ui::Message question(const QString& text, const QString& title, bool noIsDefault)
{
    ui::Message message{text, ui::Buttons::YesNo, ui::Icon::Question, title, std::nullopt};
    if (noIsDefault)
        message.defaultButton = ui::Answer::No;
    return message;
}

} // namespace

void FindWindow::setReportLabels(const BuiltFilter& built)
{
    Label4->setText(built.reportFormula);
    QLabel* sorts[] = {Label6, Label7, Label8};
    for (int j = 0; j < 3; ++j)
        sorts[j]->setText(built.sortTexts.value(j));
}

void FindWindow::tellRefused(const store::Error& error, const QString& statement, bool deleting)
{
    QString text = error.text();
    if (deleting)
        text += kTwoBreaks + QStringLiteral("No record was deleted.");
    ui::msgBox(text + kTwoBreaks + statement);
}

void FindWindow::OKButton_Click()
{
    MaintScreen* browser = TargetForm();
    if (!browser)
        return;
    const bool flagBefore = browser->filterOn();
    browser->setFilterOn(true);
    if (!CheckCriteria()) {
        browser->setFilterOn(flagBefore);
        return;
    }
    const BuiltFilter built = CreateSQLStatement();
    if (built.statement.isEmpty()) {
        browser->setFilterOn(flagBefore);
        return;
    }
    if (isDeleteStatement(built.statement)) {
        deleteFound(built, flagBefore);
        return;
    }
    if (built.statement == TargetData()->recordSource()) {
        ui::beep();
        const ui::Answer answer = ui::msgBox(
            QStringLiteral("The current filter you have requested matches the current filter previously set.") +
                kTwoBreaks + QStringLiteral("Refresh the Database?"),
            ui::Buttons::YesNoCancel, ui::Icon::Exclamation, QStringLiteral("Filter Duplicated!"));
        if (answer != ui::Answer::Yes) {
            browser->setFilterOn(flagBefore);
            if (answer == ui::Answer::No)
                hide();
            return;
        }
    }
    if (applySelect(built, flagBefore))
        CancelButton_Click();
}

bool FindWindow::applySelect(const BuiltFilter& built, bool flagBefore)
{
    MaintScreen* browser = TargetForm();
    ui::RecordSource* data = browser->Data1;
    const QString old = data->recordSource();
    const QString& statement = built.statement;
    data->setRecordSource(statement);
    store::Error error;
    bool opened = false;
    {
        ui::pointer::BusyGuard busy;
        opened = data->tryRefresh(&error);
    }
    if (!opened) {
        data->setRecordSource(old);
        browser->setFilterOn(flagBefore);
        // Without an error the call shown could not be stored first; the user was told why.
        if (error) {
            tellRefused(error, statement, false);
            // The browser goes on showing what it showed.
            ui::pointer::BusyGuard busy;
            data->Refresh();
        }
        return false;
    }
    const qint64 found = data->Recordset().count().value_or(0);
    if (found == 0) {
        ui::beep();
        const ui::Answer answer = ui::msgBox(QStringLiteral("Your filter has found no matching records.") + kTwoBreaks +
                                                 QStringLiteral("Try Again?"),
                                             ui::Buttons::YesNo, ui::Icon::Question, QStringLiteral("Sorry!"));
        data->setRecordSource(old);
        {
            ui::pointer::BusyGuard busy;
            data->Refresh();
        }
        browser->setFilterOn(flagBefore);
        if (answer == ui::Answer::No)
            CancelButton_Click();
        return false;
    }
    setReportLabels(built);
    browser->setFilterOn(!built.findsAll);
    if (CountCheck->isChecked()) {
        ui::beep();
        if (found == 1) {
            ui::msgBox(QStringLiteral("1 Record Was Found."), ui::Buttons::Ok, ui::Icon::Exclamation,
                       QStringLiteral("Found Record!"));
        } else {
            const bool sorted = statement.toLower().contains(QLatin1String("order by"));
            ui::msgBox(QString::number(found) + QStringLiteral(" Records Were Found") +
                           (sorted ? QStringLiteral(" And Sorted") : QString()) + QLatin1Char('.'),
                       ui::Buttons::Ok, ui::Icon::Exclamation, QStringLiteral("Found Records!"));
        }
    }
    return true;
}

void FindWindow::deleteFound(const BuiltFilter& built, bool flagBefore)
{
    MaintScreen* browser = TargetForm();
    ui::RecordSource* data = browser->Data1;
    const QString& statement = built.statement;
    auto keep = [&] { browser->setFilterOn(flagBefore); };
    ui::Answer answer = ui::Answer::No;
    if (!CountCheck->isChecked()) {
        ui::beep();
        const QString text =
            statement.toLower().contains(QLatin1String("where"))
                ? QStringLiteral("Hint: Select the 'Count Records' checkbox before performing the function to find "
                                 "out how many records will be deleted.") +
                      kTwoBreaks +
                      QStringLiteral("Are you sure you wish to delete the records which meet the provided criteria?")
                : QStringLiteral("Are you sure you wish to delete all the records in this database?");
        answer = ui::msgBox(question(text, QStringLiteral("Confirm!"), true));
    } else {
        // Counted by the database, without reading the records.
        store::Error error;
        std::optional<qint64> count;
        {
            ui::pointer::BusyGuard busy;
            count = countFoundRecords(data->DatabaseName(), statement, &error);
        }
        if (!count) {
            keep();
            tellRefused(error, statement, true);
            return;
        }
        ui::beep();
        if (*count == 0) {
            const ui::Answer again = ui::msgBox(
                question(QStringLiteral("By performing this function, you will not delete any records which meet the "
                                        "filter!") +
                             kTwoBreaks + QStringLiteral("Try Again?"),
                         QStringLiteral("No Records Found!"), false));
            keep();
            if (again == ui::Answer::No)
                CancelButton_Click();
            return;
        }
        answer = ui::msgBox(question(QStringLiteral("By performing this function, you will delete ") +
                                         QString::number(*count) + QStringLiteral(" records which meet your filter!") +
                                         kTwoBreaks + QStringLiteral("Are you sure you wish to delete these records?"),
                                     QStringLiteral("Confirm!"), true));
    }
    // A lane typed for the call shown is stored before its call may go.
    if (answer != ui::Answer::Yes || !data->UpdateRecord()) {
        keep();
        return;
    }
    store::Error error;
    bool deleted = false;
    {
        // One transaction: every call found goes, or none does.
        ui::pointer::BusyGuard busy;
        const auto db = store::Database::open(data->DatabaseName(), &error);
        deleted = db && db->execute(statement, &error);
    }
    if (!deleted) {
        keep();
        tellRefused(error, statement, true);
        return;
    }
    ui::beep();
    ui::msgBox(QStringLiteral("The specified records (if any) have been deleted!") + kTwoBreaks +
                   QStringLiteral("An attempt to find all records will now be performed."),
               ui::Buttons::Ok, ui::Icon::Exclamation, QStringLiteral("Finished Deleting!"));
    // Every call is shown again: no filter is on any more.
    const QString table = CurrentTableName();
    BuiltFilter all;
    all.statement = QStringLiteral("Select [") + table + QStringLiteral("].* From ") + table;
    all.sortTexts = {QString(), QString(), QString()};
    all.findsAll = true;
    if (applySelect(all, false))
        CancelButton_Click();
}

// Cancel Filter.
void FindWindow::Command1_Click()
{
    MaintScreen* browser = TargetForm();
    if (!browser)
        return;
    if (!browser->filterOn()) {
        ui::beep();
        ui::msgBox(QStringLiteral("There is no active filter to cancel !"), ui::Buttons::Ok, ui::Icon::Exclamation,
                   QStringLiteral("Notice"));
        return;
    }
    {
        ui::pointer::BusyGuard busy;
        SortOrder(0)->hide();
        ResetSortRows();
    }
    SortField(0)->setCurrentIndex(0);
    ResetFindRows();
    Field(0)->setCurrentIndex(0);
    Field(0)->setFocus();
    ShowStatement();
    if (!CheckCriteria())
        return;
    // All records: a select, unless "Delete Found Records" is ticked, which the browser refuses.
    const BuiltFilter built = CreateSQLStatement();
    if (built.statement.isEmpty())
        return;
    if (applySelect(built, true))
        CancelButton_Click();
}

} // namespace filter

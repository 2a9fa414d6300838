// The Edit menu and the listing: add, update, restore and delete entries,
// select all, the archive's date, and the list with its summary.
#include "frmZipCreate.h"

#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"
#include "upkeep/dbfile/DatabaseFile.h"
#include "upkeep/zip/SplitSet.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include <memory>

namespace upkeep {
namespace {

bool sameFile(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

frmZipCreate::Outcome frmZipCreate::addFiles()
{
    QString selection;
    if (mnuAutomaticBackup->isChecked()) {
        selection = ui::databasePath();
    } else {
        dlgSelectFiles.filter = QStringLiteral("All Files|*.*|Database Files (*.mdb)|*.mdb");
        selection = AskFilesToProcess(this, dlgSelectFiles, QStringLiteral("Add files"));
    }
    if (selection.isEmpty())
        return Outcome::Stopped;
    bool state = false;
    EnableControls(state);
    const int count = CountSelectedFiles(selection);
    bool database = false;
    for (int n = 1; n <= count; ++n) {
        const QString path = SelectedFilePath(selection, n);
        if (path.isEmpty())
            continue;
        ZipMain->setFileList(ZipMain->FileList() + path + QLatin1Char('\r'));
        database = database || sameFile(path, ui::databasePath());
    }
    setStatus(QStringLiteral(" Preparing to add ") + QString::number(count) + QStringLiteral(" files..."));
    int result = 0;
    {
        // The database is copied whole: no other program writes to it meanwhile.
        std::unique_ptr<dbfile::ReadLock> lock;
        if (database)
            lock = std::make_unique<dbfile::ReadLock>(ui::databasePath());
        result = ZipMain->Add(0);
    }
    if (result != 0)
        report(result, QStringLiteral("adding"));
    if (result == 0 && ZipMain->MultidiskMode()) {
        ui::msgBox(QStringLiteral("Compressed backup process completed!"));
        mnuAutomaticBackup->setChecked(false);
    }
    SetProgress(0);
    setStatus(QStringLiteral(" Finished adding files, updating list."));
    // A failed add that left no archive leaves nothing to list.
    if (result != 190 && (result == 0 || zip::inspectSet(ZipMain->ArchivePath()).kind != zip::SetKind::Missing))
        RefreshList(QStringLiteral("listing"));
    ShowArchiveSummary();
    state = true;
    EnableControls(state);
    return result == 0 ? Outcome::Done : Outcome::Failed;
}

void frmZipCreate::mnuEditAdd_Click()
{
    addFiles();
}

void frmZipCreate::mnuEditUpdate_Click()
{
    const QString selection = AskFilesToProcess(this, dlgSelectFiles, QStringLiteral("Update files"));
    if (selection.isEmpty())
        return;
    bool state = false;
    EnableControls(state);
    const int count = CountSelectedFiles(selection);
    for (int n = 1; n <= count; ++n) {
        const QString path = SelectedFilePath(selection, n);
        if (!path.isEmpty())
            ZipMain->setFileList(ZipMain->FileList() + path + QLatin1Char('\r'));
    }
    setStatus(QStringLiteral(" Preparing to update ") + QString::number(count) + QStringLiteral(" files..."));
    const int result = ZipMain->Add(2);
    if (result >= 1)
        report(result, QStringLiteral("updating"));
    SetProgress(0);
    setStatus(QStringLiteral(" Finished updating files, updating list..."));
    if (result != 190)
        RefreshList(QStringLiteral("listing"));
    ShowArchiveSummary();
    state = true;
    EnableControls(state);
}

void frmZipCreate::mnuEditDelete_Click()
{
    bool state = false;
    EnableControls(state);
    ProcessSelected(0);
    state = true;
    EnableControls(state);
}

frmZipCreate::Outcome frmZipCreate::restoreSelected()
{
    const bool automatic = mnuAutomaticRestore->isChecked();
    if (!automatic) {
        extractCancelled = true; // closing the dialog by its frame cancels too
        ui::ScreenRegistry::instance().showModal(ui::forms::ExtractDialog);
        if (extractCancelled)
            return Outcome::Stopped;
    }
    // The automatic restore puts the database back where it lives, whatever
    // folder was chosen for restoring by hand, and restores nothing else.
    const QString chosen = ZipMain->ExtractFolder();
    if (automatic) {
        ZipMain->setExtractFolder(QFileInfo(ui::databasePath()).absolutePath());
        const QString database = QFileInfo(ui::databasePath()).fileName();
        for (int row = 0; row < lstMain->topLevelItemCount(); ++row) {
            QTreeWidgetItem* entry = lstMain->topLevelItem(row);
            if (!entry->text(6).isEmpty() || entry->text(0).compare(database, Qt::CaseInsensitive) != 0)
                entry->setSelected(false);
        }
        if (!HasSelection()) {
            for (int row = 0; row < lstMain->topLevelItemCount(); ++row) {
                if (lstMain->topLevelItem(row)->isSelected()) {
                    lstMain->setCurrentItem(lstMain->topLevelItem(row), 0, QItemSelectionModel::NoUpdate);
                    break;
                }
            }
        }
        if (!HasSelection()) {
            ui::msgBox(QStringLiteral("The disk in drive A holds no backup of the database."), ui::Buttons::Ok,
                       ui::Icon::Exclamation);
            ZipMain->setExtractFolder(chosen);
            return Outcome::Failed;
        }
        if (!roomToRestore(lstMain->currentItem()->text(3).toLongLong())) {
            ZipMain->setExtractFolder(chosen);
            return Outcome::Failed;
        }
    }
    bool state = false;
    EnableControls(state);
    const int result = ProcessSelected(1);
    state = true;
    EnableControls(state);
    if (automatic)
        ZipMain->setExtractFolder(chosen);
    return result == 0 ? Outcome::Done : Outcome::Failed;
}

void frmZipCreate::mnuEditExtract_Click()
{
    restoreSelected();
}

void frmZipCreate::mnuEditSelectAll_Click()
{
    lstMain->hide();
    lstMain->selectAll();
    if (!lstMain->currentItem() && lstMain->topLevelItemCount() > 0)
        lstMain->setCurrentItem(lstMain->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    lstMain->show();
}

void frmZipCreate::mnuEditUpdateZipDate_Click()
{
    bool state = false;
    EnableControls(state);
    setStatus(QStringLiteral(" Updating the Zip date..."));
    const int result = ZipMain->UpdateZipDate();
    if (result != 0)
        report(result, QStringLiteral("updating zip date"));
    else
        ui::msgBox(QStringLiteral("Zip date has been updated."), ui::Buttons::Ok, ui::Icon::Information);
    ShowArchiveSummary();
    state = true;
    EnableControls(state);
}

int frmZipCreate::ProcessSelected(int action)
{
    if (!HasSelection())
        return -1;
    int count = 0;
    for (int row = 0; row < lstMain->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* entry = lstMain->topLevelItem(row);
        if (!entry->isSelected())
            continue;
        ++count;
        const QString name = entry->text(0) == QLatin1String("<dir>") ? QString() : entry->text(0);
        const QString path = entry->text(6);
        const QString listed = path.isEmpty() ? name : path + QLatin1Char('\\') + name;
        ZipMain->setFileList(ZipMain->FileList() + listed + QLatin1Char('\r'));
    }
    const QString word = action == 0 ? QStringLiteral("deleting") : QStringLiteral("extracting");
    bool state = false;
    EnableControls(state);
    setStatus((action == 0 ? QStringLiteral(" Deleting ") : QStringLiteral(" Extracting ")) + QLatin1Char(' ') +
              QString::number(count) + QStringLiteral(" selected files..."));
    const int result = action == 0 ? ZipMain->Delete() : ZipMain->Extract(0);
    state = true;
    EnableControls(state);
    if (result >= 1)
        report(result, word,
               action == 0 ? ZipMain->ArchivePath()
                           : (ZipMain->ExtractFolder().trimmed().isEmpty() ? QDir::currentPath()
                                                                           : ZipMain->ExtractFolder().trimmed()));
    SetProgress(0);
    setStatus(QStringLiteral(" Finished ") + word + QStringLiteral(" files, updating list..."));
    RefreshList(QStringLiteral("listing"));
    ShowArchiveSummary();
    return result;
}

// ---- The listing -----------------------------------------------------------------------

void frmZipCreate::RefreshList(const QString& operation)
{
    bool state = false;
    EnableControls(state);
    m_listed = 0;
    m_totalSize = 0;
    m_totalPacked = 0;
    lstMain->clear();
    lstMain->hide();
    SetProgress(0);
    m_expected = ZipMain->EntryCount();
    if (m_expected > 100)
        setStatus(QStringLiteral("Reading ") + QString::number(m_expected) + QStringLiteral(" files..."));
    const int result = ZipMain->List();
    SetProgress(0);
    lstMain->show();
    if (result >= 1)
        report(result, operation);
    m_lastListResult = result;
    ShowArchiveSummary();
    state = true;
    EnableControls(state);
}

void frmZipCreate::ZipMain_Listing(const QString& stored, qint64 size, qint64 compressedSize, const QString& dateTime,
                                   int ratio)
{
    const qsizetype split = stored.lastIndexOf(QLatin1Char('\\'));
    const QString folder = split < 0 ? QString() : stored.left(split);
    QString name = split < 0 ? stored : stored.mid(split + 1);
    if (name.isEmpty())
        name = QStringLiteral("<dir>");
    auto* row = new QTreeWidgetItem(lstMain);
    row->setText(0, name);
    // A text that begins month/day/year shows day/month/year.
    row->setText(1, dateTime.mid(3, 2) + QLatin1Char('/') + dateTime.left(3) + dateTime.mid(6, 2));
    row->setText(2, dateTime.right(5));
    row->setText(3, QString::number(size));
    row->setText(4, QString::number(compressedSize));
    row->setText(5, QString::number(ratio) + QLatin1Char('%'));
    row->setText(6, folder);
    for (int column = 3; column < 6; ++column)
        row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    ++m_listed;
    m_totalSize += size;
    m_totalPacked += compressedSize;
    if (m_expected >= 101)
        SetProgress(qRound(double(m_listed) / m_expected * 100));
}

void frmZipCreate::ShowArchiveSummary()
{
    if (m_totalSize <= 0) {
        setStatus(m_listed != 0 ? QLatin1Char(' ') + QString::number(m_listed) + QStringLiteral(" files, 0 bytes")
                                : QStringLiteral("No files in this archive."));
        return;
    }
    const int saving = 100 - int(double(m_totalPacked) / double(m_totalSize) * 100);
    setStatus(QLatin1Char(' ') + QString::number(m_listed) + QStringLiteral(" files, ") + QString::number(m_totalSize) +
              QStringLiteral(" bytes, ") + QString::number(m_totalPacked) + QStringLiteral(" bytes compressed, ") +
              QString::number(saving) + QLatin1Char('%'));
}

} // namespace upkeep

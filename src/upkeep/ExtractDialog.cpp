#include "ExtractDialog.h"

#include "DriveA.h"
#include "frmZipCreate.h"

#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Platform.h"
#include "ui/ScreenRegistry.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace upkeep {
namespace {

const QString kDriveA = QStringLiteral("A:");

} // namespace

ExtractDialog::ExtractDialog()
    : ui::Screen(ui::forms::ExtractDialog, QStringLiteral("Extract archive"), QSize(420, 292))
{
    QWidget* c = canvas();
    lbl[0] = ui::label(c, QStringLiteral("lbl0"), QStringLiteral("Extract files to:"), QRect(12, 8, 280, 22));
    txtExtract =
        ui::textBox(c, QStringLiteral("txtExtract"), QRect(12, 30, 396, 26), 0, QStringLiteral("Extract files to"));
    txtExtract->setMaxLength(32767);
    lbl[1] = ui::label(c, QStringLiteral("lbl1"), QStringLiteral("Directories:"), QRect(12, 64, 280, 22));
    dirExtract = new QTreeView(c);
    dirExtract->setObjectName(QStringLiteral("dirExtract"));
    dirExtract->setGeometry(12, 86, 280, 160);
    dirExtract->setAccessibleName(QStringLiteral("Directories"));
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QStringLiteral("/"));
    dirExtract->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        dirExtract->hideColumn(column);
    dirExtract->header()->hide();
    lbl[2] = ui::label(c, QStringLiteral("lbl2"), QStringLiteral("Drives:"), QRect(12, 256, 56, 26));
    drvExtract = new QComboBox(c);
    drvExtract->setObjectName(QStringLiteral("drvExtract"));
    drvExtract->setGeometry(70, 256, 222, 26);
    drvExtract->setAccessibleName(QStringLiteral("Drives"));
    lbl[0]->setBuddy(txtExtract);
    lbl[1]->setBuddy(dirExtract);
    lbl[2]->setBuddy(drvExtract);
    cmdSelect = ui::button(c, QStringLiteral("cmdSelect"), QStringLiteral("Select"), QRect(308, 86, 100, 32),
                           QStringLiteral("Restores the chosen entries into this folder"));
    cmdCancel = ui::button(c, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), QRect(308, 126, 100, 32),
                           QStringLiteral("Restores nothing"));
    setDefaultButton(cmdSelect);
    setCancelButton(cmdCancel);

    // Drive A: first, then the volumes of this machine.
    drvExtract->addItem(kDriveA, QString());
    const QStringList roots = ui::Platform::instance().volumes().roots();
    for (const QString& root : roots) {
        if (drvExtract->findData(root) < 0)
            drvExtract->addItem(root, root);
    }

    connect(dirExtract->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ExtractDialog::dirExtract_Change);
    // Folders are read in the background: the current one is shown once its folder is in.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, [this] { revealCurrent(); });
    connect(drvExtract, &QComboBox::activated, this, &ExtractDialog::drvExtract_Change);
    connect(cmdSelect, &QPushButton::clicked, this, &ExtractDialog::cmdSelect_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ExtractDialog::cmdCancel_Click);
}

frmZipCreate* ExtractDialog::owner() const
{
    return qobject_cast<frmZipCreate*>(ui::ScreenRegistry::instance().find(ui::forms::frmZipCreate));
}

QString ExtractDialog::driveRoot(int index) const
{
    if (index < 0 || index >= drvExtract->count())
        return {};
    const QString root =
        drvExtract->itemText(index) == kDriveA ? DriveA::root() : drvExtract->itemData(index).toString();
    const QFileInfo info(root);
    return !root.isEmpty() && info.isDir() && info.isReadable() ? info.absoluteFilePath() : QString();
}

int ExtractDialog::driveOf(const QString& folder) const
{
    const QString path = QFileInfo(folder).absoluteFilePath();
    if (DriveA::holds(path))
        return 0;
    int best = -1;
    qsizetype longest = -1;
    for (int i = 1; i < drvExtract->count(); ++i) {
        const QString root = drvExtract->itemData(i).toString();
        const bool inside = path == root || root == QLatin1String("/") || path.startsWith(root + QLatin1Char('/'));
        if (inside && root.size() > longest) {
            best = i;
            longest = root.size();
        }
    }
    return best;
}

QString ExtractDialog::currentFolder() const
{
    return m_folders->filePath(dirExtract->currentIndex());
}

void ExtractDialog::showFolder(const QString& folder)
{
    const QModelIndex index = m_folders->index(folder);
    if (!index.isValid())
        return;
    const int drive = driveOf(folder);
    const QString root = drive == 0 ? DriveA::root() : drvExtract->itemData(drive).toString();
    dirExtract->setRootIndex(m_folders->index(root.isEmpty() ? QStringLiteral("/") : root));
    dirExtract->setCurrentIndex(index);
    revealCurrent();
    if (drive >= 0) {
        drvExtract->setCurrentIndex(drive);
        m_drive = drive;
    }
}

void ExtractDialog::revealCurrent()
{
    const QModelIndex current = dirExtract->currentIndex();
    if (!current.isValid())
        return;
    for (QModelIndex parent = current.parent(); parent.isValid(); parent = parent.parent())
        dirExtract->expand(parent);
    dirExtract->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

void ExtractDialog::openFolder(const QString& folder)
{
    showFolder(QFileInfo(folder).absoluteFilePath());
}

void ExtractDialog::Form_Load()
{
    frmZipCreate* backup = owner();
    const QString chosen = backup ? backup->ZipMain->ExtractFolder() : QString();
    if (chosen.isEmpty()) {
        showFolder(QDir::currentPath());
        txtExtract->setText(currentFolder());
    } else {
        txtExtract->setText(chosen);
        showFolder(QFileInfo(chosen).absoluteFilePath());
    }
}

void ExtractDialog::dirExtract_Change()
{
    txtExtract->setText(currentFolder());
}

void ExtractDialog::drvExtract_Change()
{
    const int chosen = drvExtract->currentIndex();
    const QString root = driveRoot(chosen);
    if (root.isEmpty()) {
        const QString name = drvExtract->itemText(chosen);
        // A drive letter is written "A:\"; a mount point as it is, its case matters.
        const QString shown = name == kDriveA ? name.toUpper() + QLatin1Char('\\') : name;
        ui::msgBox(shown + QStringLiteral(" is not accessible\r\rThe device is not ready"), ui::Buttons::Ok,
                   ui::Icon::Critical, QStringLiteral("Error"));
        // Back to the drive of the folder the list still shows.
        const int previous = driveOf(currentFolder());
        drvExtract->setCurrentIndex(previous >= 0 ? previous : qMax(0, m_drive));
        return;
    }
    m_drive = chosen;
    showFolder(root);
    txtExtract->setText(currentFolder());
}

void ExtractDialog::cmdSelect_Click()
{
    if (frmZipCreate* backup = owner()) {
        backup->ZipMain->setExtractFolder(txtExtract->text().trimmed());
        backup->extractCancelled = false;
    }
    ui::ScreenRegistry::instance().unload(this);
}

void ExtractDialog::cmdCancel_Click()
{
    if (frmZipCreate* backup = owner())
        backup->extractCancelled = true;
    ui::ScreenRegistry::instance().unload(this);
}

} // namespace upkeep

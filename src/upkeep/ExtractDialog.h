#pragma once

#include "ui/Screen.h"

#include <array>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QTreeView;

namespace upkeep {

class frmZipCreate;

/// Where the backup window restores the entries chosen by hand: a drive
/// list (drive A: and the machine's mounted volumes), a folder list and the
/// folder typed or picked. "Select" stores it in the archive component's
/// ExtractFolder; "Cancel" leaves it and restores nothing.
class ExtractDialog : public ui::Screen {
    Q_OBJECT
public:
    ExtractDialog();

    std::array<QLabel*, 3> lbl{};
    QLineEdit* txtExtract;
    QTreeView* dirExtract;
    QComboBox* drvExtract;
    QPushButton* cmdSelect;
    QPushButton* cmdCancel;

    /// The folder the folder list shows as current.
    QString currentFolder() const;
    /// Moves the folder list to `folder` (the user opening it).
    void openFolder(const QString& folder);

    void Form_Load() override;

public slots:
    void dirExtract_Change();
    void drvExtract_Change();
    void cmdSelect_Click();
    void cmdCancel_Click();

private:
    frmZipCreate* owner() const;
    /// The drive list's entry holding `folder`.
    int driveOf(const QString& folder) const;
    /// The folder a drive list entry stands for; empty when it cannot be read.
    QString driveRoot(int index) const;
    void showFolder(const QString& folder);
    /// Opens the folders above the current one and scrolls it into view.
    void revealCurrent();

    QFileSystemModel* m_folders;
    int m_drive = -1;
};

} // namespace upkeep

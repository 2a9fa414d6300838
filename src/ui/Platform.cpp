#include "Platform.h"

#include "HelpWindow.h"

#include "store/LargeBuffers.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStorageInfo>

#include <sys/statvfs.h>

namespace ui {
namespace {

// Every program with screens types notes: long ones lay out quickly only
// when large buffers are reused.
const bool kLargeBuffersReused = [] {
    store::reuseLargeBuffers();
    return true;
}();

class RealMessageBox final : public MessageBoxSeam {
public:
    Answer ask(const Message& message) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(message.title);
        box.setText(message.text);
        switch (message.icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        }
        QMessageBox::StandardButtons buttons;
        switch (message.buttons) {
        case Buttons::Ok:
            buttons = QMessageBox::Ok;
            break;
        case Buttons::OkCancel:
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case Buttons::AbortRetryIgnore:
            buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
            break;
        case Buttons::YesNoCancel:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
        case Buttons::YesNo:
            buttons = QMessageBox::Yes | QMessageBox::No;
            break;
        case Buttons::RetryCancel:
            buttons = QMessageBox::Retry | QMessageBox::Cancel;
            break;
        }
        box.setStandardButtons(buttons);
        if (message.defaultButton) {
            static const QHash<Answer, QMessageBox::StandardButton> standard = {
                {Answer::Ok, QMessageBox::Ok},         {Answer::Cancel, QMessageBox::Cancel},
                {Answer::Abort, QMessageBox::Abort},   {Answer::Retry, QMessageBox::Retry},
                {Answer::Ignore, QMessageBox::Ignore}, {Answer::Yes, QMessageBox::Yes},
                {Answer::No, QMessageBox::No}};
            box.setDefaultButton(standard.value(*message.defaultButton));
        }
        switch (box.exec()) {
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Abort:
            return Answer::Abort;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Ignore:
            return Answer::Ignore;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return message.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
        }
    }
};

class RealBeep final : public BeepSeam {
public:
    void beep() override { QApplication::beep(); }
};

class RealClock final : public ClockSeam {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class RealFileDialog final : public FileDialogSeam {
public:
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }
    QStringList openFileNames(QWidget* parent, const QString& caption, const QString& folder,
                              const QString& filter) override
    {
        return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
    }
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, folder, filter);
    }
    QString folder(QWidget* parent, const QString& caption, const QString& start) override
    {
        return QFileDialog::getExistingDirectory(parent, caption, start);
    }
};

// Until the reports folder supplies the program's preview window and
// printing: Qt's own, without asking the print system about the job.
class BasicReportOutput final : public ReportOutputSeam {
public:
    void toWindow(std::shared_ptr<ReportDocument> document) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(document->pageSize(), QPageSize::Point));
        printer.setDocName(document->title());
        QPrintPreviewDialog preview(&printer, QApplication::activeWindow());
        preview.setWindowTitle(document->title());
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [document](QPrinter* target) { paint(target, *document, 0, -1); });
        preview.exec();
    }
    std::optional<PrintChoice> choosePrinter(QWidget* parent, const ReportDocument& document, int) override
    {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, document.pageCount());
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return PrintChoice{printer.printerName(), printer.copyCount(), std::max(0, printer.fromPage() - 1),
                           printer.toPage() > 0 ? printer.toPage() - 1 : -1};
    }
    PrintOutcome toPrinter(const ReportDocument& document, const PrintChoice& choice) override
    {
        QPrinter printer(QPrinter::HighResolution);
        if (!choice.printer.isEmpty())
            printer.setPrinterName(choice.printer);
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(document.pageSize(), QPageSize::Point));
        printer.setDocName(document.title());
        printer.setCopyCount(choice.copies);
        PrintOutcome outcome;
        outcome.printer = printer.printerName();
        if (!printer.isValid()) {
            outcome.state = PrintOutcome::State::NoPrinter;
            outcome.reason = QStringLiteral("no printer is set up on this computer");
            return outcome;
        }
        outcome.pages = paint(&printer, document, choice.firstPage, choice.lastPage);
        return outcome;
    }

private:
    static int paint(QPrinter* printer, const ReportDocument& document, int first, int last)
    {
        QPainter painter(printer);
        last = last < 0 ? document.pageCount() - 1 : last;
        for (int i = first; i <= last; ++i) {
            if (i > first)
                printer->newPage();
            document.paintPage(painter, i, nullptr);
        }
        return last - first + 1;
    }
};

std::function<std::unique_ptr<ReportOutputSeam>()>& reportOutputFactory()
{
    static std::function<std::unique_ptr<ReportOutputSeam>()> factory;
    return factory;
}

class RealHelp final : public HelpSeam {
public:
    void open(const QString& topic) override { HelpWindow::showTopic(topic); }
};

QList<MountedVolume> mountTable()
{
    QList<MountedVolume> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid())
            volumes.append(
                {volume.rootPath(), QString::fromLocal8Bit(volume.device()), volume.isReady(), volume.isReadOnly()});
    }
    return volumes;
}

// The medium in the drive: the first mounted one on a removable disk.
class RealDrive final : public RemovableDriveSeam {
public:
    QString root() const override
    {
        const auto volume = removableVolume(mountTable(), QStringLiteral("/sys/class/block"));
        return volume ? volume->root : QString();
    }
    qint64 capacity() const override
    {
        const QString path = root();
        return path.isEmpty() ? 0 : QStorageInfo(path).bytesTotal();
    }
    qint64 freeSpace() const override
    {
        const QString path = root();
        return path.isEmpty() ? -1 : QStorageInfo(path).bytesAvailable();
    }
    bool readOnly() const override
    {
        const auto volume = removableVolume(mountTable(), QStringLiteral("/sys/class/block"));
        return volume && volume->readOnly;
    }
};

// Volumes a user keeps files on: not the kernel's own.
bool worthListing(const QStorageInfo& volume)
{
    static const QList<QByteArray> kernel{"proc",    "sysfs",       "devtmpfs",  "devpts",   "cgroup",
                                          "cgroup2", "securityfs",  "pstore",    "bpf",      "debugfs",
                                          "tracefs", "mqueue",      "hugetlbfs", "configfs", "fusectl",
                                          "autofs",  "binfmt_misc", "efivarfs",  "nsfs",     "ramfs"};
    return volume.isValid() && !kernel.contains(volume.fileSystemType()) &&
           !volume.rootPath().startsWith(QLatin1String("/proc")) &&
           !volume.rootPath().startsWith(QLatin1String("/sys")) && !volume.rootPath().startsWith(QLatin1String("/dev"));
}

class RealVolumes final : public VolumesSeam {
public:
    QStringList roots() const override
    {
        QStringList folders;
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
            if (worthListing(volume) && !folders.contains(volume.rootPath()))
                folders.append(volume.rootPath());
        }
        // A machine whose mount table does not list its root (a program
        // started in a changed root) still has its root folder.
        if (!folders.contains(QDir::rootPath()))
            folders.prepend(QDir::rootPath());
        return folders;
    }
    qint64 freeSpace(const QString& folder) const override
    {
        // Asked of the file system itself: the mount table need not list the volume.
        struct statvfs volume;
        if (!QFileInfo(folder).isDir() || ::statvfs(QFile::encodeName(folder).constData(), &volume) != 0)
            return -1;
        return qint64(volume.f_bavail) * qint64(volume.f_frsize);
    }
};

} // namespace

Platform::Platform()
{
    reset();
}

Platform& Platform::instance()
{
    static Platform platform;
    return platform;
}

void Platform::reset()
{
    m_messageBox = std::make_unique<RealMessageBox>();
    m_beep = std::make_unique<RealBeep>();
    m_clock = std::make_unique<RealClock>();
    m_fileDialog = std::make_unique<RealFileDialog>();
    m_reportOutput = reportOutputFactory() ? reportOutputFactory()() : std::make_unique<BasicReportOutput>();
    m_help = std::make_unique<RealHelp>();
    m_drive = std::make_unique<RealDrive>();
    m_volumes = std::make_unique<RealVolumes>();
    m_appFolder.clear();
}

void Platform::setReportOutputFactory(std::function<std::unique_ptr<ReportOutputSeam>()> factory)
{
    reportOutputFactory() = std::move(factory);
}

std::optional<MountedVolume> removableVolume(const QList<MountedVolume>& volumes, const QString& blockFolder)
{
    for (const MountedVolume& volume : volumes) {
        if (!volume.ready)
            continue;
        // A partition (sdb1, mmcblk0p1) sits in the folder of its disk, which says whether it is removable.
        const QString device = volume.device.section(QLatin1Char('/'), -1);
        QString disk = QFileInfo(QDir(blockFolder).filePath(device)).canonicalFilePath();
        if (device.isEmpty() || disk.isEmpty())
            continue;
        if (QFileInfo::exists(disk + QStringLiteral("/partition")))
            disk = QFileInfo(disk).absolutePath();
        QFile flag(disk + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1")
            return volume;
    }
    return std::nullopt;
}

QString Platform::appFolder() const
{
    return m_appFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_appFolder;
}

Answer msgBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
              std::optional<Answer> defaultButton)
{
    return msgBox(Message{text, buttons, icon, title, defaultButton});
}

Answer msgBox(Message message)
{
    if (message.title.isEmpty())
        message.title = QString::fromLatin1(kAppTitle);
    return Platform::instance().messageBox().ask(message);
}

void beep()
{
    Platform::instance().beeper().beep();
}

QDate today()
{
    return Platform::instance().clock().now().date();
}

QDateTime now()
{
    return Platform::instance().clock().now();
}

QString appFolder()
{
    return Platform::instance().appFolder();
}

QString databasePath()
{
    // The file's name is matched without regard to case ("ZUVEVADU.MDB" is
    // the same database), so a second one is never made beside it.
    const QDir folder(appFolder());
    const QString name = QStringLiteral("Zuvevadu.mdb");
    if (!folder.exists(name)) {
        const QStringList found = folder.entryList({name}, QDir::Files | QDir::Readable, QDir::Name);
        if (!found.isEmpty())
            return folder.filePath(found.first());
    }
    return folder.filePath(name);
}

} // namespace ui

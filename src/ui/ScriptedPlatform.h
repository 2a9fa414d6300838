#pragma once

#include "Platform.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QQueue>

#include <functional>

namespace ui {

/// Scripted seams for tests and benchmarks: they record what the program
/// asked and answer from a queue, never blocking on a real dialog.
class ScriptedMessageBox final : public MessageBoxSeam {
public:
    Answer ask(const Message& message) override
    {
        seen.append(message);
        if (onAsk)
            onAsk(message);
        return answers.isEmpty() ? defaultAnswer(message.buttons) : answers.dequeue();
    }
    static Answer defaultAnswer(Buttons buttons)
    {
        switch (buttons) {
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Answer::Yes;
        case Buttons::RetryCancel:
            return Answer::Retry;
        case Buttons::AbortRetryIgnore:
            return Answer::Abort;
        default:
            return Answer::Ok;
        }
    }
    QStringList texts() const
    {
        QStringList result;
        for (const Message& message : seen)
            result << message.text;
        return result;
    }

    QList<Message> seen;
    QQueue<Answer> answers;
    std::function<void(const Message&)> onAsk;
};

class CountingBeep final : public BeepSeam {
public:
    void beep() override { ++count; }
    int count = 0;
};

class FixedClock final : public ClockSeam {
public:
    explicit FixedClock(QDateTime at) : time(std::move(at)) {}
    QDateTime now() const override { return time; }
    QDateTime time;
};

class ScriptedFileDialog final : public FileDialogSeam {
public:
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return next(); }
    /// Several names come as one queued entry, separated by line breaks.
    QStringList openFileNames(QWidget*, const QString&, const QString&, const QString&) override
    {
        const QString names = next();
        return names.isEmpty() ? QStringList() : names.split(QLatin1Char('\n'));
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return next(); }
    QString folder(QWidget*, const QString&, const QString&) override { return next(); }
    QString next() { return names.isEmpty() ? QString() : names.dequeue(); }
    QQueue<QString> names;
};

/// Records every report sent to the preview window or the printer. The
/// print system's answers are scripted: each printout takes the next outcome
/// queued (sent to "Office" when none is).
class RecordingReportOutput final : public ReportOutputSeam {
public:
    void toWindow(std::shared_ptr<ReportDocument> document) override { windows.append(std::move(document)); }
    std::optional<PrintChoice> choosePrinter(QWidget*, const ReportDocument&, int currentPage) override
    {
        dialogPages.append(currentPage);
        if (choices.isEmpty())
            return std::nullopt;
        return choices.dequeue();
    }
    PrintOutcome toPrinter(const ReportDocument& document, const PrintChoice& choice) override
    {
        PrintOutcome outcome = outcomes.isEmpty() ? PrintOutcome{} : outcomes.dequeue();
        if (outcome.printer.isEmpty() && outcome.state != PrintOutcome::State::NoPrinter)
            outcome.printer = choice.printer.isEmpty() ? QStringLiteral("Office") : choice.printer;
        if (outcome.state != PrintOutcome::State::Sent && outcome.state != PrintOutcome::State::Stopped)
            return outcome;
        Printed job;
        job.title = document.title();
        job.fileName = document.fileName();
        job.choice = choice;
        const int last = choice.lastPage < 0 ? document.pageCount() - 1 : choice.lastPage;
        for (int i = choice.firstPage; i <= last; ++i)
            job.text << document.pageText(i);
        job.pages = last - choice.firstPage + 1;
        outcome.pages = job.pages;
        printed.append(job);
        return outcome;
    }
    /// What reached the printer: the report, the pages chosen and their text.
    struct Printed {
        QString title;
        QString fileName;
        PrintChoice choice;
        int pages = 0;
        QStringList text;
    };
    QList<std::shared_ptr<ReportDocument>> windows;
    QList<Printed> printed;
    /// The print system's answers, one per printout.
    QQueue<PrintOutcome> outcomes;
    /// The print dialog's answers; none queued: the user cancels.
    QQueue<PrintChoice> choices;
    QList<int> dialogPages;
};

class RecordingHelp final : public HelpSeam {
public:
    void open(const QString& topic) override { topics.append(topic); }
    QStringList topics;
};

/// A folder standing in for the removable medium, with a set capacity. Its
/// disks can be changed: the disks out of the drive wait in a folder beside it.
class FolderDrive final : public RemovableDriveSeam {
public:
    FolderDrive(QString folder, qint64 bytes) : path(std::move(folder)), bytes(bytes) {}
    /// Empty while no disk is in, or the folder is missing (an unformatted disk).
    QString root() const override { return inserted && QFileInfo(path).isDir() ? path : QString(); }
    qint64 capacity() const override { return bytes; }
    qint64 freeSpace() const override
    {
        if (root().isEmpty())
            return -1;
        qint64 used = 0;
        QDirIterator files(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext())
            used += QFileInfo(files.next()).size();
        return bytes - used;
    }
    bool readOnly() const override { return writeProtected; }

    /// Takes out the disk in the drive and puts disk `n` in: a blank one the
    /// first time it is asked for.
    void changeDisk(int n)
    {
        if (n == disk)
            return;
        moveFiles(path, shelved(disk));
        moveFiles(shelved(n), path);
        disk = n;
        inserted = true;
    }
    /// The files on disk `n`, whether it is in the drive or not.
    QStringList filesOn(int n) const
    {
        return QDir(n == disk ? path : shelved(n)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QString shelved(int n) const { return path + QStringLiteral("-disks/") + QString::number(n); }

    QString path;
    qint64 bytes;
    bool inserted = true;
    /// The disk's write-protect tab is closed: the program must not write to it.
    bool writeProtected = false;
    int disk = 1; ///< the disk in the drive

private:
    static void moveFiles(const QString& from, const QString& to)
    {
        QDir().mkpath(to);
        const auto files = QDir(from).entryList(QDir::Files | QDir::Hidden);
        for (const QString& file : files)
            QFile::rename(QDir(from).filePath(file), QDir(to).filePath(file));
    }
};

/// The machine's volumes as a test sets them: the folders listed beside
/// drive A:, and the room left on them.
class ScriptedVolumes final : public VolumesSeam {
public:
    QStringList roots() const override { return folders; }
    /// The room of the longest folder in `free` that holds `folder`; `room` elsewhere.
    qint64 freeSpace(const QString& folder) const override
    {
        if (!QFileInfo(folder).isDir())
            return -1;
        const QString path = QFileInfo(folder).absoluteFilePath();
        qint64 bytes = room;
        qsizetype longest = -1;
        for (auto it = free.cbegin(); it != free.cend(); ++it) {
            const QString root = QFileInfo(it.key()).absoluteFilePath();
            if ((path == root || path.startsWith(root + QLatin1Char('/'))) && root.size() > longest) {
                bytes = it.value();
                longest = root.size();
            }
        }
        return bytes;
    }

    QStringList folders{QDir::rootPath()};
    QHash<QString, qint64> free;
    qint64 room = qint64(1) << 40;
};

} // namespace ui

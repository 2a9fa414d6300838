#pragma once

// Helpers for the tests of the archive component: files to pack, the events
// it raised, and the Info-ZIP and 7-Zip tools run on real files.
#include "upkeep/zip/ZipMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QQueue>
#include <QRandomGenerator>
#include <QStringList>

#include <functional>

namespace testing {

/// Bytes that do not compress.
inline QByteArray noise(qint64 size, quint32 seed = 7)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char(random.generate() & 0xff);
    return data;
}

/// Bytes that compress well: lines of a call log.
inline QByteArray prose(qint64 size)
{
    QByteArray data;
    data.reserve(size);
    for (int line = 0; data.size() < size; ++line)
        data += "Lane " + QByteArray::number(line % 32 + 1) + ": pin elevator jammed, cleared by Dave at " +
                QByteArray::number(line) + "\n";
    data.truncate(size);
    return data;
}

inline bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Runs a tool; its exit code, with what it printed in `output`.
inline int runTool(const QString& program, const QStringList& arguments, const QString& folder = {},
                   QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

/// Every event of a component, as "Event:name" or "Event:name:value".
class Recorder {
public:
    explicit Recorder(upkeep::zip::ZipMain& zip)
    {
        using Z = upkeep::zip::ZipMain;
        auto sized = [this](const char* event) {
            return [this, event](const QString& name, qint64 size) {
                events << QString::fromLatin1(event) + QLatin1Char(':') + name + QLatin1Char(':') +
                              QString::number(size);
            };
        };
        QObject::connect(&zip, &Z::Adding, &zip, sized("Adding"));
        QObject::connect(&zip, &Z::Updating, &zip, sized("Updating"));
        QObject::connect(&zip, &Z::Extracting, &zip, sized("Extracting"));
        QObject::connect(&zip, &Z::Testing, &zip, sized("Testing"));
        QObject::connect(&zip, &Z::Deleting, &zip,
                         [this](const QString& name) { events << QStringLiteral("Deleting:") + name; });
        QObject::connect(&zip, &Z::Fixing, &zip,
                         [this](const QString& name) { events << QStringLiteral("Fixing:") + name; });
        QObject::connect(&zip, &Z::Status, &zip, [this](int percent) { progress << percent; });
        QObject::connect(&zip, &Z::Listing, &zip,
                         [this](const QString& name, qint64 size, qint64 packed, const QString& when, int ratio) {
                             listed << name;
                             sizes << size;
                             packedSizes << packed;
                             times << when;
                             ratios << ratio;
                         });
        QObject::connect(&zip, &Z::SkippingFile, &zip, [this](const QString& name, int reason) {
            skipped << name + QLatin1Char(':') + QString::number(reason);
        });
        QObject::connect(&zip, &Z::Replace, &zip, [this, &zip](const QString& name, int& reply) {
            replaced << name;
            const int answer = replies.isEmpty() ? upkeep::zip::replace::Yes : replies.dequeue();
            if (answer < 0)
                zip.setAbort(true); // Cancel
            else
                reply = answer;
        });
        QObject::connect(&zip, &Z::Newdisk, &zip, [this](int disk, bool& cancel) {
            disks << disk;
            cancel = onNewdisk ? !onNewdisk(disk) : true;
        });
    }

    QStringList events;
    QList<int> progress;
    QStringList listed;
    QList<qint64> sizes;
    QList<qint64> packedSizes;
    QStringList times;
    QList<int> ratios;
    QStringList skipped;
    QStringList replaced;
    QList<int> disks;
    /// Answers to Replace: replace::Yes, replace::No, or -1 for Cancel.
    QQueue<int> replies;
    /// Puts the disk asked for in the drive; false cancels.
    std::function<bool(int disk)> onNewdisk;
};

} // namespace testing

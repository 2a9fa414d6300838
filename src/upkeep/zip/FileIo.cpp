#include "FileIo.h"

#include "ZipResult.h"

#include "store/DurableFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace upkeep::zip {

QString existingCaseless(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const auto entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(name);
}

namespace {

const QString kStagedMark = QStringLiteral(".stopwell-");
const QString kWorkStem = QStringLiteral("stopwell-zip-");

// A process that still runs (one of another user counts as running).
bool running(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// Entries of `folder` whose name matches `pattern`, its first capture the
// process that made them, and whose process has ended (or is this one, with `ownToo`).
QStringList leftovers(const QString& folder, const QRegularExpression& pattern, QDir::Filters kind, bool ownToo)
{
    QStringList found;
    const qint64 self = QCoreApplication::applicationPid();
    const QDir dir(folder);
    const auto entries = dir.entryInfoList(kind | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QRegularExpressionMatch match = pattern.match(entry.fileName());
        if (!match.hasMatch() || entry.isSymLink())
            continue;
        const qint64 pid = match.captured(1).toLongLong();
        if ((pid == self && ownToo) || (pid != self && !running(pid)))
            found << entry.absoluteFilePath();
    }
    return found;
}

} // namespace

QString stagedTemplate(const QString& folder, const QString& leaf)
{
    return QDir(folder).filePath(QLatin1Char('.') + leaf + kStagedMark +
                                 QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-XXXXXX"));
}

QString workFolderTemplate()
{
    return QDir(QDir::tempPath())
        .filePath(kWorkStem + QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-XXXXXX"));
}

int removeStagedLeftovers(const QString& folder, bool ownToo)
{
    static const QRegularExpression staged(QStringLiteral("^\\..+\\.stopwell-([0-9]+)-[A-Za-z0-9]{6}$"));
    int removed = 0;
    for (const QString& path : leftovers(folder, staged, QDir::Files, ownToo))
        removed += QFile::remove(path) ? 1 : 0;
    return removed;
}

int removeWorkLeftovers()
{
    static const QRegularExpression work(QStringLiteral("^stopwell-zip-([0-9]+)-[A-Za-z0-9]{6}$"));
    int removed = 0;
    for (const QString& path : leftovers(QDir::tempPath(), work, QDir::Dirs, false))
        removed += QDir(path).removeRecursively() ? 1 : 0;
    return removed;
}

bool syncToDisk(QFile& file)
{
    if (!file.flush())
        return false;
    return store::durable::syncOpenFile(file.handle(), file.fileName());
}

void syncFolder(const QString& folder)
{
    store::durable::syncFolder(folder);
}

OutputFile::~OutputFile()
{
    m_file.close();
}

int OutputFile::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
        return result::CreateError;
    return result::Success;
}

int OutputFile::write(const char* data, qint64 length)
{
    while (length > 0) {
        errno = 0;
        const qint64 n = m_file.write(data, length);
        if (n <= 0)
            return errno == ENOSPC ? result::DiskFull : result::WriteError;
        data += n;
        length -= n;
    }
    return result::Success;
}

int OutputFile::append(QFile& in, qint64 length, const Progress& progress, qint64* done, qint64 total)
{
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (length > 0) {
        const qint64 n = in.read(buffer.data(), qMin<qint64>(length, buffer.size()));
        if (n <= 0)
            return result::ReadError;
        if (const int code = write(buffer.constData(), n); code != result::Success)
            return code;
        length -= n;
        *done += n;
        if (progress && !progress(*done, total))
            return result::Aborted;
    }
    return result::Success;
}

QByteArray OutputFile::readAt(qint64 offset, qint64 length)
{
    if (!m_file.seek(offset))
        return {};
    return m_file.read(length);
}

int OutputFile::truncateAndAppend(qint64 offset, const QByteArray& data)
{
    if (!m_file.resize(offset) || !m_file.seek(offset))
        return result::WriteError;
    return write(data.constData(), data.size());
}

int OutputFile::commit()
{
    if (!m_file.isOpen())
        return result::Success;
    const bool synced = syncToDisk(m_file);
    m_file.close();
    return synced ? result::Success : result::WriteError;
}

int copyInto(QFile& in, const QString& target, const Progress& progress)
{
    const QString partial = target + QStringLiteral(".partial");
    int code = result::Success;
    {
        OutputFile out;
        code = out.open(partial);
        if (code == result::Success && in.seek(0)) {
            qint64 done = 0;
            code = out.append(in, in.size(), progress, &done, in.size());
        }
        if (code == result::Success)
            code = out.commit();
    }
    if (code == result::Success && !replaceFile(partial, target))
        code = result::WriteError;
    if (code != result::Success)
        QFile::remove(partial);
    return code;
}

bool replaceFile(const QString& from, const QString& to)
{
    return store::durable::commitBeside(from, to);
}

bool commitFile(const QString& staged, const QString& target)
{
    return store::durable::commitBeside(staged, target);
}

} // namespace upkeep::zip

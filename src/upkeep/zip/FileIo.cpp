#include "FileIo.h"

#include "ZipResult.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

bool syncToDisk(QFile& file)
{
    if (!file.flush())
        return false;
    return ::fsync(file.handle()) == 0;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
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
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return false;
    syncFolder(QFileInfo(to).absolutePath());
    return true;
}

bool commitFile(const QString& staged, const QString& target)
{
    const int fd = ::open(QFile::encodeName(staged).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced && replaceFile(staged, target);
}

} // namespace upkeep::zip

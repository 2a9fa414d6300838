#include "DurableFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace store::durable {
namespace {

Observer& observer()
{
    static Observer current;
    return current;
}

bool done(Operation operation, const QString& path, const QString& target = {})
{
    if (observer())
        observer()(operation, path, target);
    return true;
}

bool syncPath(const QString& path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

Observer setObserver(Observer next)
{
    Observer previous = std::move(observer());
    observer() = std::move(next);
    return previous;
}

bool syncFile(const QString& path)
{
    return syncPath(path, O_RDONLY) && done(Operation::SyncFile, path);
}

bool syncOpenFile(int descriptor, const QString& path)
{
    return ::fsync(descriptor) == 0 && done(Operation::SyncFile, path);
}

bool syncFolder(const QString& folder)
{
    return syncPath(folder, O_RDONLY | O_DIRECTORY) && done(Operation::SyncFolder, folder);
}

bool commitBeside(const QString& staged, const QString& target)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (!syncFile(staged) || !syncFolder(folder))
        return false;
    if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    done(Operation::Rename, staged, target);
    // The rename happened: should only its sync fail, the new file is still
    // the one in place, and whole.
    syncFolder(folder);
    return true;
}

} // namespace store::durable

// Reading a set: gathering its disks and joining them into one archive.
#include "SplitSet.h"

#include "DiskMedium.h"
#include "FileIo.h"
#include "SetParts.h"
#include "ZipFormat.h"
#include "ZipResult.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace upkeep::zip {

using namespace setparts;

namespace {

class SetGatherer {
public:
    SetGatherer(const QString& path, const QString& workFolder, const SetCallbacks& callbacks)
        : m_path(path), m_folder(QFileInfo(path).absolutePath()), m_work(workFolder), m_cb(callbacks),
          m_removable(callbacks.medium && callbacks.medium->isRemovable(m_folder))
    {
    }

    /// Finds every part, asking for disks as needed. A result code.
    int gather()
    {
        int wrong = 0;
        int wanted = -1;
        for (;;) {
            if (const int code = takePresent(); code != result::Success)
                return code;
            const int missing = firstMissing();
            if (missing == 0)
                return result::Success;
            if (!m_removable)
                return result::FileNotFound;
            if (missing == wanted && ++wrong >= kWrongDiskLimit)
                return result::WrongDiskTooOften;
            if (missing != wanted)
                wrong = 0;
            wanted = missing;
            const bool isLast = m_parts == 0 || missing == m_parts;
            if (!m_cb.askDisk || !m_cb.askDisk(isLast ? 0 : missing))
                return result::Aborted;
        }
    }

    int parts() const { return m_parts; }
    QString part(int n) const { return m_have.value(n); }

private:
    // The parts on the disk in the drive now; copied aside when the disk is about to change.
    int takePresent()
    {
        if (QFileInfo(m_path).isFile() && !m_have.contains(-1)) {
            QFile last(m_path);
            if (!last.open(QIODevice::ReadOnly))
                return result::ReadError;
            const std::optional<EndRecord> end = findEndRecord(last);
            if (!end)
                return result::BadZipFile;
            // A set on one disk is an ordinary archive, whatever the disk it came from.
            const int parts = int(end->thisDisk) + 1;
            if (m_parts == 0 || m_parts == parts) {
                m_parts = parts;
                if (const int code = keep(parts, m_path); code != result::Success)
                    return code;
                m_have.insert(-1, m_have.value(parts));
            }
        }
        // The parts on this disk, found in one look at its folder.
        const QFileInfo last(m_path);
        QString base = last.fileName();
        if (last.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0)
            base.chop(4);
        const QRegularExpression part(QLatin1Char('^') + QRegularExpression::escape(base) +
                                          QStringLiteral("\\.z([0-9]{2,})$"),
                                      QRegularExpression::CaseInsensitiveOption);
        const auto names = QDir(m_folder).entryList(QDir::Files);
        for (const QString& name : names) {
            const QRegularExpressionMatch match = part.match(name);
            const int n = match.hasMatch() ? match.captured(1).toInt() : 0;
            if (n < 1 || m_have.contains(n) || (m_parts != 0 && n >= m_parts))
                continue;
            if (const int code = keep(n, QDir(m_folder).filePath(name)); code != result::Success)
                return code;
        }
        return result::Success;
    }

    int keep(int n, const QString& path)
    {
        if (!m_removable) {
            m_have.insert(n, path);
            return result::Success;
        }
        const QString copy = QDir(m_work).filePath(QStringLiteral("part%1").arg(n));
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return result::ReadError;
        if (!fits(m_cb.medium, m_work, in.size()))
            return result::DiskFull;
        if (const int code = copyInto(in, copy, {}); code != result::Success)
            return code;
        m_have.insert(n, copy);
        return result::Success;
    }

    int firstMissing() const
    {
        if (m_parts == 0)
            return -1;
        for (int n = 1; n <= m_parts; ++n) {
            if (!m_have.contains(n))
                return n;
        }
        return 0;
    }

    QString m_path;
    QString m_folder;
    QString m_work;
    const SetCallbacks& m_cb;
    bool m_removable;
    int m_parts = 0;
    QMap<int, QString> m_have; // part -> file; -1 marks that the last part was taken
};

int joinVolumes(const QString& path, const QString& joined, const SetCallbacks& callbacks)
{
    const QString base = volumeBase(path);
    QList<QString> volumes;
    qint64 total = 0;
    for (int n = 1; QFileInfo(volumePath(base, n)).isFile(); ++n) {
        volumes.append(volumePath(base, n));
        total += sizeOf(volumes.last());
    }
    if (volumes.isEmpty())
        return result::FileNotFound;
    OutputFile out;
    if (const int code = out.open(joined); code != result::Success)
        return code;
    qint64 done = 0;
    for (const QString& volume : volumes) {
        QFile in(volume);
        if (!in.open(QIODevice::ReadOnly))
            return result::ReadError;
        if (const int code = out.append(in, in.size(), callbacks.progress, &done, total); code != result::Success)
            return code;
    }
    return out.commit();
}

} // namespace

int joinSet(const QString& path, const QString& joined, const QString& workFolder, const SetCallbacks& callbacks)
{
    if (inspectSet(path).kind == SetKind::Volumes)
        return joinVolumes(path, joined, callbacks);

    SetGatherer gatherer(path, workFolder, callbacks);
    if (const int code = gatherer.gather(); code != result::Success)
        return code;
    const int parts = gatherer.parts();
    qint64 setSize = 0;
    for (int n = 1; n <= parts; ++n)
        setSize += qMax<qint64>(0, sizeOf(gatherer.part(n)));
    if (!fits(callbacks.medium, QFileInfo(joined).absolutePath(), setSize))
        return result::DiskFull;

    // Offsets in the set count from the start of each part; in the joined
    // archive from its start, without the split signature of the first part.
    QList<qint64> starts;
    qint64 total = 0;
    for (int n = 1; n <= parts; ++n) {
        starts.append(total);
        total += sizeOf(gatherer.part(n));
    }
    qint64 shift = 0;
    {
        QFile first(gatherer.part(1));
        if (!first.open(QIODevice::ReadOnly))
            return result::ReadError;
        const QByteArray head = first.read(4);
        if (head.size() == 4 &&
            (get32(head.constData()) == kSplitSignature || get32(head.constData()) == kSingleSplitSignature))
            shift = 4;
    }
    std::optional<EndRecord> end;
    {
        QFile last(gatherer.part(parts));
        if (!last.open(QIODevice::ReadOnly))
            return result::ReadError;
        end = findEndRecord(last);
        if (!end)
            return result::BadZipFile;
    }
    auto place = [&](quint32 disk, quint64 offset) -> qint64 {
        return int(disk) < starts.size() ? starts.at(int(disk)) + qint64(offset) - shift : -1;
    };

    OutputFile out;
    if (const int code = out.open(joined); code != result::Success)
        return code;
    qint64 done = 0;
    for (int n = 1; n <= parts; ++n) {
        QFile in(gatherer.part(n));
        if (!in.open(QIODevice::ReadOnly))
            return result::ReadError;
        if (n == 1 && shift)
            in.seek(shift);
        if (const int code = out.append(in, in.size() - in.pos(), callbacks.progress, &done, total);
            code != result::Success)
            return code;
    }

    const qint64 central = place(end->centralDisk, end->centralOffset);
    if (central < 0 || central + qint64(end->centralSize) > out.size())
        return result::BadZipFile;
    std::optional<QList<CentralEntry>> entries =
        parseCentral(out.readAt(central, qint64(end->centralSize)), end->entries);
    if (!entries)
        return result::BadZipFile;
    QByteArray directory;
    for (CentralEntry& entry : *entries) {
        const qint64 local = place(entry.disk, entry.localOffset);
        if (local < 0 || !entry.setLocation(0, quint64(local)))
            return result::BadZipFile;
        directory.append(entry.raw);
    }
    EndRecord joinedEnd = *end;
    joinedEnd.thisDisk = 0;
    joinedEnd.centralDisk = 0;
    joinedEnd.entriesOnDisk = joinedEnd.entries;
    joinedEnd.centralOffset = quint64(central);
    joinedEnd.centralSize = quint64(directory.size());
    directory.append(endRecords(joinedEnd, central + directory.size()));
    if (const int code = out.truncateAndAppend(central, directory); code != result::Success)
        return code;
    return out.commit();
}

} // namespace upkeep::zip

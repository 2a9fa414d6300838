#pragma once

// Archives made with libzip for the tests, and bytes of them changed by hand
// to give what no careful archiver writes.
#include "ZipSupport.h"

#include <QFile>

#include <utility>

#include <zip.h>

namespace testing {

/// An archive of named contents written by libzip, with Unix modes when given.
inline bool makeArchive(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& entries,
                        const QList<quint32>& modes = {})
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (int i = 0; i < entries.size(); ++i) {
        const QByteArray& data = entries.at(i).second;
        zip_source_t* source = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index = zip_file_add(archive, entries.at(i).first.constData(), source, 0);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        if (i < modes.size())
            zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, modes.at(i) << 16);
    }
    return zip_close(archive) == 0;
}

/// What of an entry's record patchEntry changes.
enum class Stored { Crc, Size };

/// Writes `value` as the CRC or the size of the entry `name`, in its
/// directory record and its local header alike; the data stay as they are.
inline bool patchEntry(const QString& archive, const QByteArray& name, Stored field, quint32 value)
{
    QByteArray bytes = readFile(archive);
    auto get = [&bytes](qsizetype at, int width) {
        quint32 v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = (v << 8) | quint8(bytes.at(at + i));
        return v;
    };
    auto set = [&bytes](qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((v >> (8 * i)) & 0xff);
    };
    const QByteArray signature("PK\x01\x02", 4);
    for (qsizetype at = bytes.indexOf(signature); at >= 0; at = bytes.indexOf(signature, at + 1)) {
        if (bytes.mid(at + 46, get(at + 28, 2)) != name)
            continue;
        const qsizetype local = get(at + 42, 4);
        set(at + (field == Stored::Crc ? 16 : 24), value);
        set(local + (field == Stored::Crc ? 14 : 22), value);
        return writeFile(archive, bytes);
    }
    return false;
}

} // namespace testing

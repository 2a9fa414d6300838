// Test: every entry (or those of FileList) is read through and its CRC checked.
#include "ZipInternal.h"

#include <QHash>

namespace upkeep::zip {

int ZipMain::Test()
{
    Operation operation(*this);
    if (operation.refused())
        return kAnotherOperation;
    zip_t* raw = nullptr;
    if (const int code = openForReading(&raw); code != result::Success)
        return code;
    ZipHandle archive(raw);
    const zip_int64_t count = zip_get_num_entries(raw, 0);
    if (count <= 0)
        return result::EmptyZipFile;

    QList<zip_int64_t> chosen;
    qint64 skipped = 0;
    const QStringList names = listedNames();
    for (const QString& listed : names) {
        const zip_int64_t index = locateListed(raw, listed);
        if (index < 0) {
            emit SkippingFile(listed, skip::NotFound);
            ++skipped;
        } else if (!chosen.contains(index)) {
            chosen.append(index);
        }
    }
    if (names.isEmpty()) {
        for (zip_int64_t i = 0; i < count; ++i)
            chosen.append(i);
    }
    if (chosen.isEmpty())
        return result::NothingTested;

    qint64 total = 0;
    for (zip_int64_t index : chosen) {
        zip_stat_t st;
        if (zip_stat_index(raw, zip_uint64_t(index), 0, &st) == 0)
            total += qint64(st.size);
    }
    qint64 done = 0;
    int failed = 0;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (zip_int64_t index : chosen) {
        zip_stat_t st;
        if (zip_stat_index(raw, zip_uint64_t(index), 0, &st) != 0) {
            ++failed;
            continue;
        }
        const QString shown = shownName(st.name);
        emit Testing(shown, qint64(st.size));
        ZipFileHandle entry(zip_fopen_index(raw, zip_uint64_t(index), 0));
        if (!entry) {
            emit SkippingFile(shown, reasonForEntryError(zip_get_error(raw)));
            ++failed;
            continue;
        }
        for (;;) {
            const zip_int64_t n = zip_fread(entry.get(), buffer.data(), zip_uint64_t(buffer.size()));
            if (n < 0) {
                emit SkippingFile(shown, reasonForEntryError(zip_file_get_error(entry.get())));
                ++failed;
                break;
            }
            if (n == 0)
                break;
            done += n;
            if (!tick(done, total))
                return result::Aborted;
        }
    }
    if (failed > 0)
        return result::TestFailed;
    return skipped > 0 ? result::FilesSkipped : result::Success;
}

} // namespace upkeep::zip

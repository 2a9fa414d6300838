#pragma once

#include "ZipMain.h"

#include <QString>

#include <ctime>
#include <memory>

#include <zip.h>

namespace upkeep::zip {

/// One operation of the component: refuses to start while another runs,
/// clears Abort and the progress, and empties FileList when it ends.
class Operation {
public:
    explicit Operation(ZipMain& zip);
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
    /// Another operation is running (result 180).
    bool refused() const { return m_refused; }

private:
    ZipMain& m_zip;
    bool m_refused;
};

inline constexpr int kAnotherOperation = 180;

struct ZipDiscard {
    void operator()(zip_t* archive) const
    {
        if (archive)
            zip_discard(archive);
    }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* file) const
    {
        if (file)
            zip_fclose(file);
    }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileClose>;

/// The result code for a libzip error met while opening or writing an archive.
int codeForArchiveError(const zip_error_t* error, int fallback);
/// The skip reason for a libzip error met while reading one entry.
int reasonForEntryError(const zip_error_t* error);

/// An entry's name as the component shows it ("\" between folders).
QString shownName(const char* stored);
/// A name of FileList as stored in archives ("/" between folders).
QString storedName(const QString& listed);
/// The index of the entry a name of FileList stands for, its case matched
/// first exactly and then without regard to case; -1 when there is none.
zip_int64_t locateListed(zip_t* archive, const QString& listed);
/// "MM/dd/yy HH:mm" in local time, whatever the locale.
QString dateTimeText(std::time_t time);

/// A date and time as the zip format keeps them (local time).
std::time_t fromDosTime(quint32 dos);

/// Writes an archive with no entries at `path`.
bool writeEmptyArchive(const QString& path);

} // namespace upkeep::zip

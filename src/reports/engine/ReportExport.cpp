// A report written out: its pages as a PDF file, its rows as CSV. Either
// file is written beside its place, synced and renamed over it: it is there
// complete, for good, or not at all.
#include "Report.h"
#include "ReportPrivate.h"

#include "store/DurableFile.h"
#include "store/LargeBuffers.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>
#include <QTextStream>

#include <sys/stat.h>

namespace reports {
namespace {

QString csvField(QString text)
{
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('\n')) ||
        text.contains(QLatin1Char('\r')) || text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '))) {
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QString cannotWrite(const QString& path, const QString& why)
{
    return QStringLiteral("\"%1\" cannot be written: %2").arg(QDir::toNativeSeparators(path), why);
}

// The report could not be finished, so the file at `path` is not written.
bool unfinished(const QString& path, store::Error why, store::Error* error)
{
    if (error) {
        why.message = cannotWrite(path, why.message);
        *error = why;
    }
    return false;
}

// The process's file-creation mask, read without setting it: umask() can only
// be read by changing it, which would touch files other threads make meanwhile.
mode_t creationMask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (!line.startsWith("Umask:"))
                continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok)
                return mode_t(mask);
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The staged file is made private to its maker; the saved one is readable as
// any file the user makes (by the other users of a shared PC too), and one
// saved over keeps the permissions of the file it replaces.
bool giveUsualMode(QFile& staged, const QFileInfo& target)
{
    struct stat old {};
    mode_t mode = 0;
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode = 0666 & ~creationMask();
    }
    return ::fchmod(staged.handle(), mode) == 0;
}

// Writes `path` through `write`, beside it first, then in its place for good.
bool writeDurably(const QString& path, const std::function<bool(QIODevice&, QString*)>& write, store::Error* error)
{
    const QFileInfo target(path);
    QTemporaryFile staged(
        target.absoluteDir().filePath(QLatin1Char('.') + target.fileName() + QStringLiteral(".stopwell-XXXXXX")));
    QString why;
    bool written = staged.open();
    if (!written)
        why = staged.errorString();
    if (written && !giveUsualMode(staged, target)) {
        why = QStringLiteral("its permissions could not be set");
        written = false;
    }
    written = written && write(staged, &why);
    if (written && !staged.flush()) {
        why = staged.errorString();
        written = false;
    }
    staged.close();
    if (written && !store::durable::commitBeside(staged.fileName(), target.absoluteFilePath())) {
        why = QStringLiteral("the file could not be put in its place on the disk");
        written = false;
    }
    if (!written) {
        if (error)
            *error = store::Error::make(store::Error::Kind::Io,
                                        cannotWrite(path, why.isEmpty() ? QStringLiteral("the disk refused it") : why));
        return false;
    }
    staged.setAutoRemove(false); // renamed: it is the file now
    return true;
}

} // namespace

bool Report::writePdf(const QString& path, store::Error* error, int first, int last) const
{
    store::Error why;
    if (!d->finish(&why))
        return unfinished(path, why, error);
    const int pages = d->body->pages();
    last = last < 0 || last >= pages ? pages - 1 : last;
    first = std::clamp(first, 0, last);
    return writeDurably(
        path,
        [&](QIODevice& file, QString* reason) {
            // The PDF writer builds each page in a buffer it frees at the next page:
            // handed back to the system and asked for again, it costs more than drawing.
            store::reuseLargeBuffers();
            QPdfWriter writer(&file);
            writer.setTitle(d->title);
            writer.setCreator(QStringLiteral("Tarrowby Stopwell"));
            writer.setPageSize(QPageSize(d->paper, QPageSize::Point, QString(), QPageSize::ExactMatch));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setResolution(1200);
            QPainter painter;
            if (!painter.begin(&writer)) {
                *reason = QStringLiteral("the PDF could not be started");
                return false;
            }
            // One painter for all pages: texts laid out once serve every page.
            PagePainter pages(painter);
            for (int i = first; i <= last; ++i) {
                if (i > first && !writer.newPage()) {
                    *reason = QStringLiteral("the output stopped after page %1").arg(i);
                    return false;
                }
                pages.draw(d->page(i), chart());
            }
            return painter.end();
        },
        error);
}

bool Report::writeCsv(const QString& path, store::Error* error) const
{
    store::Error why;
    if (!d->finish(&why))
        return unfinished(path, why, error);
    return writeDurably(
        path,
        [&](QIODevice& file, QString* reason) {
            QTextStream out(&file);
            out.setEncoding(QStringConverter::Utf8);
            d->body->csv([&](const QStringList& cells) {
                QStringList quoted;
                for (const QString& cell : cells)
                    quoted << csvField(cell);
                out << quoted.join(QLatin1Char(',')) << "\r\n";
            });
            out.flush();
            if (out.status() != QTextStream::Ok) {
                *reason = file.errorString();
                return false;
            }
            return true;
        },
        error);
}

} // namespace reports

#pragma once

// What every benchmark program shares: a quiet offscreen platform, the
// median of its rounds and one line per figure.
#include <QFile>
#include <QList>
#include <QMessageLogContext>
#include <QStandardPaths>
#include <QString>
#include <QTextStream>

#include <algorithm>

namespace bench {

/// The sqlite3 command line the figures are measured against; empty, and
/// said on `out`, when it is not installed.
inline QString sqlite3Baseline(QTextStream& out)
{
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty())
        out << "The sqlite3 command line is needed as the baseline.\n";
    return sqlite3;
}

/// The offscreen platform says so for every window it raises; nothing else is dropped.
inline void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

/// A line of /proc/self/status in KiB, such as "VmRSS:" (resident now) or "VmHWM:" (its peak).
inline qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

/// The memory the process holds now, in KiB.
inline qint64 residentKb()
{
    return statusKb("VmRSS:");
}

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

/// One figure as a ratio against its baseline, with its limit; a limit of 0
/// marks a figure shown for information.
inline void report(QTextStream& out, const QString& what, double measured, double baseline, double limit, int width,
                   int decimals)
{
    const double ratio = measured / baseline;
    const QString times =
        QString::asprintf("%*.*f ms vs %*.*f ms  ratio %5.2fx", 9, decimals, measured, 9, decimals, baseline, ratio);
    const QString verdict = limit > 0 ? QString::asprintf("(limit %.1fx) %s", limit, ratio <= limit ? "ok" : "OVER")
                                      : QStringLiteral("(for information)");
    out << what.leftJustified(width) << ' ' << times << "  " << verdict << '\n';
    out.flush();
}

} // namespace bench

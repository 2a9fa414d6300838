#pragma once

// What every benchmark program shares: a quiet offscreen platform and the
// median of its rounds.
#include <QList>
#include <QMessageLogContext>
#include <QString>
#include <QTextStream>

#include <algorithm>

namespace bench {

/// The offscreen platform says so for every window it raises; nothing else is dropped.
inline void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace bench

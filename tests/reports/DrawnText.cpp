#include "DrawnText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace testing {

bool canReadPdf()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QStringList pdfPages(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QStringList wordsOf(const QString& text)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.split(space, Qt::SkipEmptyParts);
}

namespace {

// The index after `word` when it starts at `at`, whole or cut into pieces
// (words of other columns may stand between the pieces, on the lines between).
qsizetype matchAt(const QStringList& stream, const QString& word, qsizetype at, qsizetype to)
{
    if (!word.startsWith(stream.at(at)))
        return -1;
    QString rest = word.mid(stream.at(at).size());
    ++at;
    while (!rest.isEmpty()) {
        while (at < to && !rest.startsWith(stream.at(at)))
            ++at;
        if (at >= to)
            return -1;
        rest = rest.mid(stream.at(at).size());
        ++at;
    }
    return at;
}

} // namespace

qsizetype findInOrder(const QStringList& stream, const QStringList& words, qsizetype from, qsizetype to)
{
    to = std::min(to, stream.size());
    qsizetype at = from;
    for (const QString& word : words) {
        qsizetype found = -1;
        for (; at < to && found < 0; ++at)
            found = matchAt(stream, word, at, to);
        if (found < 0)
            return -1;
        at = found;
    }
    return at;
}

int countWord(const QStringList& stream, const QString& word)
{
    return int(stream.count(word));
}

} // namespace testing

#pragma once

#include <QString>
#include <QStringList>

namespace testing {

/// Whether pdftotext and pdfinfo (poppler-utils) are there to read PDFs back.
bool canReadPdf();

/// The text of each page of a PDF as `pdftotext -layout` reads it.
QStringList pdfPages(const QString& pdf);

/// The words of a text in reading order.
QStringList wordsOf(const QString& text);

/// Where `words` stand in `stream` one after another (others may stand
/// between them), from `from` up to but not including `to`: the index just
/// after the last one, or -1. A word may stand cut into pieces, as a word
/// wider than its column is; words of other columns may stand between them.
qsizetype findInOrder(const QStringList& stream, const QStringList& words, qsizetype from, qsizetype to);

/// How often `word` stands in `stream` as a word of its own.
int countWord(const QStringList& stream, const QString& word);

} // namespace testing

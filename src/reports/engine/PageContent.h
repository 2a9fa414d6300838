#pragma once

// Inside the report engine: one page as what is on it. The layout makes it
// once; the painter draws it on any device and the page's text is read from
// the same items, so what the text says is what the page shows.
#include "Typesetter.h"

#include <QColor>
#include <QGlyphRun>
#include <QHash>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace reports {

struct ChartData;

/// A text at a baseline, `width` points wide (set to the right of it when `right`).
struct DrawnText {
    Face face = Face::Body;
    double x = 0;
    double baseline = 0;
    double width = 0;
    QString text;
    bool right = false;
    bool faint = false;
    bool heading = false; // a heading line: "== " in the page's text
};

struct PageContent {
    QList<DrawnText> texts;
    QList<QLineF> rules;
    QList<QRectF> shades;
    QRectF chart; // where the graph goes; empty: none

    void text(Face face, double x, double baseline, double width, const QString& text, bool right = false)
    {
        texts.append(DrawnText{face, x, baseline, width, text, right, false, false});
    }
    /// The page's text line by line, top to bottom, the texts of a line
    /// joined by " | " from left to right (a blank cell of a row as an empty
    /// text), a heading line after "== ", the graph as "[graph]".
    QStringList lines() const;
};

/// Draws pages. Texts shaped once are kept while the painter lives, so the
/// names, calls and dates repeated on every page of a long report are laid
/// out once for all of them.
class PagePainter {
public:
    explicit PagePainter(QPainter& painter) : m_painter(painter) {}
    /// Draws `page` onto the device's page, the paper's corner at the origin;
    /// `chart` is drawn in the page's chart area.
    void draw(const PageContent& page, const ChartData* chart);

private:
    struct Shaped {
        QGlyphRun run; // empty: drawn by Qt with a font that has the glyphs
        double width = 0;
    };
    const Shaped& shaped(Face face, const QString& text);
    void drawText(const DrawnText& text);

    QPainter& m_painter;
    // Two generations bound the memory while keeping the texts that recur.
    QHash<QString, Shaped> m_young;
    QHash<QString, Shaped> m_old;
};

} // namespace reports

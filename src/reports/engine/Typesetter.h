#pragma once

// Inside the report engine: the fonts of a page, and texts measured, wrapped
// and shaped in points, the same for a preview on screen, a printer and a PDF.
// A text is laid out once from the font's own (unhinted) advances and drawn
// with exactly those positions on every device, so a text that fits its
// column where it was measured fits it wherever it is drawn.
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <array>

namespace reports {

/// The kinds of text on a page.
enum class Face { Title, Small, Body, Bold, Italic, Group, Heading, Notice, Total };

class Typesetter {
public:
    /// The typesetter of the program's thread (fonts belong to it).
    static const Typesetter& instance();

    double points(Face face) const { return data(face).points; }
    /// The width of `text` in points.
    double width(Face face, const QString& text) const;
    /// `text` in lines no wider than `width`: its own line breaks kept, words
    /// moved to the next line, a word wider than the column cut where it must be.
    QStringList wrap(Face face, const QString& text, double width) const;
    /// The glyphs of `text` at the face's size in points, placed from 0 as
    /// measured; an empty run for a text the font lacks glyphs for (drawn by
    /// Qt with a font that has them).
    QGlyphRun glyphs(Face face, const QString& text, double* width) const;
    /// The face as a font of `points` points, for text the report's font lacks.
    QFont font(Face face) const { return data(face).font; }

private:
    Typesetter();
    struct FaceData {
        double points = 0;
        QFont font;
        QRawFont measured; // at kReference pixels: advances are scaled from it
        QRawFont drawn;    // at the face's size, in points
        // The advance of each character of the first 64K met so far, in
        // points; < 0: the font has no glyph for it. Texts are not shaped
        // (one glyph per character, no kerning), so a width is their sum.
        mutable QHash<char16_t, double> advance;
    };
    static constexpr double kReference = 100;
    const FaceData& data(Face face) const { return m_faces.at(size_t(face)); }
    /// Advances of the glyphs, in points; false when a glyph is missing.
    bool advances(const FaceData& face, const QString& text, QList<quint32>* indexes, QList<double>* x) const;
    double fallbackWidth(const FaceData& face, const QString& text) const;
    double advanceOf(const FaceData& face, QChar c) const;

    std::array<FaceData, 9> m_faces;
};

/// Text as a cell shows it: tabs as blanks, carriage returns dropped.
QString cleanText(const QString& text);

} // namespace reports

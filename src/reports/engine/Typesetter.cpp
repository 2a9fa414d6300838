#include "Typesetter.h"

#include <QFontMetricsF>
#include <QImage>

#include <optional>

namespace reports {
namespace {

struct FaceStyle {
    double points;
    bool bold;
    bool italic;
};

// In the order of Face.
constexpr FaceStyle kFaceStyles[] = {
    {14, true, false},   // Title
    {8, false, false},   // Small
    {8.5, false, false}, // Body
    {8.5, true, false},  // Bold
    {8.5, false, true},  // Italic
    {9, true, false},    // Group
    {10, true, false},   // Heading
    {10, false, true},   // Notice
    {9, true, false},    // Total
};

QFont makeFont(const FaceStyle& shape)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    font.setPointSizeF(shape.points);
    font.setBold(shape.bold);
    font.setItalic(shape.italic);
    return font;
}

} // namespace

QString cleanText(const QString& text)
{
    QString clean = text;
    clean.replace(QLatin1Char('\t'), QLatin1Char(' '));
    clean.remove(QLatin1Char('\r'));
    return clean;
}

const Typesetter& Typesetter::instance()
{
    static const Typesetter typesetter;
    return typesetter;
}

Typesetter::Typesetter()
{
    for (size_t i = 0; i < m_faces.size(); ++i) {
        FaceData& face = m_faces[i];
        face.points = kFaceStyles[i].points;
        face.font = makeFont(kFaceStyles[i]);
        QFont reference = face.font;
        reference.setPixelSize(int(kReference));
        face.measured = QRawFont::fromFont(reference);
        face.drawn = face.measured;
        face.drawn.setPixelSize(face.points);
    }
}

bool Typesetter::advances(const FaceData& face, const QString& text, QList<quint32>* indexes, QList<double>* x) const
{
    if (!face.measured.isValid())
        return false;
    *indexes = face.measured.glyphIndexesForString(text);
    for (quint32 index : std::as_const(*indexes)) {
        if (index == 0)
            return false;
    }
    const QList<QPointF> steps = face.measured.advancesForGlyphIndexes(*indexes);
    const double scale = face.points / kReference;
    double at = 0;
    x->clear();
    x->reserve(steps.size() + 1);
    for (const QPointF& step : steps) {
        x->append(at);
        at += step.x() * scale;
    }
    x->append(at);
    return true;
}

double Typesetter::fallbackWidth(const FaceData& face, const QString& text) const
{
    // Measured as a PDF or a printer sets it: 1200 dots per inch, in points.
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_Mono);
        image.setDotsPerMeterX(47244);
        image.setDotsPerMeterY(47244);
        return image;
    }();
    return QFontMetricsF(face.font, &device).horizontalAdvance(text) * 72.0 / 1200.0;
}

double Typesetter::advanceOf(const FaceData& face, QChar c) const
{
    auto it = face.advance.constFind(c.unicode());
    if (it != face.advance.constEnd())
        return *it;
    QList<quint32> indexes;
    QList<double> x;
    const double width = advances(face, QString(c), &indexes, &x) && indexes.size() == 1 ? x.last() : -1;
    face.advance.insert(c.unicode(), width);
    return width;
}

double Typesetter::width(Face which, const QString& text) const
{
    const FaceData& face = data(which);
    double sum = 0;
    for (QChar c : text) {
        const double w = c.isSurrogate() ? -1 : advanceOf(face, c);
        if (w < 0) // a character the font lacks, or one of two halves: Qt measures the text
            return fallbackWidth(face, text);
        sum += w;
    }
    return sum;
}

QGlyphRun Typesetter::glyphs(Face which, const QString& text, double* width) const
{
    const FaceData& face = data(which);
    QList<quint32> indexes;
    QList<double> x;
    QGlyphRun run;
    if (!advances(face, text, &indexes, &x)) {
        *width = fallbackWidth(face, text);
        return run;
    }
    QList<QPointF> positions;
    positions.reserve(indexes.size());
    for (qsizetype i = 0; i < indexes.size(); ++i)
        positions << QPointF(x.at(i), 0);
    run.setRawFont(face.drawn);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    *width = x.last();
    return run;
}

QStringList Typesetter::wrap(Face face, const QString& text, double width) const
{
    QStringList lines;
    const QStringList paragraphs = cleanText(text).split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        QString line;
        const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (this->width(face, candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            // A word wider than the column is cut where it must be, never dropped.
            QString rest = word;
            while (rest.size() > 1 && this->width(face, rest) > width) {
                qsizetype fit = rest.size() - 1;
                while (fit > 1 && this->width(face, rest.left(fit)) > width)
                    fit = fit > 8 && this->width(face, rest.left(fit / 2)) > width ? fit / 2 : fit - 1;
                if (fit > 1 && rest.at(fit - 1).isHighSurrogate())
                    --fit; // a character in two halves stays whole
                lines << rest.left(fit);
                rest = rest.mid(fit);
            }
            line = rest;
        }
        lines << line;
    }
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace reports

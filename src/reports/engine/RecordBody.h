#pragma once

// Inside the report engine: a record layout (notes, work sheets, the preset
// calls), the lines of each record one below the other.
#include "ReportDefinition.h"
#include "ReportPrivate.h"
#include "Snapshot.h"

namespace reports {

class RecordBody : public Body {
public:
    /// `fields` are the snapshot's columns by name (as stored), `types` says
    /// which of them hold dates and numbers.
    RecordBody(const ReportDefinition& definition, QStringList fields, QList<bool> isDate, QList<bool> isNumber);

    void take(const RowChunk& chunk);

    void start(const PageFrame& frame) override;
    store::Error failure() const override { return m_failure; }
    int pages() const override { return int(m_pageStarts.size()); }
    void page(int index, PageContent& content) const override;
    qint64 records() const override { return m_rows.size(); }
    QList<qint64> recnos() const override { return m_rows.recnos(); }
    bool csv(const std::function<void(const QStringList&)>& line) const override;

private:
    struct Line {
        enum class Kind { Heading, Text, Total, NoRecords };
        Kind kind = Kind::Text;
        QString label;
        QString text;
        QString beside;
        int units = 2; // in units of 6 points
        bool keepWithNext = false;
    };
    QString value(qint64 row, const QString& field, Format format) const;
    void addRecord(qint64 row);
    void addLine(const RecordLine& shape, int n, qint64 row);
    void addWrapped(Line line, bool beside);
    void paginate();
    void drawLine(const Line& line, double y, PageContent& content) const;
    double besideAt() const;

    ReportDefinition m_def;
    QStringList m_fields;
    QList<bool> m_isDate;
    QList<bool> m_isNumber;
    Snapshot m_rows;
    store::Error m_failure;
    PageFrame m_frame;
    QList<Line> m_lines;
    QList<int> m_pageStarts;
};

} // namespace reports

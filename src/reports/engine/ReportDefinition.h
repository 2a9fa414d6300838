#pragma once

#include "store/Error.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reports {

/// How a value is shown on a report: dates as MM/DD/YYYY ("dayDate": with
/// the weekday before it), memos by their first line.
enum class Format { Text, Date, DayDate, Number, Memo };

/// One column of a tabular report.
struct Column {
    QString field;
    QString heading;
    double width = 60; // points
    Format format = Format::Text;
    bool alignRight = false;
};

/// The group of a tabular report: rows with the same value of `field` stand
/// together under a heading, with their count and totals below them.
struct Group {
    QString field;
    QString heading; // put before the value in the group's heading line
    Format format = Format::Text;
    QString countLabel; // "calls": the footing reads "12 calls"
    QString emptyLabel; // shown for a blank or empty value
    QStringList totals; // numeric fields added up per group and for the report
};

/// One line of a record layout (notes, work sheets, the preset calls): a label,
/// a field and optionally a second field beside it. With `from`/`to` the line
/// repeats, "%1" in `text`, `field` and `beside` standing for the number.
struct RecordLine {
    QString text;
    QString field;
    QString beside;
    QString besideText;
    Format format = Format::Text;
    bool heading = false;   // bold, a little space above
    bool wrap = false;      // long text continues on further lines
    bool skipEmpty = false; // no line when its fields are empty
    int from = 0;
    int to = 0;
};

/// A graph of a count (or a total) per value of one field.
struct Chart {
    enum class Kind { Bar, Pie };
    Kind kind = Kind::Bar;
    QString category;        // field whose values are the bars or slices
    QString categoryHeading; // axis title and table heading
    QString value;           // "count", or the numeric field to add up
    QString valueHeading;
    int top = 0; // only the largest n; the rest as `otherLabel` (0: all)
    QString otherLabel;
    QString emptyLabel;
    bool byValue = true; // largest first; false: in the order of the category
};

/// A report definition file (*.rpt): JSON text naming what to read, how to
/// select, sort and group it, and how to lay it out.
struct ReportDefinition {
    QString fileName; // as asked for ("daily.rpt")
    QString title;
    QString table;
    QString selection; // the stored selection formula
    QStringList sort;  // "+{T.F}" / "-{T.F}"
    bool landscape = false;
    bool a4 = false; // Letter unless "paper" is "A4"
    QString pageHeading;
    QString pageFooting;
    QList<Column> columns;
    std::optional<Group> group;
    QString totalLabel; // "calls": the report ends with "Total: 120 calls"
    QList<RecordLine> record;
    double labelWidth = 110;
    double besideAt = 0; // points from the left margin; 0: at two thirds
    std::optional<Chart> chart;

    bool isRecordLayout() const { return !record.isEmpty(); }

    /// Reads a definition from JSON text. Errors (Refused) name the place: a line
    /// and column for text that is no JSON, the entry for a wrong or missing value.
    static std::optional<ReportDefinition> parse(const QByteArray& text, const QString& fileName, store::Error* error);
    /// Reads `fileName` from `folder`; the error names the file and what is
    /// wrong: Missing when it is not there, Io when it cannot be read, Refused
    /// when it is named with a folder or holds no valid definition.
    static std::optional<ReportDefinition> load(const QString& folder, const QString& fileName, store::Error* error);
};

} // namespace reports

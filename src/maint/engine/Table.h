#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace maint {

/// What a column holds, so that the window, a printout and a CSV file can each show it.
enum class Kind {
    Text,  ///< text as stored
    Day,   ///< a date
    Count, ///< a whole number
    State, ///< a state of the due list ("Due soon"), as text
};

struct Column {
    QString caption;
    Kind kind = Kind::Text;
};

/// A table as plain data: a title, columns with captions and kinds, and rows
/// of values (QString, QDate or qint64; a null QVariant is an empty cell).
struct Table {
    QString title;
    QList<Column> columns;
    QList<QVariantList> rows;

    int rowCount() const { return int(rows.size()); }
    int columnCount() const { return int(columns.size()); }
    QVariant value(int row, int column) const { return rows.at(row).value(column); }
    /// The cell as the window shows it: numbers and dates in `locale`.
    QString text(int row, int column, const QLocale& locale = QLocale()) const;
};

/// A day as the schedule shows it ("12/7/2004" in en_US, in the user's order of day and month).
QString shownDay(QDate day);

} // namespace maint

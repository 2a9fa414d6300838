#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace stats {

/// What a column holds, so that the window, a printout and a CSV file can each show it.
enum class Kind {
    Text,    ///< text as stored
    Day,     ///< a date
    Week,    ///< a week, kept as its Sunday
    Month,   ///< a month, kept as its first day
    Year,    ///< a year, kept as 1 January
    Count,   ///< a whole number
    Ratio,   ///< frames per stop, shown whole
    Decimal, ///< a number shown with one decimal
    Percent, ///< a share from 0 to 100, shown with one decimal
};

struct Column {
    QString caption;
    Kind kind = Kind::Text;
};

/// One table of figures, as plain data: a title, columns with captions and
/// kinds, and rows of values. Any cell may be empty, and a cell of a number
/// column may hold a word instead ("no stop"). Cells are kept column by
/// column, eight bytes each and texts once per table, so a listing of
/// hundreds of thousands of repeats stays small.
class FigureTable {
public:
    FigureTable() = default;
    FigureTable(QString title, QList<Column> columns);

    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const QList<Column>& columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return m_rows; }

    /// A cell's value: QString, QDate, qint64 or double; a null QVariant when empty.
    QVariant value(int row, int column) const;
    bool isEmpty(int row, int column) const;
    /// A number cell as a number (0 when empty or a word).
    double number(int row, int column) const;
    /// The cell as the window shows it, numbers in `locale`.
    QString text(int row, int column, const QLocale& locale = QLocale()) const;

    /// Starts a new row, every cell empty; the setters fill the last row.
    void addRow();
    void setText(int column, const QString& text);
    /// The same from the engine's UTF-8, kept once however often it comes.
    void setText(int column, std::string_view utf8);
    void setDate(int column, QDate date);
    void setCount(int column, qint64 count);
    void setReal(int column, double value);
    /// Sets a count in any row, not only the last.
    void setCountAt(int row, int column, qint64 count);

    /// Rows in a new order: `order[i]` is the row that becomes row i.
    void reorder(const std::vector<int>& order);

private:
    enum class Tag : quint8 { Empty, Number, Word };
    struct Cells {
        std::vector<qint64> values; // a count, a Julian day, a double's bits, or a text's index
        std::vector<Tag> tags;
    };
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    void put(int row, int column, Tag tag, qint64 bits);
    int textIndex(std::string_view utf8);

    QString m_title;
    QList<Column> m_columns;
    std::vector<Cells> m_cells;
    int m_rows = 0;
    QStringList m_texts;
    std::unordered_map<std::string, int, Hash, std::equal_to<>> m_textIndex;
};

/// A day as the statistics show it ("12/7/2004" in en_US, in the user's order of day and month).
QString shownDay(QDate day);
/// The line that says which days figures cover: "Figures of 11/7/2004 to 12/4/2004 (28 days)."
QString periodLine(QDate from, QDate to);

} // namespace stats

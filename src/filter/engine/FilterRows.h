#pragma once

#include "store/Database.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace filter::engine {

/// First item of find row 0's field list; its type code is 0.
inline const QString kFindAllRecords = QStringLiteral("** Find All Records **");
/// First item of sort row 0's field list.
inline const QString kDoNotSort = QStringLiteral("** Do Not Sort **");

inline constexpr int kFindRows = 5;
inline constexpr int kSortRows = 3;

/// One item of a field list: the field's name and its type code as item data.
struct FieldItem {
    QString name;
    int typeCode = 0;
};

/// The operator list a field's type code loads into its row; its name is the
/// operator box's Tag.
enum class OperatorList { None, Boolean, Number, Date, Text };

/// The list for a type code: None for byte fields and for codes without a list.
OperatorList operatorListFor(int typeCode);
/// "Boolean", "Number", "Date", "Text"; empty for None.
QString tagOf(OperatorList list);
/// The list a Tag names; None for an empty or unknown Tag.
OperatorList operatorListNamed(const QString& tag);
/// The operators of a list in list order; the position matters (date rows are
/// checked by position).
QStringList operatorsOf(OperatorList list);

/// Positions of the date list beyond the six comparisons.
enum DatePosition { MonthEquals = 6, DayEquals = 7, YearEquals = 8, DayOfYearEquals = 9, WeekOfYearEquals = 10 };

/// Items of find row `row`'s field list: row 0 starts with "** Find All Records **"
/// (type code 0), then every field in the record source's order.
QList<FieldItem> findFieldItems(int row, const QList<store::FieldInfo>& fields);
/// Items of sort row `row`'s field list: row 0 starts with "** Do Not Sort **",
/// then every field that is not a memo field.
QList<FieldItem> sortFieldItems(int row, const QList<store::FieldInfo>& fields);

/// One find row as its four controls hold it.
struct FindRow {
    /// Text of the chosen field item; empty while no item is chosen.
    QString field;
    /// Item data of the chosen field item.
    int typeCode = 0;
    /// Name of the operator list loaded ("Boolean", "Number", "Date", "Text" or empty).
    QString operatorTag;
    /// Text and list position of the chosen operator; empty and -1 when none.
    QString operatorText;
    int operatorIndex = -1;
    QString criteria;
    /// "And", "Or" or empty; rows 0 to 3 only.
    QString condition;

    bool hasField() const { return !field.isEmpty(); }
};

/// Picks a field in a row. When the field's kind loads another operator list
/// than the row holds, the list is loaded, its first operator chosen and the
/// criteria reset ("Yes" for yes/no fields, else empty); another field of the
/// same kind keeps operator and criteria. True when the list was (re)loaded.
bool chooseField(FindRow& row, const FieldItem& item);
/// Picks the operator at `index` of the row's loaded list; false when out of range.
bool chooseOperator(FindRow& row, int index);

/// One sort row: the chosen field ("** Do Not Sort **" on row 0, or empty
/// while none is chosen) and "Ascending" or "Descending".
struct SortRow {
    QString field;
    int typeCode = 0;
    QString order = QStringLiteral("Ascending");
};

/// Everything the statement builder reads from the filter window.
struct FilterRows {
    /// The find rows that exist, row 0 first (at most five).
    QList<FindRow> find;
    /// The sort rows that exist, row 0 first (at most three).
    QList<SortRow> sort;
    /// "&Delete Found Records" is ticked.
    bool deleteChecked = false;
};

} // namespace filter::engine

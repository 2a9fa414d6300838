#pragma once
// Where the filter window's controls lie: the window is laid out in twips,
// 15 to a pixel. Shared by the files of the window only.

#include <QRect>
#include <QString>

namespace filter::layout {

constexpr int tw(int twips)
{
    return (twips + 7) / 15;
}

constexpr int kPitch = 330; // between two find rows, and between two sort rows
constexpr int kListHeight = 315;
constexpr int kWidth = 8880;
constexpr int kBasicHeight = 3675;
constexpr int kAdvancedHeight = 5100; // down to the statement
constexpr int kCanvasHeight = 7260;   // down to the last report label

inline const QString kFieldTip = QStringLiteral("Select the database field to search on");
inline const QString kOperatorTip = QStringLiteral("Select an operator from the drop down list");
inline const QString kConditionTip = QStringLiteral("Pick from the drop down list to make or more defined filter");
inline const QString kSortFieldTip = QStringLiteral("Enter a database field here to sort all filtered records on");

inline QRect rowRect(int left, int width, int top, int row)
{
    return QRect(tw(left), tw(top + row * kPitch), tw(width), tw(kListHeight));
}

} // namespace filter::layout

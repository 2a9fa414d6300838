#include "Table.h"

#include "store/FieldValue.h"

namespace maint {

QString Table::text(int row, int column, const QLocale& locale) const
{
    const QVariant v = value(row, column);
    if (v.isNull())
        return {};
    switch (columns.at(column).kind) {
    case Kind::Day:
        if (v.typeId() == QMetaType::QDate)
            return shownDay(v.toDate());
        break;
    case Kind::Count:
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
            return locale.toString(v.toLongLong());
        break;
    case Kind::Text:
    case Kind::State:
        break;
    }
    return v.toString();
}

QString shownDay(QDate day)
{
    return day.isValid() ? QLocale().toString(day, store::shortDateFormat()) : QString();
}

} // namespace maint

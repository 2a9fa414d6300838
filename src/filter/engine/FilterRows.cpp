#include "FilterRows.h"

namespace filter::engine {

OperatorList operatorListFor(int typeCode)
{
    switch (typeCode) {
    case 1:
        return OperatorList::Boolean;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
        return OperatorList::Number;
    case 8:
        return OperatorList::Date;
    case 10:
    case 12:
        return OperatorList::Text;
    default:
        // Byte fields (2) and unknown kinds keep whatever the operator box holds.
        return OperatorList::None;
    }
}

QString tagOf(OperatorList list)
{
    switch (list) {
    case OperatorList::Boolean:
        return QStringLiteral("Boolean");
    case OperatorList::Number:
        return QStringLiteral("Number");
    case OperatorList::Date:
        return QStringLiteral("Date");
    case OperatorList::Text:
        return QStringLiteral("Text");
    case OperatorList::None:
        break;
    }
    return {};
}

QStringList operatorsOf(OperatorList list)
{
    const QStringList comparisons = {QStringLiteral("Equals"),
                                     QStringLiteral("Is Not Equal To"),
                                     QStringLiteral("Is Greater Than"),
                                     QStringLiteral("Is Less Than"),
                                     QStringLiteral("Is Greater Than or Equal To"),
                                     QStringLiteral("Is Less Than or Equal To")};
    switch (list) {
    case OperatorList::Boolean:
        return {QStringLiteral("Equals")};
    case OperatorList::Number:
        return comparisons;
    case OperatorList::Date:
        return comparisons + QStringList{QStringLiteral("Month Equals"), QStringLiteral("Day Equals"),
                                         QStringLiteral("Year Equals"), QStringLiteral("Day of Year Equals"),
                                         QStringLiteral("Week of Year Equals")};
    case OperatorList::Text:
        return comparisons + QStringList{QStringLiteral("Contains"), QStringLiteral("Does Not Contain"),
                                         QStringLiteral("Begins With")};
    case OperatorList::None:
        break;
    }
    return {};
}

QList<FieldItem> findFieldItems(int row, const QList<store::FieldInfo>& fields)
{
    QList<FieldItem> items;
    if (row == 0)
        items.append({kFindAllRecords, 0});
    for (const store::FieldInfo& field : fields)
        items.append({field.name, int(field.type)});
    return items;
}

QList<FieldItem> sortFieldItems(int row, const QList<store::FieldInfo>& fields)
{
    QList<FieldItem> items;
    if (row == 0)
        items.append({kDoNotSort, 0});
    for (const store::FieldInfo& field : fields) {
        if (field.type != store::FieldType::Memo)
            items.append({field.name, int(field.type)});
    }
    return items;
}

bool chooseField(FindRow& row, const FieldItem& item)
{
    row.field = item.name;
    row.typeCode = item.typeCode;
    const OperatorList list = operatorListFor(item.typeCode);
    if (list == OperatorList::None || row.operatorTag == tagOf(list))
        return false;
    row.operatorTag = tagOf(list);
    row.criteria = list == OperatorList::Boolean ? QStringLiteral("Yes") : QString();
    row.operatorIndex = 0;
    row.operatorText = operatorsOf(list).constFirst();
    return true;
}

OperatorList operatorListNamed(const QString& tag)
{
    for (const OperatorList list :
         {OperatorList::Boolean, OperatorList::Number, OperatorList::Date, OperatorList::Text}) {
        if (tagOf(list) == tag)
            return list;
    }
    return OperatorList::None;
}

bool chooseOperator(FindRow& row, int index)
{
    // The list the box holds is the one its Tag names, whatever field is chosen now.
    const QStringList operators = operatorsOf(operatorListNamed(row.operatorTag));
    if (index < 0 || index >= operators.size())
        return false;
    row.operatorIndex = index;
    row.operatorText = operators.at(index);
    return true;
}

} // namespace filter::engine

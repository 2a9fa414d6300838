#pragma once
// Drives the browser and the filter window through their controls as a user
// would: picking list items, typing criteria, pressing buttons.

#include "support/TestApp.h"

#include "filter/FindWindow.h"
#include "filter/MaintScreen.h"
#include "ui/RecordSource.h"
#include "ui/ScreenRegistry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace testing {

/// Picks the item with this text, as a click in the list does.
inline bool pick(QComboBox* list, const QString& text)
{
    if (!list)
        return false;
    const int index = list->findText(text);
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

/// Types into a criteria box key by key.
inline void type(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

inline filter::MaintScreen* openBrowser()
{
    return qobject_cast<filter::MaintScreen*>(ui::ScreenRegistry::instance().show(QStringLiteral("MaintScreen")));
}

inline filter::FindWindow* openFilter(filter::MaintScreen* browser)
{
    browser->Command2_Click();
    return qobject_cast<filter::FindWindow*>(ui::ScreenRegistry::instance().find(QStringLiteral("FindWindow")));
}

/// Fills find row `i`: its field, its operator and its criteria (set as a
/// whole, for criteria a user could not type key by key).
inline bool fillRow(filter::FindWindow* find, int i, const QString& field, const QString& op, const QString& criteria)
{
    if (!pick(find->Field(i), field) || (!op.isEmpty() && !pick(find->Operator(i), op)))
        return false;
    find->Criteria(i)->setText(criteria);
    return true;
}

/// Picks the condition joining row `i` to the next, which creates the next row's field list.
inline bool join(filter::FindWindow* find, int i, const QString& condition)
{
    return pick(find->Condition(i), condition);
}

/// The record numbers of the browser's calls, in the order the grid shows them.
inline QList<qint64> browsed(filter::MaintScreen* browser)
{
    QList<qint64> keys;
    store::RecordSet& set = browser->Data1->Recordset();
    const qint64 count = set.count().value_or(0);
    for (qint64 i = 0; i < count; ++i)
        keys.append(set.keyAt(i).value_or(-1));
    return keys;
}

} // namespace testing

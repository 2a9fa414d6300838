#include "Forms.h"

#include "ScreenRegistry.h"

#include <QLabel>
#include <QLineEdit>

namespace ui::forms::shift {

QLineEdit* mechanic1Box()
{
    return ScreenRegistry::instance().control<QLineEdit>(TodaysInfo, QStringLiteral("Text1"));
}

QLineEdit* mechanic2Box()
{
    return ScreenRegistry::instance().control<QLineEdit>(TodaysInfo, QStringLiteral("Text2"));
}

QString mechanic1()
{
    const QLineEdit* box = mechanic1Box();
    return box ? box->text() : QString();
}

QString mechanic2()
{
    const QLineEdit* box = mechanic2Box();
    return box ? box->text() : QString();
}

QString weekday()
{
    const QLabel* label = ScreenRegistry::instance().control<QLabel>(TodaysInfo, QStringLiteral("Label1"));
    return label ? label->text() : QString();
}

} // namespace ui::forms::shift

namespace ui::forms::workDone {
namespace {

Listener& listener()
{
    static Listener stored;
    return stored;
}

} // namespace

void setStoredListener(Listener l)
{
    listener() = std::move(l);
}

void namesStored(const StoredDay& day)
{
    if (listener())
        listener()(day);
}

} // namespace ui::forms::workDone

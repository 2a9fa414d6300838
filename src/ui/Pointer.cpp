#include "Pointer.h"

#include <QApplication>
#include <QCursor>

namespace ui::pointer {
namespace {
int g_depth = 0;
}

void hourglass()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++g_depth;
}

void restore()
{
    if (g_depth == 0)
        return;
    QApplication::restoreOverrideCursor();
    --g_depth;
}

void arrow()
{
    if (g_depth > 0)
        QApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
}

int depth()
{
    return g_depth;
}

} // namespace ui::pointer

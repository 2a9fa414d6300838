#include "ScreenRegistry.h"

#include "Platform.h"

#include <QApplication>
#include <QEventLoop>

namespace ui {

ScreenRegistry::ScreenRegistry() : m_quit([] { QApplication::quit(); }) {}

ScreenRegistry& ScreenRegistry::instance()
{
    static ScreenRegistry registry;
    return registry;
}

void ScreenRegistry::add(const QString& name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

bool ScreenRegistry::knows(const QString& name) const
{
    return m_factories.contains(name);
}

Screen* ScreenRegistry::find(const QString& name) const
{
    return m_loaded.value(name);
}

Screen* ScreenRegistry::load(const QString& name)
{
    if (Screen* screen = find(name))
        return screen;
    const auto factory = m_factories.constFind(name);
    if (factory == m_factories.constEnd()) {
        msgBox(QStringLiteral("The screen \"%1\" is not part of this version of the program yet.").arg(name),
               Buttons::Ok, Icon::Information);
        return nullptr;
    }
    Screen* screen = (*factory)();
    m_loaded.insert(name, screen);
    screen->Form_Load();
    // Record sources open once the load handler has set their database path.
    const auto sources = screen->sources();
    for (SourceHook* source : sources) {
        if (!source->openOnLoad()) {
            m_loaded.remove(name);
            delete screen;
            return nullptr;
        }
    }
    return screen;
}

Screen* ScreenRegistry::show(const QString& name)
{
    Screen* screen = load(name);
    if (!screen)
        return nullptr;
    noteOpener(screen);
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

bool ScreenRegistry::showModal(const QString& name)
{
    QPointer<Screen> screen = load(name);
    if (!screen)
        return false;
    noteOpener(screen);
    screen->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(screen, &Screen::closed, &loop, &QEventLoop::quit);
    QObject::connect(screen, &QObject::destroyed, &loop, &QEventLoop::quit);
    screen->show();
    screen->raise();
    screen->activateWindow();
    if (screen->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (screen)
        screen->setWindowModality(Qt::NonModal);
    return true;
}

bool ScreenRegistry::unload(Screen* screen)
{
    if (!screen)
        return true;
    const QString name = screen->objectName();
    if (m_loaded.value(name) != screen)
        return true;
    // What the screen holds is stored before its unload handler runs: when
    // storing is refused the screen stays as it was, handlers and all.
    const auto sources = screen->sources();
    for (SourceHook* source : sources) {
        if (source->writeBackOnClose())
            continue;
        // The user was told why; a window must never hold them prisoner.
        if (msgBox(QStringLiteral("What you changed on this screen could not be stored.\n\nClose it anyway and "
                                  "lose those changes?"),
                   Buttons::YesNo, Icon::Question) != Answer::Yes)
            return false;
        source->discard();
    }
    screen->Form_Unload();
    m_loaded.remove(name);
    screen->hide();
    m_openers.remove(name);
    emit screen->closed();
    screen->deleteLater();
    return true;
}

void ScreenRegistry::noteOpener(Screen* screen)
{
    QWidget* active = QApplication::activeWindow();
    if (!screen->isVisible() && active != screen)
        m_openers.insert(screen->objectName(), active);
}

void ScreenRegistry::returnKeyboard(Screen* screen)
{
    const QPointer<QWidget> opener = m_openers.value(screen->objectName());
    if (opener && opener != screen && opener->isVisible())
        opener->activateWindow();
}

bool ScreenRegistry::unload(const QString& name)
{
    return unload(find(name));
}

bool ScreenRegistry::unloadAndShow(Screen* screen, const QString& next)
{
    if (!unload(screen))
        return false;
    show(next);
    return true;
}

QList<Screen*> ScreenRegistry::loaded() const
{
    QList<Screen*> result;
    for (const auto& screen : m_loaded) {
        if (screen)
            result.append(screen);
    }
    return result;
}

void ScreenRegistry::exitProgram()
{
    for (Screen* screen : loaded())
        screen->programEnding();
    for (Screen* screen : loaded()) {
        const auto sources = screen->sources();
        for (SourceHook* source : sources)
            source->writeBackOnExit();
    }
    for (Screen* screen : loaded())
        screen->hide();
    m_quit();
}

void ScreenRegistry::discardAll()
{
    for (Screen* screen : loaded()) {
        screen->hide();
        delete screen;
    }
    m_loaded.clear();
    m_openers.clear();
}

} // namespace ui

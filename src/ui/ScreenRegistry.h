#pragma once

#include "Screen.h"

#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>

namespace ui {

/// Owns every screen: at most one instance of each, loaded on first use,
/// shown modeless or modal, unloaded with its controls and record sources.
class ScreenRegistry {
public:
    using Factory = std::function<Screen*()>;

    static ScreenRegistry& instance();

    /// Makes a screen known by its form name.
    void add(const QString& name, Factory factory);
    bool knows(const QString& name) const;

    /// The loaded screen, or null.
    Screen* find(const QString& name) const;
    /// Loads the screen (hidden) unless it is loaded; null when it cannot be
    /// loaded, after the user was told why.
    Screen* load(const QString& name);
    /// Loads and shows the screen modeless, bringing it to the front.
    Screen* show(const QString& name);
    /// Loads and shows the screen modal; returns when it is hidden or unloaded.
    bool showModal(const QString& name);
    /// Closes the screen: its record sources store what they hold, its unload
    /// handler runs, and it is discarded. When storing fails the user is told
    /// why and asked whether to close all the same; false (screen kept) on No.
    bool unload(Screen* screen);
    bool unload(const QString& name);
    /// Closes a screen and shows the next one (most screens return to the
    /// main menu); the screen stays when storing its record failed.
    bool unloadAndShow(Screen* screen, const QString& next);
    QList<Screen*> loaded() const;

    /// A named control of a screen, loading the screen hidden if needed.
    template <class T> T* control(const QString& screen, const QString& name)
    {
        Screen* owner = load(screen);
        return owner ? owner->findChild<T*>(name) : nullptr;
    }

    /// Ends the program at once. Each open screen's record sources first store
    /// what was typed into stored records; half-made new records are dropped.
    void exitProgram();
    /// Gives the keyboard to the window that was active when `screen` was
    /// last shown, when that window is still there: a screen closing or
    /// hiding itself never leaves the keyboard to the desktop's choice, or to
    /// no window at all.
    void returnKeyboard(Screen* screen);
    /// What ends the program (tests record it instead).
    void setQuitHandler(std::function<void()> handler) { m_quit = std::move(handler); }

    /// Discards every screen without storing anything (tests).
    void discardAll();

private:
    ScreenRegistry();
    void noteOpener(Screen* screen);
    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<Screen>> m_loaded;
    /// The window that was active when each screen was shown.
    QHash<QString, QPointer<QWidget>> m_openers;
    std::function<void()> m_quit;
};

} // namespace ui

#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

class QMenuBar;
#include <QPushButton>

namespace ui {

class ReSize;

/// What a screen asks of the record sources placed on it.
class SourceHook {
public:
    virtual ~SourceHook() = default;
    /// Opens the source if it is not open yet; false after the user was told why.
    virtual bool openOnLoad() = 0;
    /// The screen is closing: store what the bound controls hold.
    virtual bool writeBackOnClose() = 0;
    /// The program is ending: store edits of stored records, drop half-made new ones.
    virtual bool writeBackOnExit() = 0;
    /// The screen closes without storing (the user chose to lose what could not be stored).
    virtual void discard() = 0;
};

/// A window with named controls. The screen registry loads, shows and unloads
/// it; its controls are placed at design coordinates on canvas() and scaled
/// in proportion by ReSize1 when the window is resized.
class Screen : public QWidget {
    Q_OBJECT
public:
    Screen(const QString& name, const QString& title, QSize designSize);
    ~Screen() override;

    QWidget* canvas() const { return m_canvas; }
    /// The menu bar, made on first use.
    QMenuBar* menuBar();

    /// Runs once after the screen is built, before its record sources open.
    virtual void Form_Load() {}
    /// Runs whenever the window is shown, resized or brought back to the front.
    virtual void Form_Paint() {}
    /// Runs when the screen is unloaded, once its record sources have stored
    /// what they hold.
    virtual void Form_Unload() {}
    /// The program is ending at once (the main menu's Exit): drop what must
    /// never be stored unchecked, before the record sources store the rest.
    virtual void programEnding() {}

    /// The button Enter presses (when the focus is not on another button).
    void setDefaultButton(QPushButton* button);
    QPushButton* defaultButton() const { return m_default; }
    /// The button Esc presses.
    void setCancelButton(QPushButton* button);
    QPushButton* cancelButton() const { return m_cancel; }

    /// Record sources placed on the screen.
    QList<SourceHook*> sources() const;

    /// Hidden while it has the keyboard, the screen hands the keyboard back
    /// to the window it was opened from (see ScreenRegistry).
    void setVisible(bool visible) override;

    ReSize* ReSize1;

signals:
    /// The window was hidden or is being unloaded.
    void closed();

protected:
    /// Closing by the window frame. The default unloads the screen.
    virtual void frameClose();

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void runPaint();
    /// A window larger than the screen's free area opens scaled down to fit,
    /// its proportions kept (the resizing companion scales the controls).
    void fitToScreen();
    QWidget* m_canvas;
    QMenuBar* m_menuBar = nullptr;
    QPointer<QPushButton> m_default;
    QPointer<QPushButton> m_cancel;
    bool m_inPaint = false;
    bool m_fitted = false;
};

} // namespace ui

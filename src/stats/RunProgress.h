#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

class QWidget;

namespace stats {

/// Keeps the program alive while figures are worked out on the one thread
/// the program has: a run that lasts longer than a moment shows a progress
/// window with Cancel, in front of every other window so that nothing else
/// touches the database meanwhile; windows repaint while the engine works.
class RunProgress {
public:
    explicit RunProgress(QWidget* parent);
    ~RunProgress();
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    /// A run of `steps` statements starts; `what` names the figure.
    void start(const QString& what, int steps);
    /// The engine asks whether to go on: repaints, shows the window once the
    /// run lasts, and answers false once Cancel was pressed.
    bool keepGoing(int stepsDone);
    /// The run ended: the window goes.
    void finish();
    bool cancelled() const { return m_cancelled; }
    /// The progress window while it is up (null otherwise).
    QProgressDialog* window() const { return m_window; }

    /// How long a run goes before its window shows, in milliseconds.
    int showAfterMs = 200;
    /// How often windows repaint during a run, in milliseconds.
    int pumpEveryMs = 40;

private:
    QWidget* m_parent;
    QPointer<QProgressDialog> m_window;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sincePump;
    QString m_what;
    int m_steps = 1;
    bool m_cancelled = false;
};

} // namespace stats

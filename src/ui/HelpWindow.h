#pragma once

#include <QWidget>

class QTextBrowser;

namespace ui {

/// The window the help file opens in: one at a time, at a topic's anchor.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    /// The help file in the application folder.
    static QString helpFile();
    /// Shows the help file at a topic (its contents when the topic is empty).
    static void showTopic(const QString& topic);

private:
    HelpWindow();
    QTextBrowser* m_browser;
};

} // namespace ui

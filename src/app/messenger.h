#pragma once

#include "app/messagewindow.h"

#include <QPointer>
#include <QString>
#include <functional>

// Shows messages in the message window. A message that comes while the window is open
// replaces the text in that same window; after it is closed the next message gets a new one.
class Messenger final
{
public:
    Messenger() = default;
    ~Messenger();
    Q_DISABLE_COPY_MOVE(Messenger)

    void show(const QString &text);
    // Shows the text below the message now open, or alone when none is open.
    void showBelow(const QString &text);
    // The window now open, or nullptr.
    MessageWindow *window() const { return m_window; }
    // The hook other parts of the program are handed to show a message.
    std::function<void(const QString &)> showFunction();

private:
    QPointer<MessageWindow> m_window;
};

#include "app/messenger.h"

#include "app/messagewindow.h"

Messenger::~Messenger()
{
    delete m_window.data();
}

void Messenger::show(const QString &text)
{
    if (!m_window)
        m_window = new MessageWindow;
    m_window->setMessage(text);
    m_window->show();
    m_window->raise();
}

void Messenger::showBelow(const QString &text)
{
    if (m_window && m_window->isVisible())
        show(m_window->message() + QStringLiteral("\n\n") + text);
    else
        show(text);
}

std::function<void(const QString &)> Messenger::showFunction()
{
    return [this](const QString &text) { show(text); };
}

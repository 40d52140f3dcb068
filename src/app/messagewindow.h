#pragma once

#include <QWidget>

class QLabel;

// The message window messageWindow: one message with an OK button, shown modeless.
// "确定" closes and discards it.
class MessageWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit MessageWindow(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(MessageWindow)

    void setMessage(const QString &text);
    QString message() const;

private:
    QLabel *m_label = nullptr; // messageLabel
};

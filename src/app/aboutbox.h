#pragma once

#include <QWidget>

class QPushButton;

// The about box aboutBox. "确定" closes and discards it.
class AboutBox final : public QWidget
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(AboutBox)

    QPushButton *okButton() const { return m_ok; }

private:
    QPushButton *m_ok = nullptr;
};

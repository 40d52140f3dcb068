#pragma once

#include <QWidget>

// The about box aboutBox. "确定" closes and discards it.
class AboutBox final : public QWidget
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(AboutBox)

};

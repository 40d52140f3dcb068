#pragma once

#include "platform/dialogs.h"

// The real dialogs, built on Qt's standard dialogs.
class QtDialogs final : public Dialogs
{
public:
    Answer message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                   Buttons buttons) override;
    std::optional<QString> openFileName(QWidget *parent, const QString &title,
                                        const QString &filter) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &title,
                                        const QString &filter) override;
    std::optional<QFont> font(QWidget *parent, const QFont &initial) override;
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override;
    bool print(QWidget *parent, QPrinter &printer, bool hasSelection) override;
};

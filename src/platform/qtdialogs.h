#pragma once

#include "platform/dialogs.h"

#include <QFileDialog>

class QPrintDialog;

// The real dialogs, built on Qt's standard dialogs.
class QtDialogs final : public Dialogs
{
public:
    Answer message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                   Buttons buttons) override;
    std::optional<QString> openFileName(QWidget *parent, const QString &title, const QString &filter,
                                        const QString &folder) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &title,
                                        const QString &filter) override;
    std::optional<QFont> font(QWidget *parent, const QFont &initial) override;
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override;
    bool print(QWidget *parent, QPrinter &printer, bool hasSelection) override;

    // Qt's own file dialog rather than the desktop's: its texts follow the program's Chinese
    // translation whatever the session's language, and its patterns ignore letter case.
    static std::unique_ptr<QFileDialog> fileDialog(QWidget *parent, const QString &title, const QString &filter,
                                                   const QString &folder, QFileDialog::AcceptMode mode);
    // The selection as the range when there is one; no page range, which printing would ignore.
    static void setPrintOptions(QPrintDialog &dialog, bool hasSelection);
};

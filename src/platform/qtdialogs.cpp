#include "platform/qtdialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QMessageBox::Icon toQtIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Dialogs::Answer QtDialogs::message(QWidget *parent, const QString &title, const QString &text,
                                   Icon icon, Buttons buttons)
{
    QMessageBox box(toQtIcon(icon), title, text,
                    buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    parent);
    const int result = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> QtDialogs::openFileName(QWidget *parent, const QString &title,
                                               const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(parent, title, QString(), filter);
    return path.isEmpty() ? std::nullopt : std::optional(path);
}

std::optional<QString> QtDialogs::saveFileName(QWidget *parent, const QString &title,
                                               const QString &filter)
{
    // No default suffix: the name is stored as the user typed it.
    const QString path = QFileDialog::getSaveFileName(parent, title, QString(), filter);
    return path.isEmpty() ? std::nullopt : std::optional(path);
}

std::optional<QFont> QtDialogs::font(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional(chosen) : std::nullopt;
}

std::optional<QColor> QtDialogs::color(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    return chosen.isValid() ? std::optional(chosen) : std::nullopt;
}

bool QtDialogs::print(QWidget *parent, QPrinter &printer, bool hasSelection)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    if (hasSelection)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<Dialogs> createDialogs()
{
    return std::make_unique<QtDialogs>();
}

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

std::unique_ptr<QFileDialog> QtDialogs::fileDialog(QWidget *parent, const QString &title, const QString &filter,
                                                   const QString &folder, QFileDialog::AcceptMode mode)
{
    auto dialog = std::make_unique<QFileDialog>(parent, title, folder, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    // The open dialog takes only a file that exists; the save dialog asks before replacing one.
    // No default suffix: a name is used as the user typed it.
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return dialog;
}

namespace {

std::optional<QString> chosenFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> QtDialogs::openFileName(QWidget *parent, const QString &title, const QString &filter,
                                               const QString &folder)
{
    return chosenFile(*fileDialog(parent, title, filter, folder, QFileDialog::AcceptOpen));
}

std::optional<QString> QtDialogs::saveFileName(QWidget *parent, const QString &title,
                                               const QString &filter)
{
    return chosenFile(*fileDialog(parent, title, filter, QString(), QFileDialog::AcceptSave));
}

std::optional<QFont> QtDialogs::font(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent, QString(), QFontDialog::DontUseNativeDialog);
    return ok ? std::optional(chosen) : std::nullopt;
}

std::optional<QColor> QtDialogs::color(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
    return chosen.isValid() ? std::optional(chosen) : std::nullopt;
}

void QtDialogs::setPrintOptions(QPrintDialog &dialog, bool hasSelection)
{
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    dialog.setPrintRange(hasSelection ? QAbstractPrintDialog::Selection : QAbstractPrintDialog::AllPages);
}

bool QtDialogs::print(QWidget *parent, QPrinter &printer, bool hasSelection)
{
    QPrintDialog dialog(&printer, parent);
    setPrintOptions(dialog, hasSelection);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<Dialogs> createDialogs()
{
    return std::make_unique<QtDialogs>();
}

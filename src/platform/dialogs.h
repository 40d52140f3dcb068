#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>
#include <optional>

class QWidget;
class QPrinter;

// Message boxes and common dialogs, behind one interface so tests can answer them.
class Dialogs
{
public:
    enum class Icon { Critical, Exclamation, Information, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                           Buttons buttons) = 0;
    // Starts in `folder` (the dialog's own default when empty); nullopt when the user cancels.
    // File name patterns of the filter match without regard to case.
    virtual std::optional<QString> openFileName(QWidget *parent, const QString &title, const QString &filter,
                                                const QString &folder) = 0;
    // Asks before replacing an existing file; nullopt when the user cancels.
    virtual std::optional<QString> saveFileName(QWidget *parent, const QString &title,
                                                const QString &filter) = 0;
    virtual std::optional<QFont> font(QWidget *parent, const QFont &initial) = 0;
    virtual std::optional<QColor> color(QWidget *parent, const QColor &initial) = 0;
    // The print dialog, offering the selection as the range when there is one and no page
    // range; false when the user cancels.
    virtual bool print(QWidget *parent, QPrinter &printer, bool hasSelection) = 0;

    // The program's usual message box title.
    static QString systemTitle() { return QStringLiteral("系统提示："); }
};

std::unique_ptr<Dialogs> createDialogs();

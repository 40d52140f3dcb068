#pragma once

#include <QString>

// The stored editor choice ("Notavo", "使用记事本", "使用WPS", "使用Doc") and what it names.
namespace EditorChoice {

inline QString builtIn() { return QStringLiteral("Notavo"); }
inline QString notepad() { return QStringLiteral("使用记事本"); }
inline QString wps() { return QStringLiteral("使用WPS"); }
inline QString word() { return QStringLiteral("使用Doc"); }

enum class Editor { None, BuiltIn, Notepad, Wps, Word };

// The built-in editor when the whole text is "Notavo"; the other three are recognised by their
// last characters; any other text names none.
inline Editor parse(const QString &choice)
{
    if (choice == builtIn())
        return Editor::BuiltIn;
    if (choice.endsWith(QStringLiteral("记事本")))
        return Editor::Notepad;
    if (choice.endsWith(QStringLiteral("WPS")))
        return Editor::Wps;
    if (choice.endsWith(QStringLiteral("Doc")))
        return Editor::Word;
    return Editor::None;
}

// The text stored for an editor the user chose; empty for None, which no one chooses.
inline QString textOf(Editor editor)
{
    switch (editor) {
    case Editor::BuiltIn:
        return builtIn();
    case Editor::Notepad:
        return notepad();
    case Editor::Wps:
        return wps();
    case Editor::Word:
        return word();
    case Editor::None:
        break;
    }
    return {};
}

// The settings dialog reads a stored text as parse() does, except that any text ending in
// "Notavo" shows the built-in editor as chosen there.
inline Editor parseForDialog(const QString &choice)
{
    return choice.endsWith(builtIn()) ? Editor::BuiltIn : parse(choice);
}

// Opening after saving is on only for the exact text "TRUE".
inline bool isAutoOpenOn(const QString &flag) { return flag == QStringLiteral("TRUE"); }
inline QString autoOpenText(bool on) { return on ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }

} // namespace EditorChoice

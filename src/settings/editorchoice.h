#pragma once

#include <QString>

// How readers recognise the stored editor choice ("Notavo", "使用记事本", "使用WPS", "使用Doc").
namespace EditorChoice {

inline QString builtIn() { return QStringLiteral("Notavo"); }
inline QString notepad() { return QStringLiteral("使用记事本"); }
inline QString wps() { return QStringLiteral("使用WPS"); }
inline QString word() { return QStringLiteral("使用Doc"); }

// The built-in editor: the whole text is "Notavo".
inline bool isBuiltIn(const QString &choice) { return choice == builtIn(); }
// The other three are recognised by their last characters.
inline bool isNotepad(const QString &choice) { return choice.endsWith(QStringLiteral("记事本")); }
inline bool isWps(const QString &choice) { return choice.endsWith(QStringLiteral("WPS")); }
inline bool isWord(const QString &choice) { return choice.endsWith(QStringLiteral("Doc")); }

// Opening after saving is on only for the exact text "TRUE".
inline bool isAutoOpenOn(const QString &flag) { return flag == QStringLiteral("TRUE"); }

} // namespace EditorChoice

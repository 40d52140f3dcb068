#pragma once

#include "settings/editorchoice.h"

#include <QString>
#include <functional>
#include <optional>

// Opens a file in the editor the settings name, the same way for every caller: the built-in
// editor gets the path, Notepad the file through the shell, and WPS and Word an RTF copy of the
// text written beside it. Needs no window; how the shell is reached is the caller's.
class ChosenEditor final
{
public:
    using OpenInEditor = std::function<void(const QString &path)>;
    using OpenWithShell = std::function<bool(const QString &path)>;

    enum class Outcome { InEditor, WithShell, Converted, NotOpened, Failed };

    // `openInEditor` may be empty: the built-in editor then opens nothing. `openWithShell`
    // applies whatever checks the caller's files need before the shell sees them.
    ChosenEditor(EditorChoice::Editor editor, OpenInEditor openInEditor, OpenWithShell openWithShell);

    EditorChoice::Editor editor() const { return m_editor; }

    // A record's text file. For WPS and Word the copy is `path` without its last four characters,
    // then `copySuffix` and ".wps" or ".doc"; it holds `text`, or the file's own text when none is
    // given. Failed fills `error` with what went wrong; a choice that names no editor opens the
    // built-in editor.
    Outcome openRecord(const QString &path, const QString &copySuffix = {},
                       const std::optional<QString> &text = std::nullopt, QString *error = nullptr) const;
    // Any file as it is: the built-in editor for "Notavo", the shell for every other choice.
    Outcome openAsIs(const QString &path) const;

    // Where openRecord writes the RTF copy of `path`: `extension` is ".wps" or ".doc".
    static QString richCopyPath(const QString &path, const QString &copySuffix, const QString &extension);

private:
    Outcome openInBuiltInEditor(const QString &path) const;
    Outcome openRichCopy(const QString &path, const QString &copySuffix, const std::optional<QString> &text,
                         QString *error) const;

    EditorChoice::Editor m_editor;
    OpenInEditor m_openInEditor;
    OpenWithShell m_openWithShell;
};

#include "settings/choseneditor.h"

#include "common/gbktextfile.h"
#include "common/rtfdocument.h"

using EditorChoice::Editor;

ChosenEditor::ChosenEditor(Editor editor, OpenInEditor openInEditor, OpenWithShell openWithShell)
    : m_editor(editor)
    , m_openInEditor(std::move(openInEditor))
    , m_openWithShell(std::move(openWithShell))
{
}

QString ChosenEditor::richCopyPath(const QString &path, const QString &copySuffix, const QString &extension)
{
    return path.chopped(std::min<qsizetype>(4, path.size())) + copySuffix + extension;
}

ChosenEditor::Outcome ChosenEditor::openRecord(const QString &path, const QString &copySuffix,
                                               const std::optional<QString> &text, QString *error) const
{
    switch (m_editor) {
    // A choice that names no editor (none stored yet, on a fresh install) opens the record in
    // the built-in editor rather than nowhere.
    case Editor::None:
    case Editor::BuiltIn:
        return openInBuiltInEditor(path);
    case Editor::Notepad:
        m_openWithShell(path);
        return Outcome::WithShell;
    case Editor::Wps:
    case Editor::Word:
        return openRichCopy(path, copySuffix, text, error);
    }
    return Outcome::NotOpened;
}

ChosenEditor::Outcome ChosenEditor::openAsIs(const QString &path) const
{
    if (m_editor == Editor::BuiltIn)
        return openInBuiltInEditor(path);
    return m_openWithShell(path) ? Outcome::WithShell : Outcome::NotOpened;
}

ChosenEditor::Outcome ChosenEditor::openInBuiltInEditor(const QString &path) const
{
    if (!m_openInEditor)
        return Outcome::NotOpened;
    m_openInEditor(path);
    return Outcome::InEditor;
}

ChosenEditor::Outcome ChosenEditor::openRichCopy(const QString &path, const QString &copySuffix,
                                                 const std::optional<QString> &text, QString *error) const
{
    const std::optional<QString> plainText = text ? text : GbkTextFile::read(path, error);
    const QString extension = m_editor == Editor::Wps ? QStringLiteral(".wps") : QStringLiteral(".doc");
    const QString copyPath = richCopyPath(path, copySuffix, extension);
    if (!plainText || !GbkTextFile::writeBytes(copyPath, RtfDocument::fromPlainText(*plainText), error))
        return Outcome::Failed;
    m_openWithShell(copyPath);
    return Outcome::Converted;
}

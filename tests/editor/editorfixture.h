#pragma once

#include "editor/documenttextedit.h"
#include "editor/documentwindow.h"
#include "editor/editorcontroller.h"
#include "editor/editorwindow.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/scripteddialogs.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

// An editor with a temporary folder, a fixed clock and scripted dialogs.
struct EditorFixture
{
    QTemporaryDir dir;
    FakeClock clock;
    ScriptedDialogs dialogs;
    QString openFolder;
    EditorController editor{{clock, dialogs, [this] { return openFolder; }}};

    QString path(const QString &name) const { return QDir::toNativeSeparators(dir.filePath(name)); }

    EditorWindow &frame()
    {
        if (!editor.frame())
            editor.restore();
        return *editor.frame();
    }
    const EditorActions &actions() { return frame().actions(); }
    DocumentWindow *active() { return frame().activeDocument(); }
    DocumentTextEdit *edit() { return active()->textEdit(); }

    DocumentWindow *newDocument(const QString &text = {})
    {
        actions().newButton->trigger();
        if (!text.isEmpty())
            edit()->insertPlainText(text);
        return active();
    }

    void select(int start, int end)
    {
        QTextCursor cursor = edit()->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        edit()->setTextCursor(cursor);
    }
};

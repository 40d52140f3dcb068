#pragma once

#include "editor/editorcontroller.h"
#include "editor/frmmdi.h"
#include "editor/frmmdichild.h"
#include "editor/richedit.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/scripteddialogs.h"
#include "store/currentrecord.h"
#include "store/recordstore.h"

#include <QAction>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

// An editor with its own record database, a fixed clock and scripted dialogs.
struct EditorFixture
{
    QTemporaryDir dir;
    RecordStore store{dir.filePath(QStringLiteral("filelist.db"))};
    CurrentRecord record{};
    FakeClock clock;
    ScriptedDialogs dialogs;
    EditorController editor{{store, record, clock, dialogs}};

    QString path(const QString &name) const { return QDir::toNativeSeparators(dir.filePath(name)); }

    FrmMdi &frame()
    {
        if (!editor.frame())
            editor.restore();
        return *editor.frame();
    }
    QAction *item(const char *name) { return frame().findChild<QAction *>(QLatin1String(name)); }
    FrmMdiChild *active() { return frame().activeDocument(); }
    RichEdit *edit() { return active()->ricEdit(); }

    FrmMdiChild *newDocument(const QString &text = {})
    {
        frame().toolbarButtonClick(QStringLiteral("newFile"));
        if (!text.isEmpty())
            edit()->setPlainText(text);
        return active();
    }

    // The pointer moving over the frame's empty workspace.
    void movePointerOverWorkspace()
    {
        QWidget *viewport = frame().findChild<QMdiArea *>()->viewport();
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
    }

    void select(int start, int end)
    {
        QTextCursor cursor = edit()->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        edit()->setTextCursor(cursor);
    }
};

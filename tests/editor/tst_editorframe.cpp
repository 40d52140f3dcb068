#include "editorfixture.h"

#include "common/gbktextfile.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTextBlock>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QStringList visibleCaptions(const QList<QAction *> &actions)
{
    QStringList captions;
    for (const QAction *action : actions)
        if (action->isVisible())
            captions.append(action->isSeparator() ? QStringLiteral("—") : action->text());
    return captions;
}

} // namespace

class TestEditorFrame : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;

    QList<int> enabledButtons()
    {
        QList<int> enabled;
        const QList<QAction *> buttons = f->actions().toolBar->actions();
        for (int position = 1; position <= buttons.size(); ++position)
            if (buttons[position - 1]->isEnabled())
                enabled.append(position);
        return enabled;
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() { f.reset(); }

    void commandStatesFollowTheActiveDocument()
    {
        EditorWindow &frame = f->frame();
        const EditorActions &actions = f->actions();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Notavo"));
        const QStringList names{u"newButton"_s,       u"openButton"_s,   u"saveButton"_s,       u"printButton"_s,
                                u"cutButton"_s,       u"copyButton"_s,   u"pasteButton"_s,      u"alignLeftButton"_s,
                                u"centerButton"_s,    u"alignRightButton"_s, u"indentedLeftButton"_s, u"fontButton"_s,
                                u"colorButton"_s};
        const QList<QAction *> buttons = actions.toolBar->actions();
        QCOMPARE(buttons.size(), names.size());
        for (int position = 1; position <= 13; ++position)
            QCOMPARE(buttons[position - 1]->objectName(), names[position - 1]);

        // With no document open only new and open are offered.
        QCOMPARE(enabledButtons(), (QList<int>{1, 2}));
        QCOMPARE(visibleCaptions(actions.fileMenu->actions()),
                 (QStringList{u"新建(&N)"_s, u"打开(&O)"_s, u"—"_s, u"—"_s, u"退出(&Q)"_s}));
        QCOMPARE(visibleCaptions(frame.menuBar()->actions()),
                 (QStringList{u"文件(&F)"_s, u"历史记录(&L)"_s, u"帮助(&H)"_s}));

        // A new document brings the document commands at once; nothing is selected yet.
        f->newDocument(QStringLiteral("ab"));
        QCOMPARE(enabledButtons(), (QList<int>{1, 2, 3, 4, 8, 9, 10, 11, 12, 13}));
        QCOMPARE(visibleCaptions(frame.menuBar()->actions()),
                 (QStringList{u"文件(&F)"_s, u"编辑(&E)"_s, u"文字(&T)"_s, u"窗口(&W)"_s, u"历史记录(&L)"_s, u"帮助(&H)"_s}));
        QVERIFY(actions.saveAction->isVisible());
        for (QAction *action : {actions.cutAction, actions.copyAction, actions.deleteAction, actions.pasteAction})
            QVERIFY(!action->isEnabled());
        QVERIFY(actions.selectAllAction->isEnabled());

        // The clipboard and the selection count as soon as they change.
        QGuiApplication::clipboard()->setText(QStringLiteral("外来"));
        QVERIFY(actions.pasteAction->isEnabled());
        f->select(0, 1);
        QCOMPARE(enabledButtons(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
        QVERIFY(actions.cutAction->isEnabled() && actions.deleteAction->isEnabled());
        f->select(1, 1);
        QVERIFY(!actions.cutButton->isEnabled() && actions.pasteButton->isEnabled());

        // Closing the last document takes the document commands away again.
        f->dialogs.answers.enqueue(Dialogs::Answer::No);
        actions.closeAction->trigger();
        QVERIFY(frame.documents().isEmpty());
        QCOMPARE(enabledButtons(), (QList<int>{1, 2}));
        QVERIFY(!actions.editMenu->menuAction()->isVisible());
    }

    void newWindowsTakeThreeQuartersOfTheWorkspaceAndCascade()
    {
        const QSize area = f->frame().findChild<QMdiArea *>()->viewport()->size();
        QWidget *first = f->newDocument()->parentWidget();
        QWidget *second = f->newDocument()->parentWidget();
        QCOMPARE(first->size(), QSize(area.width() * 3 / 4, area.height() * 3 / 4));
        QCOMPARE(second->size(), first->size());
        QCOMPARE(first->pos(), QPoint(0, 0));
        QVERIFY(second->x() > 0 && second->x() == second->y());

        // The frame grows after the documents opened (a window manager maximising it): a window
        // left as placed follows the workspace, one the user resized stays as the user left it.
        second->resize(200, 150);
        f->frame().resize(f->frame().size() + QSize(300, 200));
        QCoreApplication::processEvents();
        const QSize grown = f->frame().findChild<QMdiArea *>()->viewport()->size();
        QVERIFY(grown.width() > area.width());
        QCOMPARE(first->size(), QSize(grown.width() * 3 / 4, grown.height() * 3 / 4));
        QCOMPARE(second->size(), QSize(200, 150));
    }

    void deleteKeyGoesToTheCommandOnlyWhileItIsEnabled()
    {
        EditorWindow &frame = f->frame();
        QApplication::setActiveWindow(&frame);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        f->newDocument(QStringLiteral("abc"));
        f->edit()->setFocus();
        f->select(0, 0);
        QVERIFY(!frame.commandTakesKey(QKeySequence(Qt::Key_Delete)));
        QTest::keyClick(f->edit(), Qt::Key_Delete);
        QCOMPARE(f->edit()->toPlainText(), QStringLiteral("bc"));

        QSignalSpy deletes(f->actions().deleteAction, &QAction::triggered);
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        f->select(0, 1);
        QVERIFY(frame.commandTakesKey(QKeySequence(Qt::Key_Delete)));
        QTest::keyClick(f->edit(), Qt::Key_Delete);
        QCOMPARE(deletes.size(), 1);
        QCOMPARE(f->edit()->toPlainText(), QStringLiteral("c"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));

        // Ctrl+C through the command leaves plain text only.
        f->edit()->setHtml(QStringLiteral("<b>粗体</b>"));
        f->select(0, 2);
        QTest::keyClick(f->edit(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{u"text/plain"_s});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("粗体"));

        // With the Edit menu hidden the text area handles its own keys.
        f->actions().editMenu->menuAction()->setVisible(false);
        QVERIFY(!frame.commandTakesKey(QKeySequence(Qt::Key_Delete)));
        QTest::keyClick(f->edit(), Qt::Key_Delete);
        QCOMPARE(deletes.size(), 1);
        QCOMPARE(f->edit()->toPlainText(), QString());
    }

    void captionsAndModifiedState()
    {
        DocumentWindow *first = f->newDocument();
        QCOMPARE(first->caption(), QStringLiteral("新记录2"));
        QVERIFY(first->isModified() && first->isWindowModified());
        QCOMPARE(f->newDocument()->caption(), QStringLiteral("新记录3"));
        QCOMPARE(f->frame().documents().size(), 2);

        const QString path = f->path(QStringLiteral("旧文.txt"));
        QVERIFY(GbkTextFile::write(path, QStringLiteral("第一行\n第二行")));
        f->editor.openInEditor(path);
        DocumentWindow *loaded = f->active();
        QCOMPARE(loaded->caption(), path);
        QCOMPARE(loaded->filePath(), path);
        QVERIFY(!loaded->isModified() && !loaded->isWindowModified());
        QCOMPARE(f->frame().documents().size(), 3);
        QCOMPARE(loaded->textEdit()->document()->lastBlock().blockFormat().leftMargin(), 1250 / 15.0);

        // Focus indents the paragraph without marking a change, and so does moving the caret.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(loaded->textEdit(), &focusIn);
        QVERIFY(!loaded->isModified());
        QCOMPARE(loaded->textEdit()->textCursor().blockFormat().rightMargin(), 120.0);
        loaded->textEdit()->moveCursor(QTextCursor::End);
        QVERIFY(!loaded->isModified());

        // Typing is a change, and closing then asks.
        loaded->textEdit()->insertPlainText(QStringLiteral("。"));
        QVERIFY(loaded->isModified() && loaded->isWindowModified());
        f->dialogs.answers.enqueue(Dialogs::Answer::No);
        QVERIFY(loaded->parentWidget()->close());
        QCOMPARE(f->dialogs.messages.size(), 1);
        QCOMPARE(f->dialogs.messages[0].text, QStringLiteral("当前文档") + path + QStringLiteral("尚未保存！是否保存？"));
        QCOMPARE(f->dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(f->frame().documents().size(), 2);

        // An untouched loaded document closes without a question.
        f->editor.openInEditor(path);
        f->edit()->moveCursor(QTextCursor::End);
        QVERIFY(f->active()->parentWidget()->close());
        QCOMPARE(f->dialogs.messages.size(), 1);
    }

    void cancellingTheSaveOfAClosingDocumentKeepsIt()
    {
        DocumentWindow *document = f->newDocument(QStringLiteral("要紧的文字"));
        f->dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QVERIFY(!document->parentWidget()->close());
        QCOMPARE(f->dialogs.messages.last().text, QStringLiteral("当前文档新记录2尚未保存！是否保存？"));
        QCOMPARE(f->dialogs.fileDialogs.size(), 1);
        QCOMPARE(f->frame().documents().size(), 1);

        // Also when the frame closes: the frame stays, with the document.
        f->dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QVERIFY(!f->frame().close());
        QVERIFY(f->editor.frame() && f->frame().isVisible());
        QCOMPARE(f->edit()->toPlainText(), QStringLiteral("要紧的文字"));

        // Answering No closes every document and unloads the frame.
        f->newDocument();
        f->dialogs.answers.enqueue(Dialogs::Answer::No);
        f->dialogs.answers.enqueue(Dialogs::Answer::No);
        QSignalSpy marks(&f->editor, &EditorController::trayMarksChanged);
        f->actions().quitAction->trigger();
        QCOMPARE(f->dialogs.messages.size(), 4);
        QVERIFY(!marks.isEmpty() && !marks.last().at(0).toBool());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f->editor.frame());

        // A new frame starts counting again.
        QCOMPARE(f->newDocument()->caption(), QStringLiteral("新记录2"));
        QCOMPARE(f->frame().documents().size(), 1);
    }

    void minimisingHidesTheFrameAndFlipsTheTrayMarks()
    {
        f->frame();
        QSignalSpy marks(&f->editor, &EditorController::trayMarksChanged);
        f->editor.minimize();
        QVERIFY(!f->frame().isVisible());
        QVERIFY(!marks.isEmpty() && !marks.last().at(0).toBool());
        f->editor.restore();
        QVERIFY(f->frame().isVisible() && !f->frame().isMinimized());
        QVERIFY(marks.last().at(0).toBool());
    }

    void openInEditorLoadsTheFrameAndReportsUnreadableFiles()
    {
        QVERIFY(!f->editor.frame());
        const QString missing = f->path(QStringLiteral("不在.txt"));
        f->editor.openInEditor(missing);
        QVERIFY(f->editor.frame() && f->frame().isVisible());
        QCOMPARE(f->frame().documents().size(), 1);
        QCOMPARE(f->dialogs.messages.size(), 1);
        QCOMPARE(f->dialogs.messages[0].text, QStringLiteral("打开文件失败！"));
        QCOMPARE(f->dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(f->active()->caption(), missing);
        QVERIFY(f->active()->filePath().isEmpty());
        QVERIFY(!f->active()->isModified());
    }

    void newDocumentNumbersStopAt32767()
    {
        f->frame().setNewDocumentNumber(32767);
        f->newDocument();
        QVERIFY(f->frame().documents().isEmpty());
        QCOMPARE(f->frame().newDocumentNumber(), 32767);
    }
};

QTEST_MAIN(TestEditorFrame)
#include "tst_editorframe.moc"

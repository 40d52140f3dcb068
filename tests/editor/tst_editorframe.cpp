#include "editorfixture.h"

#include "common/gbktextfile.h"

#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTextBlock>
#include <memory>

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
        for (int position = 1; position <= 13; ++position)
            if (f->frame().toolbarButton(position)->isEnabled())
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

    void commandStatesFollowTheRefreshRule()
    {
        FrmMdi &frame = f->frame();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Notavo"));
        const QStringList keys{"newFile", "openFile", "saveFile", "printFile", "cutText", "copyText", "pasteText",
                               "left", "mid", "right", "leftRight", "textFont", "textColor"};
        for (int position = 1; position <= 13; ++position)
            QCOMPARE(frame.toolbarButton(position)->objectName(), keys[position - 1]);
        // Right after loading: only cut, copy and paste are disabled, every item is shown.
        QCOMPARE(enabledButtons(), (QList<int>{1, 2, 3, 4, 8, 9, 10, 11, 12, 13}));
        QCOMPARE(visibleCaptions(frame.menuBar()->actions()),
                 (QStringList{"文件(&F)", "编辑(&E)", "文字(&T)", "窗口(&W)", "历史记录(&L)", "帮助(&H)"}));

        f->movePointerOverWorkspace();
        QCOMPARE(enabledButtons(), (QList<int>{1, 2}));
        QCOMPARE(visibleCaptions(f->item("mnuFile")->menu()->actions()),
                 (QStringList{"新建(&N)", "打开(&O)", "—", "—", "退出(&Q)"}));
        QCOMPARE(visibleCaptions(frame.menuBar()->actions()),
                 (QStringList{"文件(&F)", "历史记录(&L)", "帮助(&H)"}));

        // A new document shows up again only at the next refresh.
        f->newDocument(QStringLiteral("ab"));
        QVERIFY(!f->item("mnuEdit")->isVisible());
        f->movePointerOverWorkspace();
        QCOMPARE(enabledButtons(), (QList<int>{1, 2, 3, 4, 8, 9, 10, 11, 12, 13}));
        QVERIFY(f->item("mnuEdit")->isVisible() && f->item("mFileSave")->isVisible());
        for (const char *name : {"mEditCut", "mEditCopy", "mEditDelete", "mEditPaste"})
            QVERIFY(!f->item(name)->isEnabled());
        QVERIFY(f->item("mEditAll")->isEnabled());

        // The clipboard and the selection count at the next selection change.
        QGuiApplication::clipboard()->setText(QStringLiteral("外来"));
        QVERIFY(!f->item("mEditPaste")->isEnabled());
        f->select(0, 1);
        QCOMPARE(enabledButtons(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
        QVERIFY(f->item("mEditCut")->isEnabled() && f->item("mEditPaste")->isEnabled());

        // An unknown key does nothing.
        frame.toolbarButtonClick(QStringLiteral("NewFile"));
        QCOMPARE(frame.documents().size(), 1);
    }

    void deleteKeyGoesToTheCommandOnlyWhileItIsEnabled()
    {
        FrmMdi &frame = f->frame();
        QApplication::setActiveWindow(&frame);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        f->newDocument(QStringLiteral("abc"));
        f->movePointerOverWorkspace();
        f->edit()->setFocus();
        f->select(0, 0);
        QVERIFY(!frame.commandTakesKey(QKeySequence(Qt::Key_Delete)));
        QTest::keyClick(f->edit(), Qt::Key_Delete);
        QCOMPARE(f->edit()->toPlainText(), QStringLiteral("bc"));

        QSignalSpy deletes(f->item("mEditDelete"), &QAction::triggered);
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
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("粗体"));

        // With the Edit menu hidden the text area handles its own keys.
        f->item("mnuEdit")->setVisible(false);
        QVERIFY(!frame.commandTakesKey(QKeySequence(Qt::Key_Delete)));
        QTest::keyClick(f->edit(), Qt::Key_Delete);
        QCOMPARE(deletes.size(), 1);
        QCOMPARE(f->edit()->toPlainText(), QString());
    }

    void captionsAndChangeMarker()
    {
        FrmMdiChild *first = f->newDocument();
        QCOMPARE(first->caption(), QStringLiteral("新记录2"));
        QVERIFY(first->docChanged());
        QCOMPARE(f->newDocument()->caption(), QStringLiteral("新记录3"));
        QCOMPARE(f->editor.state().docCount, 2);

        const QString path = f->path(QStringLiteral("旧文.txt"));
        QVERIFY(GbkTextFile::write(path, QStringLiteral("第一行\n第二行")));
        f->editor.openInEditor(path);
        FrmMdiChild *loaded = f->active();
        QCOMPARE(loaded->caption(), path);
        QCOMPARE(loaded->txtChange(), QStringLiteral("0"));
        QVERIFY(!loaded->docChanged());
        QCOMPARE(f->editor.state().docCount, 3);
        QCOMPARE(loaded->ricEdit()->document()->lastBlock().blockFormat().leftMargin(), 1250 / 15.0);

        // Focus hands the path over and indents the paragraph without marking a change.
        f->editor.state().activeDocPath.clear();
        QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(loaded->ricEdit(), &focusIn);
        QCOMPARE(f->editor.state().activeDocPath, path);
        QVERIFY(!loaded->docChanged());
        QCOMPARE(loaded->ricEdit()->textCursor().blockFormat().rightMargin(), 120.0);

        // Closing an untouched document asks nothing; moving the caret is a change.
        loaded->ricEdit()->moveCursor(QTextCursor::End);
        QVERIFY(loaded->docChanged());
        f->dialogs.answers.enqueue(Dialogs::Answer::No);
        QVERIFY(loaded->parentWidget()->close());
        QCOMPARE(f->dialogs.messages.size(), 1);
        QCOMPARE(f->dialogs.messages[0].text, QStringLiteral("当前文档") + path + QStringLiteral("尚未保存！是否保存？"));
        QCOMPARE(f->dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(f->editor.state().docCount, 2);
    }

    void cancellingTheSaveOfAClosingDocumentKeepsIt()
    {
        FrmMdiChild *document = f->newDocument(QStringLiteral("要紧的文字"));
        f->dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QVERIFY(!document->parentWidget()->close());
        QCOMPARE(f->dialogs.messages.last().text, QStringLiteral("当前文档新记录2尚未保存！是否保存？"));
        QCOMPARE(f->dialogs.fileDialogs.size(), 1);
        QCOMPARE(f->frame().documents().size(), 1);
        QCOMPARE(f->editor.state().docCount, 1);

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
        f->item("mFileQuit")->trigger();
        QCOMPARE(f->dialogs.messages.size(), 4);
        QVERIFY(!marks.isEmpty() && !marks.last().at(0).toBool());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f->editor.frame());

        // A new frame starts counting again.
        QCOMPARE(f->newDocument()->caption(), QStringLiteral("新记录2"));
        QCOMPARE(f->editor.state().docCount, 1);
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
        QCOMPARE(f->editor.state().docCount, 1);
        QCOMPARE(f->dialogs.messages.size(), 1);
        QCOMPARE(f->dialogs.messages[0].text, QStringLiteral("打开文件失败！"));
        QCOMPARE(f->dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(f->active()->caption(), missing);
        QVERIFY(f->active()->docPath().isEmpty());
    }

    void countersStopAtSixteenBits()
    {
        f->frame();
        f->editor.state().newDocNumber = 32767;
        f->newDocument();
        QVERIFY(f->frame().documents().isEmpty());
        QCOMPARE(f->editor.state().docCount, 0);
        QCOMPARE(f->editor.state().newDocNumber, qint16(32767));
    }
};

QTEST_MAIN(TestEditorFrame)
#include "tst_editorframe.moc"

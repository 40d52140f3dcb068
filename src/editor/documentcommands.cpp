#include "editor/documentcommands.h"

#include "common/gbktextfile.h"
#include "editor/editorstate.h"
#include "editor/frmmdi.h"
#include "editor/frmmdichild.h"
#include "editor/savedrecord.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "store/recordstore.h"

#include <QDir>

DocumentCommands::DocumentCommands(FrmMdi &frame)
    : m_frame(frame)
{
}

QString DocumentCommands::fileFilter()
{
    return QStringLiteral("文本文件(*.TXT) (*.txt)");
}

void DocumentCommands::newDocument()
{
    EditorState &state = m_frame.state();
    if (!EditorState::canRaise(state.docCount) || !EditorState::canRaise(state.newDocNumber))
        return;
    ++state.docCount;
    ++state.newDocNumber;
    state.openMode = 0;
    m_frame.addDocument(new FrmMdiChild(m_frame, state));
}

void DocumentCommands::openDocument()
{
    EditorState &state = m_frame.state();
    if (!EditorState::canRaise(state.docCount))
        return;
    const std::optional<QString> path =
        m_frame.dialogs().openFileName(&m_frame, QStringLiteral("打开"), fileFilter());
    if (!path)
        return;
    state.openFilePath = QDir::toNativeSeparators(*path);
    ++state.docCount;
    openWindow();
}

void DocumentCommands::openInEditor()
{
    EditorState &state = m_frame.state();
    if (!EditorState::canRaise(state.docCount))
        return;
    openWindow();
    // Counted after the window is shown: a frame loaded for it starts counting at 0.
    ++state.docCount;
}

void DocumentCommands::openWindow()
{
    EditorState &state = m_frame.state();
    state.openMode = 1;
    auto *window = new FrmMdiChild(m_frame, state);
    m_frame.addDocument(window);
    // A loaded document starts unchanged.
    window->setTxtChange(QStringLiteral("0"));
}

void DocumentCommands::saveDocument()
{
    if (FrmMdiChild *window = m_frame.activeDocument())
        saveTo(*window, m_frame.state().activeDocPath);
}

void DocumentCommands::saveDocumentAs()
{
    if (FrmMdiChild *window = m_frame.activeDocument())
        saveWindowAs(*window);
}

bool DocumentCommands::saveWindow(FrmMdiChild &window)
{
    return saveTo(window, window.docPath());
}

bool DocumentCommands::saveTo(FrmMdiChild &window, const QString &path)
{
    if (path.isEmpty())
        return saveWindowAs(window);
    if (!write(window, path))
        return false;
    window.setTxtChange(QStringLiteral("0"));
    return true;
}

bool DocumentCommands::saveWindowAs(FrmMdiChild &window)
{
    const std::optional<QString> chosen =
        m_frame.dialogs().saveFileName(&m_frame, QStringLiteral("  "), fileFilter());
    if (!chosen)
        return false;
    const QString path = QDir::toNativeSeparators(*chosen);
    if (!write(window, path))
        return false;
    m_frame.state().activeDocPath = path;
    window.setDocPath(path);
    window.setWindowTitle(path);
    window.setTxtChange(QStringLiteral("0"));

    FrmMdi::Services &services = m_frame.services();
    SavedRecord::fill(services.record, path, window.plainText());
    if (!services.store.addFileData(services.record, services.clock.today())) {
        m_frame.dialogs().message(&m_frame, Dialogs::systemTitle(),
                                  QStringLiteral("文件已保存，但记录未能写入数据库！\n") + services.store.lastError(),
                                  Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
    return true;
}

bool DocumentCommands::write(FrmMdiChild &window, const QString &path)
{
    QString error;
    if (GbkTextFile::write(path, window.plainText(), &error))
        return true;
    m_frame.dialogs().message(&m_frame, Dialogs::systemTitle(), QStringLiteral("保存文件失败！\n") + error,
                              Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    return false;
}

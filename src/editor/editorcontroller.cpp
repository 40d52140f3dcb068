#include "editor/editorcontroller.h"

#include "editor/editorwindow.h"

EditorController::EditorController(Services services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_printers(PrinterSource::system())
{
}

EditorController::~EditorController()
{
    delete m_frame;
}

EditorWindow &EditorController::ensureFrame()
{
    if (!m_frame) {
        m_frame = new EditorWindow(m_services, m_printers);
        connect(m_frame, &EditorWindow::trayMarksChanged, this, &EditorController::trayMarksChanged);
        connect(m_frame, &EditorWindow::documentSavedAs, this, &EditorController::documentSavedAs);
        connect(m_frame, &EditorWindow::historyRequested, this, &EditorController::historyRequested);
        connect(m_frame, &EditorWindow::helpRequested, this, &EditorController::helpRequested);
        connect(m_frame, &EditorWindow::aboutRequested, this, &EditorController::aboutRequested);
    }
    return *m_frame;
}

void EditorController::openInEditor(const QString &path)
{
    ensureFrame().openFile(path);
}

void EditorController::restore()
{
    EditorWindow &frame = ensureFrame();
    if (!frame.isVisible() && !frame.isMinimized())
        frame.setWindowState(Qt::WindowNoState);
    frame.showFrame();
    frame.raise();
    frame.activateWindow();
}

void EditorController::minimize()
{
    if (m_frame && m_frame->isVisible())
        m_frame->setWindowState(m_frame->windowState() | Qt::WindowMinimized);
    Q_EMIT trayMarksChanged(false);
}

void EditorController::unload()
{
    if (m_frame)
        m_frame->close();
}

void EditorController::setPrinterSource(PrinterSource printers)
{
    m_printers = std::move(printers);
    if (m_frame)
        m_frame->setPrinterSource(m_printers);
}

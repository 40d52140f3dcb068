#include "editor/editorcontroller.h"

#include "editor/frmmdi.h"

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

FrmMdi &EditorController::ensureFrame()
{
    if (!m_frame) {
        m_frame = new FrmMdi(m_state, {m_services.store, m_services.record, m_services.clock,
                                       m_services.dialogs, m_printers});
        connect(m_frame, &FrmMdi::trayMarksChanged, this, &EditorController::trayMarksChanged);
        connect(m_frame, &FrmMdi::historyRequested, this, &EditorController::historyRequested);
        connect(m_frame, &FrmMdi::helpRequested, this, &EditorController::helpRequested);
        connect(m_frame, &FrmMdi::aboutRequested, this, &EditorController::aboutRequested);
    }
    return *m_frame;
}

void EditorController::openInEditor(const QString &path)
{
    m_state.openFilePath = path;
    ensureFrame().documentCommands().openInEditor();
}

void EditorController::restore()
{
    FrmMdi &frame = ensureFrame();
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
        m_frame->services().printers = m_printers;
}

#pragma once

#include "editor/editorservices.h"
#include "editor/printersource.h"

#include <QObject>
#include <QPointer>

class EditorWindow;

// The built-in editor as the rest of the program sees it. The frame is loaded on first use
// and unloaded when closed; the application wires the signals to the tray and to the
// history, help and about windows.
class EditorController final : public QObject
{
    Q_OBJECT

public:
    using Services = EditorServices;

    explicit EditorController(Services services, QObject *parent = nullptr);
    ~EditorController() override;
    Q_DISABLE_COPY_MOVE(EditorController)

    // The frame, or nullptr while it is not loaded.
    EditorWindow *frame() const { return m_frame; }

    // Opens `path` in a new document window, loading and showing the frame when needed.
    void openInEditor(const QString &path);
    // The tray's "&打开编辑": loads the frame when needed and shows it.
    void restore();
    // The tray's "&隐藏编辑": minimising hides the frame.
    void minimize();
    // Closes the frame with its documents (each asks about unsaved changes).
    void unload();

    void setPrinterSource(PrinterSource printers);

Q_SIGNALS:
    // The tray's marks: "&打开编辑" checked when true, "&隐藏编辑" checked when false.
    void trayMarksChanged(bool editorShown);
    // A document was saved under a name the user chose; the application records it.
    void documentSavedAs(const QString &path, const QString &plainText);
    void historyRequested();
    void helpRequested();
    void aboutRequested();

private:
    EditorWindow &ensureFrame();

    Services m_services;
    PrinterSource m_printers;
    QPointer<EditorWindow> m_frame;
};

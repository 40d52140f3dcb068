#pragma once

#include "editor/editorstate.h"
#include "editor/printersource.h"

#include <QObject>
#include <QPointer>

class Clock;
class Dialogs;
class FrmMdi;
class RecordStore;
struct CurrentRecord;

// The built-in editor as the rest of the program sees it. The frame is loaded on first use
// and unloaded when closed; the application wires the signals to the tray and to the
// history, help and about windows.
class EditorController final : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        RecordStore &store;
        CurrentRecord &record;
        const Clock &clock;
        Dialogs &dialogs;
    };

    explicit EditorController(Services services, QObject *parent = nullptr);
    ~EditorController() override;
    Q_DISABLE_COPY_MOVE(EditorController)

    EditorState &state() { return m_state; }
    // The frame, or nullptr while it is not loaded.
    FrmMdi *frame() const { return m_frame; }

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
    void historyRequested();
    void helpRequested();
    void aboutRequested();

private:
    FrmMdi &ensureFrame();

    Services m_services;
    PrinterSource m_printers;
    EditorState m_state;
    QPointer<FrmMdi> m_frame;
};

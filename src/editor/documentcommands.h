#pragma once

#include <QString>

class FrmMdi;
class FrmMdiChild;

// The editor's file commands: new, open, open a given file, save and save under a new name.
// Each acts on the frame's active document window and does nothing when none is open.
class DocumentCommands final
{
public:
    explicit DocumentCommands(FrmMdi &frame);
    Q_DISABLE_COPY_MOVE(DocumentCommands)

    void newDocument();
    void openDocument();
    // Opens the editor state's openFilePath in a new window.
    void openInEditor();
    void saveDocument();
    void saveDocumentAs();

    // "保存(&S)" for one window: to its file, or under a new name when it has none.
    // False when nothing was saved (cancelled or failed).
    bool saveWindow(FrmMdiChild &window);

    static QString fileFilter();

private:
    bool saveTo(FrmMdiChild &window, const QString &path);
    bool saveWindowAs(FrmMdiChild &window);
    bool write(FrmMdiChild &window, const QString &path);
    void openWindow();

    FrmMdi &m_frame;
};

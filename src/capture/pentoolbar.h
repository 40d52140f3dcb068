#pragma once

#include "capture/capturemode.h"

#include <QToolBar>

// The capture window's two mode buttons: one starts pen mode, the other goes back to web mode.
// The button of the mode in use is disabled.
class PenToolbar final : public QToolBar
{
    Q_OBJECT

public:
    explicit PenToolbar(QWidget *parent = nullptr);

    // Enables the button that leaves `mode`, disables the one that starts it.
    void showMode(CaptureMode mode);
    // True for the toolbar and for each of its buttons.
    bool holds(const QWidget *widget) const;

Q_SIGNALS:
    void modeRequested(CaptureMode mode);

private:
    QAction *addModeButton(CaptureMode mode, const QString &objectName, const QString &tip);
    void setButtonEnabled(QAction *button, bool enabled);

    QAction *m_penButton = nullptr;
    QAction *m_webButton = nullptr;
};

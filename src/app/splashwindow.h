#pragma once

#include <QTimer>
#include <QWidget>

// The splash window splashWindow. Its 100 ms timer announces at the 10th tick that the capture
// window and the tray icon are due, and closes the splash at the 20th.
class SplashWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit SplashWindow(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SplashWindow)

    // Shows the splash and starts its timer.
    void start();

public Q_SLOTS:
    void tick();

Q_SIGNALS:
    void captureWindowDue();
    void finished();

private:
    QTimer m_timer;
    int m_ticks = 0;
};

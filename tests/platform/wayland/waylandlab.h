#pragma once

#include <QString>
#include <QTemporaryDir>

// A headless Wayland compositor for one test program, started by waylandlab.sh in a folder of
// its own; this process is pointed at it (WAYLAND_DISPLAY, XDG_RUNTIME_DIR). Ends with it.
class WaylandLab final
{
public:
    WaylandLab() = default;
    ~WaylandLab();
    WaylandLab(const WaylandLab &) = delete;
    WaylandLab &operator=(const WaylandLab &) = delete;

    // "sway", "kwin" or "mutter". False with the reason in error() when it is missing or fails to start.
    bool start(const QString &compositor);
    QString error() const { return m_error; }
    // Ends the compositor now.
    void stop();

private:
    bool runScript(const QStringList &arguments, QString *output);

    QTemporaryDir m_folder;
    bool m_started = false;
    QString m_error;
};

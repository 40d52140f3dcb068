#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

class WaylandConnection;
struct wl_seat;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_source_v1;

// Puts a content on the clipboard with any types, as a browser or a password manager would,
// through wlroots' data-control protocol; hands the data out inside the event loop, writing
// each request at once, so keep the contents small (under a pipe's 64 KiB).
class ClipboardSource final
{
public:
    using Formats = QList<QPair<QString, QByteArray>>;

    ClipboardSource();
    ~ClipboardSource();
    ClipboardSource(const ClipboardSource &) = delete;
    ClipboardSource &operator=(const ClipboardSource &) = delete;

    bool isValid() const { return m_device != nullptr; }
    void copy(const Formats &formats);
    // How often a type was asked for, over every copy.
    int requests(const QString &type) const;

private:
    static void onSend(void *data, zwlr_data_control_source_v1 *source, const char *type, int fd);
    static void onCancelled(void *data, zwlr_data_control_source_v1 *source);

    std::unique_ptr<WaylandConnection> m_connection;
    wl_seat *m_seat = nullptr;
    zwlr_data_control_manager_v1 *m_manager = nullptr;
    zwlr_data_control_device_v1 *m_device = nullptr;
    zwlr_data_control_source_v1 *m_source = nullptr;
    Formats m_formats;
    QList<QString> m_requested;
};

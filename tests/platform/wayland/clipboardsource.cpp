#include "platform/wayland/clipboardsource.h"

#include "platform/wayland/waylandconnection.h"

#include <wayland-client.h>
#include <wlr-data-control-unstable-v1-client.h>

#include <unistd.h>

ClipboardSource::ClipboardSource()
    : m_connection(WaylandConnection::open())
{
    if (!m_connection)
        return;
    m_seat = static_cast<wl_seat *>(m_connection->bind(&wl_seat_interface, 1));
    m_manager = static_cast<zwlr_data_control_manager_v1 *>(
        m_connection->bind(&zwlr_data_control_manager_v1_interface, 1));
    if (!m_seat || !m_manager)
        return;
    // The device hears of every copy, its own too: let each offer go.
    static const zwlr_data_control_device_v1_listener deviceListener = {
        [](void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *) {},
        [](void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer) {
            if (offer)
                zwlr_data_control_offer_v1_destroy(offer);
        },
        [](void *, zwlr_data_control_device_v1 *) {},
        [](void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer) {
            if (offer)
                zwlr_data_control_offer_v1_destroy(offer);
        },
    };
    m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, m_seat);
    zwlr_data_control_device_v1_add_listener(m_device, &deviceListener, this);
    m_connection->roundtrip();
    m_connection->startDispatching();
}

ClipboardSource::~ClipboardSource()
{
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    if (m_manager)
        zwlr_data_control_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_connection)
        m_connection->roundtrip();
}

void ClipboardSource::copy(const Formats &formats)
{
    static const zwlr_data_control_source_v1_listener listener = {onSend, onCancelled};
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    m_formats = formats;
    m_source = zwlr_data_control_manager_v1_create_data_source(m_manager);
    zwlr_data_control_source_v1_add_listener(m_source, &listener, this);
    for (const auto &format : formats)
        zwlr_data_control_source_v1_offer(m_source, format.first.toUtf8().constData());
    zwlr_data_control_device_v1_set_selection(m_device, m_source);
    m_connection->flush();
}

int ClipboardSource::requests(const QString &type) const
{
    return static_cast<int>(m_requested.count(type));
}

void ClipboardSource::onSend(void *data, zwlr_data_control_source_v1 *, const char *type, int fd)
{
    auto *self = static_cast<ClipboardSource *>(data);
    const QString name = QString::fromUtf8(type);
    self->m_requested.append(name);
    for (const auto &format : std::as_const(self->m_formats)) {
        if (format.first == name) {
            const QByteArray &bytes = format.second;
            qsizetype written = 0;
            while (written < bytes.size()) {
                const ssize_t now = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
                if (now <= 0)
                    break;
                written += now;
            }
        }
    }
    ::close(fd);
}

void ClipboardSource::onCancelled(void *data, zwlr_data_control_source_v1 *source)
{
    auto *self = static_cast<ClipboardSource *>(data);
    zwlr_data_control_source_v1_destroy(source);
    if (self->m_source == source)
        self->m_source = nullptr;
}

#pragma once

#include "platform/clipboardwatcher.h"
#include "platform/wayland/offerreading.h"

#include <QHash>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class WaylandConnection;
struct wl_interface;
struct wl_proxy;
struct wl_seat;

// The session's clipboard through a data-control protocol, which lets a program without a
// focused window read it: ext_data_control_manager_v1 where offered, else
// zwlr_data_control_manager_v1 (both have the same requests and events). For each new content
// it first reads the password-manager markers, and unless the secrecy rule forbids it, the text
// and the page-address carriers; every read is a pipe read in the event loop, bounded in size
// and time. The content present when it starts is not reported, only those copied after.
class DataControlClipboard final : public ClipboardWatcher
{
    Q_OBJECT
public:
    // Null where the compositor offers neither protocol or no seat.
    static std::unique_ptr<DataControlClipboard> open(SecrecyRule secrecyRule = {});
    ~DataControlClipboard() override;
    DataControlClipboard(const DataControlClipboard &) = delete;
    DataControlClipboard &operator=(const DataControlClipboard &) = delete;

    // The manager's interface name, e.g. "ext_data_control_manager_v1".
    QByteArray protocolName() const;

    // The password-manager markers, read first for each content.
    static const QStringList &markerTypes();

private:
    // The interfaces of one of the two protocols.
    struct Protocol
    {
        const wl_interface *manager;
        const wl_interface *device;
    };
    enum class Phase { Idle, Markers, Contents };

    DataControlClipboard(std::unique_ptr<WaylandConnection> connection, SecrecyRule secrecyRule);
    bool start(const Protocol &protocol);

    void onDataOffer(wl_proxy *offer);
    void onOfferedType(wl_proxy *offer, const char *type);
    void onSelection(wl_proxy *offer);
    void onPrimarySelection(wl_proxy *offer);
    void onFinished();
    void destroyOffer(wl_proxy *offer);

    void readSelection();
    OfferReading::Receive selectionReceiver() const;
    void readContents();
    void onReadsFinished();
    void stopReading();

    std::unique_ptr<WaylandConnection> m_connection;
    SecrecyRule m_secrecyRule;
    wl_seat *m_seat = nullptr;
    wl_proxy *m_manager = nullptr;
    wl_proxy *m_device = nullptr;
    // Offers the compositor introduced, with the types each one listed.
    QHash<wl_proxy *, QStringList> m_offers;
    wl_proxy *m_selection = nullptr;
    bool m_reporting = false;

    Phase m_phase = Phase::Idle;
    ClipboardSnapshot m_snapshot;
    // Pipe reads of the current content.
    std::unique_ptr<OfferReading> m_reading;
};

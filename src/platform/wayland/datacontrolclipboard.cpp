#include "platform/wayland/datacontrolclipboard.h"

#include "platform/wayland/offerreading.h"
#include "platform/wayland/waylandconnection.h"

#include <ext-data-control-v1-client.h>
#include <wayland-client.h>
#include <wlr-data-control-unstable-v1-client.h>

#include <QMimeData>


// Both protocols are driven through one set of handlers: their requests and events have the
// same numbers and arguments, which the compiler checks here.
static_assert(EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE == ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE);
static_assert(EXT_DATA_CONTROL_MANAGER_V1_DESTROY == ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_DESTROY == ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_OFFER_V1_RECEIVE == ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE);
static_assert(EXT_DATA_CONTROL_OFFER_V1_DESTROY == ZWLR_DATA_CONTROL_OFFER_V1_DESTROY);

namespace {

struct DeviceListener
{
    void (*dataOffer)(void *data, wl_proxy *device, wl_proxy *offer);
    void (*selection)(void *data, wl_proxy *device, wl_proxy *offer);
    void (*finished)(void *data, wl_proxy *device);
    void (*primarySelection)(void *data, wl_proxy *device, wl_proxy *offer);
};
static_assert(sizeof(DeviceListener) == sizeof(ext_data_control_device_v1_listener));
static_assert(sizeof(DeviceListener) == sizeof(zwlr_data_control_device_v1_listener));

struct OfferListener
{
    void (*offer)(void *data, wl_proxy *offer, const char *mimeType);
};
static_assert(sizeof(OfferListener) == sizeof(ext_data_control_offer_v1_listener));
static_assert(sizeof(OfferListener) == sizeof(zwlr_data_control_offer_v1_listener));

void addListener(wl_proxy *proxy, const void *listener, void *data)
{
    // libwayland takes the listener as an array of function pointers.
    wl_proxy_add_listener(proxy, reinterpret_cast<void (**)(void)>(const_cast<void *>(listener)), data);
}

} // namespace

const QStringList &DataControlClipboard::markerTypes()
{
    // Password managers' marks that a content must not be kept.
    static const QStringList types = {
        QStringLiteral("x-kde-passwordManagerHint"), QStringLiteral("ExcludeClipboardContentFromMonitorProcessing"),
        QStringLiteral("CanIncludeInClipboardHistory"), QStringLiteral("org.nspasteboard.ConcealedType")};
    return types;
}

std::unique_ptr<DataControlClipboard> DataControlClipboard::open(SecrecyRule secrecyRule)
{
    std::unique_ptr<WaylandConnection> connection = WaylandConnection::open();
    if (!connection)
        return nullptr;
    Protocol protocol{};
    if (connection->offers(ext_data_control_manager_v1_interface.name))
        protocol = {&ext_data_control_manager_v1_interface, &ext_data_control_device_v1_interface};
    else if (connection->offers(zwlr_data_control_manager_v1_interface.name))
        protocol = {&zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface};
    else
        return nullptr;
    std::unique_ptr<DataControlClipboard> clipboard(
        new DataControlClipboard(std::move(connection), std::move(secrecyRule)));
    if (!clipboard->start(protocol))
        return nullptr;
    return clipboard;
}

DataControlClipboard::DataControlClipboard(std::unique_ptr<WaylandConnection> connection, SecrecyRule secrecyRule)
    : m_connection(std::move(connection))
    , m_secrecyRule(std::move(secrecyRule))
    , m_reading(std::make_unique<OfferReading>())
{
    connect(m_reading.get(), &OfferReading::finished, this, &DataControlClipboard::onReadsFinished);
}

DataControlClipboard::~DataControlClipboard()
{
    stopReading();
    const QList<wl_proxy *> offers = m_offers.keys();
    for (wl_proxy *offer : offers)
        destroyOffer(offer);
    if (m_device)
        wl_proxy_marshal_flags(m_device, ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY, nullptr,
                               wl_proxy_get_version(m_device), WL_MARSHAL_FLAG_DESTROY);
    if (m_manager)
        wl_proxy_marshal_flags(m_manager, ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY, nullptr,
                               wl_proxy_get_version(m_manager), WL_MARSHAL_FLAG_DESTROY);
    if (m_seat)
        wl_seat_destroy(m_seat);
    m_connection->flush();
}

QByteArray DataControlClipboard::protocolName() const
{
    return m_manager ? QByteArray(wl_proxy_get_class(m_manager)) : QByteArray();
}

bool DataControlClipboard::start(const Protocol &protocol)
{
    static const DeviceListener deviceListener = {
        [](void *data, wl_proxy *, wl_proxy *offer) { static_cast<DataControlClipboard *>(data)->onDataOffer(offer); },
        [](void *data, wl_proxy *, wl_proxy *offer) { static_cast<DataControlClipboard *>(data)->onSelection(offer); },
        [](void *data, wl_proxy *) { static_cast<DataControlClipboard *>(data)->onFinished(); },
        [](void *data, wl_proxy *, wl_proxy *offer) {
            static_cast<DataControlClipboard *>(data)->onPrimarySelection(offer);
        },
    };
    m_seat = static_cast<wl_seat *>(m_connection->bind(&wl_seat_interface, 1));
    // Version 1 of either manager: the clipboard only, no primary selection.
    m_manager = static_cast<wl_proxy *>(m_connection->bind(protocol.manager, 1));
    if (!m_seat || !m_manager)
        return false;
    m_device = wl_proxy_marshal_flags(m_manager, ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE, protocol.device,
                                      wl_proxy_get_version(m_manager), 0, nullptr, m_seat);
    if (!m_device)
        return false;
    addListener(m_device, &deviceListener, this);
    // The compositor answers the new device with the current content, which is not a new copy.
    if (!m_connection->roundtrip())
        return false;
    m_reporting = true;
    connect(m_connection.get(), &WaylandConnection::broken, this, [this] {
        stopReading();
        Q_EMIT lost();
    });
    m_connection->startDispatching();
    return true;
}

void DataControlClipboard::onDataOffer(wl_proxy *offer)
{
    static const OfferListener offerListener = {
        [](void *data, wl_proxy *typedOffer, const char *type) {
            static_cast<DataControlClipboard *>(data)->onOfferedType(typedOffer, type);
        },
    };
    m_offers.insert(offer, {});
    addListener(offer, &offerListener, this);
}

void DataControlClipboard::onOfferedType(wl_proxy *offer, const char *type)
{
    const auto found = m_offers.find(offer);
    if (found != m_offers.end())
        found->append(QString::fromUtf8(type));
}

void DataControlClipboard::onSelection(wl_proxy *offer)
{
    if (m_selection && m_selection != offer)
        destroyOffer(m_selection);
    m_selection = offer;
    if (m_reporting)
        readSelection();
}

void DataControlClipboard::onPrimarySelection(wl_proxy *offer)
{
    if (offer)
        destroyOffer(offer);
}

void DataControlClipboard::onFinished()
{
    // The seat went away: the device is inert and nothing more will be reported.
    stopReading();
    m_reporting = false;
    Q_EMIT lost();
}

void DataControlClipboard::destroyOffer(wl_proxy *offer)
{
    m_offers.remove(offer);
    wl_proxy_marshal_flags(offer, ZWLR_DATA_CONTROL_OFFER_V1_DESTROY, nullptr, wl_proxy_get_version(offer),
                           WL_MARSHAL_FLAG_DESTROY);
    if (offer == m_selection)
        m_selection = nullptr;
}

void DataControlClipboard::readSelection()
{
    stopReading();
    m_snapshot = {};
    // A cleared clipboard is no copy.
    if (!m_selection)
        return;
    m_snapshot.offeredTypes = m_offers.value(m_selection);
    m_phase = Phase::Markers;
    for (const QString &type : markerTypes()) {
        if (m_snapshot.offeredTypes.contains(type))
            m_reading->read(selectionReceiver(), type, type, OfferReading::kSmallLimit);
    }
    if (!m_reading->isReading())
        readContents();
    m_connection->flush();
}

OfferReading::Receive DataControlClipboard::selectionReceiver() const
{
    return [offer = m_selection](const QByteArray &type, int fd) {
        wl_proxy_marshal_flags(offer, ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE, nullptr, wl_proxy_get_version(offer), 0,
                               type.constData(), fd);
    };
}

void DataControlClipboard::readContents()
{
    m_phase = Phase::Contents;
    m_reading->clear();
    if (!m_reading->readTextAndCarriers(selectionReceiver(), m_snapshot.offeredTypes)) {
        m_phase = Phase::Idle;
        Q_EMIT changed(m_snapshot);
    }
}

void DataControlClipboard::onReadsFinished()
{
    m_reading->takeInto(m_snapshot);
    if (m_phase == Phase::Markers) {
        const bool secret = m_secrecyRule && m_secrecyRule(*m_snapshot.toMimeData());
        if (!secret) {
            readContents();
            m_connection->flush();
            return;
        }
    }
    m_phase = Phase::Idle;
    Q_EMIT changed(m_snapshot);
}

void DataControlClipboard::stopReading()
{
    // Readers are never destroyed from inside their own signal: a new content or the end
    // arrives through the Wayland connection or the destructor, not through a reader.
    m_reading->clear();
    m_phase = Phase::Idle;
}

std::unique_ptr<ClipboardWatcher> createDataControlClipboard(ClipboardWatcher::SecrecyRule secrecyRule)
{
    return DataControlClipboard::open(std::move(secrecyRule));
}

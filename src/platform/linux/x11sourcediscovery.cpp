#include "platform/linux/x11sourcediscovery.h"

#include "platform/browserrules.h"
#include "platform/displaycheck.h"
#include "platform/linux/atspiframeactivations.h"
#include "platform/linux/dbusaccessibilityswitch.h"
#include "platform/nullsourcediscovery.h"

#include <QFileInfo>

X11AddressLookup::X11AddressLookup(const QByteArray &display, const SourceDiscoveryOptions &options)
    : m_mayTurnOnAccessibility(options.mayTurnOnAccessibility)
    , m_windows(display)
{
    m_switch = std::make_unique<DBusAccessibilitySwitch>();
    if (!m_mayTurnOnAccessibility && QFileInfo::exists(options.accessibilityNotePath)) {
        // Opted out after a run that switched the desktop's accessibility on and was killed:
        // put back what that run left, so the opt-out holds from now on.
        AccessibilityKeeper::handBackLeftover(*m_switch, options.accessibilityNotePath);
    }
    m_accessibility = std::make_unique<AccessibilityKeeper>(*m_switch, options.accessibilityNotePath);
}

X11AddressLookup::~X11AddressLookup()
{
    // Back off before the connection to the switch goes.
    m_accessibility.reset();
}

QString X11AddressLookup::lookUp(const FocusedFrame &focused)
{
    if (m_mayTurnOnAccessibility)
        m_accessibility->turnOn();
    if (!focused.isEmpty() && m_reader.isAvailable()) {
        const QString text = m_reader.addressOfFrame(focused.busName, focused.path, focused.title);
        return QString::fromStdU16String(BrowserRules::addressFromFieldText(text.toStdU16String()));
    }
    // No browser frame heard of yet (or no accessibility bus): the topmost browser window.
    const std::vector<TopLevelWindow> windows = m_windows.topmostFirst();
    std::vector<std::u16string> titles;
    titles.reserve(windows.size());
    for (const TopLevelWindow &window : windows)
        titles.push_back(window.title.toStdU16String());
    const std::ptrdiff_t browser = BrowserRules::firstBrowser(titles);
    if (browser < 0)
        return {};
    const TopLevelWindow &window = windows[static_cast<std::size_t>(browser)];
    const QString text = m_reader.addressOf(window.id, window.pid, window.title);
    return QString::fromStdU16String(BrowserRules::addressFromFieldText(text.toStdU16String()));
}

void X11AddressLookup::setMayTurnOnAccessibility(bool may)
{
    m_mayTurnOnAccessibility = may;
    // Opted out: hand the switch back now, as the program's end would.
    if (!may)
        m_accessibility->restore();
}

FocusedFrame X11AddressLookup::frameRead() const
{
    const auto &[busName, path] = m_reader.fieldFrame();
    return {busName, path, {}};
}

std::unique_ptr<SourceDiscovery> createSourceDiscovery(const SourceDiscoveryOptions &options)
{
    // Created here, on the GUI thread, as its connection is read in Qt's event loop.
    // Where several browsers are active at start, the topmost X11 one is taken (on Wayland none
    // is listed there, and the first the accessibility bus lists is).
    std::unique_ptr<AtspiFrameActivations> activations = AtspiFrameActivations::open([] {
        QStringList titles;
        X11WindowList windows;
        for (const TopLevelWindow &window : windows.topmostFirst())
            titles.append(window.title);
        return titles;
    });
    if (!activations && !canReachDisplay(nullptr))
        return std::make_unique<NullSourceDiscovery>();
    auto discovery = std::make_unique<BackgroundSourceDiscovery>(
        [options] { return std::make_unique<X11AddressLookup>(QByteArray(), options); });
    if (activations)
        followFrameActivations(*discovery, std::move(activations));
    return discovery;
}

void followFrameActivations(BackgroundSourceDiscovery &discovery, std::unique_ptr<AtspiFrameActivations> activations)
{
    AtspiFrameActivations *source = activations.release();
    source->setParent(&discovery);
    discovery.followFocusedFrames();
    QObject::connect(source, &AtspiFrameActivations::activationsChanged, &discovery, [source, &discovery] {
        const std::optional<AtspiFrameActivations::Frame> frame = source->browserFrame();
        discovery.setFocusedFrame(frame ? FocusedFrame{frame->busName, frame->path, frame->title} : FocusedFrame{});
    });
}

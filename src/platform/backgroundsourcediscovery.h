#pragma once

#include "platform/sourcediscovery.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// The browser frame the desktop's accessibility bus reports active, or activated last, as its
// window events name it; empty when none is known.
struct FocusedFrame
{
    QByteArray busName; // the application's name on the accessibility bus
    QByteArray path;    // the frame's accessible object
    QString title;      // the frame's name when it was activated

    bool isEmpty() const { return busName.isEmpty(); }
    bool operator==(const FocusedFrame &) const = default;
};

// One look for the browser's address, run on the discovery thread only.
class AddressLookup
{
public:
    virtual ~AddressLookup() = default;
    // `focused` is the browser frame known when the look started (empty for none).
    virtual QString lookUp(const FocusedFrame &focused) = 0;
    // After a look without a frame: the frame whose address it read, found some other way
    // (by the window list); empty for none.
    virtual FocusedFrame frameRead() const { return {}; }
    // See SourceDiscovery::setMayTurnOnAccessibility.
    virtual void setMayTurnOnAccessibility(bool may) { Q_UNUSED(may) }
};

// Runs the looks on a thread of its own, so that the GUI thread only asks for looks and reads
// their answers. The lookup is created and destroyed on that thread, since the accessibility
// and window-system connections it holds belong to one thread.
class BackgroundSourceDiscovery final : public SourceDiscovery
{
    Q_OBJECT

public:
    using LookupFactory = std::function<std::unique_ptr<AddressLookup>()>;

    // `longestWait` bounds how long `addressOfLook` waits for a look. A look a capture asked
    // for that finds no address is made again after `retryAfter`, a few times at most (a
    // browser that has just joined the accessibility bus shows its address bar only after a
    // few seconds); each is reported, and the first address ends them.
    explicit BackgroundSourceDiscovery(LookupFactory makeLookup,
                                       std::chrono::milliseconds longestWait = std::chrono::milliseconds(300),
                                       std::chrono::milliseconds retryAfter = std::chrono::seconds(2));
    ~BackgroundSourceDiscovery() override;
    Q_DISABLE_COPY_MOVE(BackgroundSourceDiscovery)

    void refresh() override;
    QString latestAddress() const override;
    quint64 requestLook() override;
    std::optional<QString> addressOfLook(quint64 look) override;
    // Passed to the lookup on the discovery thread, before its next look.
    void setMayTurnOnAccessibility(bool may) override;

    // The browser frame the accessibility bus reports focused, handed to the looks that start
    // from now on. Once a frame is known, `refresh` looks only after it changed: the frame's
    // events tell when the browser window changes, so nothing is asked in between, and a
    // capture's own look (`requestLook`) still reads the address bar afresh. Without a frame,
    // or while the frame's bar gave nothing, every refresh looks.
    // A new frame is read at once, without waiting for a refresh: a browser's first answers
    // after it joined the bus can take seconds, and that wait is better spent before the
    // user's next capture than during it (pen mode has no refresh at all).
    void setFocusedFrame(const FocusedFrame &frame);
    // Frames will be handed in as the bus reports them: until the first comes, the frame a look
    // read through the window list stands in. Without this, nothing would replace it.
    void followFocusedFrames();

private:
    void run(const LookupFactory &makeLookup);

    const std::chrono::milliseconds m_longestWait;
    const std::chrono::milliseconds m_retryAfter;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    bool m_requested = false;
    bool m_running = false;
    bool m_stopping = false;
    FocusedFrame m_frame;
    bool m_frameLooked = false; // a look has started since the frame was last set
    bool m_followsFrames = false;
    std::optional<bool> m_mayTurnOnAccessibility;
    quint64 m_completed = 0;
    QString m_latest;
    int m_retriesLeft = 0; // for the capture that asked last, while its looks find nothing
    std::optional<std::chrono::steady_clock::time_point> m_retryAt;
    std::thread m_thread;
};

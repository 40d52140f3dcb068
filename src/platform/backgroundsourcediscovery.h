#pragma once

#include "platform/sourcediscovery.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// One look for the browser's address, run on the discovery thread only.
class AddressLookup
{
public:
    virtual ~AddressLookup() = default;
    virtual QString lookUp() = 0;
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

    // `longestWait` bounds how long `addressOfLook` waits for a look.
    explicit BackgroundSourceDiscovery(LookupFactory makeLookup,
                                       std::chrono::milliseconds longestWait = std::chrono::milliseconds(300));
    ~BackgroundSourceDiscovery() override;
    Q_DISABLE_COPY_MOVE(BackgroundSourceDiscovery)

    void refresh() override;
    QString latestAddress() const override;
    quint64 requestLook() override;
    QString addressOfLook(quint64 look) override;
    // Passed to the lookup on the discovery thread, before its next look.
    void setMayTurnOnAccessibility(bool may) override;

private:
    void run(const LookupFactory &makeLookup);

    const std::chrono::milliseconds m_longestWait;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    bool m_requested = false;
    bool m_running = false;
    bool m_stopping = false;
    std::optional<bool> m_mayTurnOnAccessibility;
    quint64 m_completed = 0;
    QString m_latest;
    std::thread m_thread;
};

#include "platform/backgroundsourcediscovery.h"

namespace {

constexpr int kRetries = 3;

} // namespace

BackgroundSourceDiscovery::BackgroundSourceDiscovery(LookupFactory makeLookup, std::chrono::milliseconds longestWait,
                                                     std::chrono::milliseconds retryAfter)
    : m_longestWait(longestWait)
    , m_retryAfter(retryAfter)
    , m_thread([this, factory = std::move(makeLookup)] { run(factory); })
{
}

BackgroundSourceDiscovery::~BackgroundSourceDiscovery()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void BackgroundSourceDiscovery::refresh()
{
    {
        const std::lock_guard lock(m_mutex);
        // A frame whose bar was read needs no look until it changes; one that gave nothing
        // yet (a browser still building its tree) is asked again.
        if (m_running || m_requested || (!m_frame.isEmpty() && m_frameLooked && !m_latest.isEmpty()))
            return;
        m_requested = true;
    }
    m_wake.notify_one();
}

void BackgroundSourceDiscovery::setFocusedFrame(const FocusedFrame &frame)
{
    {
        const std::lock_guard lock(m_mutex);
        if (frame == m_frame)
            return;
        m_frame = frame;
        m_frameLooked = false;
        if (frame.isEmpty())
            return;
        m_requested = true;
    }
    m_wake.notify_one();
}

void BackgroundSourceDiscovery::followFocusedFrames()
{
    const std::lock_guard lock(m_mutex);
    m_followsFrames = true;
}

QString BackgroundSourceDiscovery::latestAddress() const
{
    const std::lock_guard lock(m_mutex);
    return m_latest;
}

quint64 BackgroundSourceDiscovery::requestLook()
{
    quint64 look = 0;
    {
        const std::lock_guard lock(m_mutex);
        // A look already under way started before this moment; the answer must come from a
        // look that starts after it.
        look = m_completed + (m_running ? 2 : 1);
        m_requested = true;
        m_retriesLeft = kRetries;
    }
    m_wake.notify_one();
    return look;
}

std::optional<QString> BackgroundSourceDiscovery::addressOfLook(quint64 look)
{
    std::unique_lock lock(m_mutex);
    if (!m_done.wait_for(lock, m_longestWait, [&] { return m_completed >= look || m_stopping; }))
        return std::nullopt;
    return m_latest;
}

void BackgroundSourceDiscovery::setMayTurnOnAccessibility(bool may)
{
    {
        const std::lock_guard lock(m_mutex);
        m_mayTurnOnAccessibility = may;
    }
    m_wake.notify_one();
}

void BackgroundSourceDiscovery::run(const LookupFactory &makeLookup)
{
    std::unique_ptr<AddressLookup> lookup = makeLookup();
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto woken = [&] { return m_requested || m_stopping || m_mayTurnOnAccessibility; };
        if (!m_retryAt)
            m_wake.wait(lock, woken);
        else if (!m_wake.wait_until(lock, *m_retryAt, woken))
            m_requested = true;
        if (m_stopping)
            break;
        if (const std::optional<bool> may = std::exchange(m_mayTurnOnAccessibility, std::nullopt)) {
            lock.unlock();
            if (lookup)
                lookup->setMayTurnOnAccessibility(*may);
            lock.lock();
            continue;
        }
        m_requested = false;
        m_retryAt.reset();
        m_running = true;
        const FocusedFrame frame = m_frame;
        m_frameLooked = true;
        lock.unlock();
        QString address = lookup ? lookup->lookUp(frame) : QString();
        const FocusedFrame read = lookup && frame.isEmpty() ? lookup->frameRead() : FocusedFrame();
        lock.lock();
        // A browser that was active before it joined the accessibility bus sent no activation;
        // the frame the window list led to stands for it until the next activation is heard.
        if (m_followsFrames && m_frame.isEmpty() && !read.isEmpty() && !address.isEmpty()) {
            m_frame = read;
            m_frameLooked = true;
        }
        m_running = false;
        m_latest = address;
        if (!address.isEmpty()) {
            m_retriesLeft = 0;
        } else if (m_retriesLeft > 0) {
            --m_retriesLeft;
            m_retryAt = std::chrono::steady_clock::now() + m_retryAfter;
        }
        const quint64 look = ++m_completed;
        m_done.notify_all();
        lock.unlock();
        Q_EMIT lookFinished(look, address);
        lock.lock();
    }
    lock.unlock();
    lookup.reset();
}

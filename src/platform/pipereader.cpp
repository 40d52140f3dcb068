#include "platform/pipereader.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

PipeReader::PipeReader(int fd, qsizetype limit, std::chrono::milliseconds timeout, QObject *parent)
    : QObject(parent)
    , m_fd(fd)
    , m_limit(limit)
    , m_notifier(fd, QSocketNotifier::Read)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
        // Never read a descriptor that could block the event loop.
        m_notifier.setEnabled(false);
        QTimer::singleShot(0, this, [this] { finish(Outcome::Failed); });
        return;
    }
    connect(&m_notifier, &QSocketNotifier::activated, this, &PipeReader::onReadable);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(Outcome::TimedOut); });
    m_deadline.start(timeout);
}

PipeReader::~PipeReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void PipeReader::onReadable()
{
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0) {
            if (m_data.size() + got > m_limit) {
                finish(Outcome::TooLarge);
                return;
            }
            m_data.append(buffer, got);
            continue;
        }
        if (got == 0) {
            finish(Outcome::Complete);
        } else if (errno == EINTR) {
            continue;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
            finish(Outcome::Failed);
        }
        return;
    }
}

void PipeReader::finish(Outcome outcome)
{
    if (m_fd < 0)
        return;
    m_notifier.setEnabled(false);
    m_deadline.stop();
    ::close(m_fd);
    m_fd = -1;
    m_outcome = outcome;
    Q_EMIT finished();
}

#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>

// Reads what another program writes into a pipe until it closes its end, inside the event
// loop: the descriptor is made non-blocking and read only when the loop reports it readable.
// A writer that sends more than the limit, or does not finish in time, is cut off.
class PipeReader final : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Complete, TooLarge, TimedOut, Failed };

    // Takes ownership of `fd`, the read end of a pipe.
    PipeReader(int fd, qsizetype limit, std::chrono::milliseconds timeout, QObject *parent = nullptr);
    ~PipeReader() override;
    PipeReader(const PipeReader &) = delete;
    PipeReader &operator=(const PipeReader &) = delete;

    bool isFinished() const { return m_fd < 0; }
    Outcome outcome() const { return m_outcome; }
    // Everything read; complete only with Outcome::Complete.
    QByteArray data() const { return m_data; }

Q_SIGNALS:
    // Once, when the writer closed its end or was cut off.
    void finished();

private:
    void onReadable();
    void finish(Outcome outcome);

    int m_fd;
    qsizetype m_limit;
    QByteArray m_data;
    Outcome m_outcome = Outcome::Failed;
    QSocketNotifier m_notifier;
    QTimer m_deadline;
};

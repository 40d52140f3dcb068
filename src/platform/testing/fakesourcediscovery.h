#pragma once

#include "platform/sourcediscovery.h"

// Answers with the address a test sets. Looks asked for stay pending until the test finishes
// them (as the discovery thread would, later) or a caller waits for one; counts what was asked.
class FakeSourceDiscovery final : public SourceDiscovery
{
    Q_OBJECT

public:
    void refresh() override { ++refreshes; }
    QString latestAddress() const override { return answering ? address : m_lastAnswer; }
    quint64 requestLook() override
    {
        ++requestedLooks;
        return ++m_lastRequested;
    }
    std::optional<QString> addressOfLook(quint64 look) override
    {
        ++waits;
        // A look that never answers in time: the waiter is left with what was known before.
        if (!answering)
            return std::nullopt;
        m_finished = std::max(m_finished, look);
        m_lastAnswer = address;
        return address;
    }

    // Ends every pending look with the address set now, as the discovery thread reports them.
    void finishLooks()
    {
        while (answering && m_finished < m_lastRequested) {
            m_lastAnswer = address;
            Q_EMIT lookFinished(++m_finished, address);
        }
    }
    quint64 pendingLooks() const { return m_lastRequested - m_finished; }
    void setMayTurnOnAccessibility(bool may) override { accessibilityChoices.append(may); }

    QString address;
    bool answering = true;
    int refreshes = 0;
    int requestedLooks = 0;
    int waits = 0;
    QList<bool> accessibilityChoices;

private:
    quint64 m_lastRequested = 0;
    quint64 m_finished = 0;
    QString m_lastAnswer;
};

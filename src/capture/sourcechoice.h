#pragma once

#include "capture/pagesource.h"

#include <QString>

// Chooses a capture's source from what is known about it, surest first: a full page address
// carried by the data, then the address read from the browser window, then an origin carried
// by the data. An origin never replaces a full page address, whichever came first.
class SourceChoice final
{
public:
    // The address read from the browser window (empty when none was found).
    void setDiscovered(const QString &address) { m_discovered = address; }
    // The address read from the browser window is to come from discovery look `look`, which
    // started after the capture's text came; 0 for none.
    void awaitLook(quint64 look)
    {
        m_awaitedLook = look;
        m_laterAnswerWanted = false;
    }
    // The look `look` has ended with `address`: taken, and true, when it is the awaited look
    // or a later one. When the awaited look found no address (the browser's frame was not yet
    // known, or its bar not yet readable), the first address a later look finds is taken too,
    // until the capture is released: the browser the text came from is the one that shows up.
    bool lookFinished(quint64 look, const QString &address);
    // The awaited look did not end in time: `best`, the latest address known, stands in, and
    // the look's own answer is still taken when it ends.
    void lookOverdue(const QString &best) { m_discovered = best; }
    // The look whose answer is still awaited; 0 for none.
    quint64 awaitedLook() const { return m_awaitedLook; }
    // Whether an answer still to come may change the address.
    bool mayStillChange() const { return !hasFullPage() && (m_awaitedLook != 0 || m_laterAnswerWanted); }
    // An address carried by data added to the capture; an empty one changes nothing, and a
    // later one replaces an earlier one of the same kind.
    void addCarried(const PageSource::CarriedAddress &carried);
    // New data replaces the capture: what earlier data carried no longer counts.
    void forgetCarried();
    // The capture was stored or dropped: no answer counts for it any more.
    void release();

    bool hasFullPage() const { return !m_fullPage.isEmpty(); }
    QString address() const;

private:
    QString m_discovered;
    QString m_fullPage;
    QString m_origin;
    quint64 m_awaitedLook = 0;
    bool m_laterAnswerWanted = false;
};

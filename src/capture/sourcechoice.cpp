#include "capture/sourcechoice.h"

void SourceChoice::addCarried(const PageSource::CarriedAddress &carried)
{
    if (carried.isEmpty())
        return;
    if (carried.fullPage)
        m_fullPage = carried.address;
    else
        m_origin = carried.address;
}

bool SourceChoice::lookFinished(quint64 look, const QString &address)
{
    if (m_awaitedLook != 0 && look >= m_awaitedLook) {
        m_awaitedLook = 0;
        m_discovered = address;
        m_laterAnswerWanted = address.isEmpty();
        return true;
    }
    if (!m_laterAnswerWanted || address.isEmpty())
        return false;
    m_laterAnswerWanted = false;
    m_discovered = address;
    return true;
}

void SourceChoice::release()
{
    forgetCarried();
    m_awaitedLook = 0;
    m_laterAnswerWanted = false;
}

void SourceChoice::forgetCarried()
{
    m_fullPage.clear();
    m_origin.clear();
}

QString SourceChoice::address() const
{
    if (!m_fullPage.isEmpty())
        return m_fullPage;
    if (!m_discovered.isEmpty())
        return m_discovered;
    return m_origin;
}

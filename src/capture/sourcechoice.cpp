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

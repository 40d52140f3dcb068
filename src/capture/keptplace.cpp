#include "capture/keptplace.h"

namespace {

// Enough for the stale answers one mapping can give, few enough to end a tug of war.
constexpr int kMaximumRestores = 3;

} // namespace

KeptPlace::KeptPlace(QPoint place)
    : m_place(place)
{
}

void KeptPlace::placedAt(QPoint place)
{
    // Putting the window back lands here too, at the same place: that must not renew the count.
    if (place == m_place)
        return;
    m_place = place;
    m_restores = 0;
}

void KeptPlace::shown()
{
    m_restores = 0;
}

bool KeptPlace::restores(QPoint reported)
{
    if (reported == m_place || m_restores >= kMaximumRestores)
        return false;
    ++m_restores;
    return true;
}

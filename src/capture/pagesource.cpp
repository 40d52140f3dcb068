#include "capture/pagesource.h"

#include <QMimeData>

namespace PageSource {

QString pageAddressFrom(const QMimeData &)
{
    return {};
}

} // namespace PageSource

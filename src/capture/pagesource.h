#pragma once

#include <QString>

class QMimeData;

namespace PageSource {

// The address of the page that dropped or copied data came from, when the data itself
// carries it (for example an "HTML Format" SourceURL: header or Firefox's
// text/x-moz-url-priv); empty otherwise. The address of a dragged link is never taken.
QString pageAddressFrom(const QMimeData &data);

} // namespace PageSource

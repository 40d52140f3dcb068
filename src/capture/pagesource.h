#pragma once

#include <QString>

class QMimeData;

namespace PageSource {

// A page address that copied or dropped data carries, and whether it names the page itself
// (a path or a query beyond the origin) or only the page's origin ("https://host:port").
struct CarriedAddress
{
    QString address;
    bool fullPage = false;

    bool isEmpty() const { return address.isEmpty(); }
};

// The address of the page that dropped or copied data came from, when the data itself
// carries it: Chromium's chromium/x-source-url and "Chromium internal source URL", the
// SourceURL: header of "HTML Format", Firefox's text/x-moz-url-priv and Chromium's
// chromium/x-renderer-taint. A full page address is preferred to an origin. The address of a
// dragged link is never taken.
CarriedAddress carriedAddressOf(const QMimeData &data);

// True when `address` has a scheme and a host and nothing beyond them but a lone "/".
bool isOriginOnly(const QString &address);

} // namespace PageSource

#pragma once

#include <QString>

// Web addresses that take the reader to a quoted passage: the address plus a text
// fragment directive, "#:~:text=start,end", naming the quote's first and last few words
// (or characters, for text without spaces), percent-encoded. Browsers that know text
// fragments scroll to the passage and highlight it; others ignore the directive.
namespace TextFragment {

// Whether `address` is a web address a directive can be added to (http or https).
bool appliesTo(const QString &address);

// `address` with a directive for `quote`. An existing fragment is kept ("#frag:~:text=…");
// an address that already carries a directive gets a second one ("&text=…"). Returns the
// address unchanged when it is not a web address or the quote holds no visible text.
QString addressAt(const QString &address, const QString &quote);

} // namespace TextFragment

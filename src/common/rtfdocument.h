#pragma once

#include <QByteArray>
#include <QString>

namespace RtfDocument {

// A plain text as an RTF document in code page 936: each character GBK holds is written as
// its GBK bytes behind its Unicode value, so every reader shows exactly the same characters.
// The output is ASCII only: a vertical tab becomes a line break, a form feed a page break,
// and other control characters are left out.
QByteArray fromPlainText(const QString &text);

} // namespace RtfDocument

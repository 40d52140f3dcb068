#pragma once

#include <QByteArray>
#include <QString>

namespace RtfDocument {

// A plain text as an RTF document in code page 936: each character GBK holds is written as
// its GBK bytes behind its Unicode value, so every reader shows exactly the same characters.
QByteArray fromPlainText(const QString &text);

} // namespace RtfDocument

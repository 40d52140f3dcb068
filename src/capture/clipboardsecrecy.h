#pragma once

class QMimeData;

namespace ClipboardSecrecy {

// True when the program that put the data on the clipboard marked it as secret, as password
// managers do: KDE's x-kde-passwordManagerHint "secret", Windows'
// ExcludeClipboardContentFromMonitorProcessing or CanIncludeInClipboardHistory = 0, and
// macOS' org.nspasteboard.ConcealedType. Such data must never be collected.
bool isSecret(const QMimeData &data);

} // namespace ClipboardSecrecy

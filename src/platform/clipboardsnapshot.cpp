#include "platform/clipboardsnapshot.h"

#include <QMimeData>

bool ClipboardSnapshot::has(const QString &type) const
{
    for (const auto &format : formats) {
        if (format.first == type)
            return true;
    }
    return false;
}

QByteArray ClipboardSnapshot::data(const QString &type) const
{
    for (const auto &format : formats) {
        if (format.first == type)
            return format.second;
    }
    return {};
}

void ClipboardSnapshot::set(const QString &type, const QByteArray &bytes)
{
    for (auto &format : formats) {
        if (format.first == type) {
            format.second = bytes;
            return;
        }
    }
    formats.append({type, bytes});
}

std::unique_ptr<QMimeData> ClipboardSnapshot::toMimeData() const
{
    auto mime = std::make_unique<QMimeData>();
    for (const auto &format : formats)
        mime->setData(format.first, format.second);
    return mime;
}

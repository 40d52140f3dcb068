#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QMimeData;

// One clipboard content as a clipboard reader outside Qt saw it: every type the copying
// program offered and the bytes of those that were read (the text under "text/plain", in
// UTF-8, the page-address carriers and the password-manager markers under their own names).
struct ClipboardSnapshot
{
    QStringList offeredTypes;
    QList<QPair<QString, QByteArray>> formats;

    bool has(const QString &type) const;
    QByteArray data(const QString &type) const;
    void set(const QString &type, const QByteArray &bytes);

    // The same content as Qt's clipboard would hand it out, for the capture's rules (secrecy,
    // carried addresses, text).
    std::unique_ptr<QMimeData> toMimeData() const;
};

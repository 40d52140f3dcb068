#pragma once

#include "platform/clipboardsnapshot.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class PipeReader;

// Reads some of the types a Wayland offer (a clipboard content or a drop) lists: for each, the
// offering program is asked to write it into a pipe, read in the event loop, bounded in size and
// time. `finished` comes once every read asked for has ended.
class OfferReading final : public QObject
{
    Q_OBJECT
public:
    // Asks the offering program to write `type` into `fd` (the compositor passes it on; the
    // descriptor is closed here afterwards).
    using Receive = std::function<void(const QByteArray &type, int fd)>;

    static constexpr qsizetype kTextLimit = 16 * 1024 * 1024;
    static constexpr qsizetype kSmallLimit = 64 * 1024;
    static constexpr std::chrono::milliseconds kTimeout{3000};

    // The plain-text types, most wanted first: the first one offered is read, as "text/plain".
    static const QStringList &textTypes();
    // The formats that carry the address of the page a text came from.
    static const QStringList &carrierTypes();

    explicit OfferReading(QObject *parent = nullptr);
    ~OfferReading() override;
    OfferReading(const OfferReading &) = delete;
    OfferReading &operator=(const OfferReading &) = delete;

    // Reads `type`, to be stored as `storedAs`; false when no pipe could be made.
    bool read(const Receive &receive, const QString &type, const QString &storedAs, qsizetype limit);
    // Reads the first text type and every carrier that `offered` lists; false when none is.
    bool readTextAndCarriers(const Receive &receive, const QStringList &offered);
    bool isReading() const { return !m_readers.empty(); }
    // Puts each complete read into `snapshot`, unless the snapshot has that type already.
    void takeInto(ClipboardSnapshot &snapshot) const;
    // Ends every read; none is reported.
    void clear();

Q_SIGNALS:
    void finished();

private:
    void onReaderFinished();

    // The type each read is stored as, and its reader.
    std::vector<std::pair<QString, std::unique_ptr<PipeReader>>> m_readers;
};

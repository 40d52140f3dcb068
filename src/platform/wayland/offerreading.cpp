#include "platform/wayland/offerreading.h"

#include "platform/pipereader.h"

#include <fcntl.h>
#include <unistd.h>

const QStringList &OfferReading::textTypes()
{
    static const QStringList types = {QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("UTF8_STRING"),
                                      QStringLiteral("text/plain")};
    return types;
}

const QStringList &OfferReading::carrierTypes()
{
    static const QStringList types = {QStringLiteral("text/x-moz-url-priv"), QStringLiteral("chromium/x-source-url"),
                                      QStringLiteral("chromium/x-renderer-taint")};
    return types;
}

OfferReading::OfferReading(QObject *parent)
    : QObject(parent)
{
}

OfferReading::~OfferReading()
{
    m_readers.clear();
}

bool OfferReading::read(const Receive &receive, const QString &type, const QString &storedAs, qsizetype limit)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    receive(type.toUtf8(), fds[1]);
    // libwayland has copied the write end into its queue; the offering program gets it.
    ::close(fds[1]);
    auto reader = std::make_unique<PipeReader>(fds[0], limit, kTimeout);
    connect(reader.get(), &PipeReader::finished, this, &OfferReading::onReaderFinished);
    m_readers.emplace_back(storedAs, std::move(reader));
    return true;
}

bool OfferReading::readTextAndCarriers(const Receive &receive, const QStringList &offered)
{
    const std::size_t before = m_readers.size();
    for (const QString &type : textTypes()) {
        if (offered.contains(type)) {
            // Stored as Qt names plain text; every one of these types is UTF-8 here.
            read(receive, type, QStringLiteral("text/plain"), kTextLimit);
            break;
        }
    }
    for (const QString &type : carrierTypes()) {
        if (offered.contains(type))
            read(receive, type, type, kSmallLimit);
    }
    return m_readers.size() > before;
}

void OfferReading::takeInto(ClipboardSnapshot &snapshot) const
{
    for (const auto &[type, reader] : m_readers) {
        if (reader->outcome() == PipeReader::Outcome::Complete && !snapshot.has(type))
            snapshot.set(type, reader->data());
    }
}

void OfferReading::clear()
{
    // A reader may be the one whose signal led here: it goes once that has returned.
    for (auto &[type, reader] : m_readers) {
        reader->disconnect(this);
        reader.release()->deleteLater();
    }
    m_readers.clear();
}

void OfferReading::onReaderFinished()
{
    for (const auto &[type, reader] : m_readers) {
        if (!reader->isFinished())
            return;
    }
    Q_EMIT finished();
}

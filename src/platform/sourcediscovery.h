#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

// Finds the address shown by the topmost web browser window, for the capture's source.
// Looking can be slow (tens to hundreds of milliseconds), so it never runs on the GUI thread:
// the web-mode tick asks for a refresh and reads the latest answer, and a new capture asks for
// a look of its own and takes the answer when `lookFinished` reports it.
class SourceDiscovery : public QObject
{
    Q_OBJECT

public:
    ~SourceDiscovery() override = default;

    // Starts a fresh look unless one is under way. Returns at once.
    virtual void refresh() = 0;
    // The address from the last completed look; empty when no browser window was found.
    virtual QString latestAddress() const = 0;
    // Asks for a look that starts after this moment and returns its number at once; looks are
    // numbered from 1 upwards, and 0 means no look will come.
    virtual quint64 requestLook() = 0;
    // The address from look `look` or a later one, waiting a short while at most (a few hundred
    // milliseconds) for it; none when it does not come in time (latestAddress is the best known
    // then, and `lookFinished` still reports the look when it ends).
    virtual std::optional<QString> addressOfLook(quint64 look) = 0;
    // The user's choice whether the desktop's accessibility may be switched on, changed while
    // the program runs: off hands a switch the discovery turned on back at once, as its end
    // does; on lets the next look switch it on. Discoveries that never touch it ignore this.
    virtual void setMayTurnOnAccessibility(bool may) { Q_UNUSED(may) }

Q_SIGNALS:
    // A look has ended; `address` is its answer. Emitted from the discovery's own thread, so
    // receivers on the GUI thread get it queued.
    void lookFinished(quint64 look, const QString &address);
};

// How the discovery may treat the desktop.
struct SourceDiscoveryOptions
{
    // On Linux, browsers show their address bar to the accessibility bus only while the
    // desktop's accessibility switch is on: the discovery may switch it on at its first look
    // and switches it off again at its end, but only when it was the one to switch it on.
    bool mayTurnOnAccessibility = true;
    // A file that exists while the switch is on because of the program, so that a start after
    // a crash knows the switch as its own; empty for none.
    QString accessibilityNotePath;
};

std::unique_ptr<SourceDiscovery> createSourceDiscovery(const SourceDiscoveryOptions &options = {});

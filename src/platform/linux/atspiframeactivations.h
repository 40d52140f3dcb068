#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <utility>

struct DBusConnection;
struct DBusMessage;
struct DBusWatch;

// Follows which top-level frames the accessibility bus reports activated, by listening to
// window:activate, window:deactivate and window:destroy, never by asking in turn: on X11 and
// Wayland alike, the browser whose address is wanted is the one whose frame is active, or else
// the one activated last (showing the capture bar can move the focus away from it): the newest
// activation in either case, as a background program may keep the active state. Its own
// connection to the accessibility bus is read inside Qt's event loop.
class AtspiFrameActivations final : public QObject
{
    Q_OBJECT
public:
    struct Frame
    {
        QByteArray busName;  // the application's name on the accessibility bus
        QByteArray path;     // the frame's accessible object
        QString title;       // the frame's name when it was activated
        bool active = false; // more than one may be: background programs may keep the state
    };

    // Null where no accessibility bus can be reached.
    static std::unique_ptr<AtspiFrameActivations> open();
    ~AtspiFrameActivations() override;
    AtspiFrameActivations(const AtspiFrameActivations &) = delete;
    AtspiFrameActivations &operator=(const AtspiFrameActivations &) = delete;

    // The browser frame activated last, active or not (none stays active reliably).
    std::optional<Frame> browserFrame() const;
    // Every frame heard of, the one activated last first.
    const QList<Frame> &frames() const { return m_frames; }

Q_SIGNALS:
    void activationsChanged();

private:
    explicit AtspiFrameActivations(DBusConnection *connection);
    bool listen();
    void onMessage(DBusMessage *message);
    void dispatch();

    // libdbus's callbacks, defined where its types are known.
    struct Callbacks;
    friend struct Callbacks;

    DBusConnection *m_connection;
    // A notifier per watch and direction, each a child of this object.
    std::map<std::pair<DBusWatch *, int>, QSocketNotifier *> m_notifiers;
    bool m_dispatchQueued = false;
    QList<Frame> m_frames;
};

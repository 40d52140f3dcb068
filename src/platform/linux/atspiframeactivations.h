#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

struct DBusConnection;
struct DBusMessage;
struct DBusPendingCall;
struct DBusTimeout;
struct DBusWatch;

// Follows which top-level frames the accessibility bus reports activated, by listening to
// window:activate, window:deactivate and window:destroy, never by asking in turn: on X11 and
// Wayland alike, the browser whose address is wanted is the one whose frame is active, or else
// the one activated last (showing the capture bar can move the focus away from it): the newest
// activation in either case, as a background program may keep the active state. Its own
// connection to the accessibility bus is read inside Qt's event loop.
// A browser that was active before the connection was made sends no event until the focus
// moves, so once per connection the applications on the bus are asked for browser frames in
// the active state; those found count as activated before any event heard since. The same look
// is made when an application joins the bus (a browser does when the switch is turned on after
// it started), and once more shortly after, as its frame may come a moment later.
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

    // The desktop's window titles, topmost first; empty where unknown (no X11 desktop).
    using StackingTitles = std::function<QStringList()>;

    // Null where no accessibility bus can be reached. Where several browser frames are active
    // at connect, the one whose title is highest in `stacking` is taken, else the first the bus
    // lists.
    static std::unique_ptr<AtspiFrameActivations> open(StackingTitles stacking = {});
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
    explicit AtspiFrameActivations(DBusConnection *connection, StackingTitles stacking);
    bool listen();
    void onMessage(DBusMessage *message);
    void dispatch();

    // The look at connect: the registry's applications, their frames, each browser frame's
    // state, each an answer awaited in the event loop, never blocking it.
    struct Look;
    void lookForActiveFrames();
    void ask(DBusMessage *call, const Look &look);
    void onAnswer(DBusPendingCall *pending, const Look &look);
    void takeActiveFrame(const Look &look);

    // libdbus's callbacks, defined where its types are known.
    struct Callbacks;
    friend struct Callbacks;

    DBusConnection *m_connection;
    // A notifier per watch and direction, each a child of this object.
    std::map<std::pair<DBusWatch *, int>, QSocketNotifier *> m_notifiers;
    // A timer per timeout libdbus keeps (those of the questions awaited), each a child of this object.
    std::map<DBusTimeout *, QTimer *> m_timers;
    bool m_dispatchQueued = false;
    // The second look after an application joined the bus.
    QTimer m_lookAfterJoin;
    QList<Frame> m_frames;
    StackingTitles m_stacking;
    QStringList m_stackingTitles;
    std::vector<DBusPendingCall *> m_pendingCalls;
    // The frames found active at connect, by bus name and path, with their rank: the stacking
    // position, then the order the bus listed them in.
    std::map<std::pair<QByteArray, QByteArray>, std::tuple<qsizetype, int, int>> m_foundAtConnect;
};

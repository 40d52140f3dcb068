#include "platform/backgroundsourcediscovery.h"

#include <QTest>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Answers "look N" for its N-th look; a test can hold a look until it lets it go.
struct ScriptedLookups
{
    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    int emptyLooks = 0; // looks numbered up to this one find nothing
    bool holding = false;
    QList<FocusedFrame> frames; // the frame each look was given
    FocusedFrame readFrame;     // the frame a look without one says it read
    std::thread::id thread;
    std::thread::id destroyedOn;
    // The accessibility choices the lookup was told, with the thread each came on.
    QList<bool> choices;
    std::thread::id choiceThread;
};

class ScriptedLookup final : public AddressLookup
{
public:
    explicit ScriptedLookup(ScriptedLookups &script) : m_script(script)
    {
        m_script.thread = std::this_thread::get_id();
    }
    ~ScriptedLookup() override { m_script.destroyedOn = std::this_thread::get_id(); }

    QString lookUp(const FocusedFrame &focused) override
    {
        std::unique_lock lock(m_script.mutex);
        const int number = ++m_script.started;
        m_script.frames.append(focused);
        m_script.changed.notify_all();
        m_script.changed.wait(lock, [&] { return !m_script.holding; });
        return number <= m_script.emptyLooks ? QString() : QStringLiteral("look %1").arg(number);
    }

    void setMayTurnOnAccessibility(bool may) override
    {
        const std::lock_guard lock(m_script.mutex);
        m_script.choices.append(may);
        m_script.choiceThread = std::this_thread::get_id();
        m_script.changed.notify_all();
    }

    FocusedFrame frameRead() const override
    {
        std::unique_lock lock(m_script.mutex);
        return m_script.readFrame;
    }

private:
    ScriptedLookups &m_script;
};

} // namespace

class TestBackgroundSourceDiscovery final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The user's choice reaches the lookup on its own thread at once, without a look.
    void accessibilityChoiceReachesTheLookupWithoutALook()
    {
        ScriptedLookups script;
        BackgroundSourceDiscovery discovery([&] { return std::make_unique<ScriptedLookup>(script); });
        discovery.setMayTurnOnAccessibility(false);
        {
            std::unique_lock lock(script.mutex);
            QVERIFY(script.changed.wait_for(lock, std::chrono::seconds(10), [&] { return !script.choices.isEmpty(); }));
            QCOMPARE(script.choices, QList<bool>{false});
            QCOMPARE(script.choiceThread, script.thread);
            QVERIFY(script.choiceThread != std::this_thread::get_id());
            QCOMPARE(script.started, 0);
        }
        discovery.setMayTurnOnAccessibility(true);
        discovery.refresh();
        std::unique_lock lock(script.mutex);
        QVERIFY(script.changed.wait_for(lock, std::chrono::seconds(10), [&] { return script.started == 1; }));
        QCOMPARE(script.choices, (QList<bool>{false, true}));
    }

    void looksRunOnTheDiscoveryThread()
    {
        ScriptedLookups script;
        {
            BackgroundSourceDiscovery discovery(
                [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::seconds(30));
            QCOMPARE(discovery.latestAddress(), QString());
            QList<std::pair<quint64, QString>> reported;
            QThread *reportedOn = nullptr;
            connect(&discovery, &SourceDiscovery::lookFinished, this, [&](quint64 look, const QString &address) {
                reported.append({look, address});
                reportedOn = QThread::currentThread();
            });
            const quint64 look = discovery.requestLook();
            QCOMPARE(look, quint64(1));
            // The answer reaches this thread through its event loop.
            QTRY_COMPARE(reported.size(), 1);
            QCOMPARE(reported.constFirst(), std::make_pair(look, QStringLiteral("look 1")));
            QCOMPARE(reportedOn, QThread::currentThread());
            QCOMPARE(discovery.addressOfLook(look).value_or(QString()), QStringLiteral("look 1"));
            QCOMPARE(discovery.latestAddress(), QStringLiteral("look 1"));
            QVERIFY(script.thread != std::this_thread::get_id());
        }
        QCOMPARE(script.destroyedOn, script.thread);
    }

    void refreshDoesNotStackLooks()
    {
        ScriptedLookups script;
        BackgroundSourceDiscovery discovery(
            [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::seconds(30));
        {
            std::unique_lock lock(script.mutex);
            script.holding = true;
        }
        discovery.refresh();
        {
            std::unique_lock lock(script.mutex);
            script.changed.wait(lock, [&] { return script.started == 1; });
        }
        // Ticks during a running look ask for nothing more.
        discovery.refresh();
        discovery.refresh();
        {
            std::unique_lock lock(script.mutex);
            script.holding = false;
        }
        script.changed.notify_all();
        // A new capture wants a look that starts after it, so "look 1" is not its answer.
        const quint64 look = discovery.requestLook();
        QCOMPARE(look, quint64(2));
        QCOMPARE(discovery.addressOfLook(look).value_or(QString()), QStringLiteral("look 2"));
        QCOMPARE(script.started, 2);
    }

    void ticksLookOnlyWhenTheFocusedFrameChanged()
    {
        ScriptedLookups script;
        BackgroundSourceDiscovery discovery(
            [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::seconds(30));
        const auto looks = [&] {
            std::unique_lock lock(script.mutex);
            return script.started;
        };
        const auto lastFrame = [&] {
            std::unique_lock lock(script.mutex);
            return script.frames.constLast();
        };
        // No frame known: every tick looks, through the window list.
        discovery.refresh();
        QTRY_COMPARE(discovery.latestAddress(), QStringLiteral("look 1"));
        discovery.refresh();
        QTRY_COMPARE(discovery.latestAddress(), QStringLiteral("look 2"));

        const FocusedFrame firefox{":1.5", "/org/a11y/atspi/accessible/7", QStringLiteral("页 — Mozilla Firefox")};
        // A new frame is read at once, tick or not (pen mode has none).
        discovery.setFocusedFrame(firefox);
        QTRY_COMPARE(looks(), 3);
        QTRY_COMPARE(discovery.latestAddress(), QStringLiteral("look 3"));
        const int afterFrame = looks();
        QCOMPARE(lastFrame(), firefox);
        // The frame did not change: idle ticks ask nothing of the browser.
        for (int tick = 0; tick < 5; ++tick)
            discovery.refresh();
        discovery.setFocusedFrame(firefox);
        discovery.refresh();
        QTest::qWait(50);
        QCOMPARE(looks(), afterFrame);
        // A capture still reads the bar afresh, in the same frame.
        QCOMPARE(discovery.addressOfLook(discovery.requestLook()).value_or(QString()), QStringLiteral("look %1").arg(afterFrame + 1));
        QCOMPARE(lastFrame(), firefox);

        const FocusedFrame other{":1.9", "/org/a11y/atspi/accessible/2", QStringLiteral("资料 - Chromium")};
        discovery.setFocusedFrame(other);
        QTRY_COMPARE(looks(), afterFrame + 2);
        QCOMPARE(lastFrame(), other);
        // A frame gone leaves nothing to read.
        discovery.setFocusedFrame({});
        QTest::qWait(50);
        QCOMPARE(looks(), afterFrame + 2);
    }

    // A browser active before it joined the bus sent no activation: the frame the window list
    // led to stands in, so that idle ticks stop looking all the same.
    void frameReadByTheWindowListStandsIn()
    {
        ScriptedLookups script;
        script.readFrame = {":1.5", "/org/a11y/atspi/accessible/7", {}};
        // Where no activations are followed, nothing would ever replace it: ticks keep looking.
        {
            BackgroundSourceDiscovery unfollowed(
                [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::seconds(30));
            unfollowed.refresh();
            QTRY_COMPARE(unfollowed.latestAddress(), QStringLiteral("look 1"));
            unfollowed.refresh();
            QTRY_COMPARE(unfollowed.latestAddress(), QStringLiteral("look 2"));
        }
        std::unique_lock scriptLock(script.mutex);
        script.started = 0;
        scriptLock.unlock();
        BackgroundSourceDiscovery discovery(
            [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::seconds(30));
        discovery.followFocusedFrames();
        discovery.refresh();
        QTRY_COMPARE(discovery.latestAddress(), QStringLiteral("look 1"));
        for (int tick = 0; tick < 5; ++tick)
            discovery.refresh();
        QTest::qWait(50);
        QCOMPARE(discovery.latestAddress(), QStringLiteral("look 1"));
        // A capture's look goes to that frame.
        QCOMPARE(discovery.addressOfLook(discovery.requestLook()).value_or(QString()), QStringLiteral("look 2"));
        {
            std::unique_lock lock(script.mutex);
            QCOMPARE(script.frames.constLast(), script.readFrame);
        }
        // An activation heard later takes over.
        const FocusedFrame heard{":1.9", "/org/a11y/atspi/accessible/2", QStringLiteral("资料 - Chromium")};
        discovery.setFocusedFrame(heard);
        discovery.refresh();
        QTRY_COMPARE(discovery.latestAddress(), QStringLiteral("look 3"));
        std::unique_lock lock(script.mutex);
        QCOMPARE(script.frames.constLast(), heard);
    }

    // A browser that has just joined the bus shows its address bar only after a while: a
    // capture's look that finds nothing is made again a few times, and never for a tick.
    void aCapturesLookThatFindsNothingIsMadeAgain()
    {
        ScriptedLookups script;
        const auto findNothingUpTo = [&](int look) {
            const std::lock_guard lock(script.mutex);
            script.emptyLooks = look;
        };
        findNothingUpTo(1);
        BackgroundSourceDiscovery discovery(
            [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::seconds(30),
            std::chrono::milliseconds(20));
        QList<std::pair<quint64, QString>> reported;
        connect(&discovery, &SourceDiscovery::lookFinished, this,
                [&](quint64 look, const QString &address) { reported.append({look, address}); });
        discovery.refresh();
        QTRY_COMPARE(reported.size(), 1);
        QTest::qWait(150);
        QCOMPARE(reported.size(), 1);

        findNothingUpTo(3);
        QCOMPARE(discovery.requestLook(), quint64(2));
        QTRY_COMPARE(reported.size(), 4);
        QCOMPARE(reported.at(1), std::make_pair(quint64(2), QString()));
        QCOMPARE(reported.at(3), std::make_pair(quint64(4), QStringLiteral("look 4")));
        // The address ends them.
        QTest::qWait(150);
        QCOMPARE(reported.size(), 4);

        // A browser whose bar never shows: a few more looks, then none.
        findNothingUpTo(1000);
        discovery.requestLook();
        QTRY_COMPARE(reported.size(), 8);
        QTest::qWait(150);
        QCOMPARE(reported.size(), 8);
    }

    void waitGivesUpOnASlowLook()
    {
        ScriptedLookups script;
        script.holding = true;
        BackgroundSourceDiscovery discovery(
            [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::milliseconds(1));
        QVERIFY(!discovery.addressOfLook(discovery.requestLook()));
        {
            std::unique_lock lock(script.mutex);
            script.holding = false;
        }
        script.changed.notify_all();
    }
};

QTEST_GUILESS_MAIN(TestBackgroundSourceDiscovery)
#include "tst_backgroundsourcediscovery.moc"

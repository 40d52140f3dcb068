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
    bool holding = false;
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

    QString lookUp() override
    {
        std::unique_lock lock(m_script.mutex);
        const int number = ++m_script.started;
        m_script.changed.notify_all();
        m_script.changed.wait(lock, [&] { return !m_script.holding; });
        return QStringLiteral("look %1").arg(number);
    }

    void setMayTurnOnAccessibility(bool may) override
    {
        const std::lock_guard lock(m_script.mutex);
        m_script.choices.append(may);
        m_script.choiceThread = std::this_thread::get_id();
        m_script.changed.notify_all();
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
            QCOMPARE(discovery.addressOfLook(look), QStringLiteral("look 1"));
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
        QCOMPARE(discovery.addressOfLook(look), QStringLiteral("look 2"));
        QCOMPARE(script.started, 2);
    }

    void waitGivesUpOnASlowLook()
    {
        ScriptedLookups script;
        script.holding = true;
        BackgroundSourceDiscovery discovery(
            [&] { return std::make_unique<ScriptedLookup>(script); }, std::chrono::milliseconds(1));
        QCOMPARE(discovery.addressOfLook(discovery.requestLook()), QString());
        {
            std::unique_lock lock(script.mutex);
            script.holding = false;
        }
        script.changed.notify_all();
    }
};

QTEST_GUILESS_MAIN(TestBackgroundSourceDiscovery)
#include "tst_backgroundsourcediscovery.moc"

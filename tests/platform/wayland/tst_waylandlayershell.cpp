// The Wayland platform layer on a compositor that offers the layer shell and data control:
// sway (wlroots) or KWin, as NOTAVO_TEST_COMPOSITOR names it, started headless for this test and
// skipped where it cannot start. The pointer is moved through wlroots' virtual pointer, which
// KWin does not offer: there the strip's checks skip.
#include "platform/clipboardwatcher.h"
#include "platform/topedgetrigger.h"
#include "platform/wayland/datacontrolclipboard.h"
#include "platform/wayland/layershelltopedgestrip.h"
#include "platform/waylandfeatures.h"
#include "platform/wayland/clipboardsource.h"
#include "platform/wayland/dragsource.h"
#include "platform/wayland/virtualpointer.h"
#include "platform/wayland/waylandlab.h"

#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class WaylandLayerShellTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void probeFindsLayerShellAndDataControl();
    void copyWithWlCopyIsReadOnce();
    void browserCopyBringsItsAddress();
    void secretCopyIsNotRead();
    void strip_configuredAlongTopEdge();
    void strip_touchedByPointerAtTopEdge();
    void strip_touchedByDragEnter();
    void strip_takesTheDropOverTheBar();
    void strip_leavesHotCornerFree();
    void strip_silentWhenDisarmed();
    // Last: it ends the compositor.
    void compositorGoingAwayIsReported();

private:
    // Copies `text` with wl-copy, which keeps serving it until the process ends.
    QProcess *wlCopy(const QString &text);
    static QString textOf(const ClipboardSnapshot &snapshot);
    // A strip, armed and sized by the compositor; null when it could not be.
    static std::unique_ptr<LayerShellTopEdgeStrip> armedStrip();
    // Presses on the drag source and drags up to the top edge; false when no drag started.
    static bool dragToTheEdge(VirtualPointer &pointer, const DragSource &browser);

    WaylandLab m_lab;
    std::vector<std::unique_ptr<QProcess>> m_copies;
};

void WaylandLayerShellTest::initTestCase()
{
    const QString compositor = qEnvironmentVariable("NOTAVO_TEST_COMPOSITOR", QStringLiteral("sway"));
    if (!m_lab.start(compositor))
        QSKIP(qPrintable(m_lab.error()));
}

QProcess *WaylandLayerShellTest::wlCopy(const QString &text)
{
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral("wl-copy"), {QStringLiteral("--foreground"), text});
    if (!process->waitForStarted(5000))
        return nullptr;
    m_copies.push_back(std::move(process));
    return m_copies.back().get();
}

std::unique_ptr<LayerShellTopEdgeStrip> WaylandLayerShellTest::armedStrip()
{
    auto strip = LayerShellTopEdgeStrip::open();
    if (!strip)
        return nullptr;
    strip->setArmed(true);
    if (!QTest::qWaitFor([&] { return strip->width() > 0; }, 5000))
        return nullptr;
    return strip;
}

bool WaylandLayerShellTest::dragToTheEdge(VirtualPointer &pointer, const DragSource &browser)
{
    pointer.moveTo(500, 600);
    pointer.press();
    if (!QTest::qWaitFor([&] { return browser.isDragging(); }, 5000))
        return false;
    pointer.moveTo(520, 300);
    pointer.moveTo(520, 0);
    return true;
}

QString WaylandLayerShellTest::textOf(const ClipboardSnapshot &snapshot)
{
    return snapshot.toMimeData()->text();
}

void WaylandLayerShellTest::probeFindsLayerShellAndDataControl()
{
    const WaylandFeatures features = probeWaylandFeatures();
    QVERIFY(features.reached);
    QVERIFY(features.layerShell);
    QVERIFY(features.wlrDataControl);
    QVERIFY(features.dataControl());

    // sway 1.7 and KWin 5.27 have no ext_data_control_manager_v1 (Plasma 6 has): the reader
    // falls back to wlroots' protocol.
    const auto clipboard = DataControlClipboard::open();
    QVERIFY(clipboard);
    QCOMPARE(clipboard->protocolName(),
             features.extDataControl ? QByteArray("ext_data_control_manager_v1")
                                     : QByteArray("zwlr_data_control_manager_v1"));
}

void WaylandLayerShellTest::copyWithWlCopyIsReadOnce()
{
    if (QStandardPaths::findExecutable(QStringLiteral("wl-copy")).isEmpty())
        QSKIP("wl-copy is not installed (wl-clipboard)");
    // What was on the clipboard before the reader started is no new copy.
    QVERIFY(wlCopy(QStringLiteral("before the reader")));
    QTest::qWait(300);
    const auto clipboard = createDataControlClipboard();
    QVERIFY(clipboard);
    QSignalSpy changes(clipboard.get(), &ClipboardWatcher::changed);

    QVERIFY(wlCopy(QStringLiteral("一段从 Wayland 程序复制的文字")));
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 10000);
    const auto snapshot = changes.at(0).at(0).value<ClipboardSnapshot>();
    QVERIFY(snapshot.offeredTypes.contains(QStringLiteral("text/plain;charset=utf-8")));
    QCOMPARE(textOf(snapshot), QStringLiteral("一段从 Wayland 程序复制的文字"));
    // Once only, though wl-copy goes on offering it.
    QTest::qWait(500);
    QCOMPARE(changes.count(), 1);

    QVERIFY(wlCopy(QStringLiteral("second copy")));
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 2, 10000);
    QCOMPARE(textOf(changes.at(1).at(0).value<ClipboardSnapshot>()), QStringLiteral("second copy"));
}

void WaylandLayerShellTest::browserCopyBringsItsAddress()
{
    ClipboardSource browser;
    QVERIFY(browser.isValid());
    const auto clipboard = createDataControlClipboard();
    QVERIFY(clipboard);
    QSignalSpy changes(clipboard.get(), &ClipboardWatcher::changed);

    const QByteArray address = QStringLiteral("http://127.0.0.1:8765/page.html").toUtf8();
    browser.copy({{QStringLiteral("text/html"), "<p>段落</p>"},
                  {QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("段落").toUtf8()},
                  {QStringLiteral("text/x-moz-url-priv"), QByteArray(address).prepend("\xff\xfe").append('\0')},
                  {QStringLiteral("image/png"), "not read"}});
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 10000);
    const auto snapshot = changes.at(0).at(0).value<ClipboardSnapshot>();
    QCOMPARE(snapshot.offeredTypes.size(), 4);
    QCOMPARE(textOf(snapshot), QStringLiteral("段落"));
    QVERIFY(snapshot.data(QStringLiteral("text/x-moz-url-priv")).contains(address));
    // Only what the capture uses is read; a picture is never fetched.
    QCOMPARE(browser.requests(QStringLiteral("image/png")), 0);
    QCOMPARE(browser.requests(QStringLiteral("text/html")), 0);
}

void WaylandLayerShellTest::secretCopyIsNotRead()
{
    ClipboardSource passwordManager;
    QVERIFY(passwordManager.isValid());
    const auto clipboard = createDataControlClipboard([](const QMimeData &markers) {
        return markers.data(QStringLiteral("x-kde-passwordManagerHint")) == "secret";
    });
    QVERIFY(clipboard);
    QSignalSpy changes(clipboard.get(), &ClipboardWatcher::changed);

    passwordManager.copy({{QStringLiteral("text/plain;charset=utf-8"), "hunter2"},
                          {QStringLiteral("x-kde-passwordManagerHint"), "secret"}});
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 10000);
    const auto secret = changes.at(0).at(0).value<ClipboardSnapshot>();
    QCOMPARE(secret.data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
    QVERIFY(!secret.has(QStringLiteral("text/plain")));
    QCOMPARE(passwordManager.requests(QStringLiteral("text/plain;charset=utf-8")), 0);

    // A marker that does not say secret lets the text through.
    passwordManager.copy({{QStringLiteral("text/plain;charset=utf-8"), "plain words"},
                          {QStringLiteral("x-kde-passwordManagerHint"), "other"}});
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 2, 10000);
    QCOMPARE(textOf(changes.at(1).at(0).value<ClipboardSnapshot>()), QStringLiteral("plain words"));
}

void WaylandLayerShellTest::strip_configuredAlongTopEdge()
{
    const auto strip = LayerShellTopEdgeStrip::open();
    QVERIFY(strip);
    QVERIFY(!strip->isArmed());
    strip->setArmed(true);
    // The compositor sizes it between the hot corner's end and the right edge.
    QTRY_VERIFY_WITH_TIMEOUT(strip->width() > 600, 5000);
}

void WaylandLayerShellTest::strip_touchedByPointerAtTopEdge()
{
    VirtualPointer pointer;
    if (!pointer.isValid())
        QSKIP("the compositor offers no virtual pointer to move");
    pointer.moveTo(500, 500);
    const auto strip = LayerShellTopEdgeStrip::open();
    QVERIFY(strip);
    QSignalSpy touches(strip.get(), &TopEdgeTrigger::touched);
    strip->setArmed(true);
    QTRY_VERIFY_WITH_TIMEOUT(strip->width() > 0, 5000);
    QCOMPARE(touches.count(), 0);

    pointer.moveTo(500, 0);
    QTRY_COMPARE_WITH_TIMEOUT(touches.count(), 1, 5000);
    // Moving along the edge is no new touch; coming back to it is.
    pointer.moveTo(700, 0);
    pointer.moveTo(700, 400);
    pointer.moveTo(700, 0);
    QTRY_COMPARE_WITH_TIMEOUT(touches.count(), 2, 5000);
}

void WaylandLayerShellTest::strip_touchedByDragEnter()
{
    VirtualPointer pointer;
    if (!pointer.isValid())
        QSKIP("the compositor offers no virtual pointer to move");
    pointer.moveTo(500, 500);
    const auto strip = armedStrip();
    QVERIFY(strip);
    DragSource browser;
    QVERIFY(browser.isValid());
    QTRY_VERIFY_WITH_TIMEOUT(browser.isShown(), 5000);
    QSignalSpy touches(strip.get(), &TopEdgeTrigger::touched);

    // A drag holds the pointer: the strip hears of it only as a drag entering.
    QVERIFY(dragToTheEdge(pointer, browser));
    QTRY_COMPARE_WITH_TIMEOUT(touches.count(), 1, 5000);
    // The drag goes on over the strip, and on as the strip goes (the bar drops there), so that
    // it can end on the bar: a strip that lets the drag's offer go at once ends it on wlroots.
    QTest::qWait(300);
    QVERIFY(!browser.wasEnded());
    strip->setArmed(false);
    pointer.moveTo(540, 10);
    QTest::qWait(300);
    QVERIFY(!browser.wasEnded());
    pointer.release();
}

// wlroots hands no drop from a Wayland program to an Xwayland window: the strip that the drag
// touched takes it over the bar itself, and goes once the drag ended.
void WaylandLayerShellTest::strip_takesTheDropOverTheBar()
{
    VirtualPointer pointer;
    if (!pointer.isValid())
        QSKIP("the compositor offers no virtual pointer to move");
    pointer.moveTo(500, 500);
    const auto strip = armedStrip();
    QVERIFY(strip);
    QSignalSpy touches(strip.get(), &TopEdgeTrigger::touched);
    QSignalSpy lefts(strip.get(), &TopEdgeTrigger::dropLeft);
    QStringList dropped;
    connect(strip.get(), &TopEdgeTrigger::dropped, this, [&](const QMimeData &data) { dropped.append(data.text()); });
    const QRect bar(333, 0, 388, 37);

    // Not held for a touch of the pointer alone.
    pointer.moveTo(500, 0);
    QTRY_COMPARE_WITH_TIMEOUT(touches.count(), 1, 5000);
    QVERIFY(!strip->holdDropsOver(bar));
    pointer.moveTo(500, 500);

    const QString text = QStringLiteral("拖到横条上的段落");
    {
        DragSource browser(text.toUtf8());
        QVERIFY(browser.isValid());
        QTRY_VERIFY_WITH_TIMEOUT(browser.isShown(), 5000);
        QVERIFY(dragToTheEdge(pointer, browser));
        QTRY_COMPARE_WITH_TIMEOUT(touches.count(), 2, 5000);
        QVERIFY(strip->holdDropsOver(bar));
        // The bar shows: the strip stays for the drag, and grows over the bar.
        strip->setArmed(false);
        QVERIFY(!strip->isArmed());
        QTest::qWait(300);
        pointer.moveTo(530, 12);
        pointer.moveTo(540, 14);
        QTest::qWait(300);
        pointer.release();
        QTRY_COMPARE_WITH_TIMEOUT(dropped, QStringList{text}, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(browser.wasFinished(), 5000);
        QCOMPARE(lefts.count(), 0);
    }

    // A drag that leaves the bar again is no drop; the strip, armed meanwhile, is the strip again.
    strip->setArmed(true);
    QVERIFY(strip->isArmed());
    pointer.moveTo(500, 500);
    DragSource browser;
    QTRY_VERIFY_WITH_TIMEOUT(browser.isShown(), 5000);
    QVERIFY(dragToTheEdge(pointer, browser));
    QTRY_COMPARE_WITH_TIMEOUT(touches.count(), 3, 5000);
    QVERIFY(strip->holdDropsOver(bar));
    QTest::qWait(300);
    pointer.moveTo(530, 12);
    pointer.moveTo(530, 400);
    QTRY_COMPARE_WITH_TIMEOUT(lefts.count(), 1, 5000);
    pointer.release();
    QTest::qWait(300);
    QCOMPARE(dropped.size(), 1);
    QVERIFY(strip->isArmed());
}

void WaylandLayerShellTest::strip_leavesHotCornerFree()
{
    VirtualPointer pointer;
    if (!pointer.isValid())
        QSKIP("the compositor offers no virtual pointer to move");
    pointer.moveTo(500, 500);
    const auto strip = LayerShellTopEdgeStrip::open();
    QVERIFY(strip);
    QSignalSpy touches(strip.get(), &TopEdgeTrigger::touched);
    strip->setArmed(true);
    QTRY_VERIFY_WITH_TIMEOUT(strip->width() > 0, 5000);

    // About 15 pixels from the left on a 1280 to 1920 pixel wide screen.
    pointer.moveTo(10, 0);
    QTest::qWait(500);
    QCOMPARE(touches.count(), 0);
}

void WaylandLayerShellTest::strip_silentWhenDisarmed()
{
    VirtualPointer pointer;
    if (!pointer.isValid())
        QSKIP("the compositor offers no virtual pointer to move");
    pointer.moveTo(500, 500);
    const auto strip = LayerShellTopEdgeStrip::open();
    QVERIFY(strip);
    QSignalSpy touches(strip.get(), &TopEdgeTrigger::touched);
    strip->setArmed(true);
    QTRY_VERIFY_WITH_TIMEOUT(strip->width() > 0, 5000);
    strip->setArmed(false);
    QVERIFY(!strip->isArmed());

    pointer.moveTo(500, 0);
    QTest::qWait(500);
    QCOMPARE(touches.count(), 0);

    // Armed again, it works as before.
    pointer.moveTo(500, 500);
    strip->setArmed(true);
    QTRY_VERIFY_WITH_TIMEOUT(strip->width() > 0, 5000);
    pointer.moveTo(500, 0);
    QTRY_COMPARE_WITH_TIMEOUT(touches.count(), 1, 5000);
}

void WaylandLayerShellTest::compositorGoingAwayIsReported()
{
    const auto clipboard = createDataControlClipboard();
    QVERIFY(clipboard);
    const auto strip = LayerShellTopEdgeStrip::open();
    QVERIFY(strip);
    strip->setArmed(true);
    QSignalSpy lost(clipboard.get(), &ClipboardWatcher::lost);

    m_lab.stop();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 10000);
    // Nothing is sent any more, and nothing breaks.
    strip->setArmed(false);
    strip->setArmed(true);
    QTest::qWait(100);
    QCOMPARE(lost.count(), 1);
}

QTEST_GUILESS_MAIN(WaylandLayerShellTest)
#include "tst_waylandlayershell.moc"

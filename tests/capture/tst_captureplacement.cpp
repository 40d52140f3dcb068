// The capture window under a real window manager (openbox on its own Xvfb display): growing
// to show a copied text must not move it. Skips where Xvfb or openbox is missing.
#include "capture/capturewindow.h"
#include "capture/pointerprobe.h"
#include "capture/recordwriter.h"
#include "common/programfolder.h"
#include "common/twips.h"
#include "platform/desktopsession.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/fakesourcediscovery.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settings.h"
#include "store/recordstore.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// Starts over the bar's zone at the top edge, so that web mode's tick keeps the bar shown.
class MovablePointer final : public PointerProbe
{
public:
    QPoint position() const override { return m_position; }
    QWidget *widgetAt(const QPoint &) const override { return nullptr; }
    void moveTo(QPoint position) { m_position = position; }

private:
    QPoint m_position{500, 10};
};

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

// Where the X server has the window, as the desktop sees it; empty while it is not on screen.
QRect serverGeometry(const QWidget &window)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const ReplyPointer<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr), &std::free);
    const ReplyPointer<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    // Viewable: the window and the window manager's frame around it are mapped, which openbox
    // does once it has placed the window.
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE || !geometry)
        return {};
    const ReplyPointer<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0),
                                        nullptr),
        &std::free);
    if (!origin)
        return {};
    return {origin->dst_x, origin->dst_y, geometry->width, geometry->height};
}

// The window's geometry once it is on screen in `size` and has held still a while: the window
// manager has then answered every request the window made. Whatever it is after a generous
// wait otherwise, so that a window that never settles fails the comparison.
QRect settledServerGeometry(const QWidget &window, QSize size)
{
    constexpr int kSteadyReads = 4;
    QDeadlineTimer deadline(30000);
    QRect last;
    int steady = 0;
    while (!deadline.hasExpired()) {
        const QRect now = serverGeometry(window);
        steady = now == last && now.size() == size ? steady + 1 : 0;
        last = now;
        if (steady == kSteadyReads)
            break;
        QTest::qWait(50);
    }
    return last;
}

} // namespace

class TestCapturePlacement final : public QObject
{
    Q_OBJECT

public:
    explicit TestCapturePlacement(QString missing)
        : m_missing(std::move(missing))
    {
    }

private Q_SLOTS:
    void penBoxKeepsItsPlaceWhenItGrows()
    {
        if (!m_missing.isEmpty())
            QSKIP(qPrintable(m_missing));
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        Settings settings;
        RecordStore store(folder.filePath(QStringLiteral("filelist.db")));
        FakeClock clock;
        RecordingShellOpener shell;
        RecordWriter writer(RecordWriter::Context{settings, store, folder, clock, shell});
        FakeSourceDiscovery discovery;
        ScriptedDialogs dialogs;
        MovablePointer pointer;
        CaptureWindow window(CaptureWindow::Services{writer, discovery, dialogs, pointer});
        auto *cancel = window.findChild<QPushButton *>(QStringLiteral("cancelButton"));
        QVERIFY(cancel);

        // Start-up shows the bar; the pointer leaving the top edge hides it at the next tick.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint place = Twips::point(5000, 0);
        const QSize bar = Twips::size(5820, 550);
        const QSize pen = Twips::size(1050, 550);
        const QSize full = Twips::size(5820, 5000);
        QCOMPARE(settledServerGeometry(window, bar), QRect(place, bar));
        pointer.moveTo({640, 600});
        QTRY_VERIFY(!window.isVisible());

        // The tray's 普通记录, then copies; a cancel hides the box and 普通记录 shows it again.
        for (int round = 0; round < 2; ++round) {
            window.switchToPenMode();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(settledServerGeometry(window, pen), QRect(place, pen));
            QTRY_COMPARE(window.pos(), place);
            for (int copy = 0; copy < 2; ++copy) {
                QGuiApplication::clipboard()->setText(
                    QStringLiteral("第%1轮第%2次复制的长文本。").arg(round).arg(copy).repeated(40));
                QTRY_COMPARE(window.size(), full);
                QCOMPARE(settledServerGeometry(window, full), QRect(place, full));
                QTRY_COMPARE(window.pos(), place);
            }
            cancel->click();
            QTRY_VERIFY(!window.isVisible());
        }

        // A copy while the box is hidden grows it unseen; 普通记录 shows it where it was.
        window.switchToPenMode();
        QGuiApplication::clipboard()->setText(QStringLiteral("藏着的时候复制的文本。").repeated(30));
        QTRY_COMPARE(window.size(), full);
        QVERIFY(!window.isVisible());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(settledServerGeometry(window, full), QRect(place, full));
        cancel->click();
        QTRY_VERIFY(!window.isVisible());

        // Moved by the user, then shrunk to the pen box and grown again: it stays where the user put it.
        window.switchToPenMode();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint moved = place + QPoint(40, 120);
        QCOMPARE(settledServerGeometry(window, pen), QRect(place, pen));
        window.move(moved);
        QCOMPARE(settledServerGeometry(window, pen), QRect(moved, pen));
        QGuiApplication::clipboard()->setText(QStringLiteral("移动以后复制的文本。"));
        QTRY_COMPARE(window.size(), full);
        QCOMPARE(settledServerGeometry(window, full), QRect(moved, full));
        QTRY_COMPARE(window.pos(), moved);
    }

private:
    QString m_missing;
};

int main(int argc, char **argv)
{
    DesktopSession session;
    QString missing;
    if (!session.startDisplay() || !session.startWindowManager())
        missing = session.error();
    if (missing.isEmpty()) {
        qputenv("DISPLAY", session.display());
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Let openbox take the display before the first window maps.
        QThread::msleep(500);
    }
    QApplication application(argc, argv);
    TestCapturePlacement test(missing);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_captureplacement.moc"

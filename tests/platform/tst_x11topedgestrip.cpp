// The X11 top-edge strip (GNOME's Wayland session through Xwayland, and X11 desktops), on a
// display of its own: Qt runs on it through xcb, so it is started before the application.
#include "desktopsession.h"

#include "platform/x11topedgestrip.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

class X11TopEdgeStripTest : public QObject
{
    Q_OBJECT
public:
    explicit X11TopEdgeStripTest(QString noDisplay)
        : m_noDisplay(std::move(noDisplay))
    {
    }

private Q_SLOTS:
    void placedAlongTopEdgeOutsideWindowManagement();
    void touchedByPointerOutsideHotCorner();
    void dragEnterTouchesWithoutTakingTheDrop();

private:
    bool movePointer(int x, int y);

    QString m_noDisplay;
};

bool X11TopEdgeStripTest::movePointer(int x, int y)
{
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("mousemove"), QString::number(x), QString::number(y)})
        == 0;
}

void X11TopEdgeStripTest::placedAlongTopEdgeOutsideWindowManagement()
{
    if (!m_noDisplay.isEmpty())
        QSKIP(qPrintable(m_noDisplay));
    X11TopEdgeStrip strip;
    strip.setArmed(true);
    QVERIFY(strip.isArmed());
    QVERIFY(QTest::qWaitForWindowExposed(strip.window()));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(strip.window()->frameGeometry(),
             QRect(TopEdgeTrigger::kHotCornerWidth, 0, screen.width() - TopEdgeTrigger::kHotCornerWidth,
                   TopEdgeTrigger::kHeight));

    // Override-redirect: a window manager (GNOME Shell) would move a managed one below its bar.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    QVERIFY(x11);
    xcb_connection_t *connection = x11->connection();
    const auto cookie = xcb_get_window_attributes(connection, static_cast<xcb_window_t>(strip.window()->winId()));
    xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(connection, cookie, nullptr);
    QVERIFY(attributes);
    const bool overrideRedirect = attributes->override_redirect;
    free(attributes);
    QVERIFY(overrideRedirect);

    strip.setArmed(false);
    QVERIFY(!strip.window()->isVisible());
}

void X11TopEdgeStripTest::touchedByPointerOutsideHotCorner()
{
    if (!m_noDisplay.isEmpty())
        QSKIP(qPrintable(m_noDisplay));
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is not installed");
    X11TopEdgeStrip strip;
    QSignalSpy touches(&strip, &TopEdgeTrigger::touched);
    QVERIFY(movePointer(600, 300));
    strip.setArmed(true);
    QVERIFY(QTest::qWaitForWindowExposed(strip.window()));

    QVERIFY(movePointer(600, 0));
    QTRY_COMPARE(touches.count(), 1);
    QVERIFY(movePointer(600, 300));
    // The top-left corner belongs to the desktop's hot corner.
    QVERIFY(movePointer(10, 0));
    QTest::qWait(300);
    QCOMPARE(touches.count(), 1);

    // Disarmed, the edge is the desktop's again.
    strip.setArmed(false);
    QVERIFY(movePointer(600, 300));
    QVERIFY(movePointer(600, 0));
    QTest::qWait(300);
    QCOMPARE(touches.count(), 1);
}

void X11TopEdgeStripTest::dragEnterTouchesWithoutTakingTheDrop()
{
    X11TopEdgeStrip strip;
    QSignalSpy touches(&strip, &TopEdgeTrigger::touched);
    QMimeData text;
    text.setText(QStringLiteral("拖动的段落"));
    QDragEnterEvent enter(QPoint(100, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    enter.accept();
    QApplication::sendEvent(strip.window(), &enter);
    QCOMPARE(touches.count(), 1);
    // The drop belongs to the capture bar that drops down below the strip.
    QVERIFY(!enter.isAccepted());
}

int main(int argc, char **argv)
{
    DesktopSession desktop;
    QString noDisplay;
    if (desktop.startDisplay()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", desktop.display());
    } else {
        noDisplay = desktop.error();
    }
    QApplication application(argc, argv);
    X11TopEdgeStripTest test(noDisplay);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11topedgestrip.moc"

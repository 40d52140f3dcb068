// The capture window under a real window manager (openbox on its own Xvfb display): growing
// to show a copied text must not move it. Skips where Xvfb, openbox or xdotool is missing.
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
#include "store/currentrecord.h"
#include "store/recordstore.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

class PointerAway final : public PointerProbe
{
public:
    QPoint position() const override { return {640, 600}; }
    QWidget *widgetAt(const QPoint &) const override { return nullptr; }
};

// Where the X server has the window, as the desktop sees it.
QPoint serverPosition(const QWidget &window)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window.winId())});
    if (!xdotool.waitForFinished(10000))
        return {-1, -1};
    QPoint position(-1, -1);
    const QList<QByteArray> lines = xdotool.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("X="))
            position.setX(line.mid(2).toInt());
        else if (line.startsWith("Y="))
            position.setY(line.mid(2).toInt());
    }
    return position;
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
        CurrentRecord record;
        RecordStore store(folder.filePath(QStringLiteral("filelist.db")));
        FakeClock clock;
        RecordingShellOpener shell;
        RecordWriter writer(RecordWriter::Context{settings, record, store, folder, clock, shell});
        FakeSourceDiscovery discovery;
        ScriptedDialogs dialogs;
        PointerAway pointer;
        CaptureWindow window(CaptureWindow::Services{writer, record, discovery, dialogs, pointer});

        // Start-up shows the bar; the pointer away from the top edge hides it at the next tick.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint place = Twips::point(5000, 0);
        QTRY_COMPARE(serverPosition(window), place);
        window.webModeTick();
        QTRY_VERIFY(!window.isVisible());

        // The tray's 普通记录, then copies; a cancel hides the box and 普通记录 shows it again.
        for (int round = 0; round < 2; ++round) {
            window.switchToPenMode();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTRY_COMPARE(serverPosition(window), place);
            for (int copy = 0; copy < 2; ++copy) {
                QGuiApplication::clipboard()->setText(
                    QStringLiteral("第%1轮第%2次复制的长文本。").arg(round).arg(copy).repeated(40));
                QTRY_COMPARE(window.size(), Twips::size(5820, 5000));
                QTest::qWait(300);  // the window manager's answer to the resize
                QCOMPARE(serverPosition(window), place);
                QCOMPARE(window.pos(), place);
            }
            window.cancelClick();
            QTRY_VERIFY(!window.isVisible());
        }

        // A copy while the box is hidden grows it unseen; 普通记录 shows it where it was.
        window.switchToPenMode();
        QGuiApplication::clipboard()->setText(QStringLiteral("藏着的时候复制的文本。").repeated(30));
        QTRY_COMPARE(window.size(), Twips::size(5820, 5000));
        QVERIFY(!window.isVisible());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(300);
        QCOMPARE(serverPosition(window), place);
        window.cancelClick();
        QTRY_VERIFY(!window.isVisible());

        // Moved by the user, then shrunk to the pen box and grown again: it stays where the user put it.
        window.switchToPenMode();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint moved = place + QPoint(40, 120);
        QTRY_COMPARE(serverPosition(window), place);
        window.move(moved);
        QTRY_COMPARE(serverPosition(window), moved);
        window.setViewFull();
        QTest::qWait(300);
        QCOMPARE(serverPosition(window), moved);
    }

private:
    QString m_missing;
};

int main(int argc, char **argv)
{
    DesktopSession session;
    QString missing;
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        missing = QStringLiteral("xdotool is not installed");
    else if (!session.startDisplay() || !session.startWindowManager())
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

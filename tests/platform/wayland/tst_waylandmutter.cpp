// The Wayland platform layer on mutter, GNOME's compositor, which offers neither the layer shell
// nor data control: started headless for this test, and skipped where it cannot start.
#include "platform/clipboardwatcher.h"
#include "platform/topedgetrigger.h"
#include "platform/topedgetriggers.h"
#include "platform/waylandfeatures.h"
#include "platform/x11topedgestrip.h"
#include "platform/wayland/waylandlab.h"

#include <QApplication>
#include <QTest>

class WaylandMutterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void probeFindsNeitherLayerShellNorDataControl();
    void fallsBackToX11StripAndQtClipboard();

private:
    WaylandLab m_lab;
};

void WaylandMutterTest::initTestCase()
{
    if (!m_lab.start(QStringLiteral("mutter")))
        QSKIP(qPrintable(m_lab.error()));
}

void WaylandMutterTest::probeFindsNeitherLayerShellNorDataControl()
{
    const WaylandFeatures features = probeWaylandFeatures();
    QVERIFY(features.reached);
    QVERIFY(!features.layerShell);
    QVERIFY(!features.dataControl());
}

void WaylandMutterTest::fallsBackToX11StripAndQtClipboard()
{
    // Pen mode keeps Qt's clipboard through Xwayland, which GNOME keeps informed.
    QVERIFY(!createDataControlClipboard());
    QVERIFY(!createLayerShellTopEdgeStrip());
    const auto trigger = createTopEdgeTrigger(probeWaylandFeatures());
    QVERIFY(qobject_cast<X11TopEdgeStrip *>(trigger.get()));
}

QTEST_MAIN(WaylandMutterTest)
#include "tst_waylandmutter.moc"

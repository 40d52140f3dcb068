#include "capture/keptplace.h"

#include <QTest>

class TestKeptPlace final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contradictingReportsArePutBackAFewTimes();
};

void TestKeptPlace::contradictingReportsArePutBackAFewTimes()
{
    KeptPlace kept(QPoint(333, 0));
    QVERIFY(!kept.restores(QPoint(333, 0)));

    // A stale position reported after mapping is answered; putting the window back lands at the
    // same place and does not renew the count, so a window manager that insists wins in the end.
    QVERIFY(kept.restores(QPoint(0, 0)));
    kept.placedAt(QPoint(333, 0));
    QVERIFY(kept.restores(QPoint(0, 0)));
    QVERIFY(kept.restores(QPoint(0, 0)));
    QVERIFY(!kept.restores(QPoint(0, 0)));
    QCOMPARE(kept.place(), QPoint(333, 0));

    // Showing the window again, or a new place, starts a new count.
    kept.shown();
    QVERIFY(kept.restores(QPoint(0, 0)));
    kept.placedAt(QPoint(373, 120));
    QCOMPARE(kept.place(), QPoint(373, 120));
    QVERIFY(!kept.restores(QPoint(373, 120)));
    for (int restore = 0; restore < 3; ++restore)
        QVERIFY(kept.restores(QPoint(0, 0)));
    QVERIFY(!kept.restores(QPoint(0, 0)));
}

QTEST_GUILESS_MAIN(TestKeptPlace)
#include "tst_keptplace.moc"

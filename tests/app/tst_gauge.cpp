#include "TestEnvironment.h"
#include "widgets/TGauge.h"

#include <QApplication>
#include <QtTest>

class TestGauge : public QObject {
    Q_OBJECT
private slots:
    void percentage_data();
    void percentage();
    void repaintsAtOnceOnlyWhenThePercentageChanges();
};

void TestGauge::percentage_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("percent");
    QTest::newRow("one file, first file") << 0 << 1 << 1 << 100;
    QTest::newRow("file 100 of 250") << 0 << 250 << 100 << 40;
    QTest::newRow("truncated, not rounded") << 0 << 3 << 2 << 66;
    QTest::newRow("truncated toward zero below min") << 0 << 3 << -1 << -33;
    QTest::newRow("empty range") << 5 << 5 << 5 << 0;
    QTest::newRow("no overflow on large ranges") << 0 << 2000000000 << 1999999999 << 99;
}

void TestGauge::percentage()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, progress);
    QFETCH(int, percent);
    QCOMPARE(TGauge::percentDone(min, max, progress), percent);
}

namespace {
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

void TestGauge::repaintsAtOnceOnlyWhenThePercentageChanges()
{
    TGauge gauge;
    gauge.resize(162, 14);
    gauge.setMaxValue(250);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    QApplication::processEvents();
    PaintCounter counter;
    gauge.installEventFilter(&counter);

    // No event loop runs between these calls, as during a filing run.
    gauge.setProgress(1); // 0 % -> 0 %: nothing to redraw
    QCOMPARE(counter.paints, 0);
    gauge.setProgress(3); // 1 %
    QCOMPARE(counter.paints, 1);
    gauge.setProgress(4); // still 1 %
    QCOMPARE(counter.paints, 1);
    gauge.setProgress(100);
    QCOMPARE(counter.paints, 2);
    QCOMPARE(gauge.PercentDone(), 40);
}

RANGEUR_TEST_MAIN(TestGauge)
#include "tst_gauge.moc"

#include "TestEnvironment.h"
#include "widgets/TGauge.h"

#include <QApplication>
#include <QtTest>

class TestGauge : public QObject {
    Q_OBJECT
private slots:
    void percentage_data();
    void percentage();
    void repaintsAtOnceOnlyWhenThePercentageChanges_data();
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

using Steps = QList<QPair<int, int>>;

void TestGauge::repaintsAtOnceOnlyWhenThePercentageChanges_data()
{
    // Steps of (time in ms, progress out of 250, or -1 for flush), and the paints after each.
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QList<int>>("paints");
    QTest::newRow("the same percentage: nothing to redraw")
        << Steps{{0, 1}, {100, 2}} << QList<int>{0, 0};
    QTest::newRow("a change repaints at once") << Steps{{0, 3}, {100, 100}} << QList<int>{1, 2};
    QTest::newRow("changes within 50 ms wait, then show the latest")
        << Steps{{0, 3}, {10, 100}, {49, 125}, {50, 126}} << QList<int>{1, 1, 1, 2};
    QTest::newRow("flush shows what waits, once")
        << Steps{{0, 3}, {10, 250}, {11, -1}, {12, -1}} << QList<int>{1, 1, 2, 2};
    QTest::newRow("flush with nothing waiting paints nothing")
        << Steps{{0, 3}, {100, -1}} << QList<int>{1, 1};
}

void TestGauge::repaintsAtOnceOnlyWhenThePercentageChanges()
{
    QFETCH(Steps, steps);
    QFETCH(QList<int>, paints);
    TGauge gauge;
    gauge.resize(162, 14);
    gauge.setMaxValue(250);
    qint64 clock = 1000;
    gauge.setClockForTests([&clock] { return clock; });
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    QApplication::processEvents();
    PaintCounter counter;
    gauge.installEventFilter(&counter);

    // No event loop runs between these calls, as during a filing run.
    QList<int> seen;
    for (const auto &[at, progress] : steps) {
        clock = 1000 + at;
        if (progress < 0)
            gauge.flush();
        else
            gauge.setProgress(progress);
        seen << counter.paints;
    }
    QCOMPARE(seen, paints);
}

RANGEUR_TEST_MAIN(TestGauge)
#include "tst_gauge.moc"

#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

// A progress gauge: a black bar on white with a single-line border and the percentage done
// written in its middle in bold.
class TGauge final : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget *parent = nullptr);

    int MinValue() const { return m_min; }
    int MaxValue() const { return m_max; }
    int Progress() const { return m_progress; }
    void setMinValue(int value);
    void setMaxValue(int value);
    // Repaints at once when the percentage shown changes: the filing run keeps the event loop
    // busy, so a deferred update would show nothing until it ends. Such repaints wait for the
    // display each time, so they come at most once every 50 ms; flush() shows what is left.
    void setProgress(int value);
    void flush();

    // Tests set the time in milliseconds; an empty function restores the clock.
    void setClockForTests(std::function<qint64()> now) { m_clock = std::move(now); }

    int PercentDone() const { return percentDone(m_min, m_max, m_progress); }
    // (progress - min) * 100 / (max - min), truncated toward zero; 0 when max equals min.
    static int percentDone(int min, int max, int progress);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void changed(int oldPercent);
    qint64 now() const;
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
    bool m_pending = false;
    qint64 m_lastPaint = -1;
    std::function<qint64()> m_clock;
};

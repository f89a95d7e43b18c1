#include "TGauge.h"

#include <QPainter>

TGauge::TGauge(QWidget *parent) : QWidget(parent) {}

int TGauge::percentDone(int min, int max, int progress)
{
    if (max == min)
        return 0;
    return int((qint64(progress) - min) * 100 / (qint64(max) - min));
}

void TGauge::setMinValue(int value)
{
    const int old = PercentDone();
    m_min = value;
    changed(old);
}

void TGauge::setMaxValue(int value)
{
    const int old = PercentDone();
    m_max = value;
    changed(old);
}

void TGauge::setProgress(int value)
{
    const int old = PercentDone();
    m_progress = value;
    changed(old);
}

qint64 TGauge::now() const
{
    if (m_clock)
        return m_clock();
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

void TGauge::changed(int oldPercent)
{
    if (PercentDone() != oldPercent)
        m_pending = true;
    if (!m_pending || !isVisible())
        return;
    const qint64 t = now();
    if (m_lastPaint >= 0 && t - m_lastPaint < 50)
        return;
    m_lastPaint = t;
    m_pending = false;
    repaint();
}

void TGauge::flush()
{
    if (!m_pending || !isVisible())
        return;
    m_lastPaint = now();
    m_pending = false;
    repaint();
}

void TGauge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const int percent = qBound(0, PercentDone(), 100);
    QRect filled = inner;
    filled.setWidth(inner.width() * percent / 100);
    p.fillRect(filled, Qt::black);

    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    const QString text = QStringLiteral("%1%").arg(PercentDone());
    // The text reads white over the bar and black beside it.
    p.setClipRect(filled);
    p.setPen(Qt::white);
    p.drawText(inner, Qt::AlignCenter, text);
    p.setClipRect(inner.adjusted(filled.width(), 0, 0, 0));
    p.setPen(Qt::black);
    p.drawText(inner, Qt::AlignCenter, text);
}

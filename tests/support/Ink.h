#pragma once

#include <QColor>
#include <QImage>
#include <algorithm>

// How much of the picture is covered by the text colour `ink` over `paper`, antialiased edges
// in part: a measure of a text's weight as drawn.
inline qreal inkCoverage(const QImage &image, const QColor &ink, const QColor &paper)
{
    const qreal span[] = {ink.redF() - paper.redF(), ink.greenF() - paper.greenF(),
                          ink.blueF() - paper.blueF()};
    const qreal length = span[0] * span[0] + span[1] * span[1] + span[2] * span[2];
    qreal sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            const qreal t =
                ((c.redF() - paper.redF()) * span[0] + (c.greenF() - paper.greenF()) * span[1] +
                 (c.blueF() - paper.blueF()) * span[2]) /
                length;
            sum += std::clamp(t, 0.0, 1.0);
        }
    return sum;
}

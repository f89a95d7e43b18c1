// Every control that takes the keyboard focus shows it: the window is rendered with the focus
// nowhere and then on the control, and the pixels that changed around the control must hold a
// mark that can be seen, by contrast (WCAG's ratio, at least 3:1 between the two renderings) or
// by being the theme's orange focus frame.
#include "TForm1.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QTabWidget>
#include <QtTest>
#include <cmath>

namespace {

double channel(int c)
{
    const double s = c / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

double luminance(QRgb c)
{
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

const QRgb kOrange = qRgb(0xe8, 0x66, 0x25);

struct Mark {
    int strong = 0; // changed pixels of contrast >= 3:1 with what was there before
    int orange = 0; // changed pixels that became the theme's focus orange
    double best = 1.0;
};

Mark markBetween(const QImage &before, const QImage &after, const QRect &area)
{
    Mark mark;
    const QRect r = area.intersected(before.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb a = before.pixel(x, y);
            const QRgb b = after.pixel(x, y);
            if (a == b)
                continue;
            const double ratio = contrast(a, b);
            mark.best = std::max(mark.best, ratio);
            if (ratio >= 3.0)
                ++mark.strong;
            if ((b & 0xffffff) == (kOrange & 0xffffff))
                ++mark.orange;
        }
    }
    return mark;
}

} // namespace

class TestFocusMarks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { WindowFixture::setUpApplication(); }
    void init() { m_window.init(); }
    void cleanup() { m_window.cleanup(); }
    void everyFocusableControlShowsItsFocus();

private:
    WindowFixture m_window;
};

void TestFocusMarks::everyFocusableControlShowsItsFocus()
{
    TForm1 &form = m_window.makeForm({QStringLiteral("/nonexistent/a.pdf")});
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // As after a Tab press: styles draw focus marks once the keyboard has moved the focus.
    form.setAttribute(Qt::WA_KeyboardFocusChange);

    QStringList weak;
    int checked = 0;
    for (int page = 0; page < form.PageControl1->count(); ++page) {
        form.PageControl1->setCurrentIndex(page);
        QList<QWidget *> controls;
        for (QWidget *w : form.findChildren<QWidget *>()) {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                !w->focusProxy() && w->window() == &form)
                controls << w;
        }
        for (QWidget *control : controls) {
            if (QWidget *focused = QApplication::focusWidget())
                focused->clearFocus();
            QTRY_VERIFY(!QApplication::focusWidget());
            const QImage before = form.grab().toImage();
            control->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(control->hasFocus());
            const QImage after = form.grab().toImage();
            // The control and a few pixels around it, where a frame may be drawn.
            const QWidget *shown = control;
            while (shown->parentWidget() && shown->parentWidget()->focusProxy() == shown)
                shown = shown->parentWidget();
            const QRect area =
                QRect(shown->mapTo(&form, QPoint(0, 0)), shown->size()).adjusted(-3, -3, 3, 3);
            const Mark mark = markBetween(before, after, area);
            const QString name = shown->objectName().isEmpty()
                                     ? QString::fromLatin1(shown->metaObject()->className())
                                     : shown->objectName();
            qInfo("%-24s best contrast %.2f:1, %d pixels at 3:1 or more, %d orange",
                  qPrintable(name), mark.best, mark.strong, mark.orange);
            // A mark as long as one side of a one-pixel frame at least.
            const int enough = std::min(control->width(), control->height());
            if (mark.strong < enough && mark.orange < enough)
                weak << QStringLiteral("%1 (%2:1)").arg(name).arg(mark.best, 0, 'f', 2);
            ++checked;
        }
    }
    QVERIFY2(checked >= 8,
             qPrintable(QStringLiteral("only %1 controls take the focus").arg(checked)));
    QVERIFY2(weak.isEmpty(), qPrintable("focus hardly seen on: " + weak.join(", ")));
}

RANGEUR_TEST_MAIN(TestFocusMarks)
#include "tst_focusmarks.moc"

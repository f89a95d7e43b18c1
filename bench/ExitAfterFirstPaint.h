#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <unistd.h>

// Ends the process once the window it watches has painted its first frame: a queued call runs
// after the paint in progress has been flushed. _exit leaves out the teardown, so that both
// sides of the start-up benchmark stop at the same point.
class ExitAfterFirstPaint final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { ::_exit(0); }, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};

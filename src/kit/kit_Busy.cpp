#include "kit_Busy.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

namespace kit_Busy {

namespace {

bool isUserInput(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::Gesture:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return true;
    case QEvent::Close:
        return event.spontaneous(); // the window manager's close button, not our own close()
    default:
        return false;
    }
}

// Dropped rather than deferred (QEventLoop::ExcludeUserInputEvents): deferred input would reach
// the window after the work, which stays open when the run ends in an error.
class InputDropper final : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (!isUserInput(*event))
            return false;
        event->ignore(); // a refused close leaves the window open
        return true;
    }
};

} // namespace

void WaitWithoutInput(const std::function<bool()> &done, const std::function<void()> &eachTurn)
{
    InputDropper dropper;
    QCoreApplication::instance()->installEventFilter(&dropper);
    const auto removeDropper =
        qScopeGuard([&] { QCoreApplication::instance()->removeEventFilter(&dropper); });
    // Wakes the loop when no news comes, so that eachTurn keeps its pace.
    QTimer pace;
    pace.start(50);
    QEventLoop loop;
    for (;;) {
        if (eachTurn)
            eachTurn();
        if (done())
            break;
        // Not loop.exec(): a quit request must not end the wait while work is under way.
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void WakeUp()
{
    if (QCoreApplication *app = QCoreApplication::instance()) {
        if (QAbstractEventDispatcher *dispatcher =
                QAbstractEventDispatcher::instance(app->thread()))
            dispatcher->wakeUp();
    }
}

} // namespace kit_Busy

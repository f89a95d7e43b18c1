#include "TLeftPressFocus.h"

#include <QMouseEvent>
#include <QWidget>

void TLeftPressFocus::watch(QWidget *control)
{
    const Qt::FocusPolicy policy = control->focusPolicy();
    if (!(policy & Qt::ClickFocus))
        return;
    control->setFocusPolicy((policy & Qt::TabFocus) ? Qt::TabFocus : Qt::NoFocus);
    control->installEventFilter(this);
}

bool TLeftPressFocus::eventFilter(QObject *watched, QEvent *event)
{
    // Qt moves the focus on presses from the user only, before the control sees them; presses
    // sent by code move nothing.
    if ((event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick) &&
        event->spontaneous() && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        auto *control = static_cast<QWidget *>(watched);
        if (control->isEnabled())
            control->setFocus(Qt::MouseFocusReason);
    }
    return QObject::eventFilter(watched, event);
}

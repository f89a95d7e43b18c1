#pragma once

#include <QObject>

class QWidget;

// Lets a control take the focus from a press of the left mouse button only. Qt gives it on a
// press of any button, so a right-click on a button would move the focus there, and the
// folder-name box's exit would run before the menu shows.
class TLeftPressFocus final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The control keeps its place in the Tab order. A control that takes no focus from a click
    // is left alone. Install after the control's other mouse filters: this one must run first,
    // so that they see the focus already moved, as they did when Qt moved it.
    void watch(QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#pragma once

#include <QAction>
#include <functional>

// A named command of the window. Execute() runs its handler directly, so that an error the
// handler raises reaches the caller (the filing run stops when the list cannot be written);
// menus and shortcuts reach it through the window's guarded binding instead.
class TAction final : public QAction {
    Q_OBJECT
public:
    using QAction::QAction;

    void setOnExecute(std::function<void()> handler) { m_onExecute = std::move(handler); }
    void Execute()
    {
        emit executing();
        if (m_onExecute)
            m_onExecute();
    }

signals:
    void executing();

private:
    std::function<void()> m_onExecute;
};

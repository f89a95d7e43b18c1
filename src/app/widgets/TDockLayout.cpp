#include "TDockLayout.h"

#include <QWidget>
#include <QWidgetItemV2>

TDockLayout::TDockLayout(QWidget *parent, QMargins clientInset)
    : QLayout(parent), m_inset(clientInset)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

TDockLayout::~TDockLayout()
{
    for (const Dock &d : std::as_const(m_docks))
        delete d.item;
}

void TDockLayout::addDocked(QWidget *widget, Align side, int size, int margin)
{
    addChildWidget(widget);
    // The cached item: nested dock layouts ask their children's sizes again at every level,
    // which without a cache grows with the depth of the nesting.
    m_docks.append({new QWidgetItemV2(widget), side, size, margin});
    invalidate();
}

void TDockLayout::addItem(QLayoutItem *item)
{
    m_docks.append({item, alClient, 0, 0});
}

int TDockLayout::count() const
{
    return int(m_docks.size());
}

QLayoutItem *TDockLayout::itemAt(int index) const
{
    return index >= 0 && index < m_docks.size() ? m_docks[index].item : nullptr;
}

QLayoutItem *TDockLayout::takeAt(int index)
{
    if (index < 0 || index >= m_docks.size())
        return nullptr;
    return m_docks.takeAt(index).item;
}

QSize TDockLayout::minimumSize() const
{
    int width = m_inset.left() + m_inset.right();
    int height = m_inset.top() + m_inset.bottom();
    int clientWidth = 0;
    int clientHeight = 0;
    for (const Dock &d : m_docks) {
        const QSize min = d.item->minimumSize();
        const int m2 = 2 * d.margin;
        switch (d.align) {
        case alTop:
        case alBottom:
            height += d.size + m2;
            clientWidth = qMax(clientWidth, min.width() + m2);
            break;
        case alLeft:
        case alRight:
            width += d.size + m2;
            clientHeight = qMax(clientHeight, min.height() + m2);
            break;
        case alClient:
            clientWidth = qMax(clientWidth, min.width() + m2);
            clientHeight = qMax(clientHeight, min.height() + m2);
            break;
        }
    }
    return {width + clientWidth, height + clientHeight};
}

QSize TDockLayout::sizeHint() const
{
    return minimumSize();
}

void TDockLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QWidget *parent = parentWidget();
    QRect free = (parent ? parent->rect() : rect).marginsRemoved(m_inset);
    static constexpr Align order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (Align pass : order) {
        for (const Dock &d : std::as_const(m_docks)) {
            if (d.align != pass)
                continue;
            QWidget *widget = d.item->widget();
            // A hidden child keeps its place ready but takes no room from the others.
            const bool takesRoom = !widget || !widget->isHidden();
            const int outer = d.size + 2 * d.margin;
            const int used = takesRoom ? outer : 0;
            QRect place = free;
            switch (d.align) {
            case alTop:
                place.setHeight(outer);
                free.setTop(free.top() + used);
                break;
            case alBottom:
                place.setTop(free.bottom() + 1 - outer);
                free.setBottom(free.bottom() - used);
                break;
            case alLeft:
                place.setWidth(outer);
                free.setLeft(free.left() + used);
                break;
            case alRight:
                place.setLeft(free.right() + 1 - outer);
                free.setRight(free.right() - used);
                break;
            case alClient:
                break;
            }
            const int m = d.margin;
            const QRect bounds = place.marginsRemoved(QMargins(m, m, m, m));
            // The designed bounds win over the child's own size hints and policies.
            if (widget)
                widget->setGeometry(bounds);
            else
                d.item->setGeometry(bounds);
        }
    }
}

#pragma once

#include <QLayout>
#include <QList>
#include <QMargins>

// Places children the way the window was designed: each one docked to a side of what is left
// of its parent's client area, in the order added, with its designed height (top, bottom) or
// width (left, right), or filling the rest (client). Qt's box layouts cannot reproduce these
// exact bounds inside group boxes, whose title area differs between styles.
class TDockLayout final : public QLayout {
public:
    enum Align { alTop, alBottom, alLeft, alRight, alClient };

    // clientInset: the border of the parent that no child covers (a group box's caption).
    TDockLayout(QWidget *parent, QMargins clientInset);
    ~TDockLayout() override;

    // margin: the free space kept on each side of the child inside its docking place.
    void addDocked(QWidget *widget, Align side, int size, int margin = 0);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct Dock {
        QLayoutItem *item;
        Align align;
        int size;
        int margin;
    };
    QList<Dock> m_docks;
    QMargins m_inset;
};

#pragma once

#include <QStyledItemDelegate>

// List rows of a fixed height, as designed, whatever the font asks for. Only a selected row is
// framed as current: the frame the focus put on an unselected first row looked like a selection.
class TRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    TRowDelegate(int height, QObject *parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(option->state & QStyle::State_Selected))
            option->state &= ~QStyle::State_HasFocus;
    }

private:
    int m_height;
};

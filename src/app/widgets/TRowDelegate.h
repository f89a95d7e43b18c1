#pragma once

#include <QStyledItemDelegate>

// List rows of a fixed height, as designed, whatever the font asks for.
class TRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    TRowDelegate(int height, QObject *parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

private:
    int m_height;
};

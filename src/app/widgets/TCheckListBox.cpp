#include "TCheckListBox.h"

TCheckListBox::TCheckListBox(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TCheckListBox::addEntry(const QString &text)
{
    auto *item = new QListWidgetItem(text, this);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

#include "TCheckListBox.h"

#include "kit_LISTES.h"

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

QStringList TCheckListBox::entries() const
{
    QStringList list;
    list.reserve(count());
    for (int i = 0; i < count(); ++i)
        list << item(i)->text();
    return list;
}

void TCheckListBox::LoadFromFile(const QString &path)
{
    const kit::DecodedList list = kit_LISTES::readListFile(path);
    m_encoding = list.encoding;
    clear();
    for (const QString &entry : list.entries)
        addEntry(entry);
}

void TCheckListBox::SaveToFile(const QString &path) const
{
    kit_LISTES::writeListFile(path, entries(), m_encoding);
}

#include "TCheckListBox.h"

#include "TRowDelegate.h"
#include "kit_LISTES.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace {

bool lessIgnoringCase(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

QListWidgetItem *newEntry(const QString &text)
{
    auto *item = new QListWidgetItem(text);
    // The mark is drawn from its data; without the user-checkable flag Qt leaves it to us.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
    item->setCheckState(Qt::Unchecked);
    return item;
}

} // namespace

TCheckListBox::TCheckListBox(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new TRowDelegate(13, this));
}

void TCheckListBox::addEntry(const QString &text)
{
    int row = count();
    if (m_sorted) {
        const QStringList list = entries();
        row = int(std::upper_bound(list.cbegin(), list.cend(), text, lessIgnoringCase) -
                  list.cbegin());
    }
    insertItem(row, newEntry(text));
}

QStringList TCheckListBox::entries() const
{
    QStringList list;
    list.reserve(count());
    for (int i = 0; i < count(); ++i)
        list << item(i)->text();
    return list;
}

void TCheckListBox::setSorted(bool sorted)
{
    m_sorted = sorted;
    if (!sorted)
        return;
    const int selected = selectedItems().isEmpty() ? -1 : currentRow();
    QList<QListWidgetItem *> items;
    while (count() > 0)
        items << takeItem(0);
    std::stable_sort(items.begin(), items.end(),
                     [](const QListWidgetItem *a, const QListWidgetItem *b) {
                         return lessIgnoringCase(a->text(), b->text());
                     });
    for (QListWidgetItem *item : std::as_const(items))
        addItem(item);
    setCurrentRow(selected);
}

void TCheckListBox::LoadFromFile(const QString &path)
{
    const kit::DecodedList list = kit_LISTES::readListFile(path);
    m_encoding = list.encoding;
    clear();
    QStringList entries = list.entries;
    if (m_sorted)
        std::stable_sort(entries.begin(), entries.end(), lessIgnoringCase);
    for (const QString &entry : std::as_const(entries))
        addItem(newEntry(entry));
}

void TCheckListBox::SaveToFile(const QString &path) const
{
    kit_LISTES::writeListFile(path, entries(), m_encoding);
}

bool TCheckListBox::isOnCheckBox(const QPoint &viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    if (!index.isValid())
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
    // The whole margin up to the box's right edge, over the row's height.
    return viewportPos.x() >= option.rect.left() && viewportPos.x() <= box.right();
}

void TCheckListBox::toggle(QListWidgetItem *item)
{
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    emit markClicked();
}

void TCheckListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isOnCheckBox(event->position().toPoint())) {
        QListWidgetItem *pressed = itemAt(event->position().toPoint());
        setCurrentItem(pressed);
        toggle(pressed);
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void TCheckListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit listDoubleClicked();
}

void TCheckListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (QListWidgetItem *selected = currentItem(); selected && selected->isSelected())
            toggle(selected);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

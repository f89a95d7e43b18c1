#include "TEntryListModel.h"

#include "kit_Text.h"

// Views ask about rows that are gone or not there yet (the box's "no entry", -1): no warning.
bool TEntryListModel::isEntry(const QModelIndex &index) const
{
    return index.isValid() && !index.parent().isValid() && index.model() == this &&
           index.row() < rowCount() && index.column() == 0;
}

void TEntryListModel::setDecodedText(const kit::DecodedText &decoded)
{
    beginResetModel();
    // The simple upper-case mapping keeps every length, so the places stay right.
    m_text = kit::simpleUpper(decoded.text);
    m_lines = decoded.lines;
    m_list.clear();
    m_compact = true;
    endResetModel();
}

void TEntryListModel::setStringList(const QStringList &entries)
{
    beginResetModel();
    m_list.clear();
    m_list.reserve(entries.size());
    for (const QString &entry : entries)
        m_list.append(kit::simpleUpper(entry));
    m_text.clear();
    m_lines.clear();
    m_compact = false;
    endResetModel();
}

void TEntryListModel::makeList()
{
    if (!m_compact)
        return;
    m_list = kit::entriesOf(m_text, m_lines);
    m_text.clear();
    m_lines.clear();
    m_compact = false;
}

QStringList TEntryListModel::stringList() const
{
    return m_compact ? kit::entriesOf(m_text, m_lines) : m_list;
}

QStringView TEntryListModel::entry(int row) const
{
    if (m_compact) {
        const kit::LineSpan &line = m_lines.at(row);
        return QStringView(m_text).mid(line.start, line.length);
    }
    return m_list.at(row);
}

int TEntryListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_compact ? m_lines.size() : m_list.size());
}

QVariant TEntryListModel::data(const QModelIndex &index, int role) const
{
    if (!isEntry(index))
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return entry(index.row()).toString();
}

bool TEntryListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isEntry(index) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    makeList();
    m_list[index.row()] = kit::simpleUpper(value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TEntryListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

bool TEntryListModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row > rowCount())
        return false;
    makeList();
    beginInsertRows({}, row, row + count - 1);
    m_list.insert(row, count, QString());
    endInsertRows();
    return true;
}

bool TEntryListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row + count > rowCount())
        return false;
    makeList();
    beginRemoveRows({}, row, row + count - 1);
    m_list.remove(row, count);
    endRemoveRows();
    return true;
}

bool TEntryListModel::moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                               const QModelIndex &destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0 ||
        sourceRow >= rowCount() || destinationChild < 0 || destinationChild > rowCount() ||
        destinationChild == sourceRow || destinationChild == sourceRow + 1)
        return false;
    makeList();
    if (!beginMoveRows({}, sourceRow, sourceRow, {}, destinationChild))
        return false;
    m_list.move(sourceRow, destinationChild > sourceRow ? destinationChild - 1 : destinationChild);
    endMoveRows();
    return true;
}

#pragma once

#include "kit_ListFile.h"

#include <QAbstractListModel>
#include <QStringList>

// The folder-name box's entries, always upper case whichever way they come (loaded, added,
// renamed). A list loaded from its file stays one text with the place of each entry until it
// is first changed: 100,000 names then cost one string, not 100,000, before the window shows.
class TEntryListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setDecodedText(const kit::DecodedText &decoded);
    void setStringList(const QStringList &entries);
    QStringList stringList() const;
    QStringView entry(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                  const QModelIndex &destinationParent, int destinationChild) override;

private:
    void makeList();
    bool isEntry(const QModelIndex &index) const;

    bool m_compact = false;
    QString m_text;
    QList<kit::LineSpan> m_lines;
    QStringList m_list;
};

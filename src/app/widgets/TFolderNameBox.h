#pragma once

#include "kit_ListFile.h"

#include <QComboBox>

class TEntryListModel;

// The folder-name box: an editable drop-down whose text and entries are always upper case.
// Enter is left to the window's default button; the box never inserts its text into its list
// by itself. Typing completes inline with the first entry that begins with the typed text and
// selects that entry; a sorted box keeps its entries in order, ignoring case.
class TFolderNameBox final : public QComboBox {
    Q_OBJECT
public:
    explicit TFolderNameBox(QWidget *parent = nullptr);

    void setText(const QString &text);
    // The box's own add: upper-cased, at the end or at its sorted place; the text stays.
    void addEntry(const QString &entry);
    QStringList entries() const;
    // Deletes an entry; the text stays and no entry is selected afterwards.
    void removeEntry(int index);

    bool isSorted() const { return m_sorted; }
    // Sorting on puts the entries in order at once; off leaves them as they are. Either way the
    // selection keeps its position number.
    void setSorted(bool sorted);

    // The list file: replaces the entries (the text stays), or writes them all, in the encoding
    // the last load found (the system's code page until then). Raise kit::Error on failure.
    void LoadFromFile(const QString &path);
    void SaveToFile(const QString &path) const;
    kit::ListEncoding listEncoding() const { return m_encoding; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void entryWritten(int row);
    void replaceEntries(const QStringList &entries);
    void completeTyping(const QString &typed);
    void keepTextAndIndex(int index, const QString &text);
    void noteKey(const QKeyEvent *event);

    bool m_sorted = false;
    bool m_adjusting = false;
    bool m_completeNext = true;
    kit::ListEncoding m_encoding = kit::ListEncoding::Ansi;
    TEntryListModel *m_entries = nullptr;
};

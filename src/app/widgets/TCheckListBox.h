#pragma once

#include "kit_ListFile.h"

#include <QListWidget>

// A list whose every row carries a check box in a margin column at its left. A left press on a
// check box, or the space bar on the selected row, selects the row, turns its mark over and
// says so (markClicked); a click on the text only selects. The marks are shown, never stored.
class TCheckListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget *parent = nullptr);

    // The list's own add: unmarked, at the end, or at its place while the list is sorted.
    void addEntry(const QString &text);
    QStringList entries() const;

    bool isSorted() const { return m_sorted; }
    // Sorting on puts the entries in order at once (ignoring case); the selection keeps its
    // position number. Off only stops placing new entries.
    void setSorted(bool sorted);

    // The list file: replaces the entries (every mark clear, nothing selected), or writes them
    // all, in the encoding the last load found (the system's code page until then). Raise
    // kit::Error.
    void LoadFromFile(const QString &path);
    void SaveToFile(const QString &path) const;
    kit::ListEncoding listEncoding() const { return m_encoding; }

    // The margin column where a row's check box is, in viewport coordinates.
    bool isOnCheckBox(const QPoint &viewportPos) const;

signals:
    void markClicked();
    // A double click anywhere in the list, on an entry or not.
    void listDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void toggle(QListWidgetItem *item);

    bool m_sorted = false;
    kit::ListEncoding m_encoding = kit::ListEncoding::Ansi;
};

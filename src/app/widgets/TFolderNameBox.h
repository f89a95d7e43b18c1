#pragma once

#include <QComboBox>

// The folder-name box: an editable drop-down whose text and entries are always upper case.
// Enter is left to the window's default button; the box never inserts its text into its list
// by itself.
class TFolderNameBox final : public QComboBox {
    Q_OBJECT
public:
    explicit TFolderNameBox(QWidget *parent = nullptr);

    void setText(const QString &text);
    void addEntry(const QString &entry);
};

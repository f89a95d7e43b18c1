#pragma once

#include <QListWidget>

// A list whose every row carries a check box in a margin column at its left.
class TCheckListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget *parent = nullptr);

    void addEntry(const QString &text);
};

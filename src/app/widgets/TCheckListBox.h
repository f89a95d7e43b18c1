#pragma once

#include "kit_ListFile.h"

#include <QListWidget>

// A list whose every row carries a check box in a margin column at its left.
class TCheckListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget *parent = nullptr);

    void addEntry(const QString &text);
    QStringList entries() const;

    // The list file: replaces the entries (every mark clear), or writes them all, in the
    // encoding the last load found (the system's code page until then). Raise kit::Error.
    void LoadFromFile(const QString &path);
    void SaveToFile(const QString &path) const;
    kit::ListEncoding listEncoding() const { return m_encoding; }

private:
    kit::ListEncoding m_encoding = kit::ListEncoding::Ansi;
};

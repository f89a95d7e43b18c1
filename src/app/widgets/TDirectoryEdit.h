#pragma once

#include <QLineEdit>

class QToolButton;

// A one-line, read-only folder field with a browse button at its right end. Its text is the
// folder exactly as it was put there.
class TDirectoryEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit TDirectoryEdit(QWidget *parent = nullptr);

    QString Directory() const { return text(); }
    void setDirectory(const QString &directory) { setText(directory); }
    QToolButton *browseButton() const { return m_button; }

signals:
    void browseRequested();

private:
    QToolButton *m_button = nullptr;
};

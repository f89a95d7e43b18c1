#pragma once

#include <QLineEdit>

class QToolButton;

// A one-line, read-only folder field with a browse button at its right end. Its text is the
// folder exactly as it was put there: the browse dialog, a drop from the file manager or the
// program may change it, typing may not. A left press on the text starts a drag of the field
// itself (which nothing accepts) instead of placing the caret.
class TDirectoryEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit TDirectoryEdit(QWidget *parent = nullptr);

    QString Directory() const { return text(); }
    void setDirectory(const QString &directory) { setText(directory); }

    // The instruction shown by the browse dialog.
    QString DialogText;
    // The last folder chosen with the browse dialog that exists; the dialog's start folder
    // while the field is empty.
    QString InitialDir;

    QToolButton *browseButton() const { return m_button; }

    // Browse: the dialog, then the focus back in the field, then the chosen folder as text.
    void Browse();

    // The text a drop gives: a file's folder, or the dropped path, without one final '/'.
    static QString rootFromDrop(const QString &path, bool isFile);

signals:
    void autoDragStarted();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QToolButton *m_button = nullptr;
};

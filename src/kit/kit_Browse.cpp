#include "kit_Browse.h"

#include "kit_App.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace kit_Browse {

namespace {

FolderResponder &responder()
{
    static FolderResponder r;
    return r;
}

// Qt's own dialog, not the desktop's: only it can be placed where the design wants it, and it
// wears the program's theme.
class FolderDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void showEvent(QShowEvent *event) override
    {
        QFileDialog::showEvent(event);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect work = screen->availableGeometry();
            const Point p = centredPosition(work.width(), work.height(), width(), height());
            move(screen->geometry().topLeft() + QPoint(p.x, p.y));
        }
    }
};

} // namespace

Point centredPosition(int workAreaWidth, int workAreaHeight, int dialogWidth, int dialogHeight)
{
    return {(workAreaWidth - dialogWidth) / 2, (workAreaHeight - dialogHeight) / 2};
}

std::optional<QString> BrowseForFolder(QWidget *parent, const QString &instruction,
                                       const QString &startFolder)
{
    if (kit::quitRequested())
        return std::nullopt;
    if (responder())
        return responder()({instruction, startFolder});

    FolderDialog dialog(parent, instruction, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void setResponder(FolderResponder r)
{
    responder() = std::move(r);
}

} // namespace kit_Browse

#include "kit_Browse.h"

#include "kit_App.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QTreeView>

namespace kit_Browse {

namespace {

FolderResponder &responder()
{
    static FolderResponder r;
    return r;
}

FilesResponder &filesResponder()
{
    static FilesResponder r;
    return r;
}

// Qt's dialog keeps its history and column widths in QtProject.conf in the user's settings
// folder. The program writes no file but its own three, so that file is pointed at a folder that
// cannot exist: it is neither read nor written.
void keepDialogStateUnsaved()
{
    static const bool done = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("/dev/null"));
        return true;
    }();
    Q_UNUSED(done);
}

// Qt's dialog sizes its detail columns for English texts and dates: the French header "Dernière
// modification" and its dates were cut. Every column but the name follows its contents, and the
// dialog widens, within the screen, until all of them show.
void fitColumns(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView *header = view->header();
    header->setStretchLastSection(false);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

void widenToColumns(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view || !view->isVisible())
        return;
    QHeaderView *header = view->header();
    int wanted = header->sectionSizeHint(0);
    for (int column = 1; column < header->count(); ++column)
        wanted += header->sectionSize(column);
    const int missing = wanted - header->width();
    if (missing <= 0)
        return;
    int width = dialog.width() + missing;
    if (const QScreen *screen = dialog.screen())
        width = std::min(width, screen->availableGeometry().width());
    dialog.resize(width, dialog.height());
}

// A chooser that widens to its columns when shown; the folder chooser is also centred.
class ChooserDialog final : public QFileDialog {
public:
    ChooserDialog(QWidget *parent, const QString &caption, const QString &startFolder, bool centred)
        : QFileDialog(parent, caption, startFolder), m_centred(centred)
    {}

protected:
    void showEvent(QShowEvent *event) override
    {
        QFileDialog::showEvent(event);
        widenToColumns(*this);
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (m_centred && screen) {
            const QRect work = screen->availableGeometry();
            const Point p = centredPosition(work.width(), work.height(), width(), height());
            move(screen->geometry().topLeft() + QPoint(p.x, p.y));
        }
    }

private:
    bool m_centred;
};

// Runs a chooser made ready by `setUp`; the chosen paths, or nothing when cancelled.
std::optional<QStringList> runChooser(QWidget *parent, const QString &caption,
                                      const QString &startFolder, bool centred,
                                      const std::function<void(QFileDialog &)> &setUp)
{
    keepDialogStateUnsaved();
    ChooserDialog dialog(parent, caption, startFolder, centred);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    setUp(dialog);
    fitColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles();
}

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

    // Qt's own dialog, not the desktop's: only it can be placed where the design wants it, and
    // it wears the program's theme.
    const auto chosen = runChooser(parent, instruction, startFolder, true, [](QFileDialog &dialog) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    });
    if (!chosen)
        return std::nullopt;
    return chosen->constFirst();
}

std::optional<QStringList> ChooseFiles(QWidget *parent, const QString &caption,
                                       const QString &startFolder)
{
    if (kit::quitRequested())
        return std::nullopt;
    if (filesResponder())
        return filesResponder()({caption, startFolder});

    return runChooser(parent, caption, startFolder, false,
                      [](QFileDialog &dialog) { dialog.setFileMode(QFileDialog::ExistingFiles); });
}

void setResponder(FolderResponder r)
{
    responder() = std::move(r);
}

void setFilesResponder(FilesResponder r)
{
    filesResponder() = std::move(r);
}

} // namespace kit_Browse

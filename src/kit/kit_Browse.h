#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The folder chooser, and the file chooser of a start without files.
namespace kit_Browse {

// Asks the user for a folder, starting at startFolder, with the instruction text as the
// dialog's caption and a button that makes a new folder. The dialog is centred in the primary
// screen's work area. Returns the chosen folder's full path, or nothing when cancelled.
std::optional<QString> BrowseForFolder(QWidget *parent, const QString &instruction,
                                       const QString &startFolder);

// Asks the user for one or more existing files with the desktop's file chooser (Qt's own where
// the desktop offers none), starting at startFolder. Returns their full paths, or nothing when
// cancelled.
std::optional<QStringList> ChooseFiles(QWidget *parent, const QString &caption,
                                       const QString &startFolder);

// Where the chooser's top-left corner goes: half the difference between the work area's size
// and the dialog's, counted from the screen's top-left corner.
struct Point {
    int x;
    int y;
};
Point centredPosition(int workAreaWidth, int workAreaHeight, int dialogWidth, int dialogHeight);

// Tests choose in place of the user; they are told the instruction and the start folder.
struct FolderRequest {
    QString instruction;
    QString startFolder;
};
using FolderResponder = std::function<std::optional<QString>(const FolderRequest &)>;
void setResponder(FolderResponder responder);

using FilesResponder = std::function<std::optional<QStringList>(const FolderRequest &)>;
void setFilesResponder(FilesResponder responder);

} // namespace kit_Browse

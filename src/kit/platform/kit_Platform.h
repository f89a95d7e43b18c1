#pragma once

#include "kit_FILE.h" // the file identity, trash results and steps shared with callers

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWindow;

// Every call into the operating system, implemented once per platform in platform/NAME/ and
// chosen by CMake. The kit_ modules put the program's rules around them; callers have already
// refused path texts that cannot name a file (kit::isUsablePath).
namespace kit_Platform {

// Process-wide settings the file helpers need, made once before the application object exists.
void prepareProcess();

// True when a folder exists at the path. Links count when their target can be reached; an
// error other than "no such entry" (access denied, for instance) counts as an existing folder.
bool folderExists(const QString &path);
// The current folder as the user's shell names it: links on the way are not resolved.
QString currentFolder();
// True when the user may create files in the folder. A folder of the system's own programs
// counts as not writable even for root, so that an installed copy never writes beside itself.
bool canCreateFilesIn(const QString &folder);
// The per-user folder for the program's state when its own folder cannot take it.
QString perUserStateFolder();
// Makes one folder level; true when it was made.
bool makeFolder(const QString &path);

// Copies a regular file over the destination, atomically, taking the name only where it is
// free: what holds it goes to the trash first, and the copy fails when it cannot. False on any
// failure, and then nothing has changed. On success `read`, when given, names what was copied.
bool copyFile(const QString &source, const QString &destination, kit_FILE::FileIdentity *read,
              const kit_FILE::CopyHooks *hooks, kit_FILE::FileIdentity *published);
// Counts the kit_FILE::KeepFolders scopes on this thread; the last one's end closes the folders.
void keepFolders(bool begin);
// Removes the hidden temporary files that copies into the folder left when they were killed
// (where the file system takes no unnamed files); those of copies still going on stay.
void removeStaleTemporaries(const QString &folder);
// Moves the path to the user's trash, a link as the link itself. False when it is missing or
// cannot be trashed; it then stays in place.
bool moveToTrash(const QString &path);
// The same, only while the path still names that file in that version.
kit_FILE::TrashResult moveToTrash(const QString &path, const kit_FILE::FileIdentity &expected,
                                  const kit_FILE::TrashHook &trashing);
// Loads what trashing these files needs, so that the first trash does not wait for it. Any
// thread, any number of times; a trash started meanwhile waits for the one load.
void warmUpTrash(const QStringList &files);
// Points where tests act between two steps of a copy or a trash.
void setTestSeams(kit_FILE::TestSeams seams);

// What a path names now (the link itself for a link); empty when nothing does. With
// followLinks, what a link points to.
std::optional<kit_FILE::FileIdentity> identityAt(const QString &path, bool followLinks = false);

enum class Restore { Done, NameTaken, Failed };
// Moves an entry back to a path, never over anything there; makes the missing folders of that
// path first, as a trash's own restore does.
Restore moveBackTo(const QString &from, const QString &to);
// Removes the file only while the path names exactly that version of it (device, inode, size,
// times of modification and, when known, of change). False when anything else is there.
bool removeIfUnchanged(const QString &path, const kit_FILE::FileIdentity &expected);
// Removes the folder only while it is empty and is that folder (device and inode).
bool removeEmptyFolder(const QString &path, const kit_FILE::FileIdentity &expected);
// Removes a file of the program's own (a trash's info file); true when it is gone.
bool removeFile(const QString &path);
// The trash folders that may hold what was trashed from the path: the user's home trash, and
// those at the top of the path's file system ($top/.Trash/UID, $top/.Trash-UID), when they
// exist; each with the folder its relative paths start from.
struct TrashFolder {
    QString folder;
    QString top;
};
QList<TrashFolder> trashFoldersFor(const QString &path);
// How many processors this process may run on (its affinity), at least 1.
int usableProcessors();

// Takes the only lock on an open file, without waiting; false when another process holds it.
bool lockOpenFile(int fd);

// Readies what the window system's first key press would load (on X11, the compose table), for
// a window on screen; does nothing where nothing needs it.
void warmUpKeyInput(QWindow *window);

// The user's desktop folder as the desktop names it, not tested for existence.
QString desktopFolder();
// Font files that the window's font needs and that the system does not offer by itself.
QStringList windowFontFiles();

} // namespace kit_Platform

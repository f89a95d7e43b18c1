#pragma once

#include <QString>
#include <QStringList>

// Every call into the operating system, implemented once per platform in platform/NAME/ and
// chosen by CMake. The kit_ modules put the program's rules around them; callers have already
// refused path texts that cannot name a file (kit::isUsablePath).
namespace kit_Platform {

// Process-wide settings the file helpers need, made once before the application object exists.
void prepareProcess();

// True when a folder exists at the path. Links count when their target can be reached; an
// error other than "no such entry" (access denied, for instance) counts as an existing folder.
bool folderExists(const QString &path);
// Makes one folder level; true when it was made.
bool makeFolder(const QString &path);

// Copies a regular file over the destination, atomically; a replaced destination goes to the
// trash first. False on any failure, and then nothing has changed.
bool copyFile(const QString &source, const QString &destination);
// Moves the path to the user's trash, a link as the link itself. False when it is missing or
// cannot be trashed; it then stays in place.
bool moveToTrash(const QString &path);

// The user's desktop folder as the desktop names it, not tested for existence.
QString desktopFolder();
// Font files that the window's font needs and that the system does not offer by itself.
QStringList windowFontFiles();

} // namespace kit_Platform

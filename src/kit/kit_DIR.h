#pragma once

#include <QString>
#include <QStringList>

namespace kit_DIR {

// Makes sure the folder exists, creating every missing parent, the outermost first. Failures
// are shown in a plain message box and give false; the levels made before a failure stay.
// Raises kit::Error when the outermost missing folder is a relative name without a separator.
// `made`, when given, receives each level made, the outermost first.
bool CreateDir(const QString &path, QStringList *made = nullptr);

// True when a folder exists at the path. Links count when their target can be reached; an
// error other than "no such entry" (access denied, for instance) counts as an existing folder.
bool folderExists(const QString &path);

// The folder is used only when it exists, never created: false and the failure box of
// CreateDir when it is missing.
bool UseExistingDir(const QString &path);

// The current folder as the user's shell names it (links on the way not resolved).
QString currentFolder();

} // namespace kit_DIR

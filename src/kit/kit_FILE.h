#pragma once

#include <QString>

namespace kit_FILE {

// Process-wide settings the copy needs (a file-size limit must fail a copy, not end the
// program). Called once, before the application object exists.
void prepareProcess();

// Copies a regular file over the destination through a temporary file in the destination's
// folder, keeping the source's permission bits and times. A destination it replaces goes to the
// trash first. False on any failure, and then nothing has changed.
bool CopyFileOver(const QString &source, const QString &destination);

// Moves the path to the user's trash, a link as the link itself. False when it is missing or
// cannot be trashed; it then stays in place.
bool SendToRecycleBin(const QString &path);

} // namespace kit_FILE

#pragma once

#include <QString>
#include <QStringList>

namespace kit {

// Arguments 1 to N of a Windows command line (the executable's path is skipped): blanks and
// control characters separate, a double quote toggles quoting and is dropped, an empty quoted
// pair between arguments is skipped, and there is no escape character.
QStringList splitWindowsCommandLine(const QString &commandLine);

// The dropped files from an already split argument vector: argument 0 is the executable, and
// an empty argument is never counted. A name whose bytes are not valid UTF-8 cannot be held as
// text; it is kept, decoded with replacement characters, so that it is still counted and later
// refused rather than silently dropped or taken for another file. A relative name (a terminal
// user's) is made absolute against currentFolder, so that every later rule sees a full path.
QStringList filesFromArgv(int argc, const char *const *argv, const QString &currentFolder);

} // namespace kit

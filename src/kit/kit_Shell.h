#pragma once

#include <QString>

namespace kit_Shell {

// Opens a folder or file with the desktop's default handler. Whether that worked is not known
// and not reported. Tests catch the call with QDesktopServices::setUrlHandler("file", ...).
void OpenPath(const QString &path);

} // namespace kit_Shell

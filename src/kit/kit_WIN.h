#pragma once

#include <QString>

namespace kit_WIN {

// The user's desktop folder as the desktop names it, ending in a separator. Not tested for
// existence.
QString GetDesktopDir();

// The Windows rule: the profile folder (empty when USERPROFILE is not set) with one '\' and
// "desktop\" after it.
QString windowsDesktopDir(const QString &userProfile);

} // namespace kit_WIN

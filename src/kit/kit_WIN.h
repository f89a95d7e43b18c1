#pragma once

#include <QString>

class QWidget;

namespace kit_WIN {

// The user's desktop folder as the desktop names it, ending in a separator. Not tested for
// existence.
QString GetDesktopDir();

// The Windows rule: the profile folder (empty when USERPROFILE is not set) with one '\' and
// "desktop\" after it.
QString windowsDesktopDir(const QString &userProfile);

// Readies what the first key pressed in the window would otherwise load then, once the window
// is active (false, doing nothing, before); on its thread, the work runs in the background.
bool WarmUpKeyInput(QWidget *window);

} // namespace kit_WIN

#pragma once

#include <QString>
#include <functional>

class QSystemTrayIcon;

namespace kit_TRAYICON {

// Shows a notification balloon from the tray icon, for about 10 seconds and without an icon.
// An empty title gives the executable's file name. Where the tray cannot show it (no tray, a
// tray without messages, or the icon hidden or null), the balloon goes to the desktop's
// notification service instead; where there is neither, nothing is shown and nothing is
// reported. Never waits for the desktop.
void ShowBalloon(QSystemTrayIcon *icon, const QString &title, const QString &text);

// Tests see each balloon, with the title and text as shown, in place of the desktop.
using Catcher = std::function<void(const QString &title, const QString &text)>;
void setCatcher(Catcher catcher);

// The rules on the balloon's texts. Lengths count UTF-16 units.
inline constexpr qsizetype balloonTitleMax = 63;
inline constexpr qsizetype balloonTextMax = 255;

// The text's first maxUnits units; a cut that would split a surrogate pair drops the whole
// character, so that the cut text stays valid UTF-16 (one unit shorter).
QString cutText(const QString &text, qsizetype maxUnits);
// The title shown: the given one, or the file name of executablePath when it is empty, cut.
QString balloonTitle(const QString &title, const QString &executablePath);
// The text shown, cut.
QString balloonText(const QString &text);
// Notification servers read the body as markup: &, < and > are escaped to show as written.
QString markupEscaped(const QString &text);

} // namespace kit_TRAYICON

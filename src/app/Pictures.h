#pragma once

#include <QIcon>

// The window's pictures. Their sources are the SVG files in resources/; the build renders them
// to PNG (src/app/CMakeLists.txt), so that no SVG is read while the program runs.

// ":/icons/NAME.rpic"; on a high-DPI screen QIcon adds NAME@2x.rpic by itself.
QString rangeurIconPath(const char *name);
QIcon rangeurIcon(const char *name);
// The window's icon and the tray's, in every size the build renders for the desktop.
QIcon rangeurProgramIcon();
QIcon rangeurTrayIcon();

#pragma once

#include <QFont>

namespace kit_Fonts {

// Tahoma 8 points, the font of every control. Linux rarely has Tahoma; Debian's fonts-wine
// ships a metric-compatible one in a folder fontconfig does not scan, so it is loaded from
// there when needed, and a common sans-serif stands in where it is missing.
QFont windowFont();

} // namespace kit_Fonts

#pragma once

#include <QFont>

namespace kit_Fonts {

// Tahoma 8 points, the font of every control. Where the system does not offer Tahoma, the font
// files the platform names are loaded; a common sans-serif stands in where they are missing.
QFont windowFont();
// The same in bold, for captions and the folder name: truly heavier strokes, at bold's widths.
QFont boldWindowFont();
// A bold font whose family has no bold face, so that Qt thickens the regular one.
bool isThickenedBold(const QFont &font);

} // namespace kit_Fonts

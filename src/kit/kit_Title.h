#pragma once

#include <QString>

namespace kit {

// The application title from the executable's path: its file name cut before the first '.',
// every character after the first lower-cased by the full Unicode mapping.
QString applicationTitle(const QString &executablePath);

} // namespace kit

namespace kit {
// The title of this running program.
QString programTitle();
} // namespace kit

#pragma once

#include <QString>

// Where the program keeps its state between runs.
namespace kit_ini {

// The application directory, ending in a separator: the executable's folder, as a portable copy
// keeps its state beside itself; the per-user folder when the executable's folder cannot take
// files (an installed copy). Both list files and the settings file live there.
QString GetAppDir();
// The same rule for an executable at the given path.
QString appDirFor(const QString &executablePath);

// Makes the application directory when it is the per-user one and does not exist yet; called
// before each write into it.
void makeAppDir();

// Tests point the application directory at a folder of their own; empty restores the rule.
void setAppDirForTests(const QString &folder);

} // namespace kit_ini

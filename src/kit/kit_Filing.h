#pragma once

#include "kit_Paths.h"

#include <QString>

// The paths of a filing run.
namespace kit {

// The target folder from the root and the folder name, ending in one separator. On Linux the
// root keeps its letter case (the file system tells cases apart) and only the name is
// upper-cased; with the Windows path style the whole path is upper-cased. Letters beyond a-z
// never change; the name is neither trimmed nor checked.
QString targetFolder(const QString &root, const QString &name, PathStyle style);

// Where one dropped file goes: the target, then "NAME_" when prefixing, then the source's file
// name in its own letter case.
QString destinationPath(const QString &target, const QString &source, bool prefix,
                        const QString &name, PathStyle style);

// A recent folder split back into the values that made it: one trailing separator removed,
// the name after the last separator, the root up to and including it (empty without one).
struct FolderValues {
    QString name;
    QString root;
};
FolderValues valuesFromTarget(const QString &target, PathStyle style);

} // namespace kit

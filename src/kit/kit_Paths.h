#pragma once

#include "kit_NativePathStyle.h"
#include "kit_PathStyle.h"

#include <QString>
#include <functional>

// Path rules as text, for the path style of Linux and that of Windows, so that a Windows build
// can reuse them and their examples stay testable anywhere.
namespace kit {

// True when the text can name a file faithfully: not empty, no NUL (the system would see a
// shorter name) and no replacement character or broken UTF-16 (bytes that were not UTF-8
// could only be taken for another file).
bool isUsablePath(const QString &path);

// "." or "..": a name that never names a file of its own.
bool isDotName(QStringView name);

bool isPathSeparator(QChar c, PathStyle style);

// The path cut after its last separator (empty when it has none), and what follows.
QString folderPart(const QString &path, PathStyle style);
QString fileNamePart(const QString &path, PathStyle style);

// A relative path made absolute against the folder, by text alone: "." and ".." stay, so
// that links on the way keep their meaning. An absolute path is returned as it is.
bool isAbsolutePath(const QString &path, PathStyle style);
QString absolutePath(const QString &path, const QString &folder, PathStyle style);

// The application directory from the executable's full path: its folder part, ending in one
// separator. The Windows style lower-cases it by the ASCII rule (its paths ignore case); Linux
// paths tell cases apart, so there it keeps its case.
QString applicationDir(const QString &executablePath, PathStyle style);

// One trailing separator removed. The Linux root "/" is kept: it plays the part of a drive root,
// which must still name an existing folder once trimmed.
QString withoutTrailingSeparator(const QString &path, PathStyle style);

// What the creation rule needs from a file system, so that the rule can run on a fake one.
struct FolderSystem {
    std::function<bool(const QString &path)> folderExists;
    std::function<bool(const QString &path)> makeFolder; // one level; true when it was made
};

enum class FolderChainResult {
    Exists,       // the folder exists, whether it was there or has just been made
    Failed,       // a level could not be made; the levels made before it stay
    RelativeName, // the outermost missing folder is a bare relative name; nothing was made
};

// Makes the folder and every missing parent, the outermost missing one first. A level is made
// directly once it is shorter than three characters or is its own parent (a root).
FolderChainResult createFolderChain(const QString &path, PathStyle style, const FolderSystem &fs);

} // namespace kit

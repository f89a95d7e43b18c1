#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// The freedesktop trash's info files (`files/NAME` is described by `info/NAME.trashinfo`).
namespace kit {

// The original path an info file gives for its entry, as the bytes of an absolute path. A
// relative Path belongs to a trash at the top of another file system and is read from
// topFolder. Empty when the text is no trash info: no "[Trash Info]" group, no Path in it, or a
// Path that does not decode to a path (a NUL, a bad escape).
std::optional<QByteArray> trashInfoOriginalPath(QByteArrayView text, QByteArrayView topFolder);

} // namespace kit

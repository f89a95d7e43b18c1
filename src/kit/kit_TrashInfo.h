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

// The info file of an entry trashed from an absolute path, at a local time written
// "yyyy-MM-ddThh:mm:ss". The path is percent-encoded, so that any byte of a name (a line break
// too) reads back as it was.
QByteArray trashInfoText(QByteArrayView originalPath, QByteArrayView deletionDate);

// The longest entry name whose info file name ("NAME.trashinfo") a file system still takes.
inline constexpr qsizetype maxTrashEntryName = 255 - 10;

// The name to try for the entry of a file named `fileName` at the given attempt (1, 2, ...):
// the name itself first, then a number before its first dot ("report.2.pdf", "notes.3"), the
// way desktop trashes name them. A name too long to get an info file is shortened, keeping its
// extension and never cutting a UTF-8 character; its info file keeps the whole path.
QByteArray trashEntryName(QByteArrayView fileName, int attempt);

} // namespace kit

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The encodings our own files come in, shared by the list files and the settings file.
namespace kit {

// UTF-8 where the bytes are valid UTF-8, else Windows-1252, so that a file written by a Windows
// copy in its code page keeps its accents. A mark at the start is kept as a character.
QString fromSystemCodePage(QByteArrayView bytes);
QString fromWindows1252(QByteArrayView bytes);
// UTF-8 that keeps a byte-order mark at its start as a character (the caller removed its own).
QString fromUtf8KeepingMarks(QByteArrayView bytes);
// Code units as they are, a lone surrogate included, so that text round-trips unchanged; an
// odd last byte is no character and is dropped.
QString fromUtf16(QByteArrayView bytes, bool bigEndian);
QByteArray toUtf16(const QString &text, bool bigEndian);

} // namespace kit

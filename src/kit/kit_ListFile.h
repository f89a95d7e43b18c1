#pragma once

#include "kit_TextEncodings.h" // ListEncoding: the same encodings as the settings file

#include <QByteArray>
#include <QStringList>

// The list file shared by the folder-name list and the recent folders list: one entry per line,
// each followed by CR LF, in an encoding told by the file's first bytes.
namespace kit {

struct DecodedList {
    QStringList entries;
    ListEncoding encoding = ListEncoding::Ansi;
};

// The same, as the decoded text and where each entry lies in it: a long list is then one
// string instead of one string per entry.
struct LineSpan {
    qsizetype start;
    qsizetype length;
};
struct DecodedText {
    QString text;
    QList<LineSpan> lines;
    ListEncoding encoding = ListEncoding::Ansi;
};

// Detects the encoding by the byte-order mark and splits the text into entries: CR LF, CR or
// LF end an entry (LF CR is two breaks), text after the last break is an entry, a NUL ends the
// text, and nothing else is removed. Without a mark, bytes that are not valid UTF-8 are read as
// Windows-1252, so a list written on Windows keeps its accents. The odd last byte of a UTF-16
// file is kept by the encoding, after a NUL too: it stays the file's last byte.
DecodedList decodeListFile(const QByteArray &bytes);
DecodedText decodeListText(const QByteArray &bytes);
// The entries of a decoded text, each a string of its own.
QStringList entriesOf(const QString &text, const QList<LineSpan> &lines);

// Whether an entry reads back as itself: CR and LF would split it and NUL would end the list.
// A text that fails this (a folder path holding a line break) is never added to a list.
bool listFileCanHold(const QString &entry);

// Every entry followed by CR LF, after the encoding's byte-order mark (none for Ansi), and then
// the odd last byte of the UTF-16 file the encoding was read from.
QByteArray encodeListFile(const QStringList &entries, ListEncoding encoding);

} // namespace kit

#pragma once

#include "kit_PathStyle.h"
#include "kit_TextEncodings.h" // ListEncoding: the same encodings as the list files

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The settings file as text: sections in square brackets and one "key=value" line per value.
// Our own reader and writer, because the file is shared with copies of the program on Windows
// and must keep its order and every line it does not change.
namespace kit {

// A read value is cut to this many characters.
inline constexpr qsizetype iniValueLimit = 2047;

class IniText {
public:
    // Any bytes: UTF-16 (either byte order) or UTF-8 after their mark, else UTF-8, else
    // Windows-1252. CR LF, LF and a lone CR end a line. No bytes is a new file: UTF-8 without a
    // mark, LF line ends.
    static IniText fromBytes(const QByteArray &bytes);
    // The text in the encoding it was read in; a file read as Windows-1252 comes back as UTF-8,
    // the system's code page here. Every line keeps its own line end; new lines take the
    // file's first one. The odd last byte of a UTF-16 file stays its last byte.
    QByteArray toBytes() const;

    // Sections and keys are found ignoring case, the first of equal names wins. Spaces and tabs
    // around keys and values are dropped and one pair of quotes around a value is removed, as
    // the platform's reader does; the value is cut at iniValueLimit. Empty when absent.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Replaces the value of an existing key in place; a new key goes after the last line of its
    // section that is not blank, a new section at the end. A value that would not read back as
    // it is (spaces at its ends, quotes around it, a line break) is quoted or escaped. False,
    // and nothing changes, when a name could not be read back (see isUsableName).
    bool setValue(const QString &section, const QString &key, const QString &value);

    // Not empty, no control character or byte-order mark, nothing to trim, and nothing that
    // the reader would take for the end of the name ("]" in a section, "=" in a key) or for
    // another kind of line (a key beginning with "[", ";" or "#").
    static bool isUsableName(const QString &name, bool isSection);

    ListEncoding encoding() const { return m_encoding; }
    QString lineEnd() const { return m_lineEnd; }
    // The lines without their line ends.
    QStringList lines() const;

private:
    struct Line {
        QString text;
        QString end; // "\r\n", "\n", "\r", or empty for a last line without one
    };
    // The line of the section's header, and one past the section's last line.
    struct Range {
        qsizetype header;
        qsizetype end;
    };
    std::optional<Range> findSection(const QString &section) const;
    qsizetype findKey(const Range &range, const QString &key) const;
    void insertLine(qsizetype at, const QString &text);

    QList<Line> m_lines;
    ListEncoding m_encoding = ListEncoding::Ansi;
    QString m_lineEnd = QStringLiteral("\n");
};

// The settings file's name rules. The path with its extension replaced: the last ".", or
// separator, decides; a "." that is the text's first character is no extension.
QString replaceExtension(const QString &path, const QString &extension, PathStyle style);
// The executable's file name without its extension, upper-cased by the ASCII rule if asked.
QString exeBaseName(const QString &executablePath, bool upperCased, PathStyle style);

} // namespace kit

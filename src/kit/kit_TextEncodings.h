#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The encodings our own files come in, shared by the list files and the settings file.
namespace kit {

// The encoding a file was read in, and what writing it back needs beyond its text. A UTF-16 file
// whose length after its mark is odd ends in a byte that is no character (a Windows copy cut
// short): the encoding keeps that byte, never the text, so that it cannot be taken for an entry
// or a value, and puts it back at the end of the file. Encodings compare and switch as their
// kind alone: the byte is the file's, not the encoding's.
class ListEncoding {
public:
    enum class Kind : unsigned char {
        Ansi,    // the system's code page, without a byte-order mark (UTF-8 on Linux)
        Utf8,    // UTF-8 after EF BB BF
        Utf16LE, // after FF FE
        Utf16BE, // after FE FF
    };
    static const ListEncoding Ansi;
    static const ListEncoding Utf8;
    static const ListEncoding Utf16LE;
    static const ListEncoding Utf16BE;

    constexpr ListEncoding() = default;
    constexpr operator Kind() const { return m_kind; }
    constexpr Kind kind() const { return m_kind; }

    // The UTF-16 encoding of these bytes, those after the mark: their odd last byte is kept.
    static ListEncoding utf16(QByteArrayView bytes, bool bigEndian);
    std::optional<char> oddLastByte() const { return m_oddLastByte; }

private:
    constexpr explicit ListEncoding(Kind kind) : m_kind(kind) {}

    Kind m_kind = Kind::Ansi;
    std::optional<char> m_oddLastByte;
};

inline constexpr ListEncoding ListEncoding::Ansi{Kind::Ansi};
inline constexpr ListEncoding ListEncoding::Utf8{Kind::Utf8};
inline constexpr ListEncoding ListEncoding::Utf16LE{Kind::Utf16LE};
inline constexpr ListEncoding ListEncoding::Utf16BE{Kind::Utf16BE};

// The whole file for a text: the encoding's byte-order mark (none for Ansi, whose text is
// written as UTF-8, the system's code page here), the text, and the odd last byte the file was
// read with.
QByteArray encodeText(const QString &text, ListEncoding encoding);

// UTF-8 where the bytes are valid UTF-8, else Windows-1252, so that a file written by a Windows
// copy in its code page keeps its accents. A mark at the start is kept as a character.
QString fromSystemCodePage(QByteArrayView bytes);
QString fromWindows1252(QByteArrayView bytes);
// UTF-8 that keeps a byte-order mark at its start as a character (the caller removed its own).
QString fromUtf8KeepingMarks(QByteArrayView bytes);
// Code units as they are, a lone surrogate included, so that text round-trips unchanged; an
// odd last byte is no character and is left to the encoding (ListEncoding::utf16).
QString fromUtf16(QByteArrayView bytes, bool bigEndian);
QByteArray toUtf16(const QString &text, bool bigEndian);

} // namespace kit

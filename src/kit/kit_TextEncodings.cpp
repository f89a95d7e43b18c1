#include "kit_TextEncodings.h"

#include <QStringDecoder>
#include <array>

namespace kit {

namespace {

// Qt Core offers no Windows-1252 codec without ICU, so its 32 characters beyond Latin-1 are
// mapped here; the five bytes it leaves undefined stay the C1 controls, as Windows reads them.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char bomUtf8[] = "\xEF\xBB\xBF";
constexpr char bomUtf16LE[] = "\xFF\xFE";
constexpr char bomUtf16BE[] = "\xFE\xFF";

} // namespace

ListEncoding ListEncoding::utf16(QByteArrayView bytes, bool bigEndian)
{
    ListEncoding encoding(bigEndian ? Kind::Utf16BE : Kind::Utf16LE);
    if (bytes.size() % 2 != 0)
        encoding.m_oddLastByte = bytes.back();
    return encoding;
}

QByteArray encodeText(const QString &text, ListEncoding encoding)
{
    switch (encoding.kind()) {
    case ListEncoding::Kind::Ansi:
        return text.toUtf8();
    case ListEncoding::Kind::Utf8:
        return bomUtf8 + text.toUtf8();
    case ListEncoding::Kind::Utf16LE:
    case ListEncoding::Kind::Utf16BE:
        break;
    }
    const bool bigEndian = encoding.kind() == ListEncoding::Kind::Utf16BE;
    QByteArray bytes = (bigEndian ? bomUtf16BE : bomUtf16LE) + toUtf16(text, bigEndian);
    if (const std::optional<char> odd = encoding.oddLastByte())
        bytes += *odd;
    return bytes;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(cp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString fromUtf8KeepingMarks(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8(bytes);
}

QString fromSystemCodePage(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

QString fromUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        *out++ = QChar(char16_t((hi << 8) | lo));
    }
    return text;
}

QByteArray toUtf16(const QString &text, bool bigEndian)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        *out++ = bigEndian ? hi : lo;
        *out++ = bigEndian ? lo : hi;
    }
    return bytes;
}

} // namespace kit

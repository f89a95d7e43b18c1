#include "kit_ListFile.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace kit {

namespace {

constexpr char bomUtf8[] = "\xEF\xBB\xBF";
constexpr char bomUtf16LE[] = "\xFF\xFE";
constexpr char bomUtf16BE[] = "\xFE\xFF";

// Qt Core offers no Windows-1252 codec without ICU, so its 32 characters beyond Latin-1 are
// mapped here; the five bytes it leaves undefined stay the C1 controls, as Windows reads them.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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

QString fromAnsi(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

// Code units as they are, a lone surrogate included, so that a list round-trips unchanged; an
// odd last byte is no character and is dropped.
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

QList<LineSpan> splitLines(QStringView text)
{
    QList<LineSpan> lines;
    qsizetype start = 0;
    const char16_t *data = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = data[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append({start, i - start});
        if (c == u'\r' && i + 1 < text.size() && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append({start, text.size() - start});
    return lines;
}

} // namespace

DecodedText decodeListText(const QByteArray &bytes)
{
    DecodedText list;
    QString &text = list.text;
    // In the byte encodings a NUL byte ends the text; what follows it must not sway detection.
    auto beforeNul = [](QByteArrayView b) {
        const qsizetype nul = b.indexOf('\0');
        return nul < 0 ? b : b.first(nul);
    };
    if (bytes.startsWith(bomUtf8)) {
        list.encoding = ListEncoding::Utf8;
        // A second mark is text: the entry begins with U+FEFF.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        text = utf8(beforeNul(QByteArrayView(bytes).sliced(3)));
    } else if (bytes.startsWith(bomUtf16LE)) {
        list.encoding = ListEncoding::Utf16LE;
        text = fromUtf16(QByteArrayView(bytes).sliced(2), false);
    } else if (bytes.startsWith(bomUtf16BE)) {
        list.encoding = ListEncoding::Utf16BE;
        text = fromUtf16(QByteArrayView(bytes).sliced(2), true);
    } else {
        text = fromAnsi(beforeNul(bytes));
    }
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    list.lines = splitLines(text);
    return list;
}

DecodedList decodeListFile(const QByteArray &bytes)
{
    const DecodedText decoded = decodeListText(bytes);
    DecodedList list;
    list.encoding = decoded.encoding;
    list.entries.reserve(decoded.lines.size());
    for (const LineSpan &line : decoded.lines)
        list.entries.append(decoded.text.mid(line.start, line.length));
    return list;
}

QByteArray encodeListFile(const QStringList &entries, ListEncoding encoding)
{
    QString text;
    for (const QString &entry : entries)
        text += entry + QStringLiteral("\r\n");
    switch (encoding) {
    case ListEncoding::Ansi:
        return text.toUtf8();
    case ListEncoding::Utf8:
        return QByteArray(bomUtf8) + text.toUtf8();
    case ListEncoding::Utf16LE:
        return QByteArray(bomUtf16LE) + toUtf16(text, false);
    case ListEncoding::Utf16BE:
        return QByteArray(bomUtf16BE) + toUtf16(text, true);
    }
    return {};
}

} // namespace kit

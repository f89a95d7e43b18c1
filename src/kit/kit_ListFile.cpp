#include "kit_ListFile.h"

#include "kit_TextEncodings.h"

namespace kit {

namespace {

constexpr char bomUtf8[] = "\xEF\xBB\xBF";
constexpr char bomUtf16LE[] = "\xFF\xFE";
constexpr char bomUtf16BE[] = "\xFE\xFF";

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
        text = fromUtf8KeepingMarks(beforeNul(QByteArrayView(bytes).sliced(3)));
    } else if (bytes.startsWith(bomUtf16LE)) {
        const QByteArrayView units = QByteArrayView(bytes).sliced(2);
        list.encoding = ListEncoding::utf16(units, false);
        text = fromUtf16(units, false);
    } else if (bytes.startsWith(bomUtf16BE)) {
        const QByteArrayView units = QByteArrayView(bytes).sliced(2);
        list.encoding = ListEncoding::utf16(units, true);
        text = fromUtf16(units, true);
    } else {
        text = fromSystemCodePage(beforeNul(bytes));
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
    return {entriesOf(decoded.text, decoded.lines), decoded.encoding};
}

QStringList entriesOf(const QString &text, const QList<LineSpan> &lines)
{
    QStringList entries;
    entries.reserve(lines.size());
    for (const LineSpan &line : lines)
        entries.append(text.mid(line.start, line.length));
    return entries;
}

QByteArray encodeListFile(const QStringList &entries, ListEncoding encoding)
{
    QString text;
    for (const QString &entry : entries)
        text += entry + QStringLiteral("\r\n");
    return encodeText(text, encoding);
}

bool listFileCanHold(const QString &entry)
{
    for (QChar c : entry) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return false;
    }
    return true;
}

} // namespace kit

// libFuzzer target for the list-file decoder. Any bytes must decode without a fault, in the
// encoding their first bytes tell, into as many entries as their line breaks tell, none holding a
// line break or a NUL; and saving what was read, in the encoding it was read in, must read back
// the same entries in the same encoding: the program rewrites both lists on every change, so a
// loss here would eat a user's list a little more on each save.
#include "kit_ListFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const char *encodingName(kit::ListEncoding encoding)
{
    switch (encoding) {
    case kit::ListEncoding::Ansi:
        return "Ansi";
    case kit::ListEncoding::Utf8:
        return "Utf8";
    case kit::ListEncoding::Utf16LE:
        return "Utf16LE";
    case kit::ListEncoding::Utf16BE:
        return "Utf16BE";
    }
    return "?";
}

void printList(const char *label, const kit::DecodedList &list)
{
    std::fprintf(stderr, "%s: %s, %lld entries\n", label, encodingName(list.encoding),
                 static_cast<long long>(list.entries.size()));
    for (const QString &entry : list.entries) {
        std::fprintf(stderr, "  [");
        for (const QChar c : entry)
            std::fprintf(stderr, " %04X", unsigned(c.unicode()));
        std::fprintf(stderr, " ]\n");
    }
}

// Prints what went wrong and stops, so that libFuzzer keeps the input as a crash.
[[noreturn]] void fail(const char *what, const kit::DecodedList &first,
                       const kit::DecodedList *second = nullptr)
{
    std::fprintf(stderr, "list-file fuzz: %s\n", what);
    printList("decoded", first);
    if (second)
        printList("decoded again", *second);
    std::abort();
}

// The encoding told by the first bytes, as the decoder must find it.
kit::ListEncoding markedEncoding(const QByteArray &bytes, qsizetype &markSize)
{
    struct Mark { const char *bytes; qsizetype size; kit::ListEncoding encoding; };
    static const Mark marks[] = {{"\xEF\xBB\xBF", 3, kit::ListEncoding::Utf8},
                                 {"\xFF\xFE", 2, kit::ListEncoding::Utf16LE},
                                 {"\xFE\xFF", 2, kit::ListEncoding::Utf16BE}};
    for (const Mark &mark : marks) {
        if (bytes.startsWith(QByteArrayView(mark.bytes, mark.size))) {
            markSize = mark.size;
            return mark.encoding;
        }
    }
    markSize = 0;
    return kit::ListEncoding::Ansi;
}

// The number of entries, counted on the raw code units: up to the first NUL, CR LF, CR or LF
// each end one entry, and text after the last break is one more. In the byte encodings CR, LF
// and NUL are single bytes that never occur inside a longer character, so counting bytes is exact.
qsizetype countedEntries(const QByteArray &bytes, kit::ListEncoding encoding, qsizetype from)
{
    const bool wide = encoding == kit::ListEncoding::Utf16LE
                      || encoding == kit::ListEncoding::Utf16BE;
    const bool bigEndian = encoding == kit::ListEncoding::Utf16BE;
    const qsizetype step = wide ? 2 : 1;
    auto unitAt = [&](qsizetype i) -> unsigned {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (!wide)
            return b0;
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    };
    qsizetype entries = 0;
    bool pending = false; // text since the last break
    for (qsizetype i = from; i + step <= bytes.size(); i += step) {
        const unsigned u = unitAt(i);
        if (u == 0)
            break;
        if (u == '\r' || u == '\n') {
            ++entries;
            pending = false;
            if (u == '\r' && i + 2 * step <= bytes.size() && unitAt(i + step) == '\n')
                i += step;
        } else {
            pending = true;
        }
    }
    return entries + (pending ? 1 : 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A copy, as a file read gives: an owned, NUL-terminated array.
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const kit::DecodedList first = kit::decodeListFile(bytes);

    qsizetype markSize = 0;
    if (first.encoding != markedEncoding(bytes, markSize))
        fail("the encoding is not the one the first bytes tell", first);
    if (first.entries.size() != countedEntries(bytes, first.encoding, markSize))
        fail("the entries are not as many as the line breaks tell", first);

    for (const QString &entry : first.entries) {
        if (entry.contains(u'\r') || entry.contains(u'\n') || entry.contains(QChar(0)))
            fail("an entry holds CR, LF or NUL", first);
    }

    const QByteArray saved = kit::encodeListFile(first.entries, first.encoding);
    const kit::DecodedList second = kit::decodeListFile(saved);
    if (second.encoding != first.encoding)
        fail("the saved list reads back in another encoding", first, &second);
    if (second.entries != first.entries)
        fail("the saved list reads back other entries", first, &second);
    return 0;
}

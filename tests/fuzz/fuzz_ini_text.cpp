// libFuzzer target for the settings file's text. Any bytes must read without a fault; writing a
// value must read back as that value (cut as every read is), keep the file's encoding and line
// end, and leave every other line as it was: a value may change one line or add a key and at
// most a section. The input's last byte picks a section and key, the byte before it the length
// of the value, taken from the bytes before that and read as UTF-8; the rest is the file.
#include "kit_IniText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void printLines(const char *label, const QStringList &lines)
{
    std::fprintf(stderr, "%s: %lld lines\n", label, static_cast<long long>(lines.size()));
    for (const QString &line : lines) {
        std::fprintf(stderr, "  [");
        for (const QChar c : line)
            std::fprintf(stderr, " %04X", unsigned(c.unicode()));
        std::fprintf(stderr, " ]\n");
    }
}

[[noreturn]] void fail(const char *what, const QStringList &before = {},
                       const QStringList &after = {})
{
    std::fprintf(stderr, "ini-text fuzz: %s\n", what);
    printLines("before", before);
    printLines("after", after);
    std::abort();
}

// The lines after a write are the lines before it, with one of them changed or with lines
// inserted in one place.
bool onlyOnePlaceChanged(const QStringList &before, const QStringList &after)
{
    const qsizetype added = after.size() - before.size();
    if (added < 0 || added > 2)
        return false;
    qsizetype head = 0;
    while (head < before.size() && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const qsizetype changed = before.size() - head - tail;
    return changed <= (added == 0 ? 1 : 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static const char *const names[][2] = {{"OPTIONS", "FICHIER"}, {"options", "chk_same"},
                                           {"rangeur", "Form1"},   {"Rangeur", "Clé"},
                                           {"Nouveau", "k"},       {"A", "a"}};
    const auto &name = names[size ? data[size - 1] % std::size(names) : 0];
    const QString section = QString::fromUtf8(name[0]);
    const QString key = QString::fromUtf8(name[1]);
    const qsizetype rest = size > 0 ? qsizetype(size) - 1 : 0;
    const qsizetype valueLength = rest > 0 ? qMin<qsizetype>(data[rest - 1], rest - 1) : 0;
    const qsizetype fileLength = rest > 0 ? rest - 1 - valueLength : 0;
    const QString value = QString::fromUtf8(bytes.mid(fileLength, valueLength));
    const QByteArray file = bytes.left(fileLength);

    kit::IniText ini = kit::IniText::fromBytes(file);
    (void)ini.value(section, key);
    const QStringList before = ini.lines();
    const kit::ListEncoding encoding = ini.encoding();
    const QString lineEnd = ini.lineEnd();
    // The text as it will be compared after the write: read back from its own bytes.
    const kit::IniText reread = kit::IniText::fromBytes(ini.toBytes());
    if (reread.lines() != before)
        fail("a file read and written back reads other lines", before, reread.lines());

    if (!ini.setValue(section, key, value))
        fail("a usable name was refused");
    const kit::IniText written = kit::IniText::fromBytes(ini.toBytes());
    QString expected = value.left(kit::iniValueLimit);
    if (expected.size() == kit::iniValueLimit && expected.back().isHighSurrogate())
        expected.chop(1);
    if (written.value(section, key) != expected)
        fail("the value written does not read back");
    if (!file.isEmpty() && written.encoding() != encoding)
        fail("the file changed its encoding");
    if (!before.isEmpty() && written.lineEnd() != lineEnd)
        fail("the file changed its line end");
    if (!onlyOnePlaceChanged(reread.lines(), written.lines()))
        fail("lines other than the value's changed", reread.lines(), written.lines());
    return 0;
}

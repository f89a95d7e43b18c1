// libFuzzer target for a filing run's journal. Any bytes must read without a fault; every record
// read must be, written back, one of the input's whole lines, in their order, since the reader
// takes a line only when it is exactly what the writer writes; the header and the records'
// lines must read back as those records and nothing damaged; and the run they describe must
// name only files that a record copied. The undo trusts this text to put a user's files back, so
// a line read as something it does not say would move the wrong file. Each input is read twice:
// as it is, and with every line's check made right, since a random change almost never passes
// the check and would leave the fields' readers unexplored.
#include "kit_JournalText.h"

#include <QSet>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void printBytes(const char *label, const QByteArray &bytes)
{
    std::fprintf(stderr, "%s: \"", label);
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && u != '"' && u != '\\')
            std::fputc(u, stderr);
        else
            std::fprintf(stderr, "\\x%02X", u);
    }
    std::fprintf(stderr, "\"\n");
}

[[noreturn]] void fail(const char *what, const QByteArray &detail = {})
{
    std::fprintf(stderr, "journal fuzz: %s\n", what);
    if (!detail.isNull())
        printBytes("line", detail);
    std::abort();
}

// The input's lines that end with a line break, header left out, break included.
QList<QByteArray> wholeLines(const QByteArray &text)
{
    QList<QByteArray> lines;
    qsizetype pos = text.indexOf('\n');
    if (pos < 0)
        return lines;
    ++pos;
    for (qsizetype end; (end = text.indexOf('\n', pos)) >= 0; pos = end + 1)
        lines << text.mid(pos, end + 1 - pos);
    return lines;
}

// The text with the check of every whole line after the header made right: a line ending in a
// space and four bytes gets the four hex digits of its text before that space.
QByteArray resealed(const QByteArray &text)
{
    QByteArray out = text;
    qsizetype pos = text.indexOf('\n');
    if (pos < 0)
        return out;
    ++pos;
    for (qsizetype end; (end = text.indexOf('\n', pos)) >= 0; pos = end + 1) {
        const qsizetype space = end - 5;
        if (space > pos && text[space] == ' ') {
            const QByteArrayView payload(text.constData() + pos, space - pos);
            const QByteArray check =
                QByteArray::number(qChecksum(payload), 16).rightJustified(4, '0');
            out.replace(space + 1, 4, check);
        }
    }
    return out;
}

void checkReading(const QByteArray &text)
{
    const kit::JournalReading reading = kit::readJournal(text);
    if (!reading.recognised && !reading.records.isEmpty())
        fail("records were read from a text without the header");

    const QList<QByteArray> lines = wholeLines(text);
    if (reading.damagedLine == 0 &&
        (!text.endsWith('\n') || reading.records.size() != lines.size()))
        fail("a line was left unread, yet none is reported damaged");

    QByteArray rewritten = kit::journalHeader();
    qsizetype next = 0;
    for (const kit::JournalRecord &record : reading.records) {
        const QByteArray line = kit::journalLine(record);
        while (next < lines.size() && lines[next] != line)
            ++next;
        if (next == lines.size())
            fail("a record written back is none of the input's lines, in order", line);
        ++next;
        rewritten += line;
    }

    const kit::JournalReading reread = kit::readJournal(rewritten);
    if (reread.damagedLine != 0)
        fail("the records written back read with a damaged line", rewritten);
    if (reread.records != reading.records)
        fail("the records written back read as other records", rewritten);

    if (const std::optional<kit::RunSummary> run = kit::summariseRun(reading)) {
        QSet<int> copied;
        for (const kit::JournalRecord &record : reading.records) {
            if (record.kind == kit::JournalRecord::Kind::Copying)
                copied.insert(record.file);
        }
        QSet<int> seen;
        for (const kit::RunSummary::File &file : run->files) {
            if (!copied.contains(file.number))
                fail("the run names a file that no record copied");
            if (seen.contains(file.number))
                fail("the run names a file twice");
            seen.insert(file.number);
        }
        if (run->damagedLine != reading.damagedLine)
            fail("the run reports another damaged line than the reading");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkReading(text);
    const QByteArray sealed = resealed(text);
    if (sealed != text)
        checkReading(sealed);
    return 0;
}

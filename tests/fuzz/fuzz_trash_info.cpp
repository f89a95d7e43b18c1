// libFuzzer target for the trash's info files. Any bytes must read without a fault into no path
// or an absolute one without a NUL: the undo restores an entry to that path, so anything else
// would put a user's file somewhere unforeseen. And any absolute path, written as a Path line
// the way a trash writes it, must read back exactly: fully escaped, escaped in lowercase, or
// with only '%' and the line breaks escaped, as looser writers do. The input's last byte picks
// the top folder and the escaping; the rest is the file's text and, NULs dropped, the path.
#include "kit_TrashInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

void printBytes(const char *label, QByteArrayView bytes)
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

[[noreturn]] void fail(const char *what, QByteArrayView text, QByteArrayView topFolder,
                       const std::optional<QByteArray> &result)
{
    std::fprintf(stderr, "trash-info fuzz: %s\n", what);
    printBytes("text", text);
    printBytes("top folder", topFolder);
    if (result)
        printBytes("path", *result);
    else
        std::fprintf(stderr, "path: none\n");
    std::abort();
}

enum class Escaping { Full, FullLowercase, Loose };

QByteArray escaped(const QByteArray &path, Escaping escaping)
{
    const char *digits =
        escaping == Escaping::FullLowercase ? "0123456789abcdef" : "0123456789ABCDEF";
    QByteArray out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = escaping == Escaping::Loose
                               ? u != '%' && u != '\n' && u != '\r'
                               : (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                                     (u >= '0' && u <= '9') || u == '/' || u == '-' || u == '.' ||
                                     u == '_' || u == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += digits[u >> 4];
            out += digits[u & 0xF];
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const char *const topFolders[] = {"/", "/media/usb", "/media/usb/", ""};
    const unsigned choice = size ? data[size - 1] : 0;
    const QByteArrayView topFolder(topFolders[choice % std::size(topFolders)]);
    const auto escaping = static_cast<Escaping>(choice / std::size(topFolders) % 3);
    // A copy, as a file read gives, so that a read past the text is caught.
    const QByteArray text(reinterpret_cast<const char *>(data),
                          size ? static_cast<qsizetype>(size) - 1 : 0);

    const std::optional<QByteArray> found = kit::trashInfoOriginalPath(text, topFolder);
    if (found && !found->startsWith('/'))
        fail("the path is not absolute", text, topFolder, found);
    if (found && found->contains('\0'))
        fail("the path holds a NUL", text, topFolder, found);

    QByteArray path = text;
    path.replace('\0', QByteArray());
    if (!path.startsWith('/'))
        path.prepend('/');
    const QByteArray info =
        "[Trash Info]\nPath=" + escaped(path, escaping) + "\nDeletionDate=2026-12-10T18:42:00\n";
    const std::optional<QByteArray> back = kit::trashInfoOriginalPath(info, topFolder);
    if (back != path)
        fail("a written path does not read back", info, topFolder, back);
    return 0;
}

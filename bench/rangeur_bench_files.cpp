// Moves files with the program's helpers: each one copied into the target folder, then its
// source sent to the trash. Timed from outside by copy_trash.sh.
//
//   rangeur-bench-files [--interleaved] TARGET_FOLDER SOURCE...
//
// By default every file is copied first and then every source trashed, the order of the
// reference commands (cp, then gio trash); --interleaved moves one file at a time, as a filing
// run does.
#include "kit_FILE.h"

#include <QFileInfo>
#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    int first = 1;
    const bool interleaved = argc > 1 && std::strcmp(argv[1], "--interleaved") == 0;
    if (interleaved)
        ++first;
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: %s [--interleaved] TARGET_FOLDER SOURCE...\n", argv[0]);
        return 2;
    }
    const QString target = QFile::decodeName(argv[first]) + u'/';
    QStringList sources;
    for (int i = first + 1; i < argc; ++i)
        sources << QFile::decodeName(argv[i]);

    int failures = 0;
    const auto copy = [&](const QString &source) {
        if (!kit_FILE::CopyFileOver(source, target + QFileInfo(source).fileName())) {
            std::fprintf(stderr, "copy failed: %s\n", qPrintable(source));
            ++failures;
        }
    };
    const auto trash = [&](const QString &source) {
        if (!kit_FILE::SendToRecycleBin(source)) {
            std::fprintf(stderr, "trash failed: %s\n", qPrintable(source));
            ++failures;
        }
    };
    if (interleaved) {
        for (const QString &source : sources) {
            copy(source);
            trash(source);
        }
    } else {
        for (const QString &source : sources)
            copy(source);
        for (const QString &source : sources)
            trash(source);
    }
    return failures == 0 ? 0 : 1;
}

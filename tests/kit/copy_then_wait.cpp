// Copies a file and waits, for good, once the copy is written in full but not yet in place, so
// that a test can end the process there as a crash or the end of a session would.
//
//   rangeur-test-copy-then-wait SOURCE DESTINATION [--named]
//
// --named takes the way of file systems that refuse unnamed temporary files.
// Prints "written" when it gets there.
#include "kit_FILE.h"

#include <QFile>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s SOURCE DESTINATION [--named]\n", argv[0]);
        return 2;
    }
    const bool named = argc == 4;
    kit_FILE::setTestSeams({[](kit_FILE::Step step) {
                                if (step != kit_FILE::Step::CopyWritten)
                                    return;
                                std::puts("written");
                                std::fflush(stdout);
                                for (;;)
                                    ::pause();
                            },
                            named});
    return kit_FILE::CopyFileOver(QFile::decodeName(argv[1]), QFile::decodeName(argv[2])) ? 0 : 1;
}

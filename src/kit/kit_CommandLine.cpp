#include "kit_CommandLine.h"

#include "kit_Paths.h"

namespace kit {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}
bool endsArgument(QChar c)
{
    return c.unicode() <= 32;
}

// Reads one argument from pos; returns it (possibly empty at the end of the line).
QString readArgument(const QString &line, qsizetype &pos)
{
    const qsizetype n = line.size();
    auto at = [&](qsizetype i) { return i < n ? line[i] : QChar(u'\0'); };
    for (;;) {
        while (pos < n && isBlank(line[pos]))
            ++pos;
        if (at(pos) == u'"' && at(pos + 1) == u'"')
            pos += 2;
        else
            break;
    }
    QString arg;
    while (pos < n && !endsArgument(line[pos])) {
        if (line[pos] == u'"') {
            ++pos;
            while (pos < n && line[pos] != u'"' && line[pos] != u'\0')
                arg += line[pos++];
            if (pos < n && line[pos] == u'"')
                ++pos;
        } else {
            arg += line[pos++];
        }
    }
    return arg;
}

} // namespace

QStringList splitWindowsCommandLine(const QString &commandLine)
{
    QStringList args;
    qsizetype pos = 0;
    readArgument(commandLine, pos); // the executable's path
    for (;;) {
        QString arg = readArgument(commandLine, pos);
        if (arg.isEmpty())
            break;
        args << arg;
    }
    return args;
}

QStringList filesFromArgv(int argc, const char *const *argv, const QString &currentFolder)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && *argv[i])
            files << absolutePath(QString::fromUtf8(argv[i]), currentFolder, nativePathStyle);
    }
    return files;
}

} // namespace kit

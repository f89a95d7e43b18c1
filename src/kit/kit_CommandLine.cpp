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

namespace {

// A file argument as the rules see it: decoded, and absolute against the current folder.
QString fileArgument(const char *arg, const QString &currentFolder)
{
    return absolutePath(QString::fromUtf8(arg), currentFolder, nativePathStyle);
}

} // namespace

QStringList filesFromArgv(int argc, const char *const *argv, const QString &currentFolder)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && *argv[i])
            files << fileArgument(argv[i], currentFolder);
    }
    return files;
}

CommandLine parseCommandLine(int argc, const char *const *argv, const QString &currentFolder)
{
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        if (!argv[i] || !*argv[i])
            continue;
        const QByteArray arg(argv[i]);
        if (!optionsEnded && arg.startsWith('-') && arg != "-") {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--menu") {
                line.fromMenu = true;
            } else if (arg == "--help" || arg == "-h") {
                line.action = CommandLine::Action::Help;
                return line;
            } else if (arg == "--version") {
                line.action = CommandLine::Action::Version;
                return line;
            } else if (arg == "--annuler") {
                line.action = CommandLine::Action::Undo;
                return line;
            } else {
                line.action = CommandLine::Action::Misused;
                line.unknownOption = QString::fromUtf8(arg);
                return line;
            }
            continue;
        }
        line.files << fileArgument(argv[i], currentFolder);
    }
    return line;
}

QString usageText(const QString &programName)
{
    return QStringLiteral(
               "Usage : %1 [--menu] [--] FICHIER...\n"
               "        %1 --annuler\n"
               "Range les fichiers donnés dans un nouveau dossier : une petite fenêtre demande\n"
               "le nom du dossier et le dossier racine, puis chaque fichier y est copié et son\n"
               "original mis à la corbeille.\n"
               "\n"
               "  --menu     lancé depuis le menu des applications : sans fichier, demande\n"
               "             les fichiers à ranger au lieu de refuser\n"
               "  --annuler  annule le dernier rangement : remet chaque fichier où il était,\n"
               "             retire les copies et le dossier créé (une seconde fois, le\n"
               "             rangement d'avant)\n"
               "  -h, --help affiche cette aide et quitte\n"
               "  --version  affiche la version et quitte\n"
               "  --         fin des options : ce qui suit est un fichier, même s'il commence\n"
               "             par un tiret\n")
        .arg(programName);
}

QString versionText(const QString &programName, const QString &version)
{
    return QStringLiteral("%1 %2\n").arg(programName, version);
}

QString misuseText(const QString &programName, const QString &unknownOption)
{
    return QStringLiteral("%1 : option inconnue « %2 »\n").arg(programName, unknownOption) +
           usageText(programName);
}

} // namespace kit

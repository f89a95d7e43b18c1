#pragma once

#include <QString>
#include <QStringList>

namespace kit {

// Arguments 1 to N of a Windows command line (the executable's path is skipped): blanks and
// control characters separate, a double quote toggles quoting and is dropped, an empty quoted
// pair between arguments is skipped, and there is no escape character.
QStringList splitWindowsCommandLine(const QString &commandLine);

// The dropped files from an already split argument vector: argument 0 is the executable, and
// an empty argument is never counted. A name whose bytes are not valid UTF-8 cannot be held as
// text; it is kept, decoded with replacement characters, so that it is still counted and later
// refused rather than silently dropped or taken for another file. A relative name (a terminal
// user's) is made absolute against currentFolder, so that every later rule sees a full path.
QStringList filesFromArgv(int argc, const char *const *argv, const QString &currentFolder);

// What the program is asked to do by its argument vector.
struct CommandLine {
    enum class Action {
        Run,     // open the window on files (possibly none)
        Help,    // print the usage and end
        Version, // print the version and end
        Undo,    // undo the most recent filing run not undone yet
        Misused, // an unknown option: print error and usage on stderr, end with exit code 2
    };
    Action action = Action::Run;
    // The files, read as filesFromArgv reads them.
    QStringList files;
    // Started from the desktop entry: with no file, ask for files instead of refusing.
    bool fromMenu = false;
    // With Misused: the argument that was not understood.
    QString unknownOption;
};

// Reads options anywhere before "--" (the first of --help, --version, --annuler or an unknown
// option decides); "--" ends them, and every later argument is a file even when it begins with '-'.
// A lone "-" is a file name. File managers pass absolute paths, so no real file is ever taken
// for an option; a terminal user gives such a file after "--" or as ./-name.
CommandLine parseCommandLine(int argc, const char *const *argv, const QString &currentFolder);

// The texts printed for --help, --version and a misused command line. programName is
// argument 0's file name.
QString usageText(const QString &programName);
QString versionText(const QString &programName, const QString &version);
QString misuseText(const QString &programName, const QString &unknownOption);

} // namespace kit

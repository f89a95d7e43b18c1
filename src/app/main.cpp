#include "Rangeur.h"
#include "kit_CommandLine.h"
#include "kit_DIR.h"
#include "kit_FILE.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    kit_FILE::prepareProcess();
    // Read before the application exists: --help and --version need no display.
    const kit::CommandLine line = kit::parseCommandLine(argc, argv, kit_DIR::currentFolder());
    const QString program =
        QFileInfo(QString::fromLocal8Bit(argc > 0 ? argv[0] : "rangeur")).fileName();
    switch (line.action) {
    case kit::CommandLine::Action::Help:
        print(stdout, kit::usageText(program));
        return 0;
    case kit::CommandLine::Action::Version:
        print(stdout, kit::versionText(program, QStringLiteral(RANGEUR_VERSION)));
        return 0;
    case kit::CommandLine::Action::Misused:
        print(stderr, kit::misuseText(program, line.unknownOption));
        return 2;
    case kit::CommandLine::Action::Run:
    case kit::CommandLine::Action::Undo:
        break;
    }
    // Qt reads its own options (-platform, -reverse, -style...) from the arguments it is given
    // and removes them: a file of such a name would be lost from the run and change the window.
    // It is given the program's name alone; its options are not needed.
    static int qtArgc = 1;
    QApplication app(qtArgc, argv);
    RunOptions options;
    if (line.action == kit::CommandLine::Action::Undo) {
        options.endProcessWithLoop = true;
        return runUndo(app, options);
    }
    options.askForFiles = line.fromMenu;
    options.endProcessWithLoop = true;
    return runRangeur(app, line.files, options);
}

// The real program up to its first painted frame: builds the window the way main.cpp does and
// ends the process as soon as that frame has been handed to the display.
//   rangeur-bench-firstpaint APPDIR FILE...
#include "ExitAfterFirstPaint.h"
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_CommandLine.h"
#include "kit_DIR.h"
#include "kit_Dialogs.h"
#include "kit_FILE.h"
#include "kit_ini.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rangeur-bench-firstpaint APPDIR [FILE...]\n");
        return 2;
    }
    kit_FILE::prepareProcess();
    QApplication app(argc, argv);
    // The settings folder is the bench's own, so that no real settings are read or written.
    kit_ini::setAppDirForTests(QString::fromLocal8Bit(argv[1]));
    kit_Dialogs::setResponder([](const kit_Dialogs::BoxRequest &box) {
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return kit_Dialogs::TModalResult::mrOk;
    });
    ExitAfterFirstPaint watcher;
    RunOptions options;
    options.onShown = [&](TForm1 &form) { form.installEventFilter(&watcher); };
    return runRangeur(app, kit::filesFromArgv(argc - 1, argv + 1, kit_DIR::currentFolder()),
                      options);
}

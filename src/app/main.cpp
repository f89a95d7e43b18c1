#include "Rangeur.h"
#include "kit_CommandLine.h"

#include <QApplication>
#include <csignal>

int main(int argc, char *argv[])
{
    // A file-size limit must make a copy fail and be reported, not kill the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    return runRangeur(app, kit::filesFromArgv(argc, argv));
}

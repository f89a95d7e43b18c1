#include "Rangeur.h"
#include "kit_CommandLine.h"
#include "kit_DIR.h"
#include "kit_FILE.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    kit_FILE::prepareProcess();
    QApplication app(argc, argv);
    return runRangeur(app, kit::filesFromArgv(argc, argv, kit_DIR::currentFolder()));
}

#include "Rangeur.h"

#include "kit_CommandLine.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return runRangeur(app, kit::filesFromArgv(argc, argv));
}

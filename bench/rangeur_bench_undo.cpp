// Undoes the most recent filing run as rangeur --annuler does once the user has said Oui,
// offscreen and without its boxes: rangeur-bench-undo. Fails when a file was not put back.
#include "Rangeur.h"
#include "kit_Undo.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initialiseApplication(app);
    applyProgramTheme();
    kit_Undo::Search search = kit_Undo::findLastRun();
    if (search.outcome != kit_Undo::Search::Outcome::Found) {
        std::fprintf(stderr, "no run to undo: %s\n", qPrintable(search.problem));
        return 1;
    }
    const kit_Undo::Report report = kit_Undo::undo(*search.pending);
    if (!report.notPutBack.isEmpty() || !report.notes.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(kit_Undo::reportText(report)));
        return 1;
    }
    return 0;
}

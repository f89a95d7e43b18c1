// rangeur --annuler: the undo of the most recent filing run, asked for and reported in the
// program's own boxes; no window of its own.
#include "Rangeur.h"
#include "kit_App.h"
#include "kit_Dialogs.h"
#include "kit_Undo.h"

#include <QApplication>
#include <QGuiApplication>

int runUndo(QApplication &app, const RunOptions &options)
{
    initialiseApplication(app);
    applyProgramTheme();
    kit_Undo::Search search = kit_Undo::findLastRun();
    switch (search.outcome) {
    case kit_Undo::Search::Outcome::Nothing:
        kit_Dialogs::ShowInformation(QStringLiteral("Aucun rangement à annuler"));
        break;
    case kit_Undo::Search::Outcome::Busy:
        kit_Dialogs::ShowWarning(QStringLiteral("Le dernier rangement n'est pas terminé : il "
                                                "pourra être annulé une fois fini."));
        break;
    case kit_Undo::Search::Outcome::Unreadable:
        kit_Dialogs::ShowWarning(
            QStringLiteral("Le journal du dernier rangement est illisible (%1) :\n%2\n\nIl est "
                           "mis de côté sous le nom %2.illisible ; une nouvelle annulation "
                           "proposera le rangement d'avant.")
                .arg(search.problem, search.path));
        break;
    case kit_Undo::Search::Outcome::Found:
        if (kit_Dialogs::AskYesNo(kit_Undo::question(search.pending->run))) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            const kit_Undo::Report report = kit_Undo::undo(*search.pending);
            search.pending.reset(); // the journal is released before the user reads the report
            QGuiApplication::restoreOverrideCursor();
            kit_Dialogs::ShowReport(kit_Undo::reportText(report), kit_Undo::reportDetails(report));
        }
        break;
    }
    if (options.endProcessWithLoop)
        kit::endProcess(0);
    return 0;
}

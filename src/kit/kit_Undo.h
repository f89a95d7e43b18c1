#pragma once

#include "kit_Journal.h"
#include "kit_JournalText.h"

#include <QString>
#include <QStringList>
#include <optional>

// The undo of a filing run from its journal: each source comes back from the trash to where it
// was, each copy the run made goes while it is still exactly that copy, each file the run
// replaced comes back, and the folders the run made go when they are empty. Nothing is ever
// overwritten and nothing but an unchanged copy is deleted; whatever cannot be put back stays
// where it is (in the trash, or as the copy) and is reported. An undo that is interrupted is
// finished by the next one, which leaves alone what was already put back.
namespace kit_Undo {

// The most recent run not undone yet, its journal open and locked.
struct Pending {
    kit_Journal::OpenedJournal journal;
    kit::RunSummary run;
};

struct Search {
    enum class Outcome {
        Found,
        Nothing,    // no journal, or every run undone already
        Busy,       // the most recent run, or an undo of it, is still going on
        Unreadable, // the most recent journal cannot be read: `problem` says why; it is set aside
    };
    Outcome outcome = Outcome::Nothing;
    std::optional<Pending> pending;
    QString path;
    QString problem;
};
Search findLastRun();

// The question asked before an undo, in French: when the run was, what comes back where.
QString question(const kit::RunSummary &run);

struct Report {
    int putBack = 0;            // files back where they were before the run
    QStringList notPutBack;     // "path : reason", one per file not put back
    QStringList foldersRemoved; // made by the run, empty again, and removed
    QStringList notes;          // folders kept, a damaged journal, progress not written
};
Report undo(Pending &pending);

// The report's text, and the full list of files not put back when the text holds only the
// first of them.
QString reportText(const Report &report);
QString reportDetails(const Report &report);

} // namespace kit_Undo

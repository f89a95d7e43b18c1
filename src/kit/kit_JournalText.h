#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

// The text of a filing run's journal: what an undo needs to put every file back. A journal is
// written one line at a time while the run goes on (each line is on disk before the step it
// announces), so that a run that is killed can still be undone as far as it went; the undo
// appends its own progress, so that an undo that is killed can be finished.
namespace kit {

// A file as the journal knows it: device and inode name the file, the rest its version. A time
// of change of 0 is not known.
struct JournalIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    qint64 changedSeconds = 0;
    qint64 changedNanoseconds = 0;
    friend bool operator==(const JournalIdentity &, const JournalIdentity &) = default;
};

// One line of a journal.
struct JournalRecord {
    enum class Kind {
        Run,       // the run began: when, and its target folder
        Folder,    // the run made this folder (outermost first)
        Copying,   // file N's copy is about to take its name at the destination
        Replacing, // what holds file N's destination is about to go to the trash
        Trashing,  // file N's source is about to go to the trash
        Undone,    // the undo has put file N back (or reported it)
        Finished,  // the undo has gone through every file
    };
    Kind kind = Kind::Run;
    int file = -1;            // Copying, Replacing, Trashing, Undone
    QDateTime started;        // Run: local time, with its offset from UTC
    QString path;             // Run: the target; Folder; Copying: the source; Replacing
    QString destination;      // Copying
    JournalIdentity identity; // Folder (device, inode); Copying: the source read; Replacing;
                              // Trashing: the entry trashed (a link as the link)
    JournalIdentity copy;     // Copying: the copy (no time of change yet); Trashing: the copy
                              // once it took its name
    QString trashEntry;       // Trashing: where the entry will be in the trash, when known
    friend bool operator==(const JournalRecord &, const JournalRecord &) = default;
};

// The line for a record, "\n" included. Paths are percent-encoded UTF-8, so that any name
// (spaces, line breaks) stays on its line; each line ends with a check of its own text, so that
// a line torn by a crash or damaged since is never taken for another.
QByteArray journalLine(const JournalRecord &record);

// The first line of every journal.
QByteArray journalHeader();

struct JournalReading {
    QList<JournalRecord> records; // every whole line that reads as a record
    bool recognised = false;      // the header was there: this is a journal
    // The first line that could not be read (1-based; the header is line 1), 0 when none. A
    // last line without its line end counts: a record is written in one piece.
    int damagedLine = 0;
};

// Reads a journal's text. Never fails: what cannot be read is reported in damagedLine.
JournalReading readJournal(const QByteArray &text);

// What a journal says of its run, as the undo needs it.
struct RunSummary {
    QDateTime started;
    QString target;
    struct Folder {
        QString path;
        JournalIdentity identity;
    };
    QList<Folder> folders; // made by the run, outermost first
    struct Replaced {
        QString path;
        JournalIdentity identity;
    };
    struct File {
        int number = -1;
        QString source;
        JournalIdentity read;
        QString destination;
        JournalIdentity copy;
        bool trashing = false; // the source may be in the trash
        JournalIdentity trashed;
        QString trashEntry;       // where in the trash, when the run knew it
        QList<Replaced> replaced; // in the order they went to the trash
        bool undone = false;
    };
    QList<File> files;     // in the order of the run
    bool finished = false; // an undo went through every file
    int damagedLine = 0;
};

// The run a journal's records describe. Records out of order (a file's trashing before its
// copy, a run without its first line) are left out.
std::optional<RunSummary> summariseRun(const JournalReading &reading);

} // namespace kit

#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

namespace kit_FILE {

// Process-wide settings the copy needs (a file-size limit must fail a copy, not end the
// program). Called once, before the application object exists.
void prepareProcess();

// The file a copy read, and the version of it: a path that names another file, or this one
// written again since, no longer names what was copied.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1; // never a real size: an identity not filled in matches nothing
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    // The last change of the file's data or attributes, where known (0 otherwise): a copy whose
    // time of change moved has been touched since, whatever its other times say.
    qint64 changedSeconds = 0;
    qint64 changedNanoseconds = 0;
};

// What a run's journal is told before each step that another program or the user would see,
// on the thread doing the step, so that a run ended at any moment can be undone as far as it
// went. A hook must not throw.
struct CopyHooks {
    // The copy is whole and about to take its name: the source as read, and the copy (its time
    // of change is not known yet: taking the name changes it).
    std::function<void(const FileIdentity &read, const FileIdentity &copy)> publishing;
    // What holds the destination's name is about to go to the trash: the link itself for a link.
    std::function<void(const FileIdentity &occupant)> replacing;
};
// What goes to the trash (`entry`) once it has been checked, just before it goes, with the path
// it will have in the trash when that is known (empty otherwise). When a first way fails before
// moving anything, the next one is told again: the later call stands.
using TrashHook = std::function<void(const FileIdentity &entry, const QString &trashEntry)>;

// Copies a regular file over the destination through a temporary file in the destination's
// folder, keeping the source's permission bits and times. The copy takes the name only where
// it is free: whatever holds it goes to the trash first, and when that cannot be done the copy
// fails. False on any failure, and then nothing has changed. On success, `read` (when given)
// receives the identity of the source as it was copied, and `published` that of the copy at its
// name, time of change included.
bool CopyFileOver(const QString &source, const QString &destination, FileIdentity *read = nullptr,
                  const CopyHooks *hooks = nullptr, FileIdentity *published = nullptr);

// While one lives on a thread, the copies and trashes made there keep the folders they work in
// open from one file to the next: a run moves its files from one folder into another, and
// opening both for each file cost more than some of its steps. Each file still looks at the
// folders' paths. Scopes may nest.
class KeepFolders {
public:
    KeepFolders();
    ~KeepFolders();
    KeepFolders(const KeepFolders &) = delete;
    KeepFolders &operator=(const KeepFolders &) = delete;
};

// Removes what copies into the folder left behind when they were killed half-way (hidden
// temporary files, on file systems that take no unnamed ones); a copy still going on keeps its.
void RemoveStaleTemporaries(const QString &folder);

// Moves the path to the user's trash, a link as the link itself. False when it is missing or
// cannot be trashed; it then stays in place.
bool SendToRecycleBin(const QString &path);

// Loads, on the calling thread, what trashing these files will need, so that the first file
// moved does not wait for it: GIO only when one of them is something our own trash writer does
// not take (a link, a file on another file system). Safe from any thread, any number of times;
// meant for a background thread once the window is shown.
void WarmUp(const QStringList &files);

enum class TrashResult {
    Trashed,
    Failed,        // the file could not go to the trash; it stays in place
    NotTheFileRead // the path names another file, or another version: nothing was trashed
};
// Moves the path to the trash only while it still names the file that was read: the same file
// (through a link too, which is then trashed as a link) with the same size and time. `trashing`,
// when given, is told what goes to the trash once it has been checked, before it goes.
TrashResult SendToRecycleBin(const QString &path, const FileIdentity &expected,
                             const TrashHook &trashing = {});

// The points between two steps where another program may act on the files.
enum class Step {
    CopyWritten,         // the copy is whole in its temporary file, not yet at its name
    DestinationLookedAt, // the name was found taken and what holds it looked at, not yet trashed
    DestinationTrashed,  // what held the name is in the trash; the name is about to be tried again
    SourceToTrash,       // the source is about to be checked against the file read and trashed
    TrashDescribed,      // the trash's description of the file is written, the file not yet moved
    // The undo of a run:
    EntryComingBack, // a trashed entry is about to be moved back to its original path
    CopyLookedAt     // a copy was found unchanged and is about to be taken aside and removed
};

// For tests, which act there as another program would. Reset with an empty value.
struct TestSeams {
    std::function<void(Step)> atStep;
    // The way taken on file systems that refuse unnamed temporary files.
    bool namedTemporaryFile = false;
};
void setTestSeams(TestSeams seams = {});

} // namespace kit_FILE

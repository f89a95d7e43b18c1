#pragma once

#include "kit_JournalText.h"
#include "kit_MoveQueue.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

// The journals of the filing runs, in the application directory beside the settings: each run
// writes one as it goes, so that it can be undone later (kit_Undo).
namespace kit_Journal {

// Where the journals live: "JOURNAUX/" in the application directory.
QString folder();
// How many runs are kept; older journals are dropped when a run begins its own.
constexpr int kKeptRuns = 20;

kit::JournalIdentity toJournal(const kit_FILE::FileIdentity &id);
kit_FILE::FileIdentity fromJournal(const kit::JournalIdentity &id);

// The journal of one filing run. Nothing is written until the first file is about to be
// published: a run that moves nothing leaves no journal. Each record is one write of one line,
// made before the step it announces; the file stays locked while the run lasts, so that no undo
// starts on a run still going on. A record that cannot be written (a full disk, a folder that
// cannot be made) never stops the run: the files still go to the trash, and failed() tells that
// the run cannot be undone in full.
class RunJournal final : public kit_FILE::RunRecorder {
public:
    // `madeFolders`: the folders the run made for its target, outermost first.
    RunJournal(const QString &target, const QStringList &madeFolders);
    ~RunJournal() override;
    RunJournal(const RunJournal &) = delete;
    RunJournal &operator=(const RunJournal &) = delete;

    void copying(int file, const QString &source, const kit_FILE::FileIdentity &read,
                 const QString &destination, const kit_FILE::FileIdentity &copy) override;
    void replacing(int file, const QString &destination,
                   const kit_FILE::FileIdentity &occupant) override;
    void trashing(int file, const kit_FILE::FileIdentity &entry, const kit_FILE::FileIdentity &copy,
                  const QString &trashEntry) override;

    bool failed() const;
    // The journal's file, once it has one.
    QString path() const;

private:
    void write(const kit::JournalRecord &record);
    bool open();

    mutable std::mutex m_mutex;
    QByteArray m_opening; // the header and the run's records, written with the first file's
    const QString m_folder;
    std::unique_ptr<QFile> m_file;
    QString m_path;
    bool m_failed = false;
};

// The journals there are, newest first.
QStringList journalPaths();

// A journal opened for its undo, and locked for as long as it is open.
struct OpenedJournal {
    enum class State {
        Ready,
        Busy,       // its run, or another undo of it, is still going on
        Unreadable, // not a journal, or not a file that can be read and written
    };
    State state = State::Unreadable;
    QString path;
    std::unique_ptr<QFile> file;
    kit::JournalReading reading;
    QString problem; // with Unreadable, why, in French
};
OpenedJournal openForUndo(const QString &path);

// Appends the undo's progress; false when it could not be written.
bool append(OpenedJournal &journal, const kit::JournalRecord &record);

// A journal that cannot be read is set aside under another name, so that it no longer stands
// in the way of the runs before it; it is kept for whoever wants to look at it.
void setAside(const QString &path);

} // namespace kit_Journal

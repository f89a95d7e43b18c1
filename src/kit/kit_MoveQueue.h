#pragma once

#include "kit_FILE.h"

#include <QString>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace kit_FILE {

// What a run's journal is told, before each step, of each file (numbered from 0 in the order
// added). Called on the queue's threads; must not throw.
class RunRecorder {
public:
    virtual ~RunRecorder() = default;
    // The copy is whole and about to take its name.
    virtual void copying(int file, const QString &source, const FileIdentity &read,
                         const QString &destination, const FileIdentity &copy) = 0;
    // What holds the destination's name is about to go to the trash.
    virtual void replacing(int file, const QString &destination, const FileIdentity &occupant) = 0;
    // The source (`entry`, a link as the link) is about to go to the trash, where it will be
    // `trashEntry` when that is known; `copy` is the copy at its name. Told again, the later
    // call stands.
    virtual void trashing(int file, const FileIdentity &entry, const FileIdentity &copy,
                          const QString &trashEntry) = 0;
};

// Moves files as a filing run does, off the user-interface thread: each file is copied, then its
// source goes to the trash while its path still names the file read. Two threads of its own do
// the work, so that the trashing of one file overlaps the copy of the next; the sources still
// go to the trash in the order of the files, and the outcomes come out in that order. The copier
// stays at most a few files ahead of the trash, so that a run ended at any moment leaves few
// files in both places.
// After a failure, no step of a later file starts until the failure has been acknowledged, so
// that nothing more happens while it is reported.
class MoveQueue {
public:
    struct Outcome {
        QString source;
        QString destination;
        bool moved = false;
    };

    // Threads::Caller does each move in add(), on the calling thread: for a run too small to pay
    // for starting threads.
    enum class Threads { Own, Caller };
    // `news` is called, from any thread, whenever newsWaiting() may have become true.
    // `recorder`, when given, must outlive the queue.
    explicit MoveQueue(std::function<void()> news, RunRecorder *recorder = nullptr,
                       Threads threads = Threads::Own);
    // Lets the steps under way end, starts no other, and waits for them.
    ~MoveQueue();
    MoveQueue(const MoveQueue &) = delete;
    MoveQueue &operator=(const MoveQueue &) = delete;

    void add(const QString &source, const QString &destination);

    // How many moves have begun their copy.
    int started() const;
    // A failure, or the end of every move added, is waiting to be taken.
    bool newsWaiting() const;
    // The next outcome in the order of the files, once it is known. Rethrows an error that
    // escaped that move's steps; after it, no other step starts.
    std::optional<Outcome> takeOutcome();
    // The failure last taken has been reported: later files may go on.
    void acknowledge();
    // Every move added has had its outcome taken.
    bool finished() const;

private:
    struct Move {
        QString source;
        QString destination;
        FileIdentity copied;
        FileIdentity published;
        enum class State { Waiting, Copied, Done } state = State::Waiting;
        bool moved = false;
        std::exception_ptr error;
    };

    void singleLoop();
    void copyLoop();
    void trashLoop();
    bool copyAllowed() const;  // under m_mutex
    int copiedWaiting() const; // under m_mutex
    void runOnCaller(std::unique_lock<std::mutex> &lock);
    void copyStep(std::unique_lock<std::mutex> &lock, int index);
    void trashStep(std::unique_lock<std::mutex> &lock, int index);
    bool heldBefore(int index) const; // under m_mutex
    bool newsWaitingLocked() const;
    void finish(std::unique_lock<std::mutex> &lock, int index, bool moved,
                std::exception_ptr error = {});

    std::function<void()> m_news;
    RunRecorder *m_recorder;
    mutable std::mutex m_mutex;
    std::condition_variable m_copyWork;  // the copier (or the single thread) waits on it
    std::condition_variable m_trashWork; // the trasher waits on it
    std::vector<Move> m_moves;
    std::set<int> m_failures; // known, not yet acknowledged
    int m_nextCopy = 0;
    int m_nextTrash = 0;
    int m_nextTaken = 0;
    int m_done = 0;
    int m_lastTakenFailure = -1;
    bool m_stop = false;
    bool m_copying = false;    // the copier is at work or about to be
    bool m_copierFull = false; // the copier waits for a batch of sources to be trashed
    const bool m_onCaller;
    std::thread m_copier;
    std::thread m_trasher;
};

} // namespace kit_FILE

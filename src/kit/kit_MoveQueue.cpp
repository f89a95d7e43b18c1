#include "kit_MoveQueue.h"

#include "kit_Platform.h"

#include <utility>

namespace kit_FILE {

namespace {

// How many copies may start before the source of the first of them goes to the trash, and how
// many files each thread takes in a row once woken. Waking the other thread costs more than a
// small file's step (2000 x 64 KiB: a wake-up for each file used a third more processor time
// than the reference commands), so each thread sleeps until a batch is waiting for it. The
// bound keeps a run ended at any moment from leaving more than a few files in both places.
constexpr int kCopiesAhead = 8;
constexpr int kBatch = 4;

} // namespace

MoveQueue::MoveQueue(std::function<void()> news, RunRecorder *recorder, Threads threads)
    : m_news(std::move(news)), m_recorder(recorder), m_onCaller(threads == Threads::Caller)
{
    if (m_onCaller)
        return;
    // On one processor the trash of one file cannot overlap the copy of the next: one thread
    // does both, without handing each file from one thread to the other.
    if (kit_Platform::usableProcessors() == 1) {
        m_copier = std::thread([this] { singleLoop(); });
        return;
    }
    m_copier = std::thread([this] { copyLoop(); });
    m_trasher = std::thread([this] { trashLoop(); });
}

MoveQueue::~MoveQueue()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_copyWork.notify_all();
    m_trashWork.notify_all();
    if (m_copier.joinable())
        m_copier.join();
    if (m_trasher.joinable())
        m_trasher.join();
}

void MoveQueue::add(const QString &source, const QString &destination)
{
    std::unique_lock lock(m_mutex);
    Move &move = m_moves.emplace_back();
    move.source = source;
    move.destination = destination;
    if (!m_onCaller) {
        lock.unlock();
        m_copyWork.notify_one();
        return;
    }
    runOnCaller(lock);
}

// Both steps of each move, on this thread, in order, until a failure not yet reported (or the
// end of the queue) holds them.
void MoveQueue::runOnCaller(std::unique_lock<std::mutex> &lock)
{
    const KeepFolders keep;
    while (size_t(m_nextCopy) < m_moves.size() && !heldBefore(m_nextCopy)) {
        const int index = m_nextCopy++;
        copyStep(lock, index);
        m_nextTrash = index + 1;
        if (m_moves[index].state == Move::State::Copied)
            trashStep(lock, index);
    }
}

int MoveQueue::started() const
{
    const std::lock_guard lock(m_mutex);
    return m_nextCopy;
}

bool MoveQueue::heldBefore(int index) const
{
    return m_stop || (!m_failures.empty() && *m_failures.begin() < index);
}

bool MoveQueue::newsWaiting() const
{
    const std::lock_guard lock(m_mutex);
    return newsWaitingLocked();
}

bool MoveQueue::newsWaitingLocked() const
{
    // Successes are taken in a batch at the end; a failure as soon as everything before it is.
    return size_t(m_nextTaken) < m_moves.size() &&
           m_moves[m_nextTaken].state == Move::State::Done &&
           (!m_failures.empty() || size_t(m_done) == m_moves.size());
}

std::optional<MoveQueue::Outcome> MoveQueue::takeOutcome()
{
    const std::lock_guard lock(m_mutex);
    if (size_t(m_nextTaken) >= m_moves.size() || m_moves[m_nextTaken].state != Move::State::Done)
        return std::nullopt;
    const int index = m_nextTaken++;
    const Move &move = m_moves[index];
    if (move.error)
        std::rethrow_exception(move.error); // held as a failure: no later step starts
    if (!move.moved)
        m_lastTakenFailure = index;
    return Outcome{move.source, move.destination, move.moved};
}

void MoveQueue::acknowledge()
{
    std::unique_lock lock(m_mutex);
    m_failures.erase(m_lastTakenFailure);
    if (m_onCaller) {
        runOnCaller(lock);
        return;
    }
    lock.unlock();
    m_copyWork.notify_one();
    m_trashWork.notify_one();
}

bool MoveQueue::finished() const
{
    const std::lock_guard lock(m_mutex);
    return size_t(m_nextTaken) == m_moves.size();
}

// Called and returns with `lock` held; tells the user-interface thread when there is something
// for it to report.
void MoveQueue::finish(std::unique_lock<std::mutex> &lock, int index, bool moved,
                       std::exception_ptr error)
{
    Move &move = m_moves[index];
    move.state = Move::State::Done;
    move.moved = moved && !error;
    move.error = std::move(error);
    ++m_done;
    if (!move.moved)
        m_failures.insert(index);
    if (newsWaitingLocked()) {
        lock.unlock();
        m_news();
        lock.lock();
    }
}

void MoveQueue::singleLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_copyWork.wait(lock, [this] {
            return m_stop || (size_t(m_nextCopy) < m_moves.size() && !heldBefore(m_nextCopy));
        });
        if (m_stop)
            return;
        runOnCaller(lock);
    }
}

bool MoveQueue::copyAllowed() const
{
    // Once the copies have run the whole way ahead, they wait for a batch of sources to be
    // trashed before going on.
    const int ahead = m_copierFull ? kCopiesAhead - kBatch : kCopiesAhead - 1;
    return size_t(m_nextCopy) < m_moves.size() && !heldBefore(m_nextCopy) &&
           m_nextCopy - m_nextTrash <= ahead;
}

void MoveQueue::copyLoop()
{
    const KeepFolders keep;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_stop && !copyAllowed()) {
            m_copierFull = m_nextCopy - m_nextTrash >= kCopiesAhead;
            m_copying = false;
            m_trashWork.notify_one(); // the copies it waits for will not come soon
            m_copyWork.wait(lock, [this] { return m_stop || copyAllowed(); });
            m_copierFull = false;
        }
        if (m_stop)
            return;
        m_copying = true;
        copyStep(lock, m_nextCopy++);
        if (copiedWaiting() >= kBatch || (size_t(m_nextTrash) < m_moves.size() &&
                                          m_moves[m_nextTrash].state == Move::State::Done))
            m_trashWork.notify_one();
    }
}

// How many files, from the next one to trash on, are copied and wait for the trash.
int MoveQueue::copiedWaiting() const
{
    int count = 0;
    for (size_t i = size_t(m_nextTrash);
         i < m_moves.size() && m_moves[i].state == Move::State::Copied && count < kBatch; ++i)
        ++count;
    return count;
}

// Called and returns with `lock` held; unlocked while the file is copied.
void MoveQueue::copyStep(std::unique_lock<std::mutex> &lock, int index)
{
    // The vector may grow while unlocked: copy what the step needs.
    const QString source = m_moves[index].source;
    const QString destination = m_moves[index].destination;
    lock.unlock();
    FileIdentity copied;
    FileIdentity published;
    CopyHooks hooks;
    if (m_recorder) {
        hooks.publishing = [&](const FileIdentity &read, const FileIdentity &copy) {
            m_recorder->copying(index, source, read, destination, copy);
        };
        hooks.replacing = [&](const FileIdentity &occupant) {
            m_recorder->replacing(index, destination, occupant);
        };
    }
    bool ok = false;
    std::exception_ptr error;
    try {
        ok = CopyFileOver(source, destination, &copied, &hooks, &published);
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    Move &move = m_moves[index];
    if (ok) {
        move.copied = copied;
        move.published = published;
        move.state = Move::State::Copied;
    } else {
        finish(lock, index, false, error);
    }
}

void MoveQueue::trashLoop()
{
    const KeepFolders keep;
    std::unique_lock lock(m_mutex);
    bool draining = false; // woken for a batch: goes on while copied files wait
    for (;;) {
        // The sources go to the trash in the order of the files; a failed copy has no source
        // to trash and is passed over.
        while (size_t(m_nextTrash) < m_moves.size() &&
               m_moves[m_nextTrash].state == Move::State::Done)
            ++m_nextTrash;
        if (m_stop)
            return;
        const bool ready = size_t(m_nextTrash) < m_moves.size() &&
                           m_moves[m_nextTrash].state == Move::State::Copied &&
                           !heldBefore(m_nextTrash);
        if (!ready || !(draining || !m_copying || copiedWaiting() >= kBatch)) {
            draining = false;
            if (m_copierFull)
                m_copyWork.notify_one();
            m_trashWork.wait(lock);
            continue;
        }
        draining = true;
        const int index = m_nextTrash++;
        if (m_copierFull && copyAllowed())
            m_copyWork.notify_one();
        trashStep(lock, index);
    }
}

// Called and returns with `lock` held; unlocked while the source goes to the trash.
void MoveQueue::trashStep(std::unique_lock<std::mutex> &lock, int index)
{
    const QString source = m_moves[index].source;
    const FileIdentity copied = m_moves[index].copied;
    const FileIdentity published = m_moves[index].published;
    lock.unlock();
    TrashHook trashing;
    if (m_recorder)
        trashing = [&](const FileIdentity &entry, const QString &trashEntry) {
            m_recorder->trashing(index, entry, published, trashEntry);
        };
    bool moved = false;
    std::exception_ptr error;
    try {
        // A source that merely cannot be trashed stays, left to the user: the file counts
        // as moved. One that no longer names the file copied is reported.
        moved = SendToRecycleBin(source, copied, trashing) != TrashResult::NotTheFileRead;
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    finish(lock, index, moved, error);
}

} // namespace kit_FILE

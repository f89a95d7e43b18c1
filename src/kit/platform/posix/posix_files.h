#pragma once

// What the copy and the trash share on POSIX systems.
#include "kit_FILE.h"

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kit_Platform::posix {

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int release() { return std::exchange(m_fd, -1); }
    // Closing reports the write errors that some file systems only find then.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

private:
    int m_fd;
};

// The folder a copy goes into, or a trash takes a file from, through a handle. While folders
// are kept on this thread (kit_FILE::KeepFolders), the handle stays open for the next file of
// the same use in the same folder; the path is still looked at for every file. Invalid when the
// path leads to no folder. `st` receives what the folder is now.
enum class FolderUse { CopyInto, TrashFrom };
struct KeptFolder;
class FolderHandle {
public:
    FolderHandle(const QByteArray &path, FolderUse use, struct stat *st);
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // What went through the folder succeeded: a kept handle stays for the next file.
    void worked() { m_worked = true; }

private:
    Fd m_own;
    KeptFolder *m_kept = nullptr;
    int m_fd = -1;
    bool m_worked = false;
};

// The user's home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
inline QByteArray homeTrashPath()
{
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/'))
        data = qgetenv("HOME") + "/.local/share";
    return data + "/Trash";
}

// The path as a trash's info file gives it back: one separator between names.
inline QByteArray withSingleSeparators(QByteArray path)
{
    while (path.contains("//"))
        path.replace("//", "/");
    return path;
}

inline bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// What a trash is checked against: the same file and, with versionToo, the same version of it.
inline bool isTheEntry(const struct stat &st, const struct stat &entry, bool versionToo)
{
    return sameFile(st, entry) && (!versionToo || (st.st_size == entry.st_size &&
                                                   st.st_mtim.tv_sec == entry.st_mtim.tv_sec &&
                                                   st.st_mtim.tv_nsec == entry.st_mtim.tv_nsec));
}

// Lets the tests' hook act at this step, when there is one.
void reachStep(kit_FILE::Step step);
bool namedTemporaryFileForced();

// Moves to the trash the file a copy is about to replace, only while the path still names it
// (`entry`, the link itself for a link) in the folder the copy writes into (`folder`): a folder
// renamed meanwhile, or another file at the name, gives NotTheFileRead and nothing is trashed.
kit_FILE::TrashResult moveReplacedToTrash(const QString &path, const struct stat &folder,
                                          const struct stat &entry,
                                          const kit_FILE::TrashHook &trashing);

enum class OwnTrash {
    Trashed,
    NotTheFileRead, // the name holds another file, or another version: nothing is in the trash
    NotTaken        // not a case for our writer, or it failed before changing anything
};
// Moves a regular file on the home trash's file system into that trash, when the path (absolute,
// no "." or ".." in it) still names `entry` (and the same version of it, with versionToo).
// `moving`, when given, is told the path the file will have in the trash just before it moves
// there (again with another name when that one turns out to be taken).
OwnTrash trashIntoHome(const QByteArray &path, const struct stat &entry, bool versionToo,
                       const std::function<void(const QByteArray &entryPath)> &moving = {});

// Whether trashing the path will go through GIO: it names something other than a regular file
// (a link, which is trashed as a link), or a file off the home trash's file system
// (`trashDevice`, from homeTrashDevice). A missing path needs nothing.
bool needsGio(const QByteArray &path, std::optional<dev_t> trashDevice);
// The file system the home trash is on, or will be on once made; empty when no folder on its
// path exists.
std::optional<dev_t> homeTrashDevice();

// A file's identity as the program keeps it, time of change included.
kit_FILE::FileIdentity identityOf(const struct stat &st);

} // namespace kit_Platform::posix

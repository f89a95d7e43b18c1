#pragma once

// What the copy and the trash share on POSIX systems.
#include "kit_FILE.h"

#include <QString>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

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

inline bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

// A file's identity as the program keeps it, time of change included.
kit_FILE::FileIdentity identityOf(const struct stat &st);

} // namespace kit_Platform::posix

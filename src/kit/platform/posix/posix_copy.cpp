#include "kit_Paths.h"
#include "kit_Platform.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kit_Platform {

namespace {

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

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool sameTime(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// From the current offsets to the end of the source, whatever its size said.
bool copyByReading(int in, int out)
{
    constexpr size_t bufferSize = 256 * 1024;
    const std::unique_ptr<char[]> buffer(new char[bufferSize]);
    for (;;) {
        const ssize_t n = ::read(in, buffer.get(), bufferSize);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(out, buffer.get(), size_t(n)))
            return false;
    }
}

bool isHardWriteError(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO;
}

bool copyData(int in, int out, off_t size)
{
    // A size of 0 may be a pseudo-file with content; only reading finds out.
    if (size > 0) {
        if (::ioctl(out, FICLONE, in) == 0)
            return true;
        bool copiedAny = false;
        for (;;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (n > 0) {
                copiedAny = true;
                continue;
            }
            if (n == 0) {
                // Some file systems answer 0 where they cannot copy in the kernel.
                if (copiedAny)
                    return true;
                break;
            }
            if (errno == EINTR)
                continue;
            if (isHardWriteError(errno))
                return false;
            // Across file systems, or not offered: plain reads take over where it stopped.
            break;
        }
    }
    return copyByReading(in, out);
}

// A temporary file beside the destination, removed unless it was published.
class TempFile {
public:
    explicit TempFile(int dirFd) : m_dirFd(dirFd)
    {
        for (int attempt = 0; attempt < 100 && !m_fd; ++attempt) {
            m_name = QByteArrayLiteral(".rangeur-") +
                     QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
                     QByteArrayLiteral(".tmp");
            const int fd = ::openat(m_dirFd, m_name.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
            if (fd >= 0)
                m_fd = std::make_unique<Fd>(fd);
            else if (errno != EEXIST)
                break;
        }
        // A name that is not ours must never be removed.
        if (!m_fd)
            m_name.clear();
    }
    ~TempFile()
    {
        m_fd.reset();
        if (!m_published && !m_name.isEmpty())
            ::unlinkat(m_dirFd, m_name.constData(), 0);
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    bool isOpen() const { return m_fd != nullptr; }
    int fd() const { return m_fd->get(); }
    bool close() { return m_fd->close(); }
    bool publishAs(const QByteArray &name)
    {
        m_published = ::renameat(m_dirFd, m_name.constData(), m_dirFd, name.constData()) == 0;
        return m_published;
    }

private:
    int m_dirFd;
    QByteArray m_name;
    std::unique_ptr<Fd> m_fd;
    bool m_published = false;
};

enum class Target { Absent, Replaceable, Refused };

// What the copy would replace: nothing, a file (or a link, which is replaced as a link), or
// something it must leave alone: the source itself, a folder, a device.
Target inspectTarget(int dirFd, const QByteArray &name, const struct stat &source)
{
    struct stat own {};
    if (::fstatat(dirFd, name.constData(), &own, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Target::Absent : Target::Refused;
    struct stat pointed = own;
    if (S_ISLNK(own.st_mode) && ::fstatat(dirFd, name.constData(), &pointed, 0) != 0)
        return errno == ENOENT ? Target::Replaceable : Target::Refused; // a dangling link
    if (sameFile(pointed, source) || !S_ISREG(pointed.st_mode))
        return Target::Refused;
    return Target::Replaceable;
}

} // namespace

bool copyFile(const QString &source, const QString &destination)
{
    const QString fileName = kit::fileNamePart(destination, kit::nativePathStyle);
    if (fileName.isEmpty() || kit::isDotName(fileName))
        return false;
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray name = QFile::encodeName(fileName);
    QString folder = kit::folderPart(destination, kit::nativePathStyle);
    if (folder.isEmpty())
        folder = QStringLiteral(".");

    // Looked at before opening, so that a device is never opened at all; opening without
    // blocking keeps a FIFO from waiting for a writer if it was swapped in meanwhile.
    struct stat before {};
    if (::stat(sourcePath.constData(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    Fd in(::open(sourcePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!in || ::fstat(in.get(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    const Fd dir(::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir)
        return false;
    const Target target = inspectTarget(dir.get(), name, before);
    if (target == Target::Refused)
        return false;

    TempFile temp(dir.get());
    if (!temp.isOpen() || !copyData(in.get(), temp.fd(), before.st_size))
        return false;
    // Permission bits only: a set-user-ID bit must not survive a copy now owned by us.
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    if (::fchmod(temp.fd(), before.st_mode & 0777) != 0 || ::futimens(temp.fd(), times) != 0 ||
        !temp.close())
        return false;

    // A source that changed while it was read would leave a copy of neither version.
    struct stat after {};
    if (::fstat(in.get(), &after) != 0 || after.st_size != before.st_size ||
        !sameTime(after.st_mtim, before.st_mtim))
        return false;

    // The replaced file is kept in the trash; when it cannot go there, it is replaced anyway.
    if (target == Target::Replaceable)
        moveToTrash(destination);
    return temp.publishAs(name);
}

} // namespace kit_Platform

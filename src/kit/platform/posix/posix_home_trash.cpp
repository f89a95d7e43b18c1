// The trash writer of our own, for a regular file on the file system of the user's home trash.
// GIO's reserves only the info file's name and then renames over whatever sits in files/; it
// leaves an empty info file when it is killed between the two, and cannot trash a name too long
// for an info file. This one never replaces anything, never leaves an empty info file, and
// checks what it moved.
#include "kit_TrashInfo.h"
#include "posix_files.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace kit_Platform::posix {

namespace {

bool makeFolder(const QByteArray &path)
{
    return ::mkdir(path.constData(), 0700) == 0 || errno == EEXIST;
}

// The home trash's two folders, opened once and kept while they are still there: a trash
// emptied by a file manager keeps its folders, one removed is set up again.
class HomeTrash {
public:
    // Null when the trash cannot be set up: GIO is then left to say why.
    const HomeTrash *ready()
    {
        const QByteArray path = homeTrashPath();
        if (path != m_path || !stillThere()) {
            m_path = path;
            if (!open())
                return nullptr;
        }
        return this;
    }
    int files() const { return m_files.get(); }
    int info() const { return m_info.get(); }
    dev_t device() const { return m_device; }
    const QByteArray &path() const { return m_path; }

private:
    bool stillThere() const
    {
        // The info folder is not looked at: one removed on its own fails the link into it,
        // which leaves the file to GIO.
        struct stat files {};
        return m_files && ::fstat(m_files.get(), &files) == 0 && files.st_nlink > 0;
    }

    bool open()
    {
        m_files.reset();
        m_info.reset();
        const qsizetype slash = m_path.lastIndexOf('/');
        if (!makeFolders(m_path.left(slash)) || !makeFolder(m_path))
            return false;
        m_files.reset(openFolder(m_path + "/files"));
        m_info.reset(openFolder(m_path + "/info"));
        struct stat st {};
        if (!m_files || !m_info || ::fstat(m_files.get(), &st) != 0)
            return false;
        m_device = st.st_dev;
        return true;
    }

    static bool makeFolders(const QByteArray &path)
    {
        struct stat st {};
        if (::stat(path.constData(), &st) == 0)
            return S_ISDIR(st.st_mode);
        const qsizetype slash = path.lastIndexOf('/');
        return slash > 0 && makeFolders(path.left(slash)) && makeFolder(path);
    }

    // The trash's own folders must be real folders, not links to elsewhere.
    static int openFolder(const QByteArray &path)
    {
        makeFolder(path);
        return ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }

    QByteArray m_path;
    Fd m_files;
    Fd m_info;
    dev_t m_device = 0;
};

QByteArray localDeletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32];
    if (!::localtime_r(&now, &local) ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local) == 0)
        return QByteArray();
    return QByteArray(text);
}

// The info file, written whole before it has a name: no reader, and no kill, ever sees it
// empty or half-written. Where the file system takes no unnamed file, it is created under its
// name and removed when the write fails.
class InfoFile {
public:
    InfoFile(int infoFolder, QByteArray text) : m_folder(infoFolder), m_text(std::move(text)) {}
    ~InfoFile()
    {
        if (m_linked && !m_kept)
            ::unlinkat(m_folder, m_name.constData(), 0);
    }
    InfoFile(const InfoFile &) = delete;
    InfoFile &operator=(const InfoFile &) = delete;

    enum class Made { Done, NameTaken, Failed };
    Made makeAs(const QByteArray &name)
    {
        removeLinked();
        m_name = name;
        Fd unnamed(::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (unnamed) {
            if (!writeAll(unnamed.get()))
                return Made::Failed;
            char procPath[64];
            std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", unnamed.get());
            if (::linkat(AT_FDCWD, procPath, m_folder, name.constData(), AT_SYMLINK_FOLLOW) != 0)
                return errno == EEXIST ? Made::NameTaken : Made::Failed;
            m_linked = true;
            return Made::Done;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return Made::Failed;
        Fd named(
            ::openat(m_folder, name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
        if (!named)
            return errno == EEXIST ? Made::NameTaken : Made::Failed;
        m_linked = true;
        return writeAll(named.get()) && named.close() ? Made::Done : Made::Failed;
    }
    void keep() { m_kept = true; }
    // An info file made for a name that the entry could not take goes again.
    void removeLinked()
    {
        if (m_linked)
            ::unlinkat(m_folder, m_name.constData(), 0);
        m_linked = false;
    }

private:
    bool writeAll(int fd) const
    {
        return ::write(fd, m_text.constData(), size_t(m_text.size())) == m_text.size();
    }

    int m_folder;
    QByteArray m_text;
    QByteArray m_name;
    bool m_linked = false;
    bool m_kept = false;
};

// Names are tried in order for this long; then the trash is taken to be unusable.
constexpr int nameAttempts = 1000;

} // namespace

std::optional<dev_t> homeTrashDevice()
{
    // The trash may not exist yet: its nearest folder tells the file system it will be on.
    QByteArray trash = homeTrashPath();
    struct stat st {};
    while (::stat(trash.constData(), &st) != 0) {
        const qsizetype slash = trash.lastIndexOf('/');
        if (slash <= 0)
            return std::nullopt;
        trash.truncate(slash);
    }
    return st.st_dev;
}

bool needsGio(const QByteArray &path, std::optional<dev_t> trashDevice)
{
    struct stat entry {};
    if (::lstat(path.constData(), &entry) != 0)
        return false;
    return !S_ISREG(entry.st_mode) || !trashDevice || entry.st_dev != *trashDevice;
}

OwnTrash trashIntoHome(const QByteArray &path, const struct stat &entry, bool versionToo,
                       const std::function<void(const QByteArray &entryPath)> &moving)
{
    if (!S_ISREG(entry.st_mode))
        return OwnTrash::NotTaken;
    static std::mutex lock;
    static HomeTrash trash;
    const std::lock_guard<std::mutex> held(lock);
    const HomeTrash *home = trash.ready();
    // Only the home trash's own file system, and never what is already in that trash.
    if (!home || entry.st_dev != home->device() || path.startsWith(home->path() + '/'))
        return OwnTrash::NotTaken;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0 || slash == path.size() - 1)
        return OwnTrash::NotTaken;
    const QByteArray fileName = path.sliced(slash + 1);
    struct stat st {};
    FolderHandle folder(slash == 0 ? QByteArray("/") : path.left(slash), FolderUse::TrashFrom, &st);
    if (!folder)
        return OwnTrash::NotTaken;
    // The folder may have been replaced since the path was looked at: the name is looked at
    // again through the folder it will be moved from.
    if (::fstatat(folder.get(), fileName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !isTheEntry(st, entry, versionToo))
        return OwnTrash::NotTheFileRead;
    const QByteArray date = localDeletionDate();
    if (date.isEmpty())
        return OwnTrash::NotTaken;
    InfoFile info(home->info(), kit::trashInfoText(withSingleSeparators(path), date));

    for (int attempt = 1; attempt <= nameAttempts; ++attempt) {
        const QByteArray name = kit::trashEntryName(fileName, attempt);
        switch (info.makeAs(name + ".trashinfo")) {
        case InfoFile::Made::NameTaken:
            continue;
        case InfoFile::Made::Failed:
            return OwnTrash::NotTaken;
        case InfoFile::Made::Done:
            break;
        }
        reachStep(kit_FILE::Step::TrashDescribed);
        if (moving)
            moving(home->path() + "/files/" + name);
        if (::renameat2(folder.get(), fileName.constData(), home->files(), name.constData(),
                        RENAME_NOREPLACE) != 0) {
            // Something with no info file of its own may sit in files/ under that name.
            if (errno == EEXIST)
                continue;
            if (errno == ENOENT)
                return OwnTrash::NotTheFileRead;
            return OwnTrash::NotTaken; // another mount, a rename the file system lacks
        }
        // Another program may have put its file at the name between the look and the move.
        if (::fstatat(home->files(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            isTheEntry(st, entry, versionToo)) {
            info.keep();
            folder.worked();
            return OwnTrash::Trashed;
        }
        // Not the file read: it goes back where it was, never over anything. Where that cannot
        // be, it stays in the trash with its info file, where it can be restored.
        if (::renameat2(home->files(), name.constData(), folder.get(), fileName.constData(),
                        RENAME_NOREPLACE) != 0)
            info.keep();
        return OwnTrash::NotTheFileRead;
    }
    return OwnTrash::NotTaken;
}

} // namespace kit_Platform::posix

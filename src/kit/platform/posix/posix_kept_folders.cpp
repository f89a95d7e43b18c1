// The folders kept open on a thread while kit_FILE::KeepFolders lives there.
#include "posix_files.h"

#include <fcntl.h>

namespace kit_Platform {

namespace posix {

struct KeptFolder {
    QByteArray path;
    Fd fd;
    dev_t device = 0;
    ino_t inode = 0;

    void forget()
    {
        path.clear();
        fd.reset();
        device = 0;
        inode = 0;
    }
};

} // namespace posix

namespace {

struct Kept {
    int scopes = 0;
    posix::KeptFolder folders[2]; // by posix::FolderUse
};

thread_local Kept kept;

} // namespace

void keepFolders(bool from)
{
    kept.scopes += from ? 1 : -1;
    if (kept.scopes == 0)
        for (posix::KeptFolder &folder : kept.folders)
            folder.forget();
}

namespace posix {

FolderHandle::FolderHandle(const QByteArray &path, FolderUse use, struct stat *st)
{
    if (kept.scopes == 0) {
        m_own.reset(::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (m_own && ::fstat(m_own.get(), st) == 0)
            m_fd = m_own.get();
        return;
    }
    // The path is looked at for every file: it may lead to another folder by now.
    m_kept = &kept.folders[int(use)];
    if (::stat(path.constData(), st) != 0 || !S_ISDIR(st->st_mode))
        return;
    if (m_kept->fd && m_kept->path == path && m_kept->device == st->st_dev &&
        m_kept->inode == st->st_ino) {
        m_fd = m_kept->fd.get();
        return;
    }
    m_kept->forget();
    Fd opened(::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!opened || ::fstat(opened.get(), st) != 0)
        return;
    m_kept->path = path;
    m_kept->device = st->st_dev;
    m_kept->inode = st->st_ino;
    m_kept->fd.reset(opened.release());
    m_fd = m_kept->fd.get();
}

FolderHandle::~FolderHandle()
{
    // A folder removed and another made at its path may take its inode number: after anything
    // but a success, the next file opens the folder again.
    if (m_kept && !m_worked)
        m_kept->forget();
}

} // namespace posix

} // namespace kit_Platform

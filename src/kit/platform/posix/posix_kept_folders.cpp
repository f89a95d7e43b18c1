// The folders kept open on a thread while kit_FILE::KeepFolders lives there.
#include "posix_files.h"

#include <fcntl.h>

namespace kit_Platform {

namespace posix {

struct KeptFolder {
    QByteArray path;
    Fd fd;
    struct stat identity {};

    void forget()
    {
        path.clear();
        fd.reset();
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

void keepFolders(bool begin)
{
    kept.scopes += begin ? 1 : -1;
    if (kept.scopes == 0)
        for (posix::KeptFolder &folder : kept.folders)
            folder.forget();
}

namespace posix {

namespace {

// The folder at the path, opened only to work in it, and what it is; -1 when it cannot be.
int openFolder(const QByteArray &path, struct stat *st)
{
    Fd folder(::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return folder && ::fstat(folder.get(), st) == 0 ? folder.release() : -1;
}

} // namespace

FolderHandle::FolderHandle(const QByteArray &path, FolderUse use, struct stat *st)
{
    if (kept.scopes == 0) {
        m_own.reset(openFolder(path, st));
        m_fd = m_own.get();
        return;
    }
    // The path is looked at for every file: it may lead to another folder by now.
    m_kept = &kept.folders[int(use)];
    if (::stat(path.constData(), st) != 0 || !S_ISDIR(st->st_mode))
        return;
    if (m_kept->fd && m_kept->path == path && sameFile(m_kept->identity, *st)) {
        m_fd = m_kept->fd.get();
        return;
    }
    m_kept->forget();
    m_kept->fd.reset(openFolder(path, st));
    if (!m_kept->fd)
        return;
    m_kept->path = path;
    m_kept->identity = *st;
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

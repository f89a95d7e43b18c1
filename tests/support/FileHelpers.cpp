#include "FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void makeFile(const QString &path, const QByteArray &content, int mode, std::time_t mtime)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    const QByteArray name = QFile::encodeName(path);
    const struct timespec times[2] = {{mtime - 100, 0}, {mtime, 123456789}};
    if (::chmod(name.constData(), mode_t(mode)) != 0 ||
        ::utimensat(AT_FDCWD, name.constData(), times, 0) != 0)
        qFatal("cannot set the mode or time of %s", qPrintable(path));
}

Latin1NamedFile::Latin1NamedFile(const QString &folder)
    : m_folder(folder), m_path(QFile::encodeName(folder) + "/caf\xe9.txt")
{}

Latin1NamedFile::~Latin1NamedFile()
{
    ::unlink(m_path.constData());
}

bool Latin1NamedFile::create(const QByteArray &content)
{
    const int fd = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size();
    if (!ok)
        m_error = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        ok = false;
    }
    return ok;
}

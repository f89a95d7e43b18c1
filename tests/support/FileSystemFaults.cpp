#include "FileSystemFaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool s_privateMounts = false;

bool writeProcFile(const char *path, const QByteArray &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

} // namespace

bool enterPrivateMounts()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        // An ordinary user may still own a user namespace, mapped onto its own ids, and mount
        // a tmpfs in it.
        const QByteArray uid = QByteArray::number(::geteuid());
        const QByteArray gid = QByteArray::number(::getegid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", uid + ' ' + uid + " 1") ||
            !writeProcFile("/proc/self/gid_map", gid + ' ' + gid + " 1"))
            return false;
    }
    // Mounts made from now on stay in this process and die with it.
    s_privateMounts = ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return s_privateMounts;
}

bool privateMountsAvailable()
{
    return s_privateMounts;
}

Tmpfs::Tmpfs(const QString &folder, const QByteArray &options) : m_folder(folder)
{
    if (!s_privateMounts) {
        m_error = QStringLiteral("no private mount namespace (needs root or user namespaces)");
        return;
    }
    QDir().mkpath(folder);
    m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                        options.constData()) == 0;
    if (!m_mounted)
        m_error = QStringLiteral("mount refused: ") + QString::fromLocal8Bit(std::strerror(errno));
}

Tmpfs::~Tmpfs()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool Tmpfs::remountReadOnly()
{
    return ::mount("tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs",
                   MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

bool fillUp(const QString &folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    return true;
}

namespace {

// In a user namespace of its own an ordinary user holds every capability over its own files;
// putting the effective ones aside (they stay permitted) lets permissions apply again.
bool setEffectiveCapabilities(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (auto &d : data)
        d.effective = on ? d.permitted : 0;
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

AsOrdinaryUser::AsOrdinaryUser()
{
    m_wasRoot = ::geteuid() == 0;
    m_switched = m_wasRoot ? ::seteuid(65534) == 0 : setEffectiveCapabilities(false);
}

AsOrdinaryUser::~AsOrdinaryUser()
{
    if (m_switched && !(m_wasRoot ? ::seteuid(0) == 0 : setEffectiveCapabilities(true)))
        qFatal("could not take back the test's privileges");
}

QString trashFolder()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash");
}

QStringList trashListOriginalPaths(QString *errorText)
{
    QProcess trashList;
    trashList.start(QStringLiteral("trash-list"), {});
    if (!trashList.waitForFinished(30000) || trashList.exitStatus() != QProcess::NormalExit) {
        *errorText =
            QStringLiteral("trash-list (trash-cli) did not run: ") + trashList.errorString();
        return {};
    }
    // Each line is "YYYY-MM-DD HH:MM:SS /original/path".
    QStringList paths;
    const QStringList lines = QString::fromUtf8(trashList.readAllStandardOutput()).split(u'\n');
    for (const QString &line : lines) {
        if (line.size() > 20)
            paths << line.mid(20);
    }
    return paths;
}

QStringList trashedEntriesFor(const QString &originalPath)
{
    QStringList entries;
    const QDir info(trashFolder() + QStringLiteral("/info"));
    const QStringList infoFiles = info.entryList({QStringLiteral("*.trashinfo")}, QDir::Files);
    for (const QString &infoName : infoFiles) {
        QFile file(info.filePath(infoName));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray &line : lines) {
            if (line.startsWith("Path=") && QUrl::fromPercentEncoding(line.mid(5)) == originalPath)
                entries << trashFolder() + QStringLiteral("/files/") +
                               infoName.chopped(int(qstrlen(".trashinfo")));
        }
    }
    return entries;
}

QString trashedEntryFor(const QString &originalPath)
{
    const QStringList entries = trashedEntriesFor(originalPath);
    return entries.isEmpty() ? QString() : entries.first();
}

int trashEntryCount()
{
    return int(QDir(trashFolder() + QStringLiteral("/info"))
                   .entryList({QStringLiteral("*.trashinfo")}, QDir::Files)
                   .size());
}

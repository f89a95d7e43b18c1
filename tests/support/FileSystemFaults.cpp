#include "FileSystemFaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/loop.h>
#include <sched.h>
#include <sys/ioctl.h>
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

namespace {

QString findTool(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(
                                 name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
                           : found;
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + tool.errorString() + u' ' +
               QString::fromLocal8Bit(tool.readAll()).trimmed();
    return {};
}

// A free loop device over the image, open in *device. It goes away by itself once the last
// descriptor on it is closed, so that a test that dies leaves none behind.
QString attachLoopDevice(const QString &image, int *device, QString *error)
{
    const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    const int backing = ::open(QFile::encodeName(image).constData(), O_RDWR | O_CLOEXEC);
    QString path;
    for (int attempt = 0; attempt < 10 && control >= 0 && backing >= 0 && path.isEmpty();
         ++attempt) {
        const int number = ::ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0)
            break;
        const QString candidate = QStringLiteral("/dev/loop%1").arg(number);
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            break;
        struct loop_config config {};
        config.fd = quint32(backing);
        config.info.lo_flags = LO_FLAGS_AUTOCLEAR;
        if (::ioctl(fd, LOOP_CONFIGURE, &config) == 0) {
            *device = fd;
            path = candidate;
        } else {
            ::close(fd); // taken by another program meanwhile: another one
        }
    }
    if (path.isEmpty())
        *error = QStringLiteral("no loop device: ") + QString::fromLocal8Bit(std::strerror(errno));
    if (control >= 0)
        ::close(control);
    if (backing >= 0)
        ::close(backing);
    return path;
}

} // namespace

FuseExfat::FuseExfat(const QString &folder, qint64 size) : m_folder(folder)
{
    const QString mkfs = findTool(QStringLiteral("mkfs.exfat"));
    const QString mountTool = findTool(QStringLiteral("mount.exfat-fuse"));
    if (!s_privateMounts) {
        m_error = QStringLiteral("no private mount namespace (needs root or user namespaces)");
        return;
    }
    if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0) {
        m_error = QStringLiteral("FUSE and a loop device need root and /dev/fuse");
        return;
    }
    if (mkfs.isEmpty() || mountTool.isEmpty()) {
        m_error = QStringLiteral("mkfs.exfat (exfatprogs) or mount.exfat-fuse (exfat-fuse) is "
                                 "missing");
        return;
    }
    QDir().mkpath(folder);
    const QString image = folder + QStringLiteral(".img");
    QFile imageFile(image);
    if (!imageFile.open(QIODevice::WriteOnly) || !imageFile.resize(size)) {
        m_error = QStringLiteral("cannot make the image: ") + imageFile.errorString();
        return;
    }
    imageFile.close();
    m_error = runTool(mkfs, {image});
    if (!m_error.isEmpty())
        return;
    int device = -1;
    const QString devicePath = attachLoopDevice(image, &device, &m_error);
    if (devicePath.isEmpty())
        return;
    // The FUSE process keeps the device open for as long as the file system is mounted.
    m_error = runTool(mountTool, {devicePath, folder});
    ::close(device);
    m_mounted = m_error.isEmpty();
}

FuseExfat::~FuseExfat()
{
    // Unmounting ends the FUSE process, which closes the loop device, which then goes.
    if (m_mounted && ::umount2(QFile::encodeName(m_folder).constData(), 0) != 0)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
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

#include "kit_ini.h"

#include "kit_Error.h"
#include "kit_IniText.h"
#include "kit_IniValues.h"
#include "kit_Paths.h"
#include "kit_Platform.h"
#include "kit_SaveFile.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <optional>
#include <vector>

namespace kit_ini {

namespace {

QString &testFolder()
{
    static QString folder;
    return folder;
}

const QString options = QStringLiteral("OPTIONS");

QString fileOrDefault(const QString &path)
{
    return path.isEmpty() ? GetIniPath() : path;
}

// The file's content; empty when it does not exist. Empty too, and false, when it exists but
// cannot be read.
bool readFile(const QString &path, QByteArray &bytes)
{
    kit::ReadResult read = kit::readWholeFile(path);
    bytes = std::move(read.data);
    return read.ok;
}

// The files written under the WriteBatch alive, if any: as read, and as they now stand.
struct PendingFile {
    QString path;
    QByteArray read;
    kit::IniText ini;
};
std::optional<std::vector<PendingFile>> &pendingFiles()
{
    static std::optional<std::vector<PendingFile>> pending;
    return pending;
}

PendingFile *pendingFile(const QString &path)
{
    if (!pendingFiles())
        return nullptr;
    for (PendingFile &file : *pendingFiles()) {
        if (file.path == path)
            return &file;
    }
    return nullptr;
}

// The stored value, or nothing when the file or the key is absent or cannot be read.
std::optional<QString> storedValue(const QString &section, const QString &key, const QString &path)
{
    if (const PendingFile *pending = pendingFile(fileOrDefault(path)))
        return pending->ini.value(section, key);
    QByteArray bytes;
    if (!readFile(fileOrDefault(path), bytes))
        return std::nullopt;
    return kit::IniText::fromBytes(bytes).value(section, key);
}

QString boundsText(const QRect &bounds)
{
    return QStringLiteral("%1:%2:%3:%4")
        .arg(bounds.left())
        .arg(bounds.top())
        .arg(bounds.width())
        .arg(bounds.height());
}

[[noreturn]] void cannotWrite(const QString &path)
{
    throw kit::Error(QStringLiteral("Impossible d'écrire dans %1").arg(path));
}

int wholeNumber(const QString &field)
{
    const std::optional<int> value = kit::textToInt(field);
    if (!value)
        throw kit::Error(QStringLiteral("''%1'' n'est pas une valeur entière valide").arg(field));
    return *value;
}

} // namespace

QString GetAppDir()
{
    if (!testFolder().isEmpty())
        return testFolder();
    return appDirFor(QCoreApplication::applicationFilePath());
}

QString appDirFor(const QString &executablePath)
{
    const QString own = kit::applicationDir(executablePath, kit::nativePathStyle);
    return kit_Platform::canCreateFilesIn(own) ? own : kit_Platform::perUserStateFolder();
}

void makeAppDir()
{
    const QString dir = GetAppDir();
    if (!kit_Platform::folderExists(dir))
        QDir().mkpath(dir);
}

void setAppDirForTests(const QString &folder)
{
    testFolder() = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

QString GetExeBaseName(bool upperCased)
{
    return kit::exeBaseName(QCoreApplication::applicationFilePath(), upperCased,
                            kit::nativePathStyle);
}

QString GetIniPath()
{
    // The name from the executable, the folder from the application directory, which is the
    // executable's own unless it cannot take files.
    const QString exeName =
        kit::fileNamePart(QCoreApplication::applicationFilePath(), kit::nativePathStyle);
    return GetAppDir() +
           kit::replaceExtension(exeName, QStringLiteral(".INI"), kit::nativePathStyle);
}

QString IniReadString(const QString &section, const QString &key, const QString &defaultValue,
                      const QString &path)
{
    return storedValue(section, key, path).value_or(defaultValue);
}

bool IniReadBool(const QString &section, const QString &key, bool defaultValue, const QString &path)
{
    return kit::textToBool(IniReadString(section, key, QString(), path), defaultValue);
}

void IniWriteString(const QString &section, const QString &key, const QString &value,
                    const QString &path)
{
    if (path.isEmpty())
        makeAppDir();
    const QString file = fileOrDefault(path);
    if (PendingFile *pending = pendingFile(file)) {
        if (!pending->ini.setValue(section, key, value))
            cannotWrite(file);
        return;
    }
    QByteArray bytes;
    // A file that cannot be read is never replaced by one holding only this value.
    if (!readFile(file, bytes))
        cannotWrite(file);
    kit::IniText ini = kit::IniText::fromBytes(bytes);
    if (!ini.setValue(section, key, value))
        cannotWrite(file);
    if (pendingFiles()) {
        pendingFiles()->push_back({file, bytes, std::move(ini)});
        return;
    }
    // A value that is already there costs no write: each write waits for the disk. (A missing
    // file reads as empty, which a text holding a value never is.)
    const QByteArray text = ini.toBytes();
    if (text == bytes)
        return;
    if (!kit::saveWholeFile(file, text).ok)
        cannotWrite(file);
}

WriteBatch::WriteBatch()
{
    Q_ASSERT(!pendingFiles());
    pendingFiles().emplace();
}

WriteBatch::~WriteBatch()
{
    pendingFiles().reset();
}

void WriteBatch::commit()
{
    std::vector<PendingFile> files;
    std::swap(files, *pendingFiles());
    for (const PendingFile &file : files) {
        const QByteArray text = file.ini.toBytes();
        if (text != file.read && !kit::saveWholeFile(file.path, text).ok)
            cannotWrite(file.path);
    }
}

void IniWriteBool(const QString &section, const QString &key, bool value, const QString &path)
{
    IniWriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"), path);
}

QStringList SplitString(const QString &text, const QString &separator)
{
    return kit::splitString(text, separator);
}

void SaveFormPos(QWidget *window, const QString &path)
{
    IniWriteString(GetExeBaseName(false), window->objectName(), boundsText(window->frameGeometry()),
                   path);
}

bool LoadFormPos(QWidget *window, const QString &path)
{
    const std::optional<QString> stored =
        storedValue(GetExeBaseName(false), window->objectName(), path);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const bool applied = applyFormPos(window, stored.value_or(boundsText(window->frameGeometry())),
                                      screen ? screen->availableGeometry().size() : QSize());
    return stored && applied;
}

bool applyFormPos(QWidget *window, const QString &stored, QSize workArea)
{
    const QStringList fields = kit::splitString(stored, QStringLiteral(":"));
    if (fields.size() < 4)
        return false;
    // Outer bounds: the position moves the frame, the size is the outer size less the frame.
    auto frame = [window] { return window->frameGeometry().size() - window->size(); };

    int left = wholeNumber(fields[0]);
    if (left > workArea.width())
        left = workArea.width() - window->frameGeometry().width();
    window->move(left, window->frameGeometry().top());

    const int top = qMax(0, wholeNumber(fields[1]));
    window->move(window->frameGeometry().left(), top);

    window->resize(wholeNumber(fields[2]) - frame().width(), window->height());
    if (window->frameGeometry().width() > workArea.width())
        window->resize(workArea.width() - frame().width(), window->height());

    window->resize(window->width(), wholeNumber(fields[3]) - frame().height());
    if (window->frameGeometry().height() > workArea.height())
        window->resize(window->width(), workArea.height() - frame().height());
    return true;
}

void SaveChecks(const QList<QObject *> &components, const QString &path)
{
    for (QObject *component : components) {
        const QString name = component->objectName();
        if (!name.contains(QLatin1String("chk_"), Qt::CaseInsensitive))
            continue;
        if (const auto *item = qobject_cast<QAction *>(component))
            IniWriteBool(options, name, item->isChecked(), path);
        else if (const auto *box = qobject_cast<QCheckBox *>(component))
            IniWriteBool(options, name, box->isChecked(), path);
    }
}

void LoadChecks(const QList<QObject *> &components, const QString &path)
{
    for (QObject *component : components) {
        const QString name = component->objectName();
        if (!name.startsWith(QLatin1String("chk_")))
            continue;
        if (auto *item = qobject_cast<QAction *>(component))
            item->setChecked(IniReadBool(options, name, item->isChecked(), path));
        else if (auto *box = qobject_cast<QCheckBox *>(component))
            box->setChecked(IniReadBool(options, name, box->isChecked(), path));
    }
}

} // namespace kit_ini

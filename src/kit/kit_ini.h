#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class QObject;
class QWidget;

// Where the program keeps its state between runs, and the settings file: one value read or
// written per call, nothing cached. Every call on the file takes the file's path last; empty
// means GetIniPath().
namespace kit_ini {

// The application directory, ending in a separator: the executable's folder, as a portable copy
// keeps its state beside itself; the per-user folder when the executable's folder cannot take
// files (an installed copy). Both list files and the settings file live there.
QString GetAppDir();
// The same rule for an executable at the given path.
QString appDirFor(const QString &executablePath);

// Makes the application directory when it is the per-user one and does not exist yet; called
// before each write into it.
void makeAppDir();

// Tests point the application directory at a folder of their own; empty restores the rule.
void setAppDirForTests(const QString &folder);

// The executable's file name without its extension; the settings file's own section.
QString GetExeBaseName(bool upperCased = false);
// The settings file: the executable's file name with ".INI" for its extension, in the
// application directory.
QString GetIniPath();

// A missing file, or one that cannot be read, gives the default.
QString IniReadString(const QString &section, const QString &key, const QString &defaultValue,
                      const QString &path = {});
bool IniReadBool(const QString &section, const QString &key, bool defaultValue,
                 const QString &path = {});
// Raise kit::Error "Impossible d'écrire dans PATH" when the file cannot be read or written;
// it then stays as it was.
void IniWriteString(const QString &section, const QString &key, const QString &value,
                    const QString &path = {});
void IniWriteBool(const QString &section, const QString &key, bool value, const QString &path = {});

// While one lives, the values written are gathered, and read back, in memory; commit() writes
// each file once, and only when its text changed: a close that saves many values waits for the
// disk once rather than once a value. A file that cannot be read still raises at the write;
// one that cannot be written raises at commit(). What is not committed is dropped. One at a
// time, on the thread that writes the settings.
class WriteBatch {
public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch &) = delete;
    WriteBatch &operator=(const WriteBatch &) = delete;
    void commit();
};

QStringList SplitString(const QString &text, const QString &separator);

// The window's outer bounds on the screen as "Left:Top:Width:Height", under the window's name
// in the executable's section.
void SaveFormPos(QWidget *window, const QString &path = {});
// Restores them, clamped to the primary screen's available area (see applyFormPos). True when
// stored bounds were applied, false when the window kept its own (clamped all the same).
bool LoadFormPos(QWidget *window, const QString &path = {});
// Applies a stored geometry field by field: Left, moved back by the window's present width when
// it lies beyond the area's width; Top, at least 0; Width and Height, at most the area's.
// Nothing else is checked. A value of fewer than four fields changes nothing; a field that is
// not a whole number raises kit::Error, the fields before it applied.
bool applyFormPos(QWidget *window, const QString &stored, QSize workArea);

// The check marks of the menu items and the states of the check boxes among the components
// whose names contain "chk_" in any case, in the components' order, in section "OPTIONS".
void SaveChecks(const QList<QObject *> &components, const QString &path = {});
// Restores those whose names begin with exactly "chk_". A check box whose state changes emits
// its signals as a click would; a menu item's mark changes without triggering it.
void LoadChecks(const QList<QObject *> &components, const QString &path = {});

} // namespace kit_ini

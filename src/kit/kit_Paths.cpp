#include "kit_Paths.h"

namespace kit {

bool isUsablePath(const QString &path)
{
    return !path.isEmpty() && !path.contains(QChar(0)) &&
           !path.contains(QChar::ReplacementCharacter) && QStringView(path).isValidUtf16();
}

bool isDotName(QStringView name)
{
    return name == u"." || name == u"..";
}

bool isPathSeparator(QChar c, PathStyle style)
{
    if (style == PathStyle::Posix)
        return c == u'/';
    return c == u'\\' || c == u':';
}

namespace {

qsizetype lastSeparator(const QString &path, PathStyle style)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isPathSeparator(path[i], style))
            return i;
    }
    return -1;
}

// Only the true separator is trimmed: a Windows path ending in ':' names a drive's current
// folder, not a folder followed by a separator.
bool endsWithTrimmableSeparator(const QString &path, PathStyle style)
{
    return path.endsWith(style == PathStyle::Posix ? u'/' : u'\\');
}

} // namespace

QString folderPart(const QString &path, PathStyle style)
{
    return path.left(lastSeparator(path, style) + 1);
}

QString fileNamePart(const QString &path, PathStyle style)
{
    return path.mid(lastSeparator(path, style) + 1);
}

bool isAbsolutePath(const QString &path, PathStyle style)
{
    if (style == PathStyle::Posix)
        return path.startsWith(u'/');
    return path.startsWith(u'\\') || (path.size() >= 2 && path[1] == u':');
}

QString absolutePath(const QString &path, const QString &folder, PathStyle style)
{
    if (path.isEmpty() || isAbsolutePath(path, style))
        return path;
    const QChar separator = style == PathStyle::Posix ? u'/' : u'\\';
    return folder.endsWith(separator) ? folder + path : folder + separator + path;
}

QString applicationDir(const QString &executablePath, PathStyle style)
{
    QString dir = folderPart(executablePath, style);
    if (style == PathStyle::Windows) {
        for (QChar &c : dir) {
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() + 32);
        }
    }
    const QChar separator = style == PathStyle::Posix ? u'/' : u'\\';
    if (!dir.endsWith(separator))
        dir += separator;
    return dir;
}

QString withoutTrailingSeparator(const QString &path, PathStyle style)
{
    if (!endsWithTrimmableSeparator(path, style))
        return path;
    if (style == PathStyle::Posix && path.size() == 1)
        return path;
    return path.chopped(1);
}

FolderChainResult createFolderChain(const QString &path, PathStyle style, const FolderSystem &fs)
{
    const QString folder = withoutTrailingSeparator(path, style);
    if (!folder.isEmpty() && fs.folderExists(folder))
        return FolderChainResult::Exists;

    const QString parent = folderPart(folder, style);
    if (folder.size() < 3 || parent == folder)
        return fs.makeFolder(folder) ? FolderChainResult::Exists : FolderChainResult::Failed;
    if (parent.isEmpty())
        return FolderChainResult::RelativeName;

    const FolderChainResult parentResult = createFolderChain(parent, style, fs);
    if (parentResult != FolderChainResult::Exists)
        return parentResult;
    return fs.makeFolder(folder) ? FolderChainResult::Exists : FolderChainResult::Failed;
}

} // namespace kit

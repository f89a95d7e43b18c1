#include "kit_Filing.h"

#include "kit_Text.h"

namespace kit {

QString targetFolder(const QString &root, const QString &name, PathStyle style)
{
    const QChar separator = style == PathStyle::Windows ? u'\\' : u'/';
    QString target = root;
    if (target.isEmpty() || target.back() != separator)
        target += separator;
    if (style == PathStyle::Windows)
        return asciiUpper(target + name) + separator;
    return target + asciiUpper(name) + separator;
}

QString destinationPath(const QString &target, const QString &source, bool prefix,
                        const QString &name, PathStyle style)
{
    const QString fileName = fileNamePart(source, style);
    return prefix ? target + name + u'_' + fileName : target + fileName;
}

FolderValues valuesFromTarget(const QString &target, PathStyle style)
{
    QString text = target;
    if (text.endsWith(style == PathStyle::Windows ? u'\\' : u'/'))
        text.chop(1);
    return {fileNamePart(text, style), folderPart(text, style)};
}

} // namespace kit

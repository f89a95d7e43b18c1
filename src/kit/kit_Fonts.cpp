#include "kit_Fonts.h"

#include "kit_Platform.h"

#include <QFontDatabase>
#include <QStringList>

namespace kit_Fonts {

namespace {

void loadTahoma()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
    for (const QString &file : kit_Platform::windowFontFiles())
        QFontDatabase::addApplicationFont(file);
}

} // namespace

QFont windowFont()
{
    static const bool loaded = (loadTahoma(), true);
    Q_UNUSED(loaded);
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setPointSize(8);
    return font;
}

} // namespace kit_Fonts

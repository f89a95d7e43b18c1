#include "kit_Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace kit_Fonts {

namespace {

void loadTahoma()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/") +
                                          QLatin1String(file));
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

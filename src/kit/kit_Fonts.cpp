#include "kit_Fonts.h"

#include "kit_Platform.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QStringList>
#include <algorithm>

namespace kit_Fonts {

namespace {

// True when Tahoma can be drawn, from the system or from the files the platform names.
bool loadTahoma()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return true;
    bool loaded = false;
    for (const QString &file : kit_Platform::windowFontFiles())
        loaded = QFontDatabase::addApplicationFont(file) != -1 || loaded;
    return loaded;
}

} // namespace

QFont windowFont()
{
    static const bool tahoma = loadTahoma();
    QFont font;
    // Stand-ins only where Tahoma is missing: given a list, Qt asks fontconfig for every
    // fallback of each font as soon as it is loaded, which costs more than the window's text.
    if (tahoma)
        font.setFamily(QStringLiteral("Tahoma"));
    else
        font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                          QStringLiteral("Liberation Sans")});
    font.setPointSize(8);
    return font;
}

bool isThickenedBold(const QFont &font)
{
    if (font.weight() < QFont::Bold)
        return false;
    // Asked on every paint of bold text on a scaled screen: the font database is asked once per
    // family (fonts are a matter of the user-interface thread only).
    static QHash<QString, bool> withoutBoldFace;
    const QString family = QFontInfo(font).family();
    const auto known = withoutBoldFace.constFind(family);
    if (known != withoutBoldFace.constEnd())
        return *known;
    const QStringList styles = QFontDatabase::styles(family);
    const bool thickened = std::none_of(styles.cbegin(), styles.cend(), [&](const QString &style) {
        return QFontDatabase::bold(family, style);
    });
    withoutBoldFace.insert(family, thickened);
    return thickened;
}

QFont boldWindowFont()
{
    QFont font = windowFont();
    font.setBold(true);
    // A family without a bold face of its own is thickened by Qt, which keeps the regular
    // advances: the letters run into each other. Tahoma Bold is about 13% wider than Tahoma.
    if (isThickenedBold(font))
        font.setLetterSpacing(QFont::PercentageSpacing, 113);
    return font;
}

} // namespace kit_Fonts

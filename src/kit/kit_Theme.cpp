#include "kit_Theme.h"

#include "kit_Dialogs.h"
#include "kit_Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QStyleFactory>

namespace kit_Theme {

namespace {

QHash<QString, QString> &themes()
{
    static QHash<QString, QString> byName; // name -> resource path
    return byName;
}

QString declaredName(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read by hand: a regular expression would build and keep a matcher at every start.
    const QByteArray line = file.readLine();
    if (!line.startsWith("/*"))
        return {};
    const QByteArray rest = line.mid(2).trimmed();
    const qsizetype end = rest.indexOf("*/");
    if (!rest.startsWith("Theme:") || end < 0)
        return {};
    return QString::fromUtf8(rest.mid(6, end - 6).trimmed());
}

} // namespace

QStringList registerThemes(const QString &resourceDir)
{
    QStringList names;
    const QDir dir(resourceDir);
    // Filtered here: a name filter would load the regular expression engine for one suffix.
    for (const QString &entry : dir.entryList(QDir::Files)) {
        if (!entry.endsWith(QLatin1String(".qss"), Qt::CaseInsensitive))
            continue;
        const QString path = dir.filePath(entry);
        const QString name = declaredName(path);
        if (name.isEmpty())
            continue;
        themes().insert(name, path);
        names << name;
    }
    return names;
}

QStringList registeredThemes()
{
    return themes().keys();
}

bool TrySetStyle(const QString &name)
{
    const auto it = themes().constFind(name);
    QFile file(it == themes().constEnd() ? QString() : it.value());
    if (it == themes().constEnd() || !file.open(QIODevice::ReadOnly)) {
        kit_Dialogs::ShowErrorBox(QStringLiteral("Style '%1' non trouvé").arg(name));
        return false;
    }
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}

TRangeurStyle::TRangeurStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int TRangeurStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                             QStyleHintReturn *returnData) const
{
    if (hint == SH_ToolTip_WakeUpDelay)
        return 500;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void TRangeurStyle::drawItemText(QPainter *painter, const QRect &rect, int flags,
                                 const QPalette &palette, bool enabled, const QString &text,
                                 QPalette::ColorRole textRole) const
{
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
    // Qt thickens a font that has no bold face by a fraction of its size, which the hinting of
    // a one-to-one screen rounds up to a full pixel and the unhinted text of a scaled screen does
    // not: bold captions looked regular at twice the size. One more stroke, one device pixel to
    // the right, gives them the weight they have at 1x.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    if (ratio > 1.0 && kit_Fonts::isThickenedBold(painter->font())) {
        painter->save();
        painter->translate(1.0 / ratio, 0.0);
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        painter->restore();
    }
}

} // namespace kit_Theme

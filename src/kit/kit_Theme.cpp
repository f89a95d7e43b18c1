#include "kit_Theme.h"

#include "kit_Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
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
    static const QRegularExpression header(QStringLiteral(R"(^/\*\s*Theme:\s*(.*?)\s*\*/)"));
    const auto match = header.match(QString::fromUtf8(file.readLine()));
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QStringList registerThemes(const QString &resourceDir)
{
    QStringList names;
    const QDir dir(resourceDir);
    for (const QString &entry : dir.entryList({QStringLiteral("*.qss")}, QDir::Files)) {
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

} // namespace kit_Theme

#include "kit_TRAYICON.h"

#include "kit_Title.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QVariantMap>

namespace kit_TRAYICON {

namespace {

constexpr int displayMs = 10000;

bool trayCanShow(const QSystemTrayIcon *icon)
{
    return icon != nullptr && icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
           QSystemTrayIcon::supportsMessages();
}

// Sent without waiting for the answer: a service that hangs must not freeze the window, and
// where there is no service the bus answers an error that nobody needs to read.
void notifyDesktop(const QString &title, const QString &text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call.setAutoStartService(true);
    call << kit::programTitle() << uint(0) << QString() << title << markupEscaped(text)
         << QStringList() << QVariantMap() << displayMs;
    bus.send(call);
}

} // namespace

QString cutText(const QString &text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text;
    qsizetype end = maxUnits;
    if (end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
        --end;
    return text.left(end);
}

QString balloonTitle(const QString &title, const QString &executablePath)
{
    const QString shown =
        title.isEmpty() ? executablePath.mid(executablePath.lastIndexOf(u'/') + 1) : title;
    return cutText(shown, balloonTitleMax);
}

QString balloonText(const QString &text)
{
    return cutText(text, balloonTextMax);
}

QString markupEscaped(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        if (c == u'&')
            escaped += QStringLiteral("&amp;");
        else if (c == u'<')
            escaped += QStringLiteral("&lt;");
        else if (c == u'>')
            escaped += QStringLiteral("&gt;");
        else
            escaped += c;
    }
    return escaped;
}

namespace {
Catcher &catcher()
{
    static Catcher c;
    return c;
}
} // namespace

void setCatcher(Catcher c)
{
    catcher() = std::move(c);
}

void ShowBalloon(QSystemTrayIcon *icon, const QString &title, const QString &text)
{
    const QString shownTitle = balloonTitle(title, QCoreApplication::applicationFilePath());
    const QString shownText = balloonText(text);
    if (catcher())
        catcher()(shownTitle, shownText);
    else if (trayCanShow(icon))
        icon->showMessage(shownTitle, shownText, QSystemTrayIcon::NoIcon, displayMs);
    else
        notifyDesktop(shownTitle, shownText);
}

} // namespace kit_TRAYICON

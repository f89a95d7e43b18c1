#include "FakeNotifications.h"

#include <QDBusConnectionInterface>
#include <QMutexLocker>

namespace {

const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString connectionName = QStringLiteral("rangeur-test-notifications");

} // namespace

void NotificationsReceiver::setHeld(bool held)
{
    QMutexLocker lock(&m_mutex);
    m_held = held;
    if (!held)
        m_released.wakeAll();
}

QList<ReceivedNotification> NotificationsReceiver::received() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

uint NotificationsReceiver::Notify(QString appName, uint replacesId, QString appIcon,
                                   QString summary, QString body, QStringList actions,
                                   QVariantMap hints, int expireTimeout)
{
    QMutexLocker lock(&m_mutex);
    while (m_held)
        m_released.wait(&m_mutex);
    m_received.append({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    return uint(m_received.size());
}

FakeNotifications::FakeNotifications()
    : m_receiver(new NotificationsReceiver),
      m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName))
{
    m_receiver->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_receiver, &QObject::deleteLater);
    m_thread.start();
}

FakeNotifications::~FakeNotifications()
{
    release();
    if (m_started) {
        m_connection.unregisterService(serviceName);
        m_connection.unregisterObject(objectPath);
    }
    QDBusConnection::disconnectFromBus(connectionName);
    m_thread.quit();
    m_thread.wait();
}

bool FakeNotifications::start()
{
    if (!m_connection.isConnected()) {
        m_error = QStringLiteral("no session bus: ") + m_connection.lastError().message();
        return false;
    }
    if (!m_connection.registerObject(objectPath, m_receiver, QDBusConnection::ExportAllSlots)) {
        m_error = QStringLiteral("cannot export the object: ") + m_connection.lastError().message();
        return false;
    }
    if (!m_connection.registerService(serviceName)) {
        m_error = QStringLiteral("cannot own the name: ") + m_connection.lastError().message();
        m_connection.unregisterObject(objectPath);
        return false;
    }
    m_started = true;
    return true;
}

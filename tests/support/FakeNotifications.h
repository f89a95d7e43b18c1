#pragma once

#include <QDBusConnection>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <QWaitCondition>

// One call received by FakeNotifications.
struct ReceivedNotification {
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = 0;
};

// The object exported on the bus; it lives in the service's thread.
class NotificationsReceiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    void setHeld(bool held);
    QList<ReceivedNotification> received() const;

public slots:
    uint Notify(QString appName, uint replacesId, QString appIcon, QString summary, QString body,
                QStringList actions, QVariantMap hints, int expireTimeout);

private:
    mutable QMutex m_mutex;
    QWaitCondition m_released;
    bool m_held = false;
    QList<ReceivedNotification> m_received;
};

// A desktop notification service of the test's own, on the session bus (which must be a
// private one). It answers on a connection and in a thread of its own, so that calls reach it
// through the bus as they would reach another process, and it can be held to stand for a
// service that hangs: a held service takes calls but answers none until released.
class FakeNotifications {
public:
    FakeNotifications();
    ~FakeNotifications();
    FakeNotifications(const FakeNotifications &) = delete;
    FakeNotifications &operator=(const FakeNotifications &) = delete;

    // Takes the service's name on the bus; false, with the reason in errorText(), when it cannot.
    bool start();
    QString errorText() const { return m_error; }

    void hold() { m_receiver->setHeld(true); }
    void release() { m_receiver->setHeld(false); }
    QList<ReceivedNotification> received() const { return m_receiver->received(); }

private:
    QThread m_thread;
    NotificationsReceiver *m_receiver;
    QDBusConnection m_connection;
    bool m_started = false;
    QString m_error;
};

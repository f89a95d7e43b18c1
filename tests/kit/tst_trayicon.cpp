#include "FakeNotifications.h"
#include "PrivateSessionBus.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "kit_TRAYICON.h"
#include "kit_Title.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QtTest>
#include <memory>

using namespace kit_TRAYICON;

namespace {

const QString emoji = QStringLiteral("\U0001F600"); // a surrogate pair

QString times(qsizetype count, const QString &piece)
{
    return piece.repeated(count);
}

QString executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// The icon a case hands to ShowBalloon: none, one never shown, or one shown on a desktop that
// has no tray. The balloon must reach the notifications in all three.
std::unique_ptr<QSystemTrayIcon> makeIcon(const QString &kind)
{
    if (kind == u"none")
        return nullptr;
    auto icon = std::make_unique<QSystemTrayIcon>();
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    icon->setIcon(QIcon(pixmap));
    if (kind == u"shown")
        icon->show();
    return icon;
}

bool anyWindowVisible()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(),
                       [](const QWidget *w) { return w->isVisible(); });
}

// A blocking call waits for the bus's reply timeout, 25 s by default; ShowBalloon must come back
// well before.
constexpr qint64 returnsAtOnceMs = 5000;

} // namespace

class TestTrayIcon : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void shownTexts_data();
    void shownTexts();
    void desktopNotification_data();
    void desktopNotification();
    void serviceThatHangsFreezesNothing();
    void noServiceShowsNothing();
};

// The offscreen platform has no tray, and the bus must be the private one started for this
// test, which nobody else serves.
void TestTrayIcon::initTestCase()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), qPrintable(bus.lastError().message()));
    QVERIFY2(!bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")),
             "the session bus already has a notification service: not a private bus");
}

// Surrogate pairs: lengths count UTF-16 units, and a cut that would split a pair drops the
// whole character, leaving one unit less rather than half a character.
void TestTrayIcon::shownTexts_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<QString>("shownText");

    const QString a63 = times(63, "a");
    const QString t255 = times(255, "t");
    QTest::newRow("given title and text") << "Rangement"
                                          << "3 fichiers rangés"
                                          << "/usr/bin/rangeur"
                                          << "Rangement"
                                          << "3 fichiers rangés";
    QTest::newRow("empty title: executable's file name") << ""
                                                         << "x"
                                                         << "/usr/bin/rangeur"
                                                         << "rangeur"
                                                         << "x";
    QTest::newRow("empty title: the extension stays") << ""
                                                      << "x"
                                                      << "/opt/Ranger v2/Rangeur.bin.exe"
                                                      << "Rangeur.bin.exe"
                                                      << "x";
    QTest::newRow("blank title is a title") << " "
                                            << "x"
                                            << "/usr/bin/rangeur"
                                            << " "
                                            << "x";
    QTest::newRow("empty text stays empty") << "T"
                                            << ""
                                            << "/usr/bin/rangeur"
                                            << "T"
                                            << "";
    QTest::newRow("exact lengths kept") << a63 << t255 << "/r" << a63 << t255;
    QTest::newRow("one over: cut") << a63 + "b" << t255 + "u"
                                   << "/r" << a63 << t255;
    QTest::newRow("far over: cut")
        << times(300, "é") << times(1000, "ü") << "/r" << times(63, "é") << times(255, "ü");
    QTest::newRow("executable's long name cut")
        << ""
        << "x"
        << "/opt/" + times(70, "n") << times(63, "n") << "x";
    QTest::newRow("pair across the cut: dropped whole")
        << times(62, "a") + emoji << times(254, "t") + emoji << "/r" << times(62, "a")
        << times(254, "t");
    QTest::newRow("pair ending at the cut: kept")
        << times(61, "a") + emoji + "b" << times(253, "t") + emoji + "u"
        << "/r" << times(61, "a") + emoji << times(253, "t") + emoji;
    QTest::newRow("pairs only") << times(40, emoji) << times(200, emoji) << "/r" << times(31, emoji)
                                << times(127, emoji);
}

void TestTrayIcon::shownTexts()
{
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, executable);
    QFETCH(QString, shownTitle);
    QFETCH(QString, shownText);
    QCOMPARE(balloonTitle(title, executable), shownTitle);
    QCOMPARE(balloonText(text), shownText);
}

void TestTrayIcon::desktopNotification_data()
{
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("summary"); // %1: the executable's file name
    QTest::addColumn<QString>("body");

    QTest::newRow("no icon") << "none"
                             << "Rangement"
                             << "3 fichiers rangés dans FACTURES"
                             << "Rangement"
                             << "3 fichiers rangés dans FACTURES";
    QTest::newRow("hidden icon, empty title") << "hidden"
                                              << ""
                                              << "Terminé"
                                              << "%1"
                                              << "Terminé";
    QTest::newRow("icon shown without a tray") << "shown"
                                               << "Été ✓"
                                               << "Déjà là " + emoji << "Été ✓"
                                               << "Déjà là " + emoji;
    QTest::newRow("markup escaped in the body only")
        << "none"
        << "<b>A & B</b>"
        << "<i>x</i> < y > z & w"
        << "<b>A & B</b>"
        << "&lt;i&gt;x&lt;/i&gt; &lt; y &gt; z &amp; w";
    QTest::newRow("an entity is shown as written") << "none"
                                                   << "T"
                                                   << "&amp; &#60;"
                                                   << "T"
                                                   << "&amp;amp; &amp;#60;";
    QTest::newRow("cut before escaping")
        << "none" << times(70, "<") << times(300, "&") << times(63, "<") << times(255, "&amp;");
}

void TestTrayIcon::desktopNotification()
{
    QFETCH(QString, icon);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, summary);
    QFETCH(QString, body);
    FakeNotifications service;
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    const std::unique_ptr<QSystemTrayIcon> trayIcon = makeIcon(icon);

    ShowBalloon(trayIcon.get(), title, text);

    QTRY_COMPARE(service.received().size(), 1);
    const ReceivedNotification got = service.received().first();
    QCOMPARE(got.summary, summary.contains("%1") ? summary.arg(executableName()) : summary);
    QCOMPARE(got.body, body);
    QCOMPARE(got.expireTimeout, 10000);
    QCOMPARE(got.appName, kit::programTitle());
    QCOMPARE(got.replacesId, 0u);
    QCOMPARE(got.appIcon, QString());
    QCOMPARE(got.actions, QStringList());
    QCOMPARE(got.hints, QVariantMap());
}

// The service takes the call but does not answer until the balloon has been asked for: a
// blocking call would sit out the whole reply timeout.
void TestTrayIcon::serviceThatHangsFreezesNothing()
{
    FakeNotifications service;
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    service.hold();

    QElapsedTimer timer;
    timer.start();
    ShowBalloon(nullptr, "Bloqué", "Le service ne répond pas");
    const qint64 elapsed = timer.elapsed();
    service.release();

    QVERIFY2(elapsed < returnsAtOnceMs, qPrintable(QString::number(elapsed) + " ms"));
    QTRY_COMPARE(service.received().size(), 1);
    QCOMPARE(service.received().first().summary, QStringLiteral("Bloqué"));
}

// Nobody serves notifications: nothing is shown, no box, and a service that appears later gets
// the next balloon (and only that one).
void TestTrayIcon::noServiceShowsNothing()
{
    ScriptedDialogs dialogs;
    QSystemTrayIcon icon;

    QElapsedTimer timer;
    timer.start();
    ShowBalloon(&icon, "Perdu", "Personne n'écoute");
    QVERIFY2(timer.elapsed() < returnsAtOnceMs, qPrintable(QString::number(timer.elapsed())));
    QTest::qWait(200); // lets the bus's error answer come back
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(!anyWindowVisible());

    FakeNotifications service;
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ShowBalloon(&icon, "Trouvé", "Enfin");
    QTRY_COMPARE(service.received().size(), 1);
    QTest::qWait(200);
    QCOMPARE(service.received().size(), 1);
    QCOMPARE(service.received().first().summary, QStringLiteral("Trouvé"));
}

int main(int argc, char *argv[])
{
    runOnPrivateSessionBus(argv, PRIVATE_BUS_CONFIG);
    prepareTestProcess();
    QApplication app(argc, argv);
    TestTrayIcon tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_trayicon.moc"

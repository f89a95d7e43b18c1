// The settings file through the real window: what one run leaves, the next one finds.
#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "TForm1.h"
#include "WindowFixture.h"
#include "kit_App.h"
#include "kit_Error.h"
#include "kit_ini.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QtTest>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// How many times a file was put at its name (created, linked or renamed there) while `act` ran:
// each write of a settings file puts a whole new file there once.
int timesPutInPlace(const QString &path, const std::function<void()> &act)
{
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch < 0 || ::inotify_add_watch(watch, QFile::encodeName(QFileInfo(path).path()),
                                         IN_CREATE | IN_MOVED_TO) < 0)
        qFatal("cannot watch the folder of %s", qPrintable(path));
    act();
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    int times = 0;
    alignas(struct inotify_event) char buffer[16384];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char *p = buffer; p < buffer + n;) {
            const auto *event = reinterpret_cast<const struct inotify_event *>(p);
            if (event->len > 0 && name == event->name)
                ++times;
            p += sizeof(struct inotify_event) + event->len;
        }
    }
    ::close(watch);
    return times;
}

QString missingFolderWarning(const QString &folder)
{
    return QStringLiteral("ATTENTION le dossier demandé n'existe pas !\r\n\r\n") + folder;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void geometryRule_data();
    void geometryRule();
    void firstRunWritesTheWholeFile();
    void nextRunRestoresWhatTheUserLeft();
    void sameFolderOptionWithAStoredRoot_data();
    void sameFolderOptionWithAStoredRoot();
    void storedRootThatIsNoFolder_data();
    void storedRootThatIsNoFolder();
    void emptyNameIsStoredEmpty();
    void optionValues_data();
    void optionValues();
    void geometryThatIsNoNumber();
    void windowsFileIsReadAndKept();
    void ctrlWSavesAndKeepsTheWindow();
    void restoredNameIsSelected_data();
    void restoredNameIsSelected();
    void settingsThatCannotBeWritten_data();
    void settingsThatCannotBeWritten();

private:
    WindowFixture m_window{WindowFixture::Home::Fresh, WindowFixture::Boxes::Scripted};
    TForm1 &form() { return m_window.form(); }
    ScriptedDialogs &boxes() { return m_window.boxes(); }
    QString home(const QString &relative) const { return m_window.home().filePath(relative); }
    QString desktop() const { return home(QStringLiteral("Desktop/")); }
    QString iniPath() const { return kit_ini::GetIniPath(); }
    QString appFile(const QString &name) const { return kit_ini::GetAppDir() + name; }
    // The settings file with these lines, in the section of this executable's name as needed.
    void writeIni(const QString &text) { makeFile(iniPath(), text.toUtf8()); }
    TForm1 &start() { return m_window.makeForm({home(QStringLiteral("scans/a.pdf"))}); }
    // Closes the window and checks that it closed, as a run's end does.
    void closeForm();
};

void TestSettings::initTestCase()
{
    WindowFixture::setUpApplication();
}

void TestSettings::init()
{
    m_window.init();
    Unit1::SavedRootDir.clear(); // as at a program's start
}

void TestSettings::cleanup()
{
    m_window.cleanup();
}

void TestSettings::closeForm()
{
    QVERIFY(form().close());
    QVERIFY(!form().isVisible());
    kit::clearQuitRequest();
}

void TestSettings::geometryRule_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QRect>("bounds");
    // The window stands at 10,10 with 387 x 433 on an available area of 1920 x 1040.
    QTest::newRow("left beyond the area: back by the width it had")
        << "5000:20:400:300" << QRect(1920 - 387, 20, 400, 300);
    QTest::newRow("negative left stays, negative top becomes 0")
        << "-8:-8:400:300" << QRect(-8, 0, 400, 300);
    QTest::newRow("too wide") << "10:20:2500:300" << QRect(10, 20, 1920, 300);
    QTest::newRow("too high") << "10:20:400:1500" << QRect(10, 20, 400, 1040);
    QTest::newRow("right edge outside: as read") << "1800:0:400:300" << QRect(1800, 0, 400, 300);
    QTest::newRow("top below the area: as read") << "0:2000:400:300" << QRect(0, 2000, 400, 300);
    QTest::newRow("fields after the fourth ignored") << "1:2:300:200:x" << QRect(1, 2, 300, 200);
    QTest::newRow("two fields: nothing changes") << "100:100" << QRect(10, 10, 387, 433);
    QTest::newRow("empty: nothing changes") << "" << QRect(10, 10, 387, 433);
}

void TestSettings::geometryRule()
{
    QFETCH(QString, stored);
    QFETCH(QRect, bounds);
    QWidget window;
    window.setGeometry(10, 10, 387, 433);
    kit_ini::applyFormPos(&window, stored, QSize(1920, 1040));
    QCOMPARE(window.frameGeometry(), bounds);
}

// No settings and no lists: the design's state; the close writes the two sections and nine
// keys in their order, and both list files.
void TestSettings::firstRunWritesTheWholeFile()
{
    start();
    QVERIFY(boxes().shown.isEmpty());
    QCOMPARE(form().frameGeometry().topLeft(), QPoint(0, 0));
    QVERIFY(form().chk_SAME->isChecked() && form().chk_OPEN->isChecked() &&
            form().chk_PREFIX->isChecked());
    QVERIFY(!form().chk_Confirm->isChecked() && !form().chk_TRierDossier->isChecked() &&
            !form().chk_SORT->isChecked());
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QString());
    QCOMPARE(form().JvDirectoryEdit1->Directory(), desktop());
    QVERIFY(!QFile::exists(iniPath()));

    form().move(120, 80);
    form().EDIT_DOSSIER->setText(QStringLiteral("factures"));
    QDir().mkpath(QFileInfo(iniPath()).path());
    QCOMPARE(timesPutInPlace(iniPath(), [&] { closeForm(); }), 1);
    const QString size = QStringLiteral("%1:%2").arg(form().width()).arg(form().height());
    QCOMPARE(QString::fromUtf8(readAll(iniPath())), QStringLiteral("[tst_settings]\n"
                                                                   "Form1=120:80:%1\n"
                                                                   "[OPTIONS]\n"
                                                                   "chk_SAME=1\n"
                                                                   "chk_OPEN=1\n"
                                                                   "chk_PREFIX=1\n"
                                                                   "chk_Confirm=0\n"
                                                                   "chk_TRierDossier=0\n"
                                                                   "chk_SORT=0\n"
                                                                   "FICHIER=FACTURES\n"
                                                                   "DOSSIER=%2\n")
                                                        .arg(size, desktop()));
    QCOMPARE(readAll(appFile("CHEMINS.TXT")), QByteArray());
    QCOMPARE(readAll(appFile("DOSSIERS.TXT")), QByteArray());
}

// A second window finds what the first one left: geometry, options, name, root and both lists
// in the order of their files, though both "Trier" marks come back checked.
void TestSettings::nextRunRestoresWhatTheUserLeft()
{
    const QString root = home(QStringLiteral("Archives/"));
    QVERIFY(QDir().mkpath(root));
    start();
    form().setGeometry(30, 40, 420, 450);
    form().chk_OPEN->setChecked(false);
    form().chk_Confirm->setChecked(true);
    form().chk_TRierDossier->setChecked(true);
    form().chk_SORT->setChecked(true);
    form().EDIT_DOSSIER->setText(QStringLiteral("été"));
    form().JvDirectoryEdit1->setDirectory(root);
    closeForm();

    makeFile(appFile("DOSSIERS.TXT"), "ZZ\r\nAA\r\n");
    makeFile(appFile("CHEMINS.TXT"), "/z/\r\n/a/\r\n");
    start();
    QVERIFY(boxes().shown.isEmpty());
    QCOMPARE(form().frameGeometry(), QRect(30, 40, 420, 450));
    QVERIFY(form().chk_SAME->isChecked() && !form().chk_OPEN->isChecked() &&
            form().chk_PREFIX->isChecked() && form().chk_Confirm->isChecked());
    QVERIFY(form().chk_TRierDossier->isChecked() && form().chk_SORT->isChecked());
    QCOMPARE(form().EDIT_DOSSIER->entries(), (QStringList{"ZZ", "AA"}));
    QCOMPARE(form().JvCheckListBox1->count(), 2);
    QCOMPARE(form().JvCheckListBox1->item(0)->text(), QStringLiteral("/z/"));
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("ÉTÉ"));
    QCOMPARE(form().JvDirectoryEdit1->Directory(), root);
}

void TestSettings::sameFolderOptionWithAStoredRoot_data()
{
    QTest::addColumn<QString>("stored"); // the chk_SAME line, or none
    QTest::addColumn<bool>("checked");
    QTest::newRow("chk_SAME=0") << "chk_SAME=0\n" << false;
    QTest::newRow("chk_SAME=1") << "chk_SAME=1\n" << true;
    QTest::newRow("no key") << "" << true;
}

// Whatever "Même dossier" says, the root is the stored one, not the dropped files' folder; the
// saved root is the desktop.
void TestSettings::sameFolderOptionWithAStoredRoot()
{
    QFETCH(QString, stored);
    QFETCH(bool, checked);
    const QString root = home(QStringLiteral("Archives/"));
    QVERIFY(QDir().mkpath(root));
    writeIni(QStringLiteral("[OPTIONS]\n") + stored + QStringLiteral("DOSSIER=") + root + u'\n');
    start();
    QVERIFY(boxes().shown.isEmpty());
    QCOMPARE(form().chk_SAME->isChecked(), checked);
    QCOMPARE(form().JvDirectoryEdit1->Directory(), root);
    QCOMPARE(Unit1::SavedRootDir, desktop());
}

void TestSettings::storedRootThatIsNoFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("missing folder") << "/nonexistent/Archives/";
    QTest::newRow("a file") << "FILE";
    QTest::newRow("empty") << "";
}

// One warning, before the window shows; the root stays empty and the lists are still read.
void TestSettings::storedRootThatIsNoFolder()
{
    QFETCH(QString, stored);
    if (stored == QLatin1String("FILE")) {
        stored = home(QStringLiteral("file.txt"));
        makeFile(stored, "x");
    }
    writeIni(QStringLiteral("[OPTIONS]\nDOSSIER=") + stored + u'\n');
    makeFile(appFile("DOSSIERS.TXT"), "A\r\n");
    start();
    QCOMPARE(boxes().texts(), QStringList{missingFolderWarning(stored)});
    QCOMPARE(boxes().shown[0].kind, kit_Dialogs::TMsgDlgType::mtWarning);
    QVERIFY(!form().isVisible());
    QCOMPARE(form().JvDirectoryEdit1->Directory(), QString());
    QCOMPARE(form().EDIT_DOSSIER->entries(), QStringList{"A"});
}

// "FICHIER" present and empty reads back empty: the box's text is no default for it.
void TestSettings::emptyNameIsStoredEmpty()
{
    writeIni(QStringLiteral("[OPTIONS]\nFICHIER=ANCIEN\n"));
    start();
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("ANCIEN"));
    form().EDIT_DOSSIER->setText(QString());
    closeForm();
    QVERIFY(readAll(iniPath()).contains("\nFICHIER=\n"));
    start();
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QString());
}

void TestSettings::optionValues_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("known"); // false: each option keeps its design state
    QTest::addColumn<bool>("checked");
    QTest::newRow("2") << "2" << true << true;
    QTest::newRow("$1F") << "$1F" << true << true;
    QTest::newRow("0x0") << "0x0" << true << false;
    QTest::newRow("oui") << "oui" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

// Every option is read by its own name, the menu marks included.
void TestSettings::optionValues()
{
    QFETCH(QString, value);
    QFETCH(bool, known);
    QFETCH(bool, checked);
    const QStringList names{"chk_SAME",    "chk_OPEN",         "chk_PREFIX",
                            "chk_Confirm", "chk_TRierDossier", "chk_SORT"};
    const QList<bool> design{true, true, true, false, false, false};
    QString text = QStringLiteral("[options]\n");
    for (const QString &name : names)
        text += name.toUpper() + u'=' + value + u'\n';
    writeIni(text + QStringLiteral("DOSSIER=") + desktop() + u'\n');
    start();
    QList<bool> states;
    for (const QString &name : names) {
        QObject *option = form().findChild<QObject *>(name);
        states << option->property("checked").toBool();
    }
    QCOMPARE(states, known ? QList<bool>(6, checked) : design);
}

// The fields before the bad one apply, the error is shown, and the rest is still restored, so
// that the lists are read and never written back emptied.
void TestSettings::geometryThatIsNoNumber()
{
    writeIni(QStringLiteral("[tst_settings]\nForm1=50:1O:400:300\n[OPTIONS]\nFICHIER=FACTURES\n"));
    makeFile(appFile("DOSSIERS.TXT"), "A\r\n");
    start();
    QCOMPARE(boxes().texts(), QStringList{"''1O'' n'est pas une valeur entière valide."});
    QCOMPARE(form().frameGeometry().topLeft(), QPoint(50, 0));
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("FACTURES"));
    closeForm();
    QCOMPARE(readAll(appFile("DOSSIERS.TXT")), QByteArray("A\r\n"));
    QVERIFY(readAll(iniPath()).startsWith("[tst_settings]\nForm1=50:0:"));
}

// A file written by a Windows copy: read as it comes, rewritten in its encoding and line ends
// with every line the program does not own kept.
void TestSettings::windowsFileIsReadAndKept()
{
    const QString fixture = QFINDTESTDATA("../data/ini-windows-utf16le.INI");
    QVERIFY2(!fixture.isEmpty(), "test data missing");
    QVERIFY(QFile::copy(fixture, iniPath()));
    QVERIFY(QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner));
    start();
    QCOMPARE(boxes().texts(),
             QStringList{missingFolderWarning(R"(C:\Users\utilisateur\desktop\)")});
    QVERIFY(!form().chk_SAME->isChecked());
    QVERIFY(form().chk_Confirm->isChecked());
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("ÉTÉ 2024"));
    form().setGeometry(5, 6, 400, 410);
    closeForm();

    const QByteArray bytes = readAll(iniPath());
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    QString text(reinterpret_cast<const QChar *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    QCOMPARE(text, QStringLiteral("; Réglages écrits par la copie Windows\r\n"
                                  "[Rangeur]\r\n"
                                  "Form1=120:80:387:433\r\n"
                                  "\r\n"
                                  "[Outils]\r\n"
                                  "Dernier=C:\\Outils\\Rangeur.exe\r\n"
                                  "\r\n"
                                  "[OPTIONS]\r\n"
                                  "chk_SAME=0\r\n"
                                  "chk_Confirm=1\r\n"
                                  "FICHIER=ÉTÉ 2024\r\n"
                                  "DOSSIER=\r\n"
                                  "chk_OPEN=1\r\n"
                                  "chk_PREFIX=1\r\n"
                                  "chk_TRierDossier=0\r\n"
                                  "chk_SORT=0\r\n"
                                  "[tst_settings]\r\n"
                                  "Form1=5:6:400:410\r\n"));
}

// Ctrl+W writes everything at once and closes nothing; the close writes again.
void TestSettings::ctrlWSavesAndKeepsTheWindow()
{
    start();
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    form().EDIT_DOSSIER->setText(QStringLiteral("UN"));
    form().chk_Confirm->setFocus(); // leaving the box files nothing: its name is added
    QTest::keyClick(form().windowHandle(), Qt::Key_W, Qt::ControlModifier);
    QVERIFY(form().isVisible());
    QVERIFY(readAll(iniPath()).contains("\nFICHIER=UN\n"));
    QCOMPARE(readAll(appFile("CHEMINS.TXT")), QByteArray());
    QCOMPARE(readAll(appFile("DOSSIERS.TXT")), QByteArray("UN\r\n"));

    form().EDIT_DOSSIER->setText(QStringLiteral("DEUX"));
    form().chk_Confirm->setChecked(true);
    closeForm();
    QVERIFY(readAll(iniPath()).contains("\nchk_Confirm=1\n"));
    QVERIFY(readAll(iniPath()).contains("\nFICHIER=DEUX\n"));
}

void TestSettings::restoredNameIsSelected_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::newRow("typing replaces it") << "type";
    QTest::newRow("Enter files into it") << "enter";
}

void TestSettings::restoredNameIsSelected()
{
    QFETCH(QString, gesture);
    writeIni(QStringLiteral("[OPTIONS]\nchk_SAME=0\nFICHIER=FACTURES\nDOSSIER=") + desktop() +
             u'\n');
    start();
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    QCOMPARE(QApplication::focusWidget(), form().EDIT_DOSSIER);
    QCOMPARE(form().EDIT_DOSSIER->lineEdit()->selectedText(), QStringLiteral("FACTURES"));
    if (gesture == QLatin1String("type")) {
        typeText(form().windowHandle(), QStringLiteral("b"));
        QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("B"));
    } else {
        QTest::keyClick(form().windowHandle(), Qt::Key_Return);
        // The dropped file does not exist: its copy fails, but the target was made.
        QVERIFY(QFileInfo(desktop() + QStringLiteral("FACTURES")).isDir());
    }
}

void TestSettings::settingsThatCannotBeWritten_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("the settings file is a folder") << "folder";
    QTest::newRow("the program's folder is under a regular file") << "under file";
    QTest::newRow("a read-only mount") << "read-only";
}

// The error box, the window stays open and each close fails alike; nothing after the failed
// write is written, the lists included.
void TestSettings::settingsThatCannotBeWritten()
{
    QFETCH(QString, fault);
    std::unique_ptr<Tmpfs> mount;
    if (fault == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(iniPath()));
        makeFile(appFile("DOSSIERS.TXT"), "A\r\n");
    } else if (fault == QLatin1String("under file")) {
        makeFile(home(QStringLiteral("file")), "x");
        kit_ini::setAppDirForTests(home(QStringLiteral("file/app/")));
    } else {
        const QString folder = home(QStringLiteral("ro"));
        QVERIFY(QDir().mkpath(folder));
        mount = std::make_unique<Tmpfs>(folder, "size=64k");
        if (!mount->isMounted())
            QSKIP(qPrintable("cannot mount a tmpfs: " + mount->errorText()));
        QVERIFY(mount->remountReadOnly());
        kit_ini::setAppDirForTests(folder);
    }
    start();
    QVERIFY(boxes().shown.isEmpty());
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    const QString error = QStringLiteral("Impossible d'écrire dans %1.").arg(iniPath());
    QVERIFY(!form().close());
    QVERIFY(form().isVisible());
    QCOMPARE(boxes().texts(), QStringList{error});
    QVERIFY(!form().close());
    QCOMPARE(boxes().texts(), QStringList(2, error));
    QCOMPARE(boxes().shown[1].kind, kit_Dialogs::TMsgDlgType::mtError);
    QVERIFY(!QFile::exists(appFile("CHEMINS.TXT")));
    if (fault == QLatin1String("folder")) {
        QCOMPARE(readAll(appFile("DOSSIERS.TXT")), QByteArray("A\r\n"));
        QCOMPARE(QDir(kit_ini::GetAppDir()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList{"DOSSIERS.TXT"});
    }
    form().hide(); // the fixture tears the window down without closing it
}

RANGEUR_FS_TEST_MAIN(TestSettings)
#include "tst_settings.moc"

// The program entry and the window's lifecycle, run in-process through the real entry.
#include "FileHelpers.h"
#include "Rangeur.h"
#include "ScriptedDialogs.h"
#include "TForm1.h"
#include "TestEnvironment.h"
#include "kit_App.h"
#include "kit_Browse.h"
#include "kit_Error.h"
#include "kit_Theme.h"
#include "kit_Title.h"
#include "widgets/TAction.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QtTest>
#include <memory>

using kit_Dialogs::TModalResult;

namespace {

const QString kRefusal = QStringLiteral(
    "RIEN A COPIER\r\n\r\nCe programme ne peut être appelé directement !\r\n\r\nVous devez "
    "déposer un ou plusieurs fichiers sur l'icône du programme pour l'ouvrir");

// What the test saw of the window while the program ran.
struct Observed {
    QString caption;
    int saves = 0;
    bool shown = false;
};

// Runs the real entry; `whileShown` acts on the window once it is visible. A watchdog ends a
// loop that would otherwise never end, so that a broken close path fails instead of hanging.
int runProgram(const QStringList &files, Observed &seen,
               const std::function<void(TForm1 &)> &whileShown = {}, bool askForFiles = false)
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(15000);
    RunOptions options;
    options.askForFiles = askForFiles;
    options.onShown = [&](TForm1 &form) {
        seen.shown = form.isVisible();
        seen.caption = form.GroupBox1->title();
        QObject::connect(form.INI_SAVE, &TAction::executing, [&seen] { ++seen.saves; });
        if (whileShown)
            whileShown(form);
    };
    const int code = runRangeur(*qApp, files, options);
    if (timedOut)
        qWarning("the event loop did not end by itself");
    return timedOut ? -1 : code;
}

// True when a file whose path holds `part` (in any case) is mapped into this process.
bool mapped(const QByteArray &part)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().toLower().contains(part);
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loadsNoSvgAndGioOnlyWhenNeeded();
    void refusalWithoutFiles();
    void menuStartAsksForFiles_data();
    void menuStartAsksForFiles();
    void captionCountsFiles_data();
    void captionCountsFiles();
    void typedTextGoesIntoFolderNameBox();
    void everyCloseRunsTheCloseEvent_data();
    void everyCloseRunsTheCloseEvent();
    void errorInCloseKeepsWindowOpen();
    void errorInHandlerIsShownAndProgramGoesOn();
    void themeIsAppliedOrReported();
    void trayIconCarriesTheTitle();

private:
    std::unique_ptr<TestHome> m_home;
};

void TestStartup::init()
{
    m_home = std::make_unique<TestHome>();
}

void TestStartup::cleanup()
{
    kit::clearQuitRequest();
    m_home.reset();
}

// First of the cases: GIO, once loaded, stays for the rest of the process.
void TestStartup::loadsNoSvgAndGioOnlyWhenNeeded()
{
    ScriptedDialogs boxes;
    const QString document = m_home->filePath(QStringLiteral("a.pdf"));
    makeFile(document, "a");
    const QString link = m_home->filePath(QStringLiteral("link.pdf"));
    QVERIFY(QFile::link(document, link));
    Observed seen;
    bool gioBeforePaint = true;
    bool svgOncePainted = true;
    bool gioOncePainted = true;
    runProgram({document}, seen, [&](TForm1 &form) {
        gioBeforePaint = mapped("libgio-2.0");
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        svgOncePainted = mapped("libqt6svg");
        QTest::qWait(500); // the warm-up's time
        gioOncePainted = mapped("libgio-2.0");
        form.btnCancel->click();
    });
    QVERIFY2(!gioBeforePaint, "GIO is loaded on first need, not at start");
    QVERIFY2(!svgOncePainted, "the pictures are drawn without Qt's SVG renderer");
    QVERIFY2(!gioOncePainted, "a document our own trash writer takes needs no GIO");

    // A link goes to the trash through GIO, loaded in the background once the window painted.
    Observed again;
    runProgram({link}, again, [&](TForm1 &form) {
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.btnCancel->click();
    });
    QTRY_VERIFY2(mapped("libgio-2.0"), "GIO is loaded in the background once the window painted");
}

void TestStartup::refusalWithoutFiles()
{
    // Without a desktop folder, loading would warn; under the pending quit that box ends at once.
    QVERIFY(QDir(m_home->filePath(QStringLiteral("Desktop"))).removeRecursively());
    ScriptedDialogs boxes;
    Observed seen;
    const QStringList before =
        QDir(m_home->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(runProgram({}, seen), 0);
    QCOMPARE(boxes.texts(), QStringList{kRefusal});
    QCOMPARE(boxes.shown[0].caption, kit::programTitle());
    QVERIFY2(seen.shown, "the window is still shown before the loop ends");
    QCOMPARE(seen.caption,
             QStringLiteral("DOSSIER: Entrez le nom du DOSSIER où ranger ces 0 fichiers"));
    QCOMPARE(seen.saves, 0);
    QCOMPARE(QDir(m_home->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             before);
}

// A start from the desktop entry: the chooser stands in for the drop. Chosen files start the
// usual run; a cancelled chooser ends the run with nothing read, shown or written.
void TestStartup::menuStartAsksForFiles_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("caption"); // empty: no window
    QTest::newRow("two chosen") << QStringList{} << false << true
                                << "DOSSIER: Entrez le nom du DOSSIER où ranger ces 2 fichiers";
    QTest::newRow("cancelled") << QStringList{} << true << true << "";
    QTest::newRow("files given: not asked")
        << QStringList{"/nonexistent/a.pdf"} << false << false
        << "DOSSIER: Entrez le nom du DOSSIER où ranger ce fichier";
}

void TestStartup::menuStartAsksForFiles()
{
    QFETCH(QStringList, given);
    QFETCH(bool, cancel);
    QFETCH(bool, asked);
    QFETCH(QString, caption);
    ScriptedDialogs boxes;
    QList<kit_Browse::FolderRequest> requests;
    kit_Browse::setFilesResponder([&](const kit_Browse::FolderRequest &request) {
        requests << request;
        return cancel ? std::nullopt
                      : std::optional<QStringList>({"/nonexistent/a.pdf", "/nonexistent/b.pdf"});
    });
    const QStringList before =
        QDir(m_home->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    Observed seen;
    const int code = runProgram(
        given, seen, [](TForm1 &form) { form.btnCancel->click(); }, true);
    kit_Browse::setFilesResponder({});
    QCOMPARE(code, 0);
    QCOMPARE(requests.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(requests[0].instruction, QStringLiteral("Choisir les fichiers à ranger"));
        QCOMPARE(requests[0].startFolder, m_home->path() + QStringLiteral("/Desktop/"));
    }
    QCOMPARE(seen.caption, caption);
    QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.texts().join(" | ")));
    if (caption.isEmpty()) {
        QVERIFY2(!seen.shown, "a cancelled chooser shows no window");
        QCOMPARE(
            QDir(m_home->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            before);
    } else {
        QCOMPARE(seen.saves, 1);
    }
}

void TestStartup::captionCountsFiles_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("caption");
    QTest::newRow("one") << QStringList{"/nonexistent/a.pdf"}
                         << "DOSSIER: Entrez le nom du DOSSIER où ranger ce fichier";
    QTest::newRow("two") << QStringList{"/nonexistent/a.pdf", "/nonexistent/b.pdf"}
                         << "DOSSIER: Entrez le nom du DOSSIER où ranger ces 2 fichiers";
    QTest::newRow("three") << QStringList{"/a", "/b", "/c"}
                           << "DOSSIER: Entrez le nom du DOSSIER où ranger ces 3 fichiers";
}

void TestStartup::captionCountsFiles()
{
    QFETCH(QStringList, files);
    QFETCH(QString, caption);
    ScriptedDialogs boxes;
    Observed seen;
    QCOMPARE(runProgram(files, seen, [](TForm1 &form) { form.btnCancel->click(); }), 0);
    QCOMPARE(seen.caption, caption);
    QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.texts().join(" | ")));
}

void TestStartup::typedTextGoesIntoFolderNameBox()
{
    ScriptedDialogs boxes;
    Observed seen;
    QString typed;
    int tab = -1;
    runProgram({"/nonexistent/a.pdf"}, seen, [&](TForm1 &form) {
        form.PageControl1->setCurrentIndex(1); // FormShow must bring the first tab back
        form.hide();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        tab = form.PageControl1->currentIndex();
        // Keys go to the window, which hands them to whatever has the focus.
        typeText(form.windowHandle(), QStringLiteral("factures été"));
        typed = form.EDIT_DOSSIER->currentText();
        form.btnCancel->click();
    });
    QCOMPARE(tab, 0);
    QCOMPARE(typed, QStringLiteral("FACTURES ÉTÉ"));
}

void TestStartup::everyCloseRunsTheCloseEvent_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Abandonner") << 0;
    QTest::newRow("close box") << 1;
    QTest::newRow("close box with the keyboard focus in the folder-name box") << 2;
}

void TestStartup::everyCloseRunsTheCloseEvent()
{
    QFETCH(int, way);
    ScriptedDialogs boxes;
    Observed seen;
    QCOMPARE(runProgram({"/nonexistent/a.pdf"}, seen,
                        [way](TForm1 &form) {
                            QVERIFY(QTest::qWaitForWindowActive(&form));
                            if (way == 0)
                                QTest::mouseClick(form.btnCancel, Qt::LeftButton);
                            else
                                form.windowHandle()->close();
                        }),
             0);
    QCOMPARE(seen.saves, 1);
}

void TestStartup::errorInCloseKeepsWindowOpen()
{
    ScriptedDialogs boxes;
    Observed seen;
    bool stillOpen = false;
    bool quitPending = true;
    QCOMPARE(runProgram({"/nonexistent/a.pdf"}, seen,
                        [&](TForm1 &form) {
                            form.INI_SAVE->setOnExecute([] {
                                throw kit::Error(QStringLiteral(
                                    "Impossible d'écrire dans /lecture-seule/rangeur.INI"));
                            });
                            form.btnCancel->click();
                            form.windowHandle()->close();
                            stillOpen = form.isVisible();
                            quitPending = kit::quitRequested();
                            form.INI_SAVE->setOnExecute({}); // the cause goes away
                            form.btnCancel->click();
                        }),
             0);
    QVERIFY2(stillOpen, "a failed save abandons the close");
    QVERIFY2(!quitPending, "no quit request after a failed close");
    QCOMPARE(boxes.texts(), QStringList(2, "Impossible d'écrire dans /lecture-seule/rangeur.INI."));
    QCOMPARE(seen.saves, 3);
}

void TestStartup::errorInHandlerIsShownAndProgramGoesOn()
{
    ScriptedDialogs boxes;
    Observed seen;
    bool stillShown = false;
    bool quitPending = true;
    runProgram({"/nonexistent/a.pdf"}, seen, [&](TForm1 &form) {
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.INI_SAVE->setOnExecute([] { throw std::runtime_error("disque plein"); });
        QTest::keyClick(form.windowHandle(), Qt::Key_W, Qt::ControlModifier);
        stillShown = form.isVisible();
        quitPending = kit::quitRequested();
        form.INI_SAVE->setOnExecute({});
        form.btnCancel->click();
    });
    QVERIFY2(stillShown, "the window stays after the error");
    QVERIFY2(!quitPending, "the program is not asked to end by the error");
    QCOMPARE(boxes.texts(), QStringList{"disque plein."});
}

void TestStartup::themeIsAppliedOrReported()
{
    ScriptedDialogs boxes;
    Observed seen;
    runProgram({"/nonexistent/a.pdf"}, seen, [](TForm1 &form) { form.btnCancel->click(); });
    QVERIFY(kit_Theme::registeredThemes().contains(QStringLiteral("Metropolis UI Blue")));
    QVERIFY2(qApp->styleSheet().startsWith(QStringLiteral("/* Theme: Metropolis UI Blue */")),
             "the theme is applied at start");

    kit::clearQuitRequest(); // the finished run left its request behind
    const QString applied = qApp->styleSheet();
    QVERIFY(!kit_Theme::TrySetStyle(QStringLiteral("Absent")));
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Style 'Absent' non trouvé.")});
    QCOMPARE(qApp->styleSheet(), applied);
}

void TestStartup::trayIconCarriesTheTitle()
{
    ScriptedDialogs boxes;
    Observed seen;
    QString tooltip;
    bool visible = false;
    bool hasIcon = false;
    runProgram({"/nonexistent/a.pdf"}, seen, [&](TForm1 &form) {
        tooltip = form.TrayIcon1->toolTip();
        visible = form.TrayIcon1->isVisible();
        hasIcon = !form.TrayIcon1->icon().isNull();
        form.btnCancel->click();
    });
    QCOMPARE(tooltip, kit::programTitle());
    QVERIFY2(visible, "the tray icon is shown");
    QVERIFY2(hasIcon, "the tray icon has its picture");
}

RANGEUR_TEST_MAIN(TestStartup)
#include "tst_startup.moc"

// The filing run through the real window, on real files, with the real trash of a private home.
#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "OpenedUrls.h"
#include "TForm1.h"
#include "WindowFixture.h"
#include "kit_App.h"
#include "kit_Error.h"
#include "kit_FILE.h"
#include "kit_ListFile.h"
#include "kit_Text.h"
#include "kit_Title.h"
#include "kit_ini.h"
#include "widgets/TAction.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"
#include "widgets/TGauge.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QtTest>
#include <atomic>
#include <memory>
#include <optional>
#include <sched.h>

using kit_Dialogs::TModalResult;

namespace {

// Keeps this thread, and the threads it starts, on one processor while it lives.
class OnOneProcessor {
public:
    OnOneProcessor()
    {
        ::sched_getaffinity(0, sizeof m_saved, &m_saved);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &m_saved)) {
                CPU_SET(cpu, &one);
                break;
            }
        }
        ::sched_setaffinity(0, sizeof one, &one);
    }
    ~OnOneProcessor() { ::sched_setaffinity(0, sizeof m_saved, &m_saved); }
    OnOneProcessor(const OnOneProcessor &) = delete;
    OnOneProcessor &operator=(const OnOneProcessor &) = delete;

private:
    cpu_set_t m_saved;
};

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QString failure(const QString &source, const QString &destination)
{
    return QStringLiteral("Echec copie :\r\n\r\n") + source +
           QStringLiteral("\r\n\r\nvers\r\n\r\n") + destination;
}

} // namespace

class TestFilingRun : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void movesEveryFile_data();
    void movesEveryFile();
    void confirmationDecidesPerFile();
    void everyFileDeclinedStillFilesTheFolder();
    void emptyNameWarnsAndKeepsTheWindow();
    void failedCopiesAreReportedAndTouchNothing_data();
    void failedCopiesAreReportedAndTouchNothing();
    void targetThatCannotBeMade();
    void relativeRootIsAnErrorBeforeAnythingIsTouched();
    void emptyRootUsesATopFolderButNeverMakesIt_data();
    void emptyRootUsesATopFolderButNeverMakesIt();
    void replacedFilesGoToTheTrash();
    void targetKnownInAnotherCaseIsNotAddedAgain();
    void namesAListCannotHoldAreFiledButNotListed_data();
    void namesAListCannotHoldAreFiledButNotListed();
    void gaugeFollowsTheFiles();
    void errorInTheLoopHidesTheGaugeAndKeepsTheWindow();
    void focusCases_data();
    void focusCases();
    void racesAreReportedAndLoseNothing_data();
    void racesAreReportedAndLoseNothing();
    void windowPaintsAndTakesNoInputDuringACopy();
    void failuresAreReportedInOrderAndHoldTheWork_data();
    void failuresAreReportedInOrderAndHoldTheWork();

private:
    // The trash needs the process's home; the boxes are every test's own business here.
    WindowFixture m_window{WindowFixture::Home::Process, WindowFixture::Boxes::Scripted};
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<OpenedUrls> m_opened;
    TForm1 &form() { return m_window.form(); }
    ScriptedDialogs &boxes() { return m_window.boxes(); }
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    void makeForm(const QStringList &files, const QString &name, const QString &root);
    void pressOK() { form().btnOK->click(); }
};

void TestFilingRun::init()
{
    // Under the private home, so that sources and trash share a file system.
    m_dir = std::make_unique<QTemporaryDir>(QDir::home().filePath(QStringLiteral("work-XXXXXX")));
    QVERIFY(m_dir->isValid());
    m_window.init();
    m_opened = std::make_unique<OpenedUrls>();
}

void TestFilingRun::cleanup()
{
    m_window.cleanup();
    m_opened.reset();
    m_dir.reset();
}

void TestFilingRun::makeForm(const QStringList &files, const QString &name, const QString &root)
{
    TForm1 &window = m_window.makeForm(files);
    window.EDIT_DOSSIER->setText(name);
    window.JvDirectoryEdit1->setDirectory(root);
    window.show();
}

void TestFilingRun::movesEveryFile_data()
{
    QTest::addColumn<bool>("prefix");
    QTest::addColumn<QStringList>("names");
    const QStringList three{"a.pdf", "Relevé 100%.txt", "notes"};
    QTest::newRow("Préfixer on") << true << three;
    QTest::newRow("Préfixer off") << false << three;
    // Moved on the window's thread, without the queue's threads.
    QTest::newRow("one small file") << false << QStringList{"Relevé 100%.txt"};
}

void TestFilingRun::movesEveryFile()
{
    QFETCH(bool, prefix);
    QFETCH(QStringList, names);
    QStringList sources;
    for (const QString &n : names) {
        sources << path(QStringLiteral("Scans/") + n);
        makeFile(sources.last(), n.toUtf8() + " contents");
    }
    makeForm(sources, QStringLiteral("factures"), path(QStringLiteral("Racine")));
    form().chk_PREFIX->setChecked(prefix);
    pressOK();

    const QString target = path(QStringLiteral("Racine/FACTURES/"));
    for (const QString &n : names) {
        const QString copy = target + (prefix ? QStringLiteral("FACTURES_") : QString()) + n;
        QCOMPARE(readAll(copy), n.toUtf8() + " contents");
        const QString source = path(QStringLiteral("Scans/") + n);
        QVERIFY2(!QFile::exists(source), qPrintable(source));
        const QString trashed = trashedEntryFor(source);
        QVERIFY2(!trashed.isEmpty(), qPrintable("not in the trash: " + source));
        QCOMPARE(readAll(trashed), n.toUtf8() + " contents");
    }
    QString error;
    const QStringList listed = trashListOriginalPaths(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (const QString &n : names)
        QVERIFY2(listed.contains(path(QStringLiteral("Scans/") + n)), qPrintable(n));
    QCOMPARE(boxes().shown.size(), 0);
    QCOMPARE(m_opened->urls, QList<QUrl>{QUrl::fromLocalFile(target)});
    QCOMPARE(form().JvCheckListBox1->count(), 1);
    QCOMPARE(form().JvCheckListBox1->item(0)->text(), target);
    QVERIFY2(!form().isVisible(), "the window closed");
    QVERIFY2(kit::quitRequested(), "the program is asked to end");
}

void TestFilingRun::confirmationDecidesPerFile()
{
    const QStringList sources{path("in/1.txt"), path("in/2.txt"), path("in/3.txt")};
    for (const QString &s : sources)
        makeFile(s, "x");
    makeForm(sources, QStringLiteral("F"), path(QStringLiteral("out")));
    form().chk_Confirm->setChecked(true);
    form().chk_PREFIX->setChecked(false);
    boxes().answers = {TModalResult::mrOk, TModalResult::mrCancel, TModalResult::mrOk};
    pressOK();
    const QString target = path(QStringLiteral("out/F/"));
    QCOMPARE(boxes().texts(), (QStringList{sources[0] + "\r\n" + target + "1.txt",
                                           sources[1] + "\r\n" + target + "2.txt",
                                           sources[2] + "\r\n" + target + "3.txt"}));
    QCOMPARE(boxes().shown[0].caption, QStringLiteral("Confirmer"));
    QVERIFY2(QFile::exists(target + "1.txt"), "confirmed: copied");
    QVERIFY2(!QFile::exists(sources[0]), "confirmed: moved away");
    QVERIFY2(!QFile::exists(target + "2.txt"), "declined: not copied");
    QVERIFY2(QFile::exists(sources[1]), "declined: left in place");
    QVERIFY2(QFile::exists(target + "3.txt"), "confirmed after a refusal: copied");
    QVERIFY2(!QFile::exists(sources[2]), "confirmed after a refusal: moved away");
}

void TestFilingRun::everyFileDeclinedStillFilesTheFolder()
{
    const QStringList sources{path("in/1.txt"), path("in/2.txt")};
    for (const QString &s : sources)
        makeFile(s, "x");
    makeForm(sources, QStringLiteral("F"), path(QStringLiteral("out")));
    form().chk_Confirm->setChecked(true);
    boxes().answers = {TModalResult::mrCancel, TModalResult::mrCancel};
    pressOK();
    const QString target = path(QStringLiteral("out/F/"));
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(QDir(target).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
    QVERIFY2(QFile::exists(sources[0]), "the first declined file is left in place");
    QVERIFY2(QFile::exists(sources[1]), "the second declined file is left in place");
    QCOMPARE(m_opened->urls, QList<QUrl>{QUrl::fromLocalFile(target)});
    QCOMPARE(form().JvCheckListBox1->count(), 1);
    QVERIFY(!form().isVisible());
}

void TestFilingRun::emptyNameWarnsAndKeepsTheWindow()
{
    makeFile(path("in/1.txt"), "x");
    makeForm({path("in/1.txt")}, QString(), path(QStringLiteral("out")));
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    form().chk_PREFIX->setFocus();
    pressOK();
    QCOMPARE(boxes().texts(),
             QStringList{"Vous devez donner un NOM DE DOSSIER où ranger le(s) fichier(s)!"});
    QCOMPARE(boxes().shown[0].caption, QStringLiteral("Avertissement"));
    QCOMPARE(QApplication::focusWidget(), form().EDIT_DOSSIER);
    QVERIFY(!QFileInfo::exists(path("out")));
    QVERIFY2(form().isVisible(), "the window stays");
    QVERIFY2(!kit::quitRequested(), "the program is not asked to end");
}

void TestFilingRun::failedCopiesAreReportedAndTouchNothing_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("destination");
    QTest::newRow("a dropped folder") << "in/sub"
                                      << "out/F/sub";
    QTest::newRow("a missing source") << "in/gone.txt"
                                      << "out/F/gone.txt";
    QTest::newRow("a file already in the target, copied onto itself") << "out/F/here.txt"
                                                                      << "out/F/here.txt";
}

void TestFilingRun::failedCopiesAreReportedAndTouchNothing()
{
    QFETCH(QString, dropped);
    QFETCH(QString, destination);
    QDir().mkpath(path("in/sub"));
    makeFile(path("out/F/here.txt"), "here");
    makeFile(path("in/ok.txt"), "ok");
    makeForm({path(dropped), path("in/ok.txt")}, QStringLiteral("F"), path("out"));
    form().chk_PREFIX->setChecked(false);
    pressOK();
    QCOMPARE(boxes().texts(), QStringList{failure(path(dropped), path(destination))});
    QCOMPARE(boxes().shown[0].caption, kit::programTitle());
    QCOMPARE(trashedEntryFor(path(dropped)), QString());
    QVERIFY(QDir(path("in/sub")).exists());
    QCOMPARE(readAll(path("out/F/here.txt")), QByteArray("here"));
    QCOMPARE(readAll(path("out/F/ok.txt")), QByteArray("ok")); // the run went on
    QVERIFY(!form().isVisible());
}

void TestFilingRun::targetThatCannotBeMade()
{
    makeFile(path("in/1.txt"), "1");
    makeFile(path("in/2.txt"), "2");
    makeFile(path("blocker"), "a regular file where a folder should be");
    makeForm({path("in/1.txt"), path("in/2.txt")}, QStringLiteral("F"), path("blocker/root"));
    pressOK();
    const QString target = path("blocker/root/F/");
    QCOMPARE(boxes().texts(),
             (QStringList{"Echec de création du dossier \r\n\r\nDOSSIER=\"" + target + "\"",
                          failure(path("in/1.txt"), target + "F_1.txt"),
                          failure(path("in/2.txt"), target + "F_2.txt")}));
    QVERIFY2(QFile::exists(path("in/1.txt")), "the first file is left in place");
    QVERIFY2(QFile::exists(path("in/2.txt")), "the second file is left in place");
    QCOMPARE(m_opened->urls, QList<QUrl>{QUrl::fromLocalFile(target)});
    QCOMPARE(form().JvCheckListBox1->count(), 1);
    QVERIFY(!form().isVisible());
}

void TestFilingRun::relativeRootIsAnErrorBeforeAnythingIsTouched()
{
    makeFile(path("in/1.txt"), "1");
    QVERIFY(QDir::setCurrent(m_dir->path()));
    makeForm({path("in/1.txt")}, QStringLiteral("F"), QStringLiteral("relatif"));
    pressOK();
    QCOMPARE(boxes().texts(), QStringList{"Impossible de créer le répertoire."});
    QCOMPARE(boxes().shown[0].caption, kit::programTitle());
    QVERIFY(!QFileInfo::exists(path("relatif")));
    QVERIFY(QFile::exists(path("in/1.txt")));
    QVERIFY(form().Gauge1->isHidden());
    QVERIFY2(form().isVisible(), "the window stays");
    QVERIFY2(!kit::quitRequested(), "the program is not asked to end");
    QCOMPARE(form().JvCheckListBox1->count(), 0);
    QVERIFY(m_opened->urls.isEmpty());
}

void TestFilingRun::emptyRootUsesATopFolderButNeverMakesIt_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing: reported, never made") << false;
    QTest::newRow("existing: used") << true;
}

void TestFilingRun::emptyRootUsesATopFolderButNeverMakesIt()
{
    QFETCH(bool, exists);
    const QString name = QStringLiteral("rangeur-vide-%1").arg(QCoreApplication::applicationPid());
    const QString target =
        QStringLiteral("/RANGEUR-VIDE-%1/").arg(QCoreApplication::applicationPid());
    QVERIFY2(!QFileInfo::exists(target), qPrintable(target + " is left from elsewhere"));
    if (exists && !QDir().mkdir(target))
        QSKIP("a folder at the top of the file system cannot be made here");
    const auto removeTarget = qScopeGuard([&] { QDir(target).removeRecursively(); });
    makeFile(path("in/1.txt"), "1");
    makeForm({path("in/1.txt")}, name, QString());
    form().chk_PREFIX->setChecked(false);
    pressOK();
    if (exists) {
        QCOMPARE(boxes().texts(), QStringList{});
        QCOMPARE(readAll(target + "1.txt"), QByteArray("1"));
        QVERIFY2(!QFile::exists(path("in/1.txt")), "the file was moved");
    } else {
        QCOMPARE(boxes().texts(),
                 (QStringList{"Echec de création du dossier \r\n\r\nDOSSIER=\"" + target + "\"",
                              failure(path("in/1.txt"), target + "1.txt")}));
        QVERIFY2(!QFileInfo::exists(target), "no folder is made at the top of the file system");
        QCOMPARE(readAll(path("in/1.txt")), QByteArray("1"));
    }
    QVERIFY2(!form().isVisible(), "the run ends as usual");
}

void TestFilingRun::replacedFilesGoToTheTrash()
{
    makeFile(path("one/a.txt"), "first");
    makeFile(path("two/a.txt"), "second");
    makeFile(path("out/F/b.txt"), "old b");
    makeFile(path("in/b.txt"), "new b");
    makeForm({path("one/a.txt"), path("two/a.txt"), path("in/b.txt")}, QStringLiteral("F"),
             path("out"));
    form().chk_PREFIX->setChecked(false);
    pressOK();
    QCOMPARE(boxes().shown.size(), 0); // replaced without a question
    QCOMPARE(readAll(path("out/F/a.txt")), QByteArray("second"));
    QCOMPARE(readAll(path("out/F/b.txt")), QByteArray("new b"));
    QCOMPARE(readAll(trashedEntryFor(path("one/a.txt"))), QByteArray("first"));
    QCOMPARE(readAll(trashedEntryFor(path("two/a.txt"))), QByteArray("second"));
    // What a copy replaced is never lost: it waits in the trash.
    const QString replacedB = trashedEntryFor(path("out/F/b.txt"));
    QVERIFY2(!replacedB.isEmpty(), "the replaced b.txt is in the trash");
    QCOMPARE(readAll(replacedB), QByteArray("old b"));
}

void TestFilingRun::targetKnownInAnotherCaseIsNotAddedAgain()
{
    makeFile(path("in/1.txt"), "1");
    makeForm({path("in/1.txt")}, QStringLiteral("F"), path("out"));
    form().chk_OPEN->setChecked(false);
    form().JvCheckListBox1->addEntry(QStringLiteral("/autre/"));
    form().JvCheckListBox1->addEntry(path("out/f/"));
    pressOK();
    QCOMPARE(form().JvCheckListBox1->count(), 2);
    QCOMPARE(form().JvCheckListBox1->item(1)->text(), path("out/f/"));
    QVERIFY2(m_opened->urls.isEmpty(), "Ouvrir le dossier à la fin is off");
}

void TestFilingRun::namesAListCannotHoldAreFiledButNotListed_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("name"); // as typed or pasted; the box upper-cases it
    QTest::newRow("root with a line feed") << "r/a\nb"
                                           << "nl";
    QTest::newRow("name pasted with a line feed") << "r"
                                                  << "ligne\nsuite";
    QTest::newRow("name with a carriage return") << "r"
                                                 << "ligne\rsuite";
}

// A line break would split the entry into two bogus ones at the next start: the run files, and
// neither list takes the path or the name.
void TestFilingRun::namesAListCannotHoldAreFiledButNotListed()
{
    QFETCH(QString, root);
    QFETCH(QString, name);
    makeFile(path("in/1.txt"), "1");
    QVERIFY(QDir().mkpath(path(root)));
    makeForm({path("in/1.txt")}, name, path(root));
    form().chk_OPEN->setChecked(false);
    form().chk_PREFIX->setChecked(false);
    pressOK();
    const QString target = path(root) + '/' + kit::asciiUpper(name) + '/';
    QCOMPARE(readAll(target + "1.txt"), QByteArray("1"));
    QVERIFY2(!form().isVisible(), "the run ended as usual");
    QCOMPARE(boxes().texts(), QStringList{});
    const QString upper = kit::asciiUpper(name);
    const QStringList names = kit::listFileCanHold(upper) ? QStringList{upper} : QStringList{};
    QCOMPARE(form().JvCheckListBox1->count(), 0);
    QCOMPARE(form().EDIT_DOSSIER->count(), names.size());
    // The files as the next start reads them.
    QCOMPARE(kit::decodeListFile(readAll(kit_ini::GetAppDir() + "CHEMINS.TXT")).entries,
             QStringList{});
    QCOMPARE(kit::decodeListFile(readAll(kit_ini::GetAppDir() + "DOSSIERS.TXT")).entries, names);
}

void TestFilingRun::gaugeFollowsTheFiles()
{
    QStringList sources;
    for (int i = 1; i <= 250; ++i)
        sources << path(QStringLiteral("in/%1.txt").arg(i));
    makeForm(sources, QStringLiteral("F"), path("out"));
    form().chk_Confirm->setChecked(true);
    QList<int> progress;
    QList<int> percent;
    bool visible = true;
    kit_Dialogs::setResponder([&](const kit_Dialogs::BoxRequest &) {
        progress << form().Gauge1->Progress();
        percent << form().Gauge1->PercentDone();
        visible = visible && form().Gauge1->isVisible();
        return TModalResult::mrCancel;
    });
    pressOK();
    QCOMPARE(progress.size(), 250);
    QCOMPARE(progress.first(), 1);
    QCOMPARE(progress[99], 100);
    QCOMPARE(percent[99], 40);
    QCOMPARE(percent.last(), 100);
    QCOMPARE(form().Gauge1->MaxValue(), 250);
    QVERIFY(visible);
    QVERIFY(form().Gauge1->isHidden());
}

void TestFilingRun::errorInTheLoopHidesTheGaugeAndKeepsTheWindow()
{
    makeFile(path("in/1.txt"), "1");
    makeForm({path("in/1.txt")}, QStringLiteral("F"), path("out"));
    form().chk_Confirm->setChecked(true);
    QStringList errorBoxes;
    kit_Dialogs::setResponder([&](const kit_Dialogs::BoxRequest &r) -> TModalResult {
        if (r.kind == kit_Dialogs::TMsgDlgType::mtConfirmation)
            throw kit::Error(QStringLiteral("Plus de mémoire"));
        errorBoxes << r.text;
        return TModalResult::mrOk;
    });
    pressOK();
    QCOMPARE(errorBoxes, QStringList{"Plus de mémoire."});
    QVERIFY(form().Gauge1->isHidden());
    QVERIFY2(form().isVisible(), "the window stays");
    QVERIFY2(!kit::quitRequested(), "the program is not asked to end");
    QVERIFY(m_opened->urls.isEmpty());
    QCOMPARE(form().JvCheckListBox1->count(), 0);
}

void TestFilingRun::focusCases_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("addItems");
    QTest::addColumn<int>("runs");
    QTest::addColumn<bool>("closed");
    QTest::newRow("mouse press on OK from the box: one run, at the press")
        << "press OK" << 2 << 1 << false;
    QTest::newRow("Tab out of the box: only AddItem") << "tab" << 1 << 0 << false;
    QTest::newRow("Enter in the box: one run, no exit") << "enter" << 1 << 1 << false;
    QTest::newRow("click on Abandonner from the box") << "cancel" << 1 << 0 << true;
    QTest::newRow("another window takes the focus: nothing") << "other window" << 0 << 0 << false;
}

void TestFilingRun::focusCases()
{
    QFETCH(QString, gesture);
    QFETCH(int, addItems);
    QFETCH(int, runs);
    QFETCH(bool, closed);
    makeFile(path("in/1.txt"), "1");
    // An empty name stops every run at its warning, so that runs can be counted.
    makeForm({path("in/1.txt")}, QString(), path("out"));
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    QCOMPARE(QApplication::focusWidget(), form().EDIT_DOSSIER);
    QSignalSpy added(form().AddItem, &TAction::executing);
    QSignalSpy okClicks(form().btnOK, &QPushButton::clicked);

    if (gesture == QLatin1String("press OK")) {
        QTest::mousePress(form().btnOK, Qt::LeftButton);
        QCOMPARE(boxes().shown.size(), 1); // the run started at the press
        QTest::mouseRelease(form().btnOK, Qt::LeftButton);
    } else if (gesture == QLatin1String("tab")) {
        QTest::keyClick(form().windowHandle(), Qt::Key_Tab);
    } else if (gesture == QLatin1String("enter")) {
        QTest::keyClick(form().windowHandle(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form().EDIT_DOSSIER);
    } else if (gesture == QLatin1String("cancel")) {
        QTest::mouseClick(form().btnCancel, Qt::LeftButton);
    } else {
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }
    QCOMPARE(added.count(), addItems);
    QCOMPARE(boxes().shown.size(), runs);
    QCOMPARE(okClicks.count(), runs);
    QCOMPARE(!form().isVisible(), closed);
    QVERIFY(QFile::exists(path("in/1.txt")));
}

void TestFilingRun::racesAreReportedAndLoseNothing_data()
{
    QTest::addColumn<QString>("race");
    QTest::addColumn<bool>("reported");
    QTest::newRow("a file appears at the destination during the copy: trashed, not reported")
        << "appears" << false;
    QTest::newRow("the source is saved again during the copy: it stays, reported")
        << "source saved" << true;
    QTest::newRow("the file replaced cannot go to the trash: it stays, reported")
        << "untrashable" << true;
}

void TestFilingRun::racesAreReportedAndLoseNothing()
{
    QFETCH(QString, race);
    QFETCH(bool, reported);
    QString root = path("out");
    std::unique_ptr<QTemporaryDir> shm;
    if (race == "untrashable") {
        // A tmpfs of the system's, where GIO keeps no trash.
        shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/rangeur-XXXXXX"));
        if (!shm->isValid() || QStorageInfo(shm->path()).fileSystemType() != "tmpfs")
            QSKIP("no tmpfs at /dev/shm");
        root = shm->path();
    }
    const QString source = path("in/a.txt");
    const QString destination = root + "/F/a.txt";
    makeFile(source, "as copied");
    if (race == "untrashable")
        makeFile(destination, "replaced");
    // Another program acts once the copy is written, before it is in place. The copy runs on a
    // thread of its own: the checks wait for the run's end.
    std::atomic<bool> renamed = false;
    kit_FILE::setTestSeams({[&](kit_FILE::Step step) {
        if (step != kit_FILE::Step::CopyWritten)
            return;
        if (race == "appears") {
            makeFile(destination, "appeared");
        } else if (race == "source saved") {
            makeFile(path("in/saving.tmp"), "saved again");
            renamed = ::rename(QFile::encodeName(path("in/saving.tmp")).constData(),
                               QFile::encodeName(source).constData()) == 0;
        }
    }});
    const auto resetSeams = qScopeGuard([] { kit_FILE::setTestSeams(); });
    makeForm({source}, QStringLiteral("F"), root);
    form().chk_PREFIX->setChecked(false);
    pressOK();

    QCOMPARE(boxes().texts(), reported ? QStringList{failure(source, destination)} : QStringList{});
    if (race == "appears") {
        QCOMPARE(readAll(destination), QByteArray("as copied"));
        QCOMPARE(readAll(trashedEntryFor(destination)), QByteArray("appeared"));
        QCOMPARE(readAll(trashedEntryFor(source)), QByteArray("as copied"));
    } else if (race == "source saved") {
        QVERIFY(renamed);
        QCOMPARE(readAll(source), QByteArray("saved again"));
        QCOMPARE(readAll(destination), QByteArray("as copied")); // the copy made stays
        QCOMPARE(trashedEntryFor(source), QString());
    } else {
        QCOMPARE(readAll(destination), QByteArray("replaced"));
        QCOMPARE(readAll(source), QByteArray("as copied"));
    }
    QVERIFY2(!form().isVisible(), "the run ends as usual");
}

void TestFilingRun::windowPaintsAndTakesNoInputDuringACopy()
{
    makeFile(path("in/a.txt"), "a");
    makeFile(path("in/b.txt"), "b");
    // The first copy waits, on its own thread, until the window has been seen painting.
    std::atomic<bool> copying = false;
    std::atomic<bool> release = false;
    kit_FILE::setTestSeams({[&](kit_FILE::Step step) {
        if (step != kit_FILE::Step::CopyWritten || copying.exchange(true))
            return;
        QDeadlineTimer deadline(10000);
        while (!release && !deadline.hasExpired())
            QThread::msleep(1);
    }});
    const auto resetSeams = qScopeGuard([] { kit_FILE::setTestSeams(); });
    makeForm({path("in/a.txt"), path("in/b.txt")}, QStringLiteral("F"), path("out"));
    form().chk_PREFIX->setChecked(false);
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    PaintCounter counter;
    form().installEventFilter(&counter);
    QSignalSpy added(form().AddItem, &TAction::executing);
    QSignalSpy cancelClicks(form().btnCancel, &QPushButton::clicked);
    QSignalSpy okClicks(form().btnOK, &QPushButton::clicked);
    bool painted = false;
    int paintsBefore = -1;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (!copying)
            return;
        if (paintsBefore < 0) {
            // Keys that would start a second run, cancel or close, and clicks on both buttons.
            QWindow *window = form().windowHandle();
            QTest::keyClick(window, Qt::Key_Return);
            QTest::keyClick(window, Qt::Key_Escape);
            QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
            for (QPushButton *button : {form().btnCancel, form().btnOK})
                QTest::mouseClick(window, Qt::LeftButton, {},
                                  button->mapTo(&form(), button->rect().center()));
            QTest::mouseClick(window, Qt::RightButton, {}, QPoint(20, 20));
            paintsBefore = counter.paints;
            form().update();
            return;
        }
        if (counter.paints > paintsBefore) {
            painted = true;
            release = true;
        }
    });
    poll.start(5);
    QTimer::singleShot(5000, this, [&] { release = true; });
    pressOK();
    poll.stop();

    QVERIFY2(painted, "the window painted while a copy was under way");
    QCOMPARE(added.count(), 1);
    QCOMPARE(okClicks.count(), 1);
    QCOMPARE(cancelClicks.count(), 0);
    QVERIFY(boxes().shown.isEmpty());
    QCOMPARE(readAll(path("out/F/a.txt")), QByteArray("a"));
    QCOMPARE(readAll(path("out/F/b.txt")), QByteArray("b"));
    QVERIFY2(!form().isVisible(), "the run ended as usual");
    QVERIFY(kit::quitRequested());
}

void TestFilingRun::failuresAreReportedInOrderAndHoldTheWork_data()
{
    QTest::addColumn<bool>("oneProcessor");
    QTest::newRow("a copier and a trasher") << false;
    // A single thread copies and trashes each file in turn.
    QTest::newRow("one processor") << true;
}

void TestFilingRun::failuresAreReportedInOrderAndHoldTheWork()
{
    QFETCH(bool, oneProcessor);
    std::optional<OnOneProcessor> pinned;
    if (oneProcessor)
        pinned.emplace();
    // 0, 2, 4 and 5 move; 1 is missing and 3 is a folder: two failures in the middle.
    QStringList sources;
    for (int i = 0; i < 6; ++i)
        sources << path(QStringLiteral("in/%1.txt").arg(i));
    for (int i : {0, 2, 4, 5})
        makeFile(sources[i], QByteArray::number(i));
    QDir().mkpath(sources[3]);
    // The trash takes the sources in the order of the files: each one trashed is the first of
    // those left.
    QStringList trashedInTurn;
    kit_FILE::setTestSeams({[&](kit_FILE::Step step) {
        if (step == kit_FILE::Step::SourceToTrash)
            trashedInTurn << QDir(path("in")).entryList(QDir::Files, QDir::Name).value(0);
    }});
    const auto resetSeams = qScopeGuard([] { kit_FILE::setTestSeams(); });
    makeForm(sources, QStringLiteral("F"), path("out"));
    form().chk_PREFIX->setChecked(false);
    // While a failure is shown, no later file has been touched.
    QStringList texts;
    QStringList copiedAtEachBox;
    kit_Dialogs::setResponder([&](const kit_Dialogs::BoxRequest &box) {
        texts << box.text;
        copiedAtEachBox << QDir(path("out/F")).entryList(QDir::Files, QDir::Name).join(' ');
        return TModalResult::mrOk;
    });
    pressOK();

    QCOMPARE(texts, (QStringList{failure(sources[1], path("out/F/1.txt")),
                                 failure(sources[3], path("out/F/3.txt"))}));
    QCOMPARE(copiedAtEachBox, (QStringList{"0.txt", "0.txt 2.txt"}));
    QCOMPARE(trashedInTurn, (QStringList{"0.txt", "2.txt", "4.txt", "5.txt"}));
    for (int i : {0, 2, 4, 5})
        QCOMPARE(readAll(path(QStringLiteral("out/F/%1.txt").arg(i))), QByteArray::number(i));
    QVERIFY(QDir(sources[3]).exists());
    QVERIFY(!form().isVisible());
}

RANGEUR_TEST_MAIN(TestFilingRun)
#include "tst_filingrun.moc"

// The undo of a filing run (rangeur --annuler) on real files, with the real trash of a private
// home: runs made through the real window, undone from their journal.
#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "OpenedUrls.h"
#include "Rangeur.h"
#include "TForm1.h"
#include "WindowFixture.h"
#include "kit_App.h"
#include "kit_FILE.h"
#include "kit_Journal.h"
#include "kit_Undo.h"
#include "kit_ini.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using kit_Dialogs::TModalResult;
Q_DECLARE_METATYPE(kit_FILE::Step)

namespace {

// Every file under a folder with its bytes, by path relative to the folder.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(QDir(folder).relativeFilePath(file), readAll(file));
    }
    return files;
}

QString describe(const QMap<QString, QByteArray> &files)
{
    QStringList lines;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        lines << it.key() + QStringLiteral("=") + QString::fromUtf8(it.value().left(40));
    return lines.join(QStringLiteral(", "));
}

// The original paths in the trash that lie under the folder, as trash-list reads them.
QStringList trashedFrom(const QString &folder, QString *error)
{
    QStringList under;
    for (const QString &path : trashListOriginalPaths(error)) {
        if (path.startsWith(folder + u'/'))
            under << path;
    }
    return under;
}

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void roundTripPutsEveryByteBack_data();
    void roundTripPutsEveryByteBack();
    void refusalsLoseNothing_data();
    void refusalsLoseNothing();
    void racesDuringTheUndoLoseNothing_data();
    void racesDuringTheUndoLoseNothing();
    void repeatedUndoLeavesWhatIsBackAlone();
    void entriesWrittenDownComeBackWithoutTheirInfoFiles();
    void fileOnAnotherFileSystemComesBack();
    void damagedJournals_data();
    void damagedJournals();
    void boxesAskAndReport();
    void journalThatCannotBeWrittenDoesNotStopTheRun();
    void onlyTheLastRunsAreKept();

private:
    WindowFixture m_window{WindowFixture::Home::Process, WindowFixture::Boxes::Scripted};
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<OpenedUrls> m_opened;
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    // Files the sources through the real window: NAME under ROOT, with or without the prefix.
    void file(const QStringList &sources, const QString &name, const QString &root,
              bool prefix = false);
    // Undoes the last run, as rangeur --annuler does once the user said yes.
    kit_Undo::Report undoLast();
    // A run made in a process of its own, killed just before the source of file `killAt`
    // (counted from 1) goes to the trash: a kill, a crash or a session's end.
    void fileAndDie(const QStringList &sources, const QString &name, const QString &root,
                    const QString &killAt);
};

void TestUndo::initTestCase()
{
    WindowFixture::setUpApplication();
}

void TestUndo::init()
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::home().filePath(QStringLiteral("undo-XXXXXX")));
    QVERIFY(m_dir->isValid());
    m_window.init();
    m_opened = std::make_unique<OpenedUrls>();
}

void TestUndo::cleanup()
{
    m_window.cleanup();
    m_opened.reset();
    m_dir.reset();
}

void TestUndo::file(const QStringList &sources, const QString &name, const QString &root,
                    bool prefix)
{
    TForm1 &form = m_window.makeForm(sources);
    form.EDIT_DOSSIER->setText(name);
    form.JvDirectoryEdit1->setDirectory(root);
    form.chk_PREFIX->setChecked(prefix);
    form.chk_OPEN->setChecked(false);
    form.show();
    form.btnOK->click();
    QVERIFY2(!form.isVisible(), "the run ended");
    kit::clearQuitRequest();
}

kit_Undo::Report TestUndo::undoLast()
{
    kit_Undo::Search search = kit_Undo::findLastRun();
    if (search.outcome != kit_Undo::Search::Outcome::Found) {
        qWarning() << "no run to undo:" << int(search.outcome) << search.problem;
        return {};
    }
    return kit_Undo::undo(*search.pending);
}

void TestUndo::fileAndDie(const QStringList &sources, const QString &name, const QString &root,
                          const QString &killAt)
{
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("RANGEUR_TEST_APPDIR"), kit_ini::GetAppDir());
    run.setProcessEnvironment(env);
    run.start(QStringLiteral(FILE_THEN_DIE), QStringList{killAt, name, root} + sources);
    QVERIFY(run.waitForFinished(120000));
    QCOMPARE(run.exitStatus(), QProcess::CrashExit);
}

void TestUndo::roundTripPutsEveryByteBack_data()
{
    QTest::addColumn<QString>("killAt"); // empty: the run ends as usual
    QTest::addColumn<bool>("prefix");
    QTest::newRow("a whole run") << QString() << false;
    QTest::newRow("a whole run with the prefix") << QString() << true;
    QTest::newRow("a run killed half-way") << QStringLiteral("40") << false;
    QTest::newRow("a run killed once the trash described a file")
        << QStringLiteral("described:40") << false;
}

void TestUndo::roundTripPutsEveryByteBack()
{
    QFETCH(QString, killAt);
    QFETCH(bool, prefix);
    // Three documents, one of which replaces a file already in the target; many more when the
    // run is killed, so that the copies run ahead of the trash.
    makeFile(path("Scans/facture.pdf"), "the invoice");
    makeFile(path("Scans/Relevé 100% #1.txt"), "the statement");
    makeFile(path("Scans/notes"), "new notes");
    const QString existing = prefix ? "Racine/FACTURES/FACTURES_notes" : "Racine/FACTURES/notes";
    makeFile(path(existing), "the notes that were there");
    makeFile(path("Autres/devis.pdf"), "a quote, not filed");
    QVERIFY(QFile::link(path("Autres/devis.pdf"), path("Scans/lien vers devis")));
    for (int i = 0; !killAt.isEmpty() && i < 200; ++i)
        makeFile(path(QStringLiteral("Scans/n%1.txt").arg(i, 3, 10, QChar(u'0'))),
                 QByteArray::number(i).repeated(500));
    QStringList sources;
    for (const QString &name : QDir(path("Scans")).entryList(QDir::Files | QDir::System))
        sources << path("Scans/" + name);
    const QMap<QString, QByteArray> before = snapshot(m_dir->path());

    if (!killAt.isEmpty()) {
        fileAndDie(sources, QStringLiteral("factures"), path("Racine"), killAt);
        // The copies run at most eight files ahead of the trash, beside the file being trashed:
        // a run ended half-way leaves few files in both places, never the rest of the run.
        const QStringList left = QDir(path("Scans")).entryList(QDir::Files | QDir::System);
        const QStringList filed = QDir(path("Racine/FACTURES")).entryList(QDir::Files);
        qsizetype twice = 0;
        for (const QString &name : left)
            twice += filed.contains(name) && name != QLatin1String("notes") ? 1 : 0;
        QVERIFY2(twice <= 9, qPrintable(QString::number(twice) + " files in both places"));
    } else {
        file(sources, QStringLiteral("factures"), path("Racine"), prefix);
    }
    QVERIFY2(snapshot(m_dir->path()) != before, "the run moved files");

    const kit_Undo::Report report = undoLast();
    QVERIFY2(report.notPutBack.isEmpty(), qPrintable(report.notPutBack.join(u'\n')));
    const QMap<QString, QByteArray> after = snapshot(m_dir->path());
    QVERIFY2(after == before, qPrintable(describe(after) + "\n!=\n" + describe(before)));
    QVERIFY2(QFileInfo(path("Scans/lien vers devis")).isSymLink(), "the link came back as one");
    QString error;
    QCOMPARE(trashedFrom(m_dir->path(), &error), QStringList());
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The target existed before (it held the replaced file): it stays, holding that file only.
    QCOMPARE(QDir(path("Racine/FACTURES")).entryList(QDir::Files),
             QStringList{QFileInfo(existing).fileName()});
    QCOMPARE(kit_Undo::findLastRun().outcome, kit_Undo::Search::Outcome::Nothing);
}

void TestUndo::refusalsLoseNothing_data()
{
    QTest::addColumn<QString>("meddling");
    QTest::addColumn<int>("putBack");
    QTest::addColumn<QString>("reported"); // in the report's text
    QTest::newRow("copy edited since") << "edit copy" << 1 << "la copie a été modifiée";
    QTest::newRow("original path taken") << "take path" << 0 << "un autre fichier porte";
    QTest::newRow("trash emptied") << "empty trash" << 0 << "introuvable dans la corbeille";
    QTest::newRow("source restored by hand already") << "restore by hand" << 1 << "";
    QTest::newRow("folder holding a new file") << "new file" << 1 << "n'est pas vide";
}

void TestUndo::refusalsLoseNothing()
{
    QFETCH(QString, meddling);
    QFETCH(int, putBack);
    QFETCH(QString, reported);
    const QString source = path("in/doc.txt");
    makeFile(source, "original");
    file({source}, QStringLiteral("F"), path("out"));
    const QString copy = path("out/F/doc.txt");
    const QString trashed = trashedEntryFor(source);
    QVERIFY(!trashed.isEmpty());
    const QString info = trashFolder() + "/info/" + QFileInfo(trashed).fileName() + ".trashinfo";

    if (meddling == "edit copy") {
        QFile f(copy);
        QVERIFY(f.open(QIODevice::Append));
        f.write(" and an edit");
    } else if (meddling == "take path") {
        makeFile(source, "a newer file under the same name");
    } else if (meddling == "empty trash") {
        QVERIFY(QFile::remove(trashed) && QFile::remove(info));
    } else if (meddling == "restore by hand") {
        QVERIFY(QFile::rename(trashed, source) && QFile::remove(info));
    } else if (meddling == "new file") {
        makeFile(path("out/F/added later.txt"), "new");
    }

    const kit_Undo::Report report = undoLast();
    QCOMPARE(report.putBack, putBack);
    const QString text = kit_Undo::reportText(report);
    if (reported.isEmpty())
        QVERIFY2(report.notPutBack.isEmpty() && report.notes.isEmpty(), qPrintable(text));
    else
        QVERIFY2(text.contains(reported), qPrintable(text));

    // Every version of the file is in place or in the trash.
    if (meddling == "edit copy") {
        QCOMPARE(readAll(source), QByteArray("original"));
        QCOMPARE(readAll(copy), QByteArray("original and an edit"));
    } else if (meddling == "take path") {
        QCOMPARE(readAll(source), QByteArray("a newer file under the same name"));
        QCOMPARE(readAll(trashed), QByteArray("original"));
        QCOMPARE(readAll(copy), QByteArray("original")); // its original is not back: it stays
    } else if (meddling == "empty trash") {
        QVERIFY(!QFileInfo::exists(source));
        QCOMPARE(readAll(copy), QByteArray("original")); // now the only version there is
    } else {
        QCOMPARE(readAll(source), QByteArray("original"));
        QVERIFY(!QFileInfo::exists(copy));
        QCOMPARE(QFileInfo::exists(path("out/F")), meddling == "new file");
    }
    if (meddling == "new file")
        QCOMPARE(readAll(path("out/F/added later.txt")), QByteArray("new"));
}

void TestUndo::racesDuringTheUndoLoseNothing_data()
{
    QTest::addColumn<kit_FILE::Step>("step");
    QTest::addColumn<QString>("act");
    QTest::addColumn<QString>("reported");
    QTest::newRow("a file recreated at the original path")
        << kit_FILE::Step::EntryComingBack << "recreate"
        << "un autre fichier porte";
    QTest::newRow("the copy saved over by an editor") << kit_FILE::Step::CopyLookedAt << "save over"
                                                      << "n'a pas pu être retirée";
    QTest::newRow("the copy written in place") << kit_FILE::Step::CopyLookedAt << "write in place"
                                               << "n'a pas pu être retirée";
}

void TestUndo::racesDuringTheUndoLoseNothing()
{
    QFETCH(kit_FILE::Step, step);
    QFETCH(QString, act);
    QFETCH(QString, reported);
    const QString source = path("in/doc.txt");
    const QString copy = path("out/F/doc.txt");
    makeFile(source, "original");
    file({source}, QStringLiteral("F"), path("out"));
    const QString trashed = trashedEntryFor(source);
    bool acted = false;
    kit_FILE::setTestSeams({[&](kit_FILE::Step reached) {
        if (reached != step || acted)
            return;
        acted = true;
        if (act == "recreate") {
            makeFile(source, "recreated");
        } else if (act == "save over") {
            makeFile(path("out/F/.doc.txt.new"), "saved by an editor");
            QFile::remove(copy); // as rename(2) replaces it
            QFile::rename(path("out/F/.doc.txt.new"), copy);
        } else {
            QFile f(copy);
            if (f.open(QIODevice::Append))
                f.write(" written in place");
            f.close();
            f.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
        }
    }});
    const kit_Undo::Report report = undoLast();
    kit_FILE::setTestSeams();
    QVERIFY(acted);
    QVERIFY2(kit_Undo::reportText(report).contains(reported),
             qPrintable(kit_Undo::reportText(report)));
    if (act == "recreate") {
        QCOMPARE(readAll(source), QByteArray("recreated"));
        QCOMPARE(readAll(trashed), QByteArray("original"));
        QCOMPARE(readAll(copy), QByteArray("original"));
    } else {
        QCOMPARE(readAll(source), QByteArray("original"));
        QCOMPARE(readAll(copy), act == "save over" ? QByteArray("saved by an editor")
                                                   : QByteArray("original written in place"));
    }
    QCOMPARE(QDir(path("out/F")).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.txt"});
}

void TestUndo::repeatedUndoLeavesWhatIsBackAlone()
{
    const QStringList sources{path("in/1.txt"), path("in/2.txt")};
    makeFile(sources[0], "one");
    makeFile(sources[1], "two");
    file(sources, QStringLiteral("F"), path("out"));
    const QString journal = kit_Journal::journalPaths().value(0);
    QFile f(journal);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    f.close();
    const QString entry = trashedEntryFor(sources[1]);
    const QString info = trashFolder() + "/info/" + QFileInfo(entry).fileName() + ".trashinfo";
    QByteArray infoText = readAll(info);
    const kit_Undo::Report first = undoLast();
    QCOMPARE(first.putBack, 2);
    const ino_t inode = inodeOf(sources[0]);

    // As if the first undo had been killed after putting the files back, before it wrote its
    // progress, and after moving one entry back but before removing its description.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(written);
    f.close();
    QFile left(info);
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write(infoText);
    left.close();
    makeFile(path("in/1.txt.note"), "a file of the user's, beside");

    const kit_Undo::Report second = undoLast();
    QVERIFY2(second.notPutBack.isEmpty(), qPrintable(second.notPutBack.join(u'\n')));
    QCOMPARE(second.putBack, 2);
    QCOMPARE(inodeOf(sources[0]), inode); // left alone, not moved again
    QCOMPARE(readAll(sources[0]), QByteArray("one"));
    QCOMPARE(readAll(sources[1]), QByteArray("two"));
    QVERIFY2(!QFileInfo::exists(info), "the description left behind is removed");
    QString error;
    QCOMPARE(trashedFrom(m_dir->path(), &error), QStringList());
    QCOMPARE(kit_Undo::findLastRun().outcome, kit_Undo::Search::Outcome::Nothing);
}

// The run writes down where each source went in the trash; the undo takes it from there, so it
// finds an entry even when the trash no longer describes it (its info file lost).
void TestUndo::entriesWrittenDownComeBackWithoutTheirInfoFiles()
{
    const QStringList names{QStringLiteral("lettre.odt"), QStringLiteral("photo 1%.jpg")};
    QStringList sources;
    for (const QString &name : names) {
        makeFile(path("Scans/" + name), name.toUtf8());
        sources << path("Scans/" + name);
    }
    const ino_t firstInode = inodeOf(sources[0]);
    file(sources, QStringLiteral("courrier"), path("Racine"));

    QFile journal(kit_Journal::journalPaths().value(0));
    QVERIFY(journal.open(QIODevice::ReadOnly));
    const std::optional<kit::RunSummary> run =
        kit::summariseRun(kit::readJournal(journal.readAll()));
    QVERIFY(run);
    QCOMPARE(run->files.size(), names.size());
    for (const kit::RunSummary::File &filed : run->files) {
        const QString entry = filed.trashEntry;
        QVERIFY2(entry.contains("/Trash/files/"), qPrintable(entry));
        QCOMPARE(QFileInfo(entry).size(), QFileInfo(filed.destination).size());
        if (filed.source == sources[0])
            QCOMPARE(inodeOf(entry), firstInode);
        const QString info = entry.section(QStringLiteral("/files/"), 0, -2) +
                             QStringLiteral("/info/") + QFileInfo(entry).fileName() +
                             QStringLiteral(".trashinfo");
        QVERIFY2(QFile::remove(info), qPrintable(info));
    }

    const kit_Undo::Report report = undoLast();
    QVERIFY2(report.notPutBack.isEmpty(), qPrintable(report.notPutBack.join(u'\n')));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(readAll(sources[i]), names[i].toUtf8());
}

void TestUndo::fileOnAnotherFileSystemComesBack()
{
    if (!privateMountsAvailable())
        QSKIP("mounting is not allowed here");
    // GIO makes no trash on tmpfs: a real file system in a file, mounted in this process's
    // private mount namespace.
    const QString image = path("disk.img");
    const QString mountPoint = path("disk");
    QDir().mkpath(mountPoint);
    {
        QFile f(image);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(32 << 20));
    }
    if (QProcess::execute(QStringLiteral("mkfs.ext4"), {"-q", "-F", image}) != 0)
        QSKIP("mkfs.ext4 is missing");
    if (QProcess::execute(QStringLiteral("mount"), {"-o", "loop", image, mountPoint}) != 0)
        QSKIP("no loop device can be mounted here");
    const auto unmount = qScopeGuard([&] {
        QProcess::execute(QStringLiteral("umount"), {"-l", mountPoint});
    });
    const QString source = mountPoint + "/docs/rapport.odt";
    makeFile(source, "on another file system");
    QVERIFY(QStorageInfo(source).device() != QStorageInfo(QDir::homePath()).device());

    file({source}, QStringLiteral("F"), path("out"));
    QVERIFY2(!QFileInfo::exists(source), "the source went to the trash");
    QVERIFY2(QFileInfo(mountPoint + "/.Trash-" + QString::number(::getuid())).isDir(),
             "in the trash at the top of its own file system");

    const kit_Undo::Report report = undoLast();
    QVERIFY2(report.notPutBack.isEmpty(), qPrintable(report.notPutBack.join(u'\n')));
    QCOMPARE(readAll(source), QByteArray("on another file system"));
    QVERIFY(!QFileInfo::exists(path("out/F")));
    QCOMPARE(QDir(mountPoint + "/.Trash-" + QString::number(::getuid()) + "/files")
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

void TestUndo::damagedJournals_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("outcome");
    QTest::newRow("truncated") << "truncated" << int(kit_Undo::Search::Outcome::Found);
    QTest::newRow("garbage") << "garbage" << int(kit_Undo::Search::Outcome::Unreadable);
    QTest::newRow("a folder in its place")
        << "folder" << int(kit_Undo::Search::Outcome::Unreadable);
    QTest::newRow("empty") << "empty" << int(kit_Undo::Search::Outcome::Unreadable);
}

void TestUndo::damagedJournals()
{
    QFETCH(QString, damage);
    QFETCH(int, outcome);
    // An older run, then the run whose journal is damaged.
    makeFile(path("in/old.txt"), "old");
    file({path("in/old.txt")}, QStringLiteral("OLD"), path("out"));
    QTest::qWait(5); // journals are named by the millisecond
    const QStringList sources{path("in/1.txt"), path("in/2.txt"), path("in/3.txt")};
    for (const QString &s : sources)
        makeFile(s, s.toUtf8());
    file(sources, QStringLiteral("NEW"), path("out"));
    const QString journal = kit_Journal::journalPaths().value(0);
    QFile f(journal);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    f.close();
    if (damage == "truncated") {
        QVERIFY(f.resize(text.size() - 10));
    } else if (damage == "garbage") {
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        static const char garbage[] = "\x7f"
                                      "ELF\x02\x01\x01\0\0garbage\nrun x y\n";
        f.write(garbage, sizeof garbage - 1);
        f.close();
    } else if (damage == "folder") {
        QVERIFY(QFile::remove(journal));
        QVERIFY(QDir().mkpath(journal));
    } else if (damage == "empty") {
        QVERIFY(f.resize(0));
    }

    kit_Undo::Search search = kit_Undo::findLastRun();
    QCOMPARE(int(search.outcome), outcome);
    if (search.outcome == kit_Undo::Search::Outcome::Found) {
        // What is whole is undone; the torn last record's file is reported as not undoable.
        const kit_Undo::Report report = kit_Undo::undo(*search.pending);
        QVERIFY2(kit_Undo::reportText(report).contains("endommagé"),
                 qPrintable(kit_Undo::reportText(report)));
        QCOMPARE(readAll(sources[0]), sources[0].toUtf8());
        QCOMPARE(readAll(sources[1]), sources[1].toUtf8());
    } else {
        QVERIFY(!search.problem.isEmpty());
        // Set aside: the next undo offers the run before it.
        QVERIFY(QFileInfo::exists(journal + ".illisible"));
        kit_Undo::Search next = kit_Undo::findLastRun();
        QCOMPARE(next.outcome, kit_Undo::Search::Outcome::Found);
        QCOMPARE(next.pending->run.target, path("out/OLD/"));
    }
}

void TestUndo::boxesAskAndReport()
{
    ScriptedDialogs &boxes = m_window.boxes();
    boxes.answers = {TModalResult::mrOk};
    runUndo(*qApp);
    QCOMPARE(boxes.texts(), QStringList{"Aucun rangement à annuler"});

    makeFile(path("in/a.txt"), "a");
    makeFile(path("in/b.txt"), "b");
    file({path("in/a.txt")}, QStringLiteral("first"), path("out"));
    QTest::qWait(5);
    file({path("in/b.txt")}, QStringLiteral("second"), path("out"));

    // Non changes nothing; Oui undoes the last run, and the next undo the run before it.
    boxes.shown.clear();
    boxes.answers = {TModalResult::mrNo};
    runUndo(*qApp);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].buttons,
             kit_Dialogs::TMsgDlgButtons(kit_Dialogs::mbYes) | kit_Dialogs::mbNo);
    QCOMPARE(boxes.shown[0].defaultButton, kit_Dialogs::mbYes);
    QVERIFY2(
        QRegularExpression("^Annuler le rangement du \\d\\d/\\d\\d/\\d{4} à \\d\\d:\\d\\d \\?\n\n"
                           "1 fichier\\(s\\) remis dans .*/in/\n")
            .match(boxes.shown[0].text)
            .hasMatch(),
        qPrintable(boxes.shown[0].text));
    QVERIFY2(boxes.shown[0].text.contains("Dossier SECOND retiré s'il est vide"),
             qPrintable(boxes.shown[0].text));
    QVERIFY(!QFileInfo::exists(path("in/b.txt")));

    for (const char *name : {"b.txt", "a.txt"}) {
        const QString folder = path(name == QByteArray("b.txt") ? "out/SECOND" : "out/FIRST");
        boxes.shown.clear();
        boxes.answers = {TModalResult::mrYes, TModalResult::mrOk};
        runUndo(*qApp);
        QCOMPARE(boxes.shown.size(), 2);
        // The first run made "out" too: both go, the innermost first.
        QVERIFY2(
            boxes.shown[1].text.startsWith(
                QStringLiteral("1 fichier(s) remis en place.\nDossier %1 retiré.").arg(folder)),
            qPrintable(boxes.shown[1].text));
        QCOMPARE(boxes.shown[1].buttons, kit_Dialogs::TMsgDlgButtons(kit_Dialogs::mbOK));
        QCOMPARE(readAll(path(QStringLiteral("in/") + name)), QByteArray(name, 1));
    }
    QVERIFY(!QFileInfo::exists(path("out/FIRST")) && !QFileInfo::exists(path("out/SECOND")));
}

void TestUndo::journalThatCannotBeWrittenDoesNotStopTheRun()
{
    // The journals' folder cannot be made: a file holds its name.
    QDir().mkpath(kit_ini::GetAppDir());
    makeFile(kit_Journal::folder().chopped(1), "in the way");
    makeFile(path("in/a.txt"), "a");
    m_window.boxes().answers = {TModalResult::mrOk};
    file({path("in/a.txt")}, QStringLiteral("F"), path("out"));
    QCOMPARE(readAll(path("out/F/a.txt")), QByteArray("a"));
    QVERIFY(!QFileInfo::exists(path("in/a.txt")));
    QCOMPARE(m_window.boxes().shown.size(), 1);
    QVERIFY2(m_window.boxes().shown[0].text.startsWith("Impossible d'écrire le journal"),
             qPrintable(m_window.boxes().shown[0].text));
}

void TestUndo::onlyTheLastRunsAreKept()
{
    QStringList older;
    for (int i = 0; i < 25; ++i) {
        older << kit_Journal::folder() +
                     QStringLiteral("19990101-0000%1-000-1.journal").arg(i, 2, 10, QChar(u'0'));
        makeFile(older.last(), "RANGEUR-JOURNAL 1\n");
    }
    makeFile(path("in/a.txt"), "a");
    file({path("in/a.txt")}, QStringLiteral("F"), path("out"));
    const QStringList kept = kit_Journal::journalPaths();
    QCOMPARE(kept.size(), kit_Journal::kKeptRuns);
    QVERIFY2(!kept.first().startsWith(kit_Journal::folder() + "1999"), "the new run's is kept");
    QCOMPARE(kept.mid(1), (QStringList(older.crbegin(), older.crbegin() + 19)));
}

RANGEUR_FS_TEST_MAIN(TestUndo)
#include "tst_undo.moc"

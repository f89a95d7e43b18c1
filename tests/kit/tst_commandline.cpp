#include "TestEnvironment.h"
#include "kit_CommandLine.h"
#include "kit_Paths.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void windowsSplit_data();
    void windowsSplit();
    void argvDropsEmptyArguments();
    void argvKeepsUndecodableNames();
    void relativeNamesBecomeAbsolute_data();
    void relativeNamesBecomeAbsolute();
    void options_data();
    void options();
    void programAnswersWithoutAWindow_data();
    void programAnswersWithoutAWindow();
};

void TestCommandLine::windowsSplit_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("empty line") << "" << QStringList{};
    QTest::newRow("executable only") << R"("C:\Program Files\Rangeur.exe")" << QStringList{};
    QTest::newRow("plain arguments") << R"(prog a.pdf b.pdf)" << QStringList{"a.pdf", "b.pdf"};
    QTest::newRow("quoted executable with spaces")
        << R"("C:\Program Files\Rangeur.exe" x)" << QStringList{"x"};
    QTest::newRow("quoted path keeps its spaces, loses its quotes")
        << R"(prog "C:\Mes Docs\a b.pdf" c)" << QStringList{R"(C:\Mes Docs\a b.pdf)", "c"};
    QTest::newRow("tab separates") << "prog a\tb" << QStringList{"a", "b"};
    QTest::newRow("control characters separate") << "prog a\x01"
                                                    "b"
                                                 << QStringList{"a", "b"};
    QTest::newRow("runs of blanks, leading and trailing")
        << "  prog   a  \t b  " << QStringList{"a", "b"};
    QTest::newRow("only an empty quoted pair counts as nothing") << R"(prog "")" << QStringList{};
    QTest::newRow("empty quoted pairs between arguments are skipped")
        << R"(prog "" a """" b)" << QStringList{"a", "b"};
    QTest::newRow("drive root keeps its backslash before the quote")
        << R"(prog "D:\")" << QStringList{R"(D:\)"};
    QTest::newRow("drive root then another argument")
        << R"(prog "D:\" "E:\x")" << QStringList{R"(D:\)", R"(E:\x)"};
    QTest::newRow("backslash is no escape") << R"(prog a\"b c")" << QStringList{R"(a\b c)"};
    QTest::newRow("quotes inside an argument toggle") << R"(prog a"b c"d)" << QStringList{"ab cd"};
    QTest::newRow("adjacent quoted parts join") << R"(prog "a""b")" << QStringList{"ab"};
    QTest::newRow("quoted blank is an argument") << R"(prog " ")" << QStringList{" "};
    QTest::newRow("unterminated quote runs to the end")
        << R"(prog "a b  c)" << QStringList{"a b  c"};
}

void TestCommandLine::windowsSplit()
{
    QFETCH(QString, line);
    QFETCH(QStringList, files);
    QCOMPARE(kit::splitWindowsCommandLine(line), files);
}

void TestCommandLine::argvDropsEmptyArguments()
{
    const char *argv[] = {"/usr/bin/rangeur", "/tmp/a b.pdf", "", "/tmp/é.txt", ""};
    QCOMPARE(kit::filesFromArgv(5, argv, "/nowhere"), (QStringList{"/tmp/a b.pdf", "/tmp/é.txt"}));
    const char *none[] = {"/usr/bin/rangeur", ""};
    QVERIFY2(kit::filesFromArgv(2, none, "/nowhere").isEmpty(),
             "an empty argument is never a file");
}

void TestCommandLine::argvKeepsUndecodableNames()
{
    const char *argv[] = {"rangeur", "/tmp/caf\xe9.txt"}; // Latin-1 bytes, not UTF-8
    const QStringList files = kit::filesFromArgv(2, argv, "/nowhere");
    QCOMPARE(files.size(), 1);
    QVERIFY2(files[0].contains(QChar::ReplacementCharacter),
             "an undecodable name must stay visibly damaged, never become another valid name");
}

Q_DECLARE_METATYPE(kit::PathStyle)

void TestCommandLine::relativeNamesBecomeAbsolute_data()
{
    QTest::addColumn<kit::PathStyle>("style");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const auto posix = kit::PathStyle::Posix;
    const auto win = kit::PathStyle::Windows;
    QTest::newRow("bare name") << posix << "/home/u"
                               << "a.pdf"
                               << "/home/u/a.pdf";
    QTest::newRow("folder with a trailing separator") << posix << "/home/u/"
                                                      << "a.pdf"
                                                      << "/home/u/a.pdf";
    QTest::newRow("from the root") << posix << "/"
                                   << "a.pdf"
                                   << "/a.pdf";
    QTest::newRow("dots are kept, so links keep their meaning") << posix << "/home/u"
                                                                << "../x/./a.pdf"
                                                                << "/home/u/../x/./a.pdf";
    QTest::newRow("absolute stays") << posix << "/home/u"
                                    << "/srv/a.pdf"
                                    << "/srv/a.pdf";
    QTest::newRow("a colon is no drive on Linux") << posix << "/home/u"
                                                  << "C:a"
                                                  << "/home/u/C:a";
    QTest::newRow("win: bare name") << win << R"(C:\Scans)"
                                    << "a.pdf"
                                    << R"(C:\Scans\a.pdf)";
    QTest::newRow("win: drive path stays") << win << R"(C:\Scans)"
                                           << R"(D:\a.pdf)"
                                           << R"(D:\a.pdf)";
    QTest::newRow("win: network path stays") << win << R"(C:\)"
                                             << R"(\\srv\a.pdf)"
                                             << R"(\\srv\a.pdf)";
}

void TestCommandLine::relativeNamesBecomeAbsolute()
{
    QFETCH(kit::PathStyle, style);
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(kit::absolutePath(path, folder, style), expected);
    if (style == kit::nativePathStyle) {
        const QByteArray arg = path.toUtf8();
        const char *argv[] = {"rangeur", arg.constData()};
        QCOMPARE(kit::filesFromArgv(2, argv, folder), QStringList{expected});
    }
}

using Action = kit::CommandLine::Action;
Q_DECLARE_METATYPE(kit::CommandLine::Action)

void TestCommandLine::options_data()
{
    QTest::addColumn<QStringList>("args"); // after argument 0
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("unknown");

    const QStringList none;
    QTest::newRow("files only") << QStringList{"/a", "/b"} << Action::Run << QStringList{"/a", "/b"}
                                << false << "";
    QTest::newRow("menu without files")
        << QStringList{"--menu", "--"} << Action::Run << none << true << "";
    QTest::newRow("menu with files")
        << QStringList{"--menu", "--", "/a"} << Action::Run << QStringList{"/a"} << true << "";
    QTest::newRow("after -- every argument is a file")
        << QStringList{"--", "--help", "-x", "--", "--menu"} << Action::Run
        << QStringList{"/w/--help", "/w/-x", "/w/--", "/w/--menu"} << false << "";
    QTest::newRow("a lone dash is a file")
        << QStringList{"-"} << Action::Run << QStringList{"/w/-"} << false << "";
    QTest::newRow("a dashed name given as ./")
        << QStringList{"./--help"} << Action::Run << QStringList{"/w/./--help"} << false << "";
    QTest::newRow("empty arguments are dropped, around options too")
        << QStringList{"", "--menu", "", "/a"} << Action::Run << QStringList{"/a"} << true << "";
    QTest::newRow("help") << QStringList{"--help"} << Action::Help << none << false << "";
    QTest::newRow("short help among files")
        << QStringList{"/a", "-h"} << Action::Help << none << false << "";
    QTest::newRow("version") << QStringList{"--version", "/a"} << Action::Version << none << false
                             << "";
    QTest::newRow("undo") << QStringList{"--annuler"} << Action::Undo << none << false << "";
    QTest::newRow("a file named like the undo option")
        << QStringList{"--menu", "--", "--annuler"} << Action::Run << QStringList{"/w/--annuler"}
        << true << "";
    QTest::newRow("unknown long option")
        << QStringList{"/a", "--bogus"} << Action::Misused << none << false << "--bogus";
    QTest::newRow("unknown short option")
        << QStringList{"-x"} << Action::Misused << none << false << "-x";
    QTest::newRow("an option takes no value")
        << QStringList{"--menu=oui"} << Action::Misused << none << false << "--menu=oui";
    QTest::newRow("the first deciding option wins")
        << QStringList{"--bogus", "--help"} << Action::Misused << none << false << "--bogus";
}

void TestCommandLine::options()
{
    QFETCH(QStringList, args);
    QFETCH(Action, action);
    QFETCH(QStringList, files);
    QFETCH(bool, fromMenu);
    QFETCH(QString, unknown);
    QList<QByteArray> bytes{"/usr/bin/rangeur"};
    for (const QString &arg : args)
        bytes << arg.toUtf8();
    std::vector<const char *> argv;
    for (const QByteArray &b : bytes)
        argv.push_back(b.constData());
    const kit::CommandLine line = kit::parseCommandLine(int(argv.size()), argv.data(), "/w");
    QCOMPARE(line.action, action);
    if (action == Action::Run) {
        QCOMPARE(line.files, files);
        QCOMPARE(line.fromMenu, fromMenu);
    }
    QCOMPARE(line.unknownOption, unknown);
}

// The real program: these answers need no display, so it is run where none can be opened; a
// window would end it with Qt's fatal "could not connect to display" instead.
void TestCommandLine::programAnswersWithoutAWindow_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage : rangeur [--menu] [--] FICHIER"
                          << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "rangeur " RANGEUR_VERSION "\n"
                             << "";
    QTest::newRow("unknown option") << QStringList{"--aide", "/tmp/a.pdf"} << 2 << ""
                                    << "rangeur : option inconnue « --aide »\nUsage : rangeur";
}

void TestCommandLine::programAnswersWithoutAWindow()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    program.setProcessEnvironment(env);
    program.start(RANGEUR_EXECUTABLE, args);
    QVERIFY2(program.waitForFinished(20000), "the program did not end by itself");
    const QString stdOut = QString::fromUtf8(program.readAllStandardOutput());
    const QString stdErr = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == exitCode,
             qPrintable(QString("exit %1, stderr: %2").arg(program.exitCode()).arg(stdErr)));
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err), qPrintable(stdErr));
}

RANGEUR_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"

#include "TestEnvironment.h"
#include "kit_CommandLine.h"
#include "kit_Paths.h"

#include <QApplication>
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

RANGEUR_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"

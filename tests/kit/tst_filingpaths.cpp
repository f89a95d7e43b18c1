#include "TestEnvironment.h"
#include "kit_Filing.h"
#include "kit_LISTES.h"

#include <QApplication>
#include <QListWidget>
#include <QtTest>

using kit::PathStyle;

class TestFilingPaths : public QObject {
    Q_OBJECT
private slots:
    void target_data();
    void target();
    void destination_data();
    void destination();
    void isInList_data();
    void isInList();
    void valuesFromARecentFolder_data();
    void valuesFromARecentFolder();
};

void TestFilingPaths::target_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");
    const int win = int(PathStyle::Windows);
    const int posix = int(PathStyle::Posix);
    QTest::newRow("windows: whole path upper-cased, accents kept")
        << win << R"(C:\Archives\été)"
        << "FACTURES"
        << R"(C:\ARCHIVES\éTé\FACTURES\)";
    QTest::newRow("windows: drive root, no doubled separator") << win << R"(D:\)"
                                                               << "2024"
                                                               << R"(D:\2024\)";
    QTest::newRow("windows: empty root") << win << ""
                                         << "X"
                                         << R"(\X\)";
    QTest::newRow("linux: the root keeps its case") << posix << "/home/u/Archives"
                                                    << "factures"
                                                    << "/home/u/Archives/FACTURES/";
    QTest::newRow("linux: root with its slash") << posix << "/home/u/Bureau/"
                                                << "2024"
                                                << "/home/u/Bureau/2024/";
    QTest::newRow("linux: file-system root") << posix << "/"
                                             << "x"
                                             << "/X/";
    QTest::newRow("linux: empty root") << posix << ""
                                       << "x"
                                       << "/X/";
    QTest::newRow("linux: accented name keeps its letters") << posix << "/r"
                                                            << "ÉTÉ été"
                                                            << "/r/ÉTÉ éTé/";
    QTest::newRow("linux: name untouched but for case") << posix << "/r"
                                                        << " a/b "
                                                        << "/r/ A/B /";
}

void TestFilingPaths::target()
{
    QFETCH(int, style);
    QFETCH(QString, root);
    QFETCH(QString, name);
    QFETCH(QString, target);
    QCOMPARE(kit::targetFolder(root, name, PathStyle(style)), target);
}

void TestFilingPaths::destination_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("prefix");
    QTest::addColumn<QString>("destination");
    const int win = int(PathStyle::Windows);
    const int posix = int(PathStyle::Posix);
    QTest::newRow("windows, prefixed")
        << win << R"(C:\Scans\a.pdf)" << true << R"(C:\ARCHIVES\FACTURES\FACTURES_a.pdf)";
    QTest::newRow("windows, plain")
        << win << R"(C:\Scans\a.pdf)" << false << R"(C:\ARCHIVES\FACTURES\a.pdf)";
    QTest::newRow("windows, drive-relative name")
        << win << "C:a.pdf" << false << R"(C:\ARCHIVES\FACTURES\a.pdf)";
    QTest::newRow("linux, prefixed, case kept")
        << posix << "/scans/Relevé.PDF" << true << R"(C:\ARCHIVES\FACTURES\FACTURES_Relevé.PDF)";
    QTest::newRow("linux, colon is part of the name")
        << posix << "/scans/a:b.txt" << false << R"(C:\ARCHIVES\FACTURES\a:b.txt)";
}

void TestFilingPaths::destination()
{
    QFETCH(int, style);
    QFETCH(QString, source);
    QFETCH(bool, prefix);
    QFETCH(QString, destination);
    QCOMPARE(kit::destinationPath(QStringLiteral(R"(C:\ARCHIVES\FACTURES\)"), source, prefix,
                                  QStringLiteral("FACTURES"), PathStyle(style)),
             destination);
}

void TestFilingPaths::isInList_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::newRow("empty list") << QStringList{} << "/a/" << false;
    QTest::newRow("other letter case")
        << QStringList{"/x/", "/Home/Bureau/F/"} << "/home/BUREAU/F/" << true;
    QTest::newRow("trailing slash differs") << QStringList{"/a"} << "/a/" << false;
    QTest::newRow("spaces are not trimmed") << QStringList{"/a/ "} << "/a/" << false;
    QTest::newRow("accented letters differ by case") << QStringList{"/é/"} << "/É/" << false;
}

void TestFilingPaths::isInList()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, text);
    QFETCH(bool, found);
    QListWidget list;
    list.addItems(entries);
    QCOMPARE(kit_LISTES::IsInList(text, &list), found);
}

void TestFilingPaths::valuesFromARecentFolder_data()
{
    QTest::addColumn<kit::PathStyle>("style");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("root");
    const auto win = kit::PathStyle::Windows;
    const auto posix = kit::PathStyle::Posix;
    QTest::newRow("win: the example") << win << R"(C:\SCANS\FACTURES\)"
                                      << "FACTURES"
                                      << R"(C:\SCANS\)";
    QTest::newRow("win: a drive's colon separates") << win << "C:FACTURES"
                                                    << "FACTURES"
                                                    << "C:";
    QTest::newRow("win: no separator") << win << "FACTURES"
                                       << "FACTURES"
                                       << "";
    QTest::newRow("win: only one separator removed") << win << R"(C:\A\\)"
                                                     << ""
                                                     << R"(C:\A\)";
    QTest::newRow("linux") << posix << "/home/u/SCANS/FACTURES/"
                           << "FACTURES"
                           << "/home/u/SCANS/";
    QTest::newRow("linux: a colon is a character") << posix << "/a:b/c:d/"
                                                   << "c:d"
                                                   << "/a:b/";
    QTest::newRow("linux: at the top") << posix << "/FACTURES/"
                                       << "FACTURES"
                                       << "/";
    QTest::newRow("linux: no separator") << posix << "FACTURES"
                                         << "FACTURES"
                                         << "";
}

void TestFilingPaths::valuesFromARecentFolder()
{
    QFETCH(kit::PathStyle, style);
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(QString, root);
    const kit::FolderValues values = kit::valuesFromTarget(entry, style);
    QCOMPARE(values.name, name);
    QCOMPARE(values.root, root);
}

RANGEUR_TEST_MAIN(TestFilingPaths)
#include "tst_filingpaths.moc"

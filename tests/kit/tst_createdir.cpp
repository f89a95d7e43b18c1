#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "ScriptedDialogs.h"
#include "kit_DIR.h"
#include "kit_Error.h"
#include "kit_Paths.h"

#include <QApplication>
#include <QtTest>

using kit::FolderChainResult;
using kit::PathStyle;

Q_DECLARE_METATYPE(kit::PathStyle)
Q_DECLARE_METATYPE(kit::FolderChainResult)

namespace {

// A file system held in a set, recording every folder the rule tries to make.
struct FakeFolders {
    QSet<QString> existing;
    QSet<QString> unmakable;
    QStringList attempts;

    kit::FolderSystem ops()
    {
        return {[this](const QString &p) { return existing.contains(p); },
                [this](const QString &p) {
                    attempts << p;
                    if (p.isEmpty() || unmakable.contains(p) || existing.contains(p))
                        return false;
                    existing << p;
                    return true;
                }};
    }
};

const QString failure = QStringLiteral("Echec de création du dossier \r\n\r\nDOSSIER=\"%1\"");

} // namespace

class TestCreateDir : public QObject {
    Q_OBJECT
private slots:
    void creationRule_data();
    void creationRule();
    void createDir_data();
    void createDir();
    void namesThatNeverReachTheDisk();
    void unreadablePathCountsAsExisting();
};

void TestCreateDir::creationRule_data()
{
    QTest::addColumn<PathStyle>("style");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("unmakable");
    QTest::addColumn<QString>("path");
    QTest::addColumn<FolderChainResult>("result");
    QTest::addColumn<QStringList>("attempts");

    const auto win = PathStyle::Windows;
    const auto posix = PathStyle::Posix;
    const auto exists = FolderChainResult::Exists;
    const auto failed = FolderChainResult::Failed;
    QTest::newRow("win: existing folder, trailing separator")
        << win << QStringList{"C:", R"(C:\A)"} << QStringList{} << R"(C:\A\)" << exists
        << QStringList{};
    QTest::newRow("win: three levels, outermost first")
        << win << QStringList{"C:", R"(C:\A)"} << QStringList{} << R"(C:\A\B\C\D\)" << exists
        << QStringList{R"(C:\A\B)", R"(C:\A\B\C)", R"(C:\A\B\C\D)"};
    QTest::newRow("win: missing drive is tried once, nothing below it")
        << win << QStringList{} << QStringList{"Z:"} << R"(Z:\X\Y\)" << failed << QStringList{"Z:"};
    QTest::newRow("win: levels made before a failure stay")
        << win << QStringList{"C:"} << QStringList{R"(C:\A\B\C)"} << R"(C:\A\B\C\D)" << failed
        << QStringList{R"(C:\A)", R"(C:\A\B)", R"(C:\A\B\C)"};
    QTest::newRow("win: \\NAME\\ is used when it exists")
        << win << QStringList{R"(\NAME)"} << QStringList{} << R"(\NAME\)" << exists
        << QStringList{};
    QTest::newRow("win: \\NAME\\ is never made")
        << win << QStringList{} << QStringList{} << R"(\NAME\)" << failed << QStringList{""};
    QTest::newRow("win: bare relative name")
        << win << QStringList{} << QStringList{} << R"(ABC\NAME\)"
        << FolderChainResult::RelativeName << QStringList{};
    QTest::newRow("win: a name under three characters is made directly")
        << win << QStringList{} << QStringList{} << R"(AB\NAME)" << exists
        << QStringList{"AB", R"(AB\NAME)"};
    QTest::newRow("posix: the root is kept, so a top-level folder can be made")
        << posix << QStringList{"/"} << QStringList{} << "/srv/x/" << exists
        << QStringList{"/srv", "/srv/x"};
    QTest::newRow("posix: a colon is an ordinary character")
        << posix << QStringList{"/"} << QStringList{} << "/a:b/c" << exists
        << QStringList{"/a:b", "/a:b/c"};
    QTest::newRow("posix: bare relative name")
        << posix << QStringList{} << QStringList{} << "abc/def/" << FolderChainResult::RelativeName
        << QStringList{};
}

void TestCreateDir::creationRule()
{
    QFETCH(PathStyle, style);
    QFETCH(QStringList, existing);
    QFETCH(QStringList, unmakable);
    QFETCH(QString, path);
    QFETCH(FolderChainResult, result);
    QFETCH(QStringList, attempts);
    FakeFolders fs{QSet<QString>(existing.begin(), existing.end()),
                   QSet<QString>(unmakable.begin(), unmakable.end()),
                   {}};
    QCOMPARE(kit::createFolderChain(path, style, fs.ops()), result);
    QCOMPARE(fs.attempts, attempts);
}

void TestCreateDir::createDir_data()
{
    // Paths are relative to a fixture folder holding: folder/, file, linkToFolder ->
    // folder, dangling -> nowhere.
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("message"); // %1: the full path
    QTest::addColumn<QStringList>("foldersAfter");

    QTest::newRow("existing folder") << "folder" << true << "" << QStringList{"folder"};
    QTest::newRow("existing folder, trailing separator")
        << "folder/" << true << "" << QStringList{"folder"};
    QTest::newRow("link to a folder") << "linkToFolder/" << true << "" << QStringList{};
    QTest::newRow("three missing levels")
        << "a/b/c/" << true << "" << QStringList{"a", "a/b", "a/b/c"};
    QTest::newRow("a file in the way") << "file" << false << failure << QStringList{};
    QTest::newRow("a parent that is a file") << "file/sub/" << false << failure << QStringList{};
    QTest::newRow("a dangling link in the way") << "dangling" << false << failure << QStringList{};
    QTest::newRow("levels made before a failure stay")
        << "made/" + QString(300, u'n') + "/x" << false << failure << QStringList{"made"};
    QTest::newRow("a name from bytes that were not UTF-8")
        << QString::fromUtf8("caf\uFFFD/F/") << false << failure << QStringList{};
}

void TestCreateDir::createDir()
{
    QFETCH(QString, path);
    QFETCH(bool, result);
    QFETCH(QString, message);
    QFETCH(QStringList, foldersAfter);
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkdir("folder"));
    makeFile(tmp.filePath("file"), {});
    QVERIFY(QFile::link(tmp.filePath("folder"), tmp.filePath("linkToFolder")));
    QVERIFY(QFile::link(tmp.filePath("nowhere"), tmp.filePath("dangling")));

    const QString full = tmp.filePath(path);
    ScriptedDialogs dialogs;
    QCOMPARE(kit_DIR::CreateDir(full), result);
    QCOMPARE(dialogs.texts(), message.isEmpty() ? QStringList{} : QStringList{message.arg(full)});
    for (const QString &folder : foldersAfter)
        QVERIFY2(QFileInfo(tmp.filePath(folder)).isDir(), qPrintable(folder));
    QVERIFY2(QFileInfo(tmp.filePath("file")).isFile(), "the file in the way is left alone");
    QVERIFY2(result || !QFileInfo(full).isDir(), "a failed creation leaves no folder there");
}

void TestCreateDir::namesThatNeverReachTheDisk()
{
    QTemporaryDir tmp;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp.path()));
    ScriptedDialogs dialogs;
    try {
        kit_DIR::CreateDir("ABC/NAME/");
        QDir::setCurrent(previous);
        QFAIL("a relative name without a separator must raise");
    } catch (const kit::Error &e) {
        QDir::setCurrent(previous);
        QCOMPARE(e.message(), QStringLiteral("Impossible de créer le répertoire"));
    }
    QVERIFY2(QDir(tmp.path()).isEmpty(), "nothing is created");
    QCOMPARE(dialogs.texts(), QStringList{});

    QCOMPARE(kit_DIR::CreateDir(""), false);
    QCOMPARE(dialogs.texts(),
             QStringList{"KIT_DIR : CreateDir \r\nLe nom de dossier ne peut êre vide"});
}

void TestCreateDir::unreadablePathCountsAsExisting()
{
    QTemporaryDir tmp;
    const QString locked = tmp.filePath("locked");
    QVERIFY(QDir().mkdir(locked));
    QVERIFY(QFile::setPermissions(locked, {}));
    ScriptedDialogs dialogs;
    bool result = false;
    {
        AsOrdinaryUser user;
        result = kit_DIR::CreateDir(locked + "/inner/");
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(result, "a path whose attributes cannot be read counts as an existing folder");
    QCOMPARE(dialogs.texts(), QStringList{});
    QVERIFY2(!QFileInfo::exists(locked + "/inner"), "nothing is created");
}

RANGEUR_TEST_MAIN(TestCreateDir)
#include "tst_createdir.moc"

#include "TestEnvironment.h"
#include "kit_Text.h"
#include "kit_Title.h"

#include <QApplication>
#include <QtTest>

class TestTextRules : public QObject {
    Q_OBJECT
private slots:
    void applicationTitle_data();
    void applicationTitle();
    void errorBoxFullStop_data();
    void errorBoxFullStop();
    void asciiCase();
    void simpleUpperKeepsLength();
    void wrapPoints_data();
    void wrapPoints();
};

void TestTextRules::applicationTitle_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("title");
    QTest::newRow("upper-case name and extension") << "/opt/RANGEUR.EXE"
                                                   << "Rangeur";
    QTest::newRow("cut before the first dot") << "/opt/rangeur.old.exe"
                                              << "rangeur";
    QTest::newRow("no extension") << "/usr/bin/rangeur"
                                  << "rangeur";
    QTest::newRow("dot in a folder name is not the file's") << "/opt/mes.outils/Rangeur"
                                                            << "Rangeur";
    QTest::newRow("first character unchanged, accents lowered") << "/x/ÉCOLE.exe"
                                                                << "École";
    QTest::newRow("full lower-case mapping") << "/x/AİB" << QString::fromUtf8("Ai\u0307b");
    QTest::newRow("lower first letter stays lower") << "/x/rANGEUR"
                                                    << "rangeur";
    QTest::newRow("name that starts with a dot") << "/x/.hidden"
                                                 << "";
}

void TestTextRules::applicationTitle()
{
    QFETCH(QString, executable);
    QFETCH(QString, title);
    QCOMPARE(kit::applicationTitle(executable), title);
}

void TestTextRules::errorBoxFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("path ending in .INI") << "Impossible d'écrire dans /opt/rangeur.INI"
                                         << "Impossible d'écrire dans /opt/rangeur.INI.";
    QTest::newRow("closing parenthesis") << "Index de liste hors limites (-1)"
                                         << "Index de liste hors limites (-1).";
    QTest::newRow("digit") << "a9"
                           << "a9.";
    QTest::newRow("accented letter") << "non trouvé"
                                     << "non trouvé.";
    QTest::newRow("slash sorts after the full stop") << "a/"
                                                     << "a/.";
    QTest::newRow("full stop") << "Fini."
                               << "Fini.";
    QTest::newRow("exclamation mark") << "Attention !"
                                      << "Attention !";
    QTest::newRow("question mark") << "Vraiment ?"
                                   << "Vraiment ?";
    QTest::newRow("trailing space") << "espace "
                                    << "espace ";
    QTest::newRow("colon sorts after the full stop") << "Erreur :"
                                                     << "Erreur :.";
    QTest::newRow("quote sorts before the full stop") << "fichier \"a\""
                                                      << "fichier \"a\"";
    QTest::newRow("hyphen sorts before the full stop") << "a-"
                                                       << "a-";
    QTest::newRow("empty") << ""
                           << "";
}

void TestTextRules::errorBoxFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(kit::errorBoxText(message), shown);
}

void TestTextRules::asciiCase()
{
    QCOMPARE(kit::asciiUpper(QStringLiteral("C:\\Archives\\été")),
             QStringLiteral("C:\\ARCHIVES\\éTé"));
    QCOMPARE(kit::asciiLower(QStringLiteral("ÉTÉ AbZ")), QStringLiteral("ÉtÉ abz"));
}

void TestTextRules::simpleUpperKeepsLength()
{
    QCOMPARE(kit::simpleUpper(QStringLiteral("été")), QStringLiteral("ÉTÉ"));
    // Full mappings would lengthen these and move the user's cursor.
    QCOMPARE(kit::simpleUpper(QStringLiteral("straße")), QStringLiteral("STRAßE"));
    QCOMPARE(kit::simpleUpper(QStringLiteral("ŉ")), QStringLiteral("ŉ"));
    QCOMPARE(kit::simpleUpper(QString::fromUcs4(U"\U00010428")), QString::fromUcs4(U"\U00010400"));
    // A lone surrogate read from a UTF-16 list is kept, not replaced, so it is saved as it came.
    const QString lone = QStringLiteral("é") + QChar(0xD800) + QStringLiteral("a") + QChar(0xDC00);
    QCOMPARE(kit::simpleUpper(lone),
             QStringLiteral("É") + QChar(0xD800) + QStringLiteral("A") + QChar(0xDC00));
}

void TestTextRules::wrapPoints_data()
{
    // "|" stands for a wrap point in `shown`; runs of more than 5 characters get them.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("words up to the limit are left alone") << "Il a vu\r\n/tmp/"
                                                          << "Il a vu\r\n/tmp/";
    QTest::newRow("a long word may break anywhere") << "ab /abcdefgh"
                                                    << "ab /|a|b|c|d|e|f|g|h";
    QTest::newRow("never before a combining mark") << "e\u0301e\u0301eee"
                                                   << "e\u0301|e\u0301|e|e|e";
    QTest::newRow("never inside a surrogate pair") << "a\U0001F600bcde"
                                                   << "a|\U0001F600|b|c|d|e";
    QTest::newRow("each long run of a line on its own") << "abcdef\nxy\tabcdefg"
                                                        << "a|b|c|d|e|f\nxy\ta|b|c|d|e|f|g";
}

void TestTextRules::wrapPoints()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const QString wrapped = kit::wrappableAnywhere(text, 5);
    QCOMPARE(QString(wrapped).replace(QChar(kit::wrapPoint), u'|'), shown);
    QCOMPARE(QString(wrapped).remove(QChar(kit::wrapPoint)), text);
}

RANGEUR_TEST_MAIN(TestTextRules)
#include "tst_textrules.moc"

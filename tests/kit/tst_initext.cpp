// The settings file as text, its values and its name: rules without any file or window.
#include "kit_IniText.h"
#include "kit_IniValues.h"

#include <QtTest>

Q_DECLARE_METATYPE(kit::PathStyle)
Q_DECLARE_METATYPE(kit::ListEncoding)

namespace {

// "<absent>" stands for a key that is not found, which no row stores.
const QString absent = QStringLiteral("<absent>");

QString read(const QByteArray &file, const QString &section, const QString &key)
{
    return kit::IniText::fromBytes(file).value(section, key).value_or(absent);
}

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

QByteArray utf16le(const QString &text)
{
    return utf16(text, false);
}

} // namespace

class TestIniText : public QObject {
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void write_data();
    void write();
    void valuesReadBackAsWritten_data();
    void valuesReadBackAsWritten();
    void lineBreakInAValueAddsNoKey();
    void encodingsAndLineEndsKept_data();
    void encodingsAndLineEndsKept();
    void windowsFileUpdatedInPlace();
    void unusableNamesAreRefused_data();
    void unusableNamesAreRefused();
    void numbersAndOptions_data();
    void numbersAndOptions();
    void splitString_data();
    void splitString();
    void fileNames_data();
    void fileNames();
};

void TestIniText::lookup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QByteArray options = "[OPTIONS]\nFICHIER=FACTURES\n";
    QTest::newRow("as written") << options << "OPTIONS"
                                << "FICHIER"
                                << "FACTURES";
    QTest::newRow("section in another case") << options << "options"
                                             << "FICHIER"
                                             << "FACTURES";
    QTest::newRow("key in another case") << options << "OPTIONS"
                                         << "Fichier"
                                         << "FACTURES";
    QTest::newRow("no such key") << options << "OPTIONS"
                                 << "DOSSIER" << absent;
    QTest::newRow("no such section") << options << "Rangeur"
                                     << "FICHIER" << absent;
    QTest::newRow("no file") << QByteArray() << "OPTIONS"
                             << "FICHIER" << absent;
    QTest::newRow("only in another section") << QByteArray("[A]\nk=1\n[B]\nj=2\n") << "B"
                                             << "k" << absent;
    QTest::newRow("before any section") << QByteArray("k=1\n[A]\n") << "A"
                                        << "k" << absent;
    QTest::newRow("empty value is a value") << QByteArray("[A]\nk=\n") << "A"
                                            << "k"
                                            << "";
    QTest::newRow("first of two keys") << QByteArray("[A]\nk=1\nK=2\n") << "A"
                                       << "k"
                                       << "1";
    QTest::newRow("first of two sections") << QByteArray("[A]\nk=1\n[a]\nk=2\n") << "A"
                                           << "k"
                                           << "1";
    QTest::newRow("comment is no key") << QByteArray("[A]\n;k=1\n#k=2\n") << "A"
                                       << "k" << absent;
    QTest::newRow("spaces around names and value")
        << QByteArray("  [ A ]  \n\t k \t= \tv w \t\n") << "A"
        << "k"
        << "v w";
    QTest::newRow("quotes around the value") << QByteArray("[A]\nk=\" v \"\nj='w'\n") << "A"
                                             << "k"
                                             << " v ";
    QTest::newRow("unmatched quotes stay") << QByteArray("[A]\nk=\"v'\n") << "A"
                                           << "k"
                                           << "\"v'";
    QTest::newRow("backslashes and equals signs as they are")
        << QByteArray("[A]\nk=C:\\Users\\u\\desktop\\=x\\n\n") << "A"
        << "k"
        << "C:\\Users\\u\\desktop\\=x\\n";
    QTest::newRow("lone CR ends a line") << QByteArray("[A]\rk=1\rj=2") << "A"
                                         << "j"
                                         << "2";
    QTest::newRow("escaped line break") << QByteArray("[A]\nk=@Lines(a%0Ab%25)\n") << "A"
                                        << "k"
                                        << "a\nb%";
    QTest::newRow("not our escape: as it stands") << QByteArray("[A]\nk=@Lines(50%)\n") << "A"
                                                  << "k"
                                                  << "@Lines(50%)";
    QTest::newRow("cut at 2047") << "[A]\nk=" + QByteArray(3000, 'x') + "\n"
                                 << "A"
                                 << "k" << QString(2047, u'x');
    QTest::newRow("cut never splits a character")
        << "[A]\nk=" + QByteArray(2046, 'x') + "\xF0\x9F\x98\x80" + "\n"
        << "A"
        << "k" << QString(2046, u'x');
}

void TestIniText::lookup()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QCOMPARE(read(file, section, key), value);
}

void TestIniText::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file: UTF-8, LF")
        << QByteArray() << "OPTIONS"
        << "FICHIER"
        << "ÉTÉ" << QStringLiteral("[OPTIONS]\nFICHIER=ÉTÉ\n").toUtf8();
    QTest::newRow("existing key: in place, its spelling and every other line kept")
        << QByteArray("; mine\n[options]\n  Fichier = OLD\nautre=1\n\n[X]\ny=2\n") << "OPTIONS"
        << "FICHIER"
        << "NEW" << QByteArray("; mine\n[options]\n  Fichier =NEW\nautre=1\n\n[X]\ny=2\n");
    QTest::newRow("new key: after the section's last line, before its blank lines")
        << QByteArray("[A]\na=1\n; note\n\n[B]\nb=1\n") << "A"
        << "c"
        << "3" << QByteArray("[A]\na=1\n; note\nc=3\n\n[B]\nb=1\n");
    QTest::newRow("new key in an empty last section") << QByteArray("[A]\na=1\n[B]") << "B"
                                                      << "b"
                                                      << "2" << QByteArray("[A]\na=1\n[B]\nb=2\n");
    QTest::newRow("new section at the end, after a line without its end")
        << QByteArray("[A]\na=1") << "B"
        << "b"
        << "2" << QByteArray("[A]\na=1\n[B]\nb=2\n");
    QTest::newRow("CR LF file: new lines in CR LF")
        << QByteArray("[A]\r\na=1\r\n") << "B"
        << "b"
        << "2" << QByteArray("[A]\r\na=1\r\n[B]\r\nb=2\r\n");
    QTest::newRow("spaces at the ends: quoted")
        << QByteArray() << "A"
        << "k"
        << " /home/u/x " << QByteArray("[A]\nk=\" /home/u/x \"\n");
    QTest::newRow("quotes around: quoted again") << QByteArray() << "A"
                                                 << "k"
                                                 << "'x'" << QByteArray("[A]\nk=\"'x'\"\n");
    QTest::newRow("line break: escaped")
        << QByteArray() << "A"
        << "k"
        << "/tmp/a\nb%" << QByteArray("[A]\nk=@Lines(/tmp/a%0Ab%25)\n");
    QTest::newRow("empty value") << QByteArray("[A]\nk=1\n") << "A"
                                 << "k"
                                 << "" << QByteArray("[A]\nk=\n");
}

void TestIniText::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    kit::IniText ini = kit::IniText::fromBytes(before);
    QVERIFY(ini.setValue(section, key, value));
    QCOMPARE(ini.toBytes(), after);
    QCOMPARE(read(after, section, key), value);
}

void TestIniText::valuesReadBackAsWritten_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << "";
    QTest::newRow("Windows path") << R"(C:\Users\u\desktop\)";
    QTest::newRow("Linux path with spaces") << "/home/u/Mes documents/";
    QTest::newRow("spaces and tabs at both ends") << " \t x \t ";
    QTest::newRow("double quotes around") << "\"x\"";
    QTest::newRow("a lone quote") << "\"";
    QTest::newRow("two quotes") << "\"\"";
    QTest::newRow("LF") << "/home/u/a\nb/";
    QTest::newRow("CR LF and a lone CR") << "a\r\nb\rc";
    QTest::newRow("begins with the escape") << "@Lines(a%0Ab)";
    QTest::newRow("percent codes without a line break") << "50%0A";
    QTest::newRow("equals signs, brackets, semicolons") << "=[x];#";
    QTest::newRow("beyond the BMP") << "été \U0001F600";
}

// Through the bytes and back, among other keys, which keep their values.
void TestIniText::valuesReadBackAsWritten()
{
    QFETCH(QString, value);
    const QByteArray before = "[A]\nk=old\nj=1\n[B]\nk=2\n";
    kit::IniText ini = kit::IniText::fromBytes(before);
    QVERIFY(ini.setValue("A", "k", value));
    const QByteArray bytes = ini.toBytes();
    QCOMPARE(read(bytes, "A", "k"), value);
    QCOMPARE(read(bytes, "A", "j"), "1");
    QCOMPARE(read(bytes, "B", "k"), "2");
    QCOMPARE(kit::IniText::fromBytes(bytes).lines().size(), 5);
    // Added as a new key too.
    QVERIFY(ini.setValue("B", "new", value));
    QCOMPARE(read(ini.toBytes(), "B", "new"), value);
    QCOMPARE(kit::IniText::fromBytes(ini.toBytes()).lines().size(), 6);
}

// A Linux path may hold a line break: it must not end the line and start another key.
void TestIniText::lineBreakInAValueAddsNoKey()
{
    const QString evil = QStringLiteral("/tmp/x\n[OPTIONS]\nchk_SAME=0\r\nDOSSIER=/etc/");
    kit::IniText ini = kit::IniText::fromBytes("[OPTIONS]\nchk_SAME=1\n");
    QVERIFY(ini.setValue("OPTIONS", "FICHIER", evil));
    const QByteArray bytes = ini.toBytes();
    QCOMPARE(kit::IniText::fromBytes(bytes).lines(),
             (QStringList{"[OPTIONS]", "chk_SAME=1",
                          "FICHIER=@Lines(/tmp/x%0A[OPTIONS]%0Achk_SAME=0%0D%0ADOSSIER=/etc/)"}));
    QCOMPARE(read(bytes, "OPTIONS", "chk_SAME"), "1");
    QCOMPARE(read(bytes, "OPTIONS", "DOSSIER"), absent);
    QCOMPARE(read(bytes, "OPTIONS", "FICHIER"), evil);
}

void TestIniText::encodingsAndLineEndsKept_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<kit::ListEncoding>("encoding");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("UTF-8 with its mark, CR LF")
        << QByteArray("\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\n") << kit::ListEncoding::Utf8
        << QByteArray("\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nn=\xE2\x82\xAC\r\n");
    QTest::newRow("UTF-8 without a mark, LF")
        << QByteArray("[A]\nk=\xC3\xA9t\xC3\xA9\n") << kit::ListEncoding::Ansi
        << QByteArray("[A]\nk=\xC3\xA9t\xC3\xA9\nn=\xE2\x82\xAC\n");
    QTest::newRow("UTF-16 LE with its mark")
        << utf16le("[A]\r\nk=été\r\n") << kit::ListEncoding::Utf16LE
        << utf16le("[A]\r\nk=été\r\nn=€\r\n");
    QTest::newRow("UTF-16 BE with its mark")
        << utf16("[A]\nk=é\n", true) << kit::ListEncoding::Utf16BE
        << utf16("[A]\nk=é\nn=€\n", true);
    // A Windows copy cut short in the middle of a character: the byte left over stays last.
    QTest::newRow("UTF-16 LE, an odd last byte, the key edited")
        << utf16le("[A]\r\nk=été\r\nn=1\r\n") + 'F' << kit::ListEncoding::Utf16LE
        << utf16le("[A]\r\nk=été\r\nn=€\r\n") + 'F';
    QTest::newRow("UTF-16 BE, an odd last byte (NUL), the key added after a last line")
        << utf16("[A]\nk=é", true) + QByteArray(1, '\0') << kit::ListEncoding::Utf16BE
        << utf16("[A]\nk=é\nn=€\n", true) + QByteArray(1, '\0');
    const QString lone = QChar(0xDC00) + QStringLiteral("é") + QChar(0xD800);
    QTest::newRow("UTF-16 LE, lone surrogates")
        << utf16le("[A]\r\nk=" + lone + "\r\n") << kit::ListEncoding::Utf16LE
        << utf16le("[A]\r\nk=" + lone + "\r\nn=€\r\n");
    QTest::newRow("UTF-16 BE, a lone surrogate ends the file")
        << utf16(QStringLiteral("[A]\nk=x") + QChar(0xDBFF), true) << kit::ListEncoding::Utf16BE
        << utf16(QStringLiteral("[A]\nk=x") + QChar(0xDBFF) + QStringLiteral("\nn=€\n"), true);
    // The system's code page is UTF-8 here: a Windows-1252 file keeps its accents and is
    // written back in UTF-8.
    QTest::newRow("Windows-1252") << QByteArray("[A]\r\nk=\xC9T\xC9 \x80\r\n")
                                  << kit::ListEncoding::Ansi
                                  << QByteArray("[A]\r\nk=\xC3\x89T\xC3\x89 \xE2\x82\xAC\r\n"
                                                "n=\xE2\x82\xAC\r\n");
}

void TestIniText::encodingsAndLineEndsKept()
{
    QFETCH(QByteArray, before);
    QFETCH(kit::ListEncoding, encoding);
    QFETCH(QByteArray, after);
    kit::IniText ini = kit::IniText::fromBytes(before);
    QCOMPARE(ini.encoding(), encoding);
    // Unedited, a file that has its mark or is valid UTF-8 comes back byte for byte.
    if (encoding != kit::ListEncoding::Ansi || QString::fromUtf8(before).toUtf8() == before)
        QCOMPARE(ini.toBytes(), before);
    QVERIFY(ini.setValue("A", "n", QStringLiteral("€")));
    QCOMPARE(ini.toBytes(), after);
}

// A file written by a Windows copy: UTF-16 LE with its mark, CR LF, a comment, blank lines and a
// section of its own; updated in place and read back by the same code.
void TestIniText::windowsFileUpdatedInPlace()
{
    QFile file(QFINDTESTDATA("../data/ini-windows-utf16le.INI"));
    QVERIFY2(file.open(QIODevice::ReadOnly), "test data missing");
    const QByteArray original = file.readAll();
    kit::IniText ini = kit::IniText::fromBytes(original);
    QCOMPARE(ini.encoding(), kit::ListEncoding::Utf16LE);
    QCOMPARE(ini.lineEnd(), "\r\n");
    QCOMPARE(ini.value("rangeur", "form1"), "120:80:387:433");
    QCOMPARE(ini.value("OPTIONS", "FICHIER"), "ÉTÉ 2024");
    QCOMPARE(ini.value("OPTIONS", "DOSSIER"), R"(C:\Users\utilisateur\desktop\)");

    QVERIFY(ini.setValue("OPTIONS", "FICHIER", "FACTURES"));
    QVERIFY(ini.setValue("OPTIONS", "chk_SORT", "1"));
    QVERIFY(ini.setValue("Rangeur", "Form1", "-8:0:400:300"));
    QVERIFY(ini.setValue("Nouveau", "clé", "été"));
    QString expected = QStringLiteral("; Réglages écrits par la copie Windows\r\n"
                                      "[Rangeur]\r\n"
                                      "Form1=-8:0:400:300\r\n"
                                      "\r\n"
                                      "[Outils]\r\n"
                                      "Dernier=C:\\Outils\\Rangeur.exe\r\n"
                                      "\r\n"
                                      "[OPTIONS]\r\n"
                                      "chk_SAME=0\r\n"
                                      "chk_Confirm=1\r\n"
                                      "FICHIER=FACTURES\r\n"
                                      "DOSSIER=C:\\Users\\utilisateur\\desktop\\\r\n"
                                      "chk_SORT=1\r\n"
                                      "[Nouveau]\r\n"
                                      "clé=été\r\n");
    QCOMPARE(ini.toBytes(), utf16le(expected));
    const kit::IniText again = kit::IniText::fromBytes(ini.toBytes());
    QCOMPARE(again.value("OUTILS", "dernier"), R"(C:\Outils\Rangeur.exe)");
    QCOMPARE(again.value("nouveau", "CLé"), "été");
}

void TestIniText::unusableNamesAreRefused_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("empty key") << "A"
                               << "";
    QTest::newRow("empty section") << ""
                                   << "k";
    QTest::newRow("key with =") << "A"
                                << "a=b";
    QTest::newRow("section with ]") << "A]"
                                    << "k";
    QTest::newRow("key with a line break") << "A"
                                           << "k\nj";
    QTest::newRow("key read as a section") << "A"
                                           << "[k";
    QTest::newRow("key read as a comment") << "A"
                                           << ";k";
    QTest::newRow("space at an end") << "A "
                                     << "k";
}

void TestIniText::unusableNamesAreRefused()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    const QByteArray before = "[A]\nk=1\n";
    kit::IniText ini = kit::IniText::fromBytes(before);
    QVERIFY(!ini.setValue(section, key, "x"));
    QCOMPARE(ini.toBytes(), before);
}

void TestIniText::numbersAndOptions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("number"); // invalid: not a number
    QTest::addColumn<QVariant>("option"); // invalid: the option keeps its state
    QTest::newRow("1") << "1" << QVariant(1) << QVariant(true);
    QTest::newRow("2") << "2" << QVariant(2) << QVariant(true);
    QTest::newRow("-1") << "-1" << QVariant(-1) << QVariant(true);
    QTest::newRow("0x10") << "0x10" << QVariant(16) << QVariant(true);
    QTest::newRow("$1F") << "$1F" << QVariant(31) << QVariant(true);
    QTest::newRow("0") << "0" << QVariant(0) << QVariant(false);
    QTest::newRow("0x0") << "0x0" << QVariant(0) << QVariant(false);
    QTest::newRow("00") << "00" << QVariant(0) << QVariant(false);
    QTest::newRow("true") << "true" << QVariant() << QVariant();
    QTest::newRow("oui") << "oui" << QVariant() << QVariant();
    QTest::newRow("empty") << "" << QVariant() << QVariant();
    QTest::newRow("leading spaces and a sign") << "  +42" << QVariant(42) << QVariant(true);
    QTest::newRow("x and upper-case 0X") << "x1f" << QVariant(31) << QVariant(true);
    QTest::newRow("0X") << "0XfF" << QVariant(255) << QVariant(true);
    QTest::newRow("negative hexadecimal") << "-$10" << QVariant(-16) << QVariant(true);
    QTest::newRow("trailing space") << "1 " << QVariant() << QVariant();
    QTest::newRow("leading tab") << "\t1" << QVariant() << QVariant();
    QTest::newRow("two signs") << "--1" << QVariant() << QVariant();
    QTest::newRow("prefix without digits") << "$" << QVariant() << QVariant();
    QTest::newRow("0x alone") << "0x" << QVariant() << QVariant();
    QTest::newRow("hexadecimal digit in a decimal") << "1A" << QVariant() << QVariant();
    QTest::newRow("largest") << "2147483647" << QVariant(2147483647) << QVariant(true);
    QTest::newRow("smallest") << "-2147483648" << QVariant(int(-2147483648LL)) << QVariant(true);
    QTest::newRow("too large") << "2147483648" << QVariant() << QVariant();
    QTest::newRow("32 bits of hexadecimal") << "$FFFFFFFF" << QVariant(-1) << QVariant(true);
    QTest::newRow("more than 32 bits") << "$100000000" << QVariant() << QVariant();
    QTest::newRow("digits from elsewhere") << "\u0661" << QVariant() << QVariant();
}

void TestIniText::numbersAndOptions()
{
    QFETCH(QString, text);
    QFETCH(QVariant, number);
    QFETCH(QVariant, option);
    const std::optional<int> got = kit::textToInt(text);
    QCOMPARE(got.has_value(), number.isValid());
    if (got)
        QCOMPARE(*got, number.toInt());
    QCOMPARE(kit::textToBool(text, false), option.isValid() ? option.toBool() : false);
    QCOMPARE(kit::textToBool(text, true), option.isValid() ? option.toBool() : true);
}

void TestIniText::splitString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("four fields") << "10:20:30:40"
                                 << ":" << QStringList{"10", "20", "30", "40"};
    QTest::newRow("empty field kept") << "a::b"
                                      << ":" << QStringList{"a", "", "b"};
    QTest::newRow("empty last field dropped") << "a:"
                                              << ":" << QStringList{"a"};
    QTest::newRow("empty text") << ""
                                << ":" << QStringList{};
    QTest::newRow("empty separator") << "a:b"
                                     << "" << QStringList{"a:b"};
    QTest::newRow("longer separator") << "a::b"
                                      << "::" << QStringList{"a", "b"};
}

void TestIniText::splitString()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QStringList, fields);
    QCOMPARE(kit::splitString(text, separator), fields);
}

void TestIniText::fileNames_data()
{
    QTest::addColumn<kit::PathStyle>("style");
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("iniPath");
    QTest::addColumn<QString>("baseName");
    const auto win = kit::PathStyle::Windows;
    const auto posix = kit::PathStyle::Posix;
    QTest::newRow("win") << win << R"(C:\Outils\Rangeur.exe)"
                         << R"(C:\Outils\Rangeur.INI)"
                         << "Rangeur";
    QTest::newRow("win: dot in a folder, none in the name") << win << R"(C:\Mes.outils\Rangeur)"
                                                            << R"(C:\Mes.outils\Rangeur.INI)"
                                                            << "Rangeur";
    QTest::newRow("win: drive without a separator") << win << "C:Rangeur.exe"
                                                    << "C:Rangeur.INI"
                                                    << "Rangeur";
    QTest::newRow("win: last dot only") << win << R"(C:\a\R.v2.exe)"
                                        << R"(C:\a\R.v2.INI)"
                                        << "R.v2";
    QTest::newRow("linux") << posix << "/opt/rangeur/rangeur"
                           << "/opt/rangeur/rangeur.INI"
                           << "rangeur";
    QTest::newRow("linux: dot in a folder") << posix << "/home/u/v1.2/rangeur"
                                            << "/home/u/v1.2/rangeur.INI"
                                            << "rangeur";
    QTest::newRow("linux: a colon is a character") << posix << "/a/b:rangeur.bin"
                                                   << "/a/b:rangeur.INI"
                                                   << "b:rangeur";
    QTest::newRow("a leading dot is no extension") << posix << ".rangeur"
                                                   << ".rangeur.INI"
                                                   << ".rangeur";
}

void TestIniText::fileNames()
{
    QFETCH(kit::PathStyle, style);
    QFETCH(QString, executable);
    QFETCH(QString, iniPath);
    QFETCH(QString, baseName);
    QCOMPARE(kit::replaceExtension(executable, ".INI", style), iniPath);
    QCOMPARE(kit::exeBaseName(executable, false, style), baseName);
    QCOMPARE(kit::exeBaseName(executable, true, style), baseName.toUpper());
}

QTEST_GUILESS_MAIN(TestIniText)
#include "tst_initext.moc"

// The list-file codec: encodings, line breaks, and round trips that keep the encoding.
#include "TestEnvironment.h"
#include "kit_ListFile.h"

#include <QApplication>
#include <QFile>
#include <QtTest>

using kit::ListEncoding;

Q_DECLARE_METATYPE(kit::ListEncoding)

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QFINDTESTDATA(QStringLiteral("../data/") + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList sampleEntries{"FACTURES", "ÉTÉ 2024", "Relevé  tab\there", ""};

} // namespace

class TestListFile : public QObject {
    Q_OBJECT
private slots:
    void encodingsFromFiles_data();
    void encodingsFromFiles();
    void lineBreaks_data();
    void lineBreaks();
    void writing_data();
    void writing();
    void roundTripsKeepTheEncoding_data();
    void roundTripsKeepTheEncoding();
    void onlyEntriesThatReadBackCanBeHeld_data();
    void onlyEntriesThatReadBackCanBeHeld();
};

void TestListFile::encodingsFromFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<ListEncoding>("encoding");
    QTest::addColumn<bool>("writtenBackAsRead");
    QTest::newRow("UTF-8 with its mark")
        << "list-utf8-bom.txt" << sampleEntries << ListEncoding::Utf8 << true;
    QTest::newRow("UTF-16 little-endian")
        << "list-utf16le.txt" << sampleEntries << ListEncoding::Utf16LE << true;
    QTest::newRow("UTF-16 big-endian")
        << "list-utf16be.txt" << sampleEntries << ListEncoding::Utf16BE << true;
    QTest::newRow("no mark: the system's code page, UTF-8")
        << "list-ansi-utf8.txt" << sampleEntries << ListEncoding::Ansi << true;
    // A Windows copy cut short in the middle of a character: the byte left over is kept.
    QTest::newRow("UTF-16 little-endian, an odd last byte")
        << "list-utf16le-odd-byte.txt" << sampleEntries << ListEncoding::Utf16LE << true;
    QTest::newRow("UTF-16 big-endian, an odd last byte (NUL)")
        << "list-utf16be-odd-byte.txt" << sampleEntries << ListEncoding::Utf16BE << true;
    QTest::newRow("UTF-16 little-endian, lone surrogates")
        << "list-utf16le-lone-surrogates.txt"
        << QStringList{QChar(0xD800) + QStringLiteral("FACTURES"),
                       QStringLiteral("ÉTÉ") + QChar(0xDC00),
                       QString(QChar(0xDC00)) + QChar(0xD800), QStringLiteral("\U0001F600")}
        << ListEncoding::Utf16LE << true;
    QTest::newRow("no mark, not UTF-8: written on Windows")
        << "list-windows-1252.txt" << QStringList{"FACTURES", "ÉTÉ 2024", "Coût 100€ – œuvre"}
        << ListEncoding::Ansi << false;
}

void TestListFile::encodingsFromFiles()
{
    QFETCH(QString, file);
    QFETCH(QStringList, entries);
    QFETCH(ListEncoding, encoding);
    QFETCH(bool, writtenBackAsRead);
    const QByteArray bytes = fixture(file);
    QVERIFY2(!bytes.isEmpty(), qPrintable("test data missing: " + file));
    const kit::DecodedList list = kit::decodeListFile(bytes);
    QCOMPARE(list.entries, entries);
    QCOMPARE(list.encoding, encoding);
    const QByteArray written = kit::encodeListFile(list.entries, list.encoding);
    if (writtenBackAsRead) {
        QCOMPARE(written, bytes);
    } else {
        QCOMPARE(written, QStringLiteral("FACTURES\r\nÉTÉ 2024\r\nCoût 100€ – œuvre\r\n").toUtf8());
    }
}

void TestListFile::lineBreaks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("CR, LF and none: a, b, c")
        << QByteArray("a\rb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("last line without a break") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("a final break adds no entry") << QByteArray("a\n") << QStringList{"a"};
    QTest::newRow("empty lines are entries")
        << QByteArray("\r\na\r\n\r\n") << QStringList{"", "a", ""};
    QTest::newRow("a lone break is one empty entry") << QByteArray("\n") << QStringList{""};
    QTest::newRow("spaces and tabs belong to the entry")
        << QByteArray(" a \t\r\n\t") << QStringList{" a \t", "\t"};
    QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd", 10) << QStringList{"a", "b"};
    QTest::newRow("bytes after a NUL do not sway detection")
        << QByteArray("\xc3\xa9\0\xe9", 4) << QStringList{"é"};
    QTest::newRow("NUL in UTF-16") << QByteArray("\xff\xfe"
                                                 "a\0\0\0b\0",
                                                 8)
                                   << QStringList{"a"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("mark alone, UTF-8") << QByteArray("\xef\xbb\xbf") << QStringList{};
    QTest::newRow("mark alone, UTF-16") << QByteArray("\xfe\xff") << QStringList{};
    QTest::newRow("a second mark is the first entry's text")
        << QByteArray("\xef\xbb\xbf\xef\xbb\xbf") << QStringList{QStringLiteral("\uFEFF")};
    QTest::newRow("odd last byte of UTF-16 is no entry's text") << QByteArray("\xff\xfe"
                                                                              "a\0b",
                                                                              5)
                                                                << QStringList{"a"};
}

void TestListFile::lineBreaks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(kit::decodeListFile(bytes).entries, entries);
}

void TestListFile::writing_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<ListEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty list, code page: no bytes")
        << QStringList{} << ListEncoding::Ansi << QByteArray();
    QTest::newRow("empty list, UTF-8: the mark alone")
        << QStringList{} << ListEncoding::Utf8 << QByteArray("\xef\xbb\xbf");
    QTest::newRow("empty list, UTF-16 LE: the mark alone")
        << QStringList{} << ListEncoding::Utf16LE << QByteArray("\xff\xfe");
    QTest::newRow("every entry ends in CR LF, the last too")
        << QStringList{"A", ""} << ListEncoding::Ansi << QByteArray("A\r\n\r\n");
    QTest::newRow("UTF-16 BE") << QStringList{"É"} << ListEncoding::Utf16BE
                               << QByteArray("\xfe\xff\0\xc9\0\r\0\n", 8);
    // Read from a UTF-16 file whose last byte was odd: edited or not, that byte ends the file.
    QTest::newRow("UTF-16 LE read with an odd last byte, an entry added")
        << QStringList{"A", "B"}
        << kit::decodeListFile(QByteArray("\xff\xfe"
                                          "A\0\r\0\n\0F",
                                          9))
               .encoding
        << QByteArray("\xff\xfe"
                      "A\0\r\0\n\0B\0\r\0\n\0F",
                      15);
    QTest::newRow("UTF-16 BE read with an odd last byte, emptied")
        << QStringList{} << kit::decodeListFile(QByteArray("\xfe\xff\0A\0\r\0\n\0", 9)).encoding
        << QByteArray("\xfe\xff\0", 3);
    QTest::newRow("UTF-16 LE, only the mark and an odd byte")
        << QStringList{"A"} << kit::decodeListFile(QByteArray("\xff\xfe\x80", 3)).encoding
        << QByteArray("\xff\xfe"
                      "A\0\r\0\n\0\x80",
                      9);
}

void TestListFile::writing()
{
    QFETCH(QStringList, entries);
    QFETCH(ListEncoding, encoding);
    QFETCH(QByteArray, bytes);
    QCOMPARE(kit::encodeListFile(entries, encoding), bytes);
}

void TestListFile::roundTripsKeepTheEncoding_data()
{
    QTest::addColumn<ListEncoding>("encoding");
    QTest::newRow("code page") << ListEncoding::Ansi;
    QTest::newRow("UTF-8") << ListEncoding::Utf8;
    QTest::newRow("UTF-16 LE") << ListEncoding::Utf16LE;
    QTest::newRow("UTF-16 BE") << ListEncoding::Utf16BE;
}

void TestListFile::roundTripsKeepTheEncoding()
{
    QFETCH(ListEncoding, encoding);
    // Characters beyond the BMP, a mark-like first character inside the text, and duplicates.
    const QStringList entries{"DOSSIER", "😀 ÉTÉ", "", "DOSSIER", "x\u00a0y"};
    const kit::DecodedList back = kit::decodeListFile(kit::encodeListFile(entries, encoding));
    QCOMPARE(back.entries, entries);
    QCOMPARE(back.encoding, encoding);
}

void TestListFile::onlyEntriesThatReadBackCanBeHeld_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("held");
    QTest::newRow("a path") << "/tmp/r/a b/NL/" << true;
    QTest::newRow("accents, tab and other controls") << "/été/\t\x01x/" << true;
    QTest::newRow("a line feed in a folder's path") << "/tmp/r/a\nb/NL/" << false;
    QTest::newRow("a carriage return") << "NOM\rSUITE" << false;
    QTest::newRow("CR LF at the end") << "NOM\r\n" << false;
    QTest::newRow("a NUL") << QString("A") + QChar(0) + "B" << false;
}

// What the rule holds is exactly what the file gives back as the same, single entry.
void TestListFile::onlyEntriesThatReadBackCanBeHeld()
{
    QFETCH(QString, entry);
    QFETCH(bool, held);
    QCOMPARE(kit::listFileCanHold(entry), held);
    for (ListEncoding encoding : {ListEncoding::Ansi, ListEncoding::Utf16LE}) {
        const QStringList back =
            kit::decodeListFile(kit::encodeListFile({entry, "after"}, encoding)).entries;
        QCOMPARE(back == QStringList({entry, "after"}), held);
    }
}

RANGEUR_TEST_MAIN(TestListFile)
#include "tst_listfile.moc"

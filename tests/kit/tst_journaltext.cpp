// The text rules under the undo: a filing run's journal, and the trash's info files.
#include "kit_JournalText.h"
#include "kit_TrashInfo.h"

#include <QTimeZone>
#include <QtTest>

using kit::JournalRecord;
using Kind = kit::JournalRecord::Kind;

namespace {

JournalRecord copying(int file, const QString &source, const QString &destination)
{
    JournalRecord r;
    r.kind = Kind::Copying;
    r.file = file;
    r.path = source;
    r.destination = destination;
    r.identity = {2049, 131, 65536, 1700000000, 123456789, 0, 0};
    r.copy = {2049, 977, 65536, 1700000000, 123456789, 0, 0};
    return r;
}

JournalRecord simple(Kind kind, int file = -1)
{
    JournalRecord r;
    r.kind = kind;
    r.file = file;
    return r;
}

QByteArray aRun()
{
    JournalRecord run = simple(Kind::Run);
    run.started = QDateTime(QDate(2026, 12, 10), QTime(18, 42, 7, 5), QTimeZone(3600));
    run.path = QStringLiteral("/home/u/Docs/FACTURES/");
    JournalRecord trashing = simple(Kind::Trashing, 0);
    trashing.identity = {2049, 131, 65536, 1700000000, 123456789, 1700000001, 5};
    trashing.copy = {2049, 977, 65536, 1700000000, 123456789, 1700000002, 7};
    trashing.trashEntry = QStringLiteral("/home/u/.local/share/Trash/files/a b\n%c.2.pdf");
    return kit::journalHeader() + kit::journalLine(run) +
           kit::journalLine(copying(0, QStringLiteral("/home/u/Scans/a b\n%c.pdf"),
                                    QStringLiteral("/home/u/Docs/FACTURES/a b\n%c.pdf"))) +
           kit::journalLine(trashing);
}

} // namespace

class TestJournalText : public QObject {
    Q_OBJECT
private slots:
    void everyRecordReadsBack()
    {
        const QByteArray text = aRun();
        const kit::JournalReading reading = kit::readJournal(text);
        QVERIFY(reading.recognised);
        QCOMPARE(reading.damagedLine, 0);
        QCOMPARE(reading.records.size(), 3);
        QByteArray again = kit::journalHeader();
        for (const JournalRecord &r : reading.records)
            again += kit::journalLine(r);
        QCOMPARE(again, text);
        // A name with a line break stays on its line.
        QCOMPARE(text.count('\n'), 4);
        const std::optional<kit::RunSummary> run = kit::summariseRun(reading);
        QVERIFY(run);
        QCOMPARE(run->files.size(), 1);
        QVERIFY(run->files[0].trashing);
        QCOMPARE(run->files[0].copy.changedNanoseconds, 7); // the copy once it took its name
        QCOMPARE(run->files[0].trashEntry,
                 QStringLiteral("/home/u/.local/share/Trash/files/a b\n%c.2.pdf"));
        QCOMPARE(run->started.offsetFromUtc(), 3600);
    }

    void damage_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("damagedLine");
        QTest::addColumn<bool>("recognised");
        const QByteArray whole = aRun();
        QByteArray flipped = whole;
        flipped[flipped.indexOf("Scans") + 1] = 'C'; // the check no longer matches
        QTest::newRow("whole") << whole << 3 << 0 << true;
        QTest::newRow("torn last line") << whole.chopped(3) << 2 << 4 << true;
        QTest::newRow("a changed byte; the lines after it still count")
            << flipped << 2 << 3 << true;
        QTest::newRow("empty") << QByteArray() << 0 << 1 << false;
        QTest::newRow("another file") << QByteArray("[Trash Info]\nPath=/a\n") << 0 << 1 << false;
        QTest::newRow("a number written otherwise")
            << kit::journalHeader() + QByteArray("undone 07 ") +
                   QByteArray::number(qChecksum("undone 07"), 16).rightJustified(4, '0') + '\n'
            << 0 << 2 << true;
    }

    void damage()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, records);
        QFETCH(int, damagedLine);
        QFETCH(bool, recognised);
        const kit::JournalReading reading = kit::readJournal(text);
        QCOMPARE(reading.records.size(), records);
        QCOMPARE(reading.damagedLine, damagedLine);
        QCOMPARE(reading.recognised, recognised);
    }

    void summaryKeepsOrder()
    {
        // A trashing before its copy, a second copy of one file: left out. Progress counts.
        QByteArray text = kit::journalHeader();
        JournalRecord run = simple(Kind::Run);
        run.started = QDateTime::currentDateTime();
        run.path = QStringLiteral("/t/");
        text += kit::journalLine(run) + kit::journalLine(simple(Kind::Trashing, 1)) +
                kit::journalLine(copying(1, "/s/1", "/t/1")) +
                kit::journalLine(copying(1, "/s/other", "/t/other")) +
                kit::journalLine(copying(2, "/s/2", "/t/2")) +
                kit::journalLine(simple(Kind::Undone, 2));
        const std::optional<kit::RunSummary> summary = kit::summariseRun(kit::readJournal(text));
        QVERIFY(summary);
        QCOMPARE(summary->files.size(), 2);
        QCOMPARE(summary->files[0].source, QStringLiteral("/s/1"));
        QVERIFY(!summary->files[0].trashing);
        QVERIFY(summary->files[1].undone);
        QVERIFY(!summary->finished);
        // Without its first line there is no run to undo.
        QVERIFY(!kit::summariseRun(
            kit::readJournal(kit::journalHeader() + kit::journalLine(copying(0, "/a", "/b")))));
    }

    // Where the source went in the trash: absent from journals written before it was recorded,
    // and told again when a first way failed before moving anything (the later record stands).
    void trashEntryOfEachFile()
    {
        JournalRecord run = simple(Kind::Run);
        run.started = QDateTime::currentDateTime();
        run.path = QStringLiteral("/t/");
        JournalRecord ours = simple(Kind::Trashing, 0);
        ours.identity = {2049, 131, 65536, 1700000000, 5, 1700000001, 5};
        ours.trashEntry = QStringLiteral("/h/Trash/files/1");
        JournalRecord gio = ours;
        gio.trashEntry.clear();
        JournalRecord anotherFile = ours;
        anotherFile.identity.inode = 977;
        anotherFile.trashEntry = QStringLiteral("/h/Trash/files/other");
        const QByteArray start = kit::journalHeader() + kit::journalLine(run) +
                                 kit::journalLine(copying(0, "/s/1", "/t/1"));
        const auto entryAfter = [&](const QList<JournalRecord> &records) {
            QByteArray text = start;
            for (const JournalRecord &r : records)
                text += kit::journalLine(r);
            const std::optional<kit::RunSummary> summary =
                kit::summariseRun(kit::readJournal(text));
            return summary && summary->files.size() == 1 ? summary->files[0].trashEntry
                                                         : QStringLiteral("(no file)");
        };
        QCOMPARE(entryAfter({ours}), ours.trashEntry);
        QCOMPARE(entryAfter({ours, gio}), QString());
        QCOMPARE(entryAfter({gio, ours}), ours.trashEntry);
        QCOMPARE(entryAfter({ours, anotherFile}), ours.trashEntry);
        // A line without the entry, as older journals have it, still reads.
        const QByteArray old = "trashing 0 2049:131:65536:1700000000:5:1700000001:5 "
                               "2049:977:65536:1700000000:5:1700000002:7";
        const kit::JournalReading reading =
            kit::readJournal(kit::journalHeader() + old + ' ' +
                             QByteArray::number(qChecksum(old), 16).rightJustified(4, '0') + '\n');
        QCOMPARE(reading.damagedLine, 0);
        QCOMPARE(reading.records.size(), 1);
        QVERIFY(reading.records[0].trashEntry.isEmpty());
    }

    void trashInfo_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("top");
        QTest::addColumn<QByteArray>("path"); // empty: none
        QTest::newRow("absolute") << QByteArray("[Trash Info]\nPath=/home/u/a%20b%25.txt\n"
                                                "DeletionDate=2026-12-10T18:42:07\n")
                                  << QByteArray("/") << QByteArray("/home/u/a b%.txt");
        QTest::newRow("relative to its top, CRLF, lower-case escape")
            << QByteArray(
                   "[Trash Info]\r\nDeletionDate=2026-12-10T18:42:07\r\nPath=docs/caf%c3%a9\r\n")
            << QByteArray("/media/usb") << QByteArray("/media/usb/docs/caf\xc3\xa9");
        QTest::newRow("no group") << QByteArray("Path=/a\n") << QByteArray("/") << QByteArray();
        QTest::newRow("another group first")
            << QByteArray("[Desktop Entry]\nPath=/a\n[Trash Info]\nPath=/b\n") << QByteArray("/")
            << QByteArray();
        QTest::newRow("bad escape")
            << QByteArray("[Trash Info]\nPath=/a%2\n") << QByteArray("/") << QByteArray();
        QTest::newRow("an escaped NUL")
            << QByteArray("[Trash Info]\nPath=/a%00b\n") << QByteArray("/") << QByteArray();
        QTest::newRow("empty, as a killed trash leaves it")
            << QByteArray() << QByteArray("/") << QByteArray();
    }

    void trashInfo()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, top);
        QFETCH(QByteArray, path);
        const std::optional<QByteArray> found = kit::trashInfoOriginalPath(text, top);
        QCOMPARE(found.value_or(QByteArray()), path);
    }

    void trashInfoWrittenReadsBack()
    {
        const QByteArray path("/home/u/line\nbreak %41 caf\xc3\xa9 \xe9t\xe9 [x]#=.txt");
        const QByteArray text = kit::trashInfoText(path, "2026-12-11T06:05:04");
        QVERIFY2(text.startsWith("[Trash Info]\nPath=/home/u/line%0Abreak%20%2541%20caf%C3%A9"),
                 text.constData());
        QVERIFY(text.endsWith("\nDeletionDate=2026-12-11T06:05:04\n"));
        QCOMPARE(text.count('\n'), 3);
        QCOMPARE(kit::trashInfoOriginalPath(text, "/").value_or(QByteArray()), path);
    }

    void trashEntryNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("attempt");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("first try") << QByteArray("report.pdf") << 1 << QByteArray("report.pdf");
        QTest::newRow("numbered before the first dot")
            << QByteArray("a.tar.gz") << 3 << QByteArray("a.3.tar.gz");
        QTest::newRow("no dot") << QByteArray("notes") << 2 << QByteArray("notes.2");
        QTest::newRow("exactly the longest") << QByteArray(245, 'x') << 1 << QByteArray(245, 'x');
        QTest::newRow("too long: cut, extension kept")
            << QByteArray(300, 'x') + ".pdf" << 1 << QByteArray(241, 'x') + ".pdf";
        QTest::newRow("too long and numbered")
            << QByteArray(300, 'x') + ".pdf" << 12 << QByteArray(238, 'x') + ".12.pdf";
        QTest::newRow("too long, a long 'extension' is not kept")
            << QByteArray(100, 'x') + '.' + QByteArray(200, 'y') << 1
            << QByteArray(100, 'x') + '.' + QByteArray(144, 'y');
        // 'é' is two bytes: 122 of them end on byte 244, and the 123rd would not fit.
        QTest::newRow("a UTF-8 character is never cut")
            << QByteArray("\xc3\xa9").repeated(130) << 1 << QByteArray("\xc3\xa9").repeated(122);
    }

    void trashEntryNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, attempt);
        QFETCH(QByteArray, expected);
        const QByteArray made = kit::trashEntryName(name, attempt);
        QCOMPARE(made, expected);
        QVERIFY(made.size() + qsizetype(sizeof ".trashinfo") - 1 <= 255);
    }
};

QTEST_GUILESS_MAIN(TestJournalText)
#include "tst_journaltext.moc"

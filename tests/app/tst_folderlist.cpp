// The folder-name list: AddItem, completion, "Trier", "Supprimer" and DOSSIERS.TXT, through the
// real window and real files in the program's own folder.
#include "FileHelpers.h"
#include "TForm1.h"
#include "WindowFixture.h"
#include "kit_ListFile.h"
#include "kit_TRAYICON.h"
#include "kit_Text.h"
#include "kit_ini.h"
#include "widgets/TAction.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <sys/stat.h>

using kit_Dialogs::TModalResult;

namespace {

struct Balloon {
    QString title;
    QString text;
    bool operator==(const Balloon &) const = default;
};

const QString announced = QStringLiteral("Nouveau Dossier Ajouté à la liste!");

} // namespace

Q_DECLARE_METATYPE(Balloon)

namespace QTest {
template <> char *toString(const Balloon &b)
{
    return qstrdup(qPrintable(b.title + " / " + b.text));
}
} // namespace QTest

class TestFolderList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addItem_data();
    void addItem();
    void leavingThenOkAddsAndAnnouncesOnce();
    void writeFailureEndsTheRunBeforeAnythingIsMade();
    void typingCompletesFromTheList_data();
    void typingCompletesFromTheList();
    void dropDownShowsFortyRowsOf13Pixels();
    void sortingOnAndOff();
    void sortingOffWithoutTheFileKeepsTheOrder();
    void deleting_data();
    void deleting();
    void listFileReadAtStartAndWrittenBackAtClose_data();
    void listFileReadAtStartAndWrittenBackAtClose();
    void unreadableListIsReportedAndNeverOverwritten();

private:
    WindowFixture m_window{WindowFixture::Home::Fresh, WindowFixture::Boxes::Scripted};
    QList<Balloon> m_balloons;
    TForm1 &form() { return m_window.form(); }
    ScriptedDialogs &boxes() { return m_window.boxes(); }
    QString listFile() const { return kit_ini::GetAppDir() + QStringLiteral("DOSSIERS.TXT"); }
    QString path(const QString &relative) const { return m_window.home().filePath(relative); }
    TForm1 &start(const QByteArray &listBytes, bool withList = true);
    void showActive();
};

void TestFolderList::initTestCase()
{
    WindowFixture::setUpApplication();
}

void TestFolderList::init()
{
    m_window.init();
    m_balloons.clear();
    kit_TRAYICON::setCatcher([this](const QString &title, const QString &text) {
        m_balloons.append({title, text});
    });
}

void TestFolderList::cleanup()
{
    m_window.cleanup();
    kit_TRAYICON::setCatcher({});
}

TForm1 &TestFolderList::start(const QByteArray &listBytes, bool withList)
{
    if (withList)
        makeFile(listFile(), listBytes);
    return m_window.makeForm({path(QStringLiteral("in/a.txt"))});
}

void TestFolderList::showActive()
{
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
}

void TestFolderList::addItem_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<Balloon>>("balloons");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("empty box: nothing added, the file still rewritten")
        << QByteArray("A\nB") << "" << QStringList{"A", "B"} << QList<Balloon>{}
        << QByteArray("A\r\nB\r\n");
    QTest::newRow("new name: added at the end and announced")
        << QByteArray("A\r\n") << "factures" << QStringList{"A", "FACTURES"}
        << QList<Balloon>{{"FACTURES", announced}} << QByteArray("A\r\nFACTURES\r\n");
    QTest::newRow("known name in another case: nothing added")
        << QByteArray("factures\r\n") << "Factures" << QStringList{"FACTURES"} << QList<Balloon>{}
        << QByteArray("FACTURES\r\n");
    QTest::newRow("no list file yet: made by the first addition")
        << QByteArray() << "été" << QStringList{"ÉTÉ"} << QList<Balloon>{{"ÉTÉ", announced}}
        << QStringLiteral("ÉTÉ\r\n").toUtf8();
}

void TestFolderList::addItem()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, typed);
    QFETCH(QStringList, entries);
    QFETCH(QList<Balloon>, balloons);
    QFETCH(QByteArray, written);
    TForm1 &window = start(file, !file.isEmpty());
    window.EDIT_DOSSIER->setText(typed);
    window.AddItem->Execute();
    QCOMPARE(window.EDIT_DOSSIER->entries(), entries);
    QCOMPARE(m_balloons, balloons);
    QCOMPARE(readAll(listFile()), written);
    QCOMPARE(window.EDIT_DOSSIER->currentIndex(), -1); // an added name is not selected
    QCOMPARE(window.EDIT_DOSSIER->currentText(), kit::simpleUpper(typed));
    QCOMPARE(boxes().texts(), QStringList{});
}

void TestFolderList::leavingThenOkAddsAndAnnouncesOnce()
{
    makeFile(path(QStringLiteral("in/a.txt")), "a");
    start({}, false);
    form().JvDirectoryEdit1->setDirectory(path(QStringLiteral("out")));
    showActive();
    typeText(form().windowHandle(), QStringLiteral("factures"));
    form().chk_SAME->setFocus(Qt::TabFocusReason); // leaving the box runs AddItem
    QCOMPARE(m_balloons, (QList<Balloon>{{"FACTURES", announced}}));
    form().btnOK->click();
    QCOMPARE(m_balloons.size(), 1);
    QCOMPARE(readAll(listFile()), QByteArray("FACTURES\r\n"));
    QCOMPARE(readAll(path(QStringLiteral("out/FACTURES/FACTURES_a.txt"))), QByteArray("a"));
    QCOMPARE(boxes().texts(), QStringList{});
}

void TestFolderList::writeFailureEndsTheRunBeforeAnythingIsMade()
{
    makeFile(path(QStringLiteral("in/a.txt")), "a");
    makeFile(path(QStringLiteral("blocker")), "a regular file where a folder should be");
    kit_ini::setAppDirForTests(path(QStringLiteral("blocker/app/")));
    TForm1 &window = start({}, false);
    window.JvDirectoryEdit1->setDirectory(path(QStringLiteral("out")));
    window.EDIT_DOSSIER->setText(QStringLiteral("F"));
    window.show();
    window.btnOK->click();
    QCOMPARE(boxes().shown.size(), 1);
    const QString prefix =
        QStringLiteral("Impossible de créer le fichier \"") + listFile() + QStringLiteral("\". ");
    QVERIFY2(boxes().texts()[0].startsWith(prefix), qPrintable(boxes().texts()[0]));
    QVERIFY2(boxes().texts()[0].size() > prefix.size() + 1, "the system's reason follows");
    QCOMPARE(window.EDIT_DOSSIER->entries(), QStringList{"F"}); // added before the write failed
    QCOMPARE(m_balloons.size(), 0);
    QVERIFY2(!QFileInfo::exists(path(QStringLiteral("out"))), "no folder is made");
    QCOMPARE(readAll(path(QStringLiteral("in/a.txt"))), QByteArray("a"));
    QVERIFY2(window.isVisible(), "the window stays");
    boxes().shown.clear();
}

void TestFolderList::typingCompletesFromTheList_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected"); // the completed part, selected
    QTest::addColumn<int>("index");
    QTest::newRow("first in list order") << QByteArray("FACTURES\nFAX\n") << "fa"
                                         << "FACTURES"
                                         << "CTURES" << 0;
    QTest::newRow("list order, not alphabetical") << QByteArray("FAX\nFACTURES\n") << "fa"
                                                  << "FAX"
                                                  << "X" << 0;
    QTest::newRow("typing on replaces the completed part") << QByteArray("FACTURES\nFAX\n") << "fax"
                                                           << "FAX"
                                                           << "" << 1;
    QTest::newRow("no entry begins so: no selected entry") << QByteArray("FACTURES\nFAX\n") << "fo"
                                                           << "FO"
                                                           << "" << -1;
    QTest::newRow("Backspace erases the completed part and does not complete")
        << QByteArray("FACTURES\nFAX\n") << "fac\b"
        << "FAC"
        << "" << -1;
    QTest::newRow("Backspace again") << QByteArray("FACTURES\nFAX\n") << "fac\b\b"
                                     << "FA"
                                     << "" << -1;
    QTest::newRow("lower-case entries from the file complete too")
        << QByteArray("relevés\n") << "rel"
        << "RELEVÉS"
        << "EVÉS" << 0;
}

void TestFolderList::typingCompletesFromTheList()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, selected);
    QFETCH(int, index);
    start(file);
    showActive();
    for (const QChar c : typed) {
        if (c == u'\b')
            QTest::keyClick(form().windowHandle(), Qt::Key_Backspace);
        else
            typeText(form().windowHandle(), QString(c));
    }
    QCOMPARE(form().EDIT_DOSSIER->currentText(), text);
    QCOMPARE(form().EDIT_DOSSIER->lineEdit()->selectedText(), selected);
    QCOMPARE(form().EDIT_DOSSIER->currentIndex(), index);
}

void TestFolderList::dropDownShowsFortyRowsOf13Pixels()
{
    QByteArray names;
    for (int i = 0; i < 60; ++i)
        names += "N" + QByteArray::number(i) + "\r\n";
    start(names);
    showActive();
    form().EDIT_DOSSIER->showPopup();
    QAbstractItemView *list = form().EDIT_DOSSIER->view();
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 13);
    QVERIFY2(list->width() >= 80, qPrintable(QString::number(list->width())));
    const int rowsShown = list->viewport()->height() / 13;
    QCOMPARE(rowsShown, 40);
    form().EDIT_DOSSIER->hidePopup();
}

void TestFolderList::sortingOnAndOff()
{
    TForm1 &window = start("pommes\nAbricots\nzèbre\nbananes\n");
    window.EDIT_DOSSIER->setCurrentIndex(1); // ABRICOTS
    window.EDIT_DOSSIER->setText(QStringLiteral("tapé"));
    window.chk_TRierDossier->trigger();
    QVERIFY(window.chk_TRierDossier->isChecked());
    QCOMPARE(window.EDIT_DOSSIER->entries(),
             (QStringList{"ABRICOTS", "BANANES", "POMMES", "ZÈBRE"}));
    QCOMPARE(window.EDIT_DOSSIER->currentIndex(), 1); // the position number, now BANANES
    QCOMPARE(window.EDIT_DOSSIER->currentText(), QStringLiteral("ABRICOTS")); // the first entry

    window.EDIT_DOSSIER->setText(QStringLiteral("cerises"));
    window.AddItem->Execute();
    QCOMPARE(window.EDIT_DOSSIER->entries(),
             (QStringList{"ABRICOTS", "BANANES", "CERISES", "POMMES", "ZÈBRE"}));
    QCOMPARE(readAll(listFile()), QByteArray("ABRICOTS\r\nBANANES\r\nCERISES\r\nPOMMES\r\n") +
                                      QStringLiteral("ZÈBRE\r\n").toUtf8());

    // Off: the file's order, which the addition wrote sorted; later names go to the end.
    window.chk_TRierDossier->trigger();
    QCOMPARE(window.EDIT_DOSSIER->entries(),
             (QStringList{"ABRICOTS", "BANANES", "CERISES", "POMMES", "ZÈBRE"}));
    QCOMPARE(window.EDIT_DOSSIER->currentIndex(), -1);
    QCOMPARE(window.EDIT_DOSSIER->currentText(), QStringLiteral("ABRICOTS"));
    window.EDIT_DOSSIER->setText(QStringLiteral("amandes"));
    window.AddItem->Execute();
    QCOMPARE(window.EDIT_DOSSIER->entries().last(), QStringLiteral("AMANDES"));
    QCOMPARE(boxes().texts(), QStringList{});
}

void TestFolderList::sortingOffWithoutTheFileKeepsTheOrder()
{
    TForm1 &window = start("B\nA\n");
    window.chk_TRierDossier->trigger();
    QVERIFY(QFile::remove(listFile()));
    window.chk_TRierDossier->trigger();
    QCOMPARE(window.EDIT_DOSSIER->entries(), (QStringList{"A", "B"}));
    window.EDIT_DOSSIER->setText(QStringLiteral("0"));
    window.AddItem->Execute();
    QCOMPARE(window.EDIT_DOSSIER->entries(), (QStringList{"A", "B", "0"}));
}

void TestFolderList::deleting_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<TModalResult>("answer");
    QTest::addColumn<QStringList>("boxTexts");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("confirmed") << 1 << TModalResult::mrOk << QStringList{"Supprimer l'entrée: B ?"}
                               << QStringList{"A", "C"} << QByteArray("A\r\nC\r\n");
    QTest::newRow("cancelled: the file is still rewritten")
        << 1 << TModalResult::mrCancel << QStringList{"Supprimer l'entrée: B ?"}
        << QStringList{"A", "B", "C"} << QByteArray("A\r\nB\r\nC\r\n");
    QTest::newRow("nothing selected: nothing asked, deleted or written")
        << -1 << TModalResult::mrOk << QStringList{"Index de liste hors limites (-1)."}
        << QStringList{"A", "B", "C"} << QByteArray("A\nB\nC");
}

void TestFolderList::deleting()
{
    QFETCH(int, selected);
    QFETCH(TModalResult, answer);
    QFETCH(QStringList, boxTexts);
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, written);
    TForm1 &window = start("A\nB\nC");
    window.EDIT_DOSSIER->setCurrentIndex(selected);
    const QString text = window.EDIT_DOSSIER->currentText();
    boxes().answers = {answer};
    window.Supprimer1->trigger();
    QCOMPARE(boxes().texts(), boxTexts);
    QCOMPARE(window.EDIT_DOSSIER->entries(), entries);
    QCOMPARE(window.EDIT_DOSSIER->currentText(), text); // the box's text stays
    QCOMPARE(readAll(listFile()), written);
    boxes().shown.clear();
}

void TestFolderList::listFileReadAtStartAndWrittenBackAtClose_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<kit::ListEncoding>("encoding");
    QTest::addColumn<QStringList>("shown");
    const QStringList sample{"FACTURES", "ÉTÉ 2024", "RELEVÉ  TAB\tHERE", ""};
    QTest::newRow("UTF-8 with its mark")
        << "list-utf8-bom.txt" << kit::ListEncoding::Utf8 << sample;
    QTest::newRow("UTF-16 LE") << "list-utf16le.txt" << kit::ListEncoding::Utf16LE << sample;
    QTest::newRow("UTF-16 BE") << "list-utf16be.txt" << kit::ListEncoding::Utf16BE << sample;
    QTest::newRow("written on Windows, back as UTF-8")
        << "list-windows-1252.txt" << kit::ListEncoding::Ansi
        << QStringList{"FACTURES", "ÉTÉ 2024", "COÛT 100€ – ŒUVRE"};
}

void TestFolderList::listFileReadAtStartAndWrittenBackAtClose()
{
    QFETCH(QString, fixture);
    QFETCH(kit::ListEncoding, encoding);
    QFETCH(QStringList, shown);
    const QByteArray bytes = readAll(QFINDTESTDATA(QStringLiteral("../data/") + fixture));
    TForm1 &window = start(bytes);
    QCOMPARE(window.EDIT_DOSSIER->entries(), shown);
    QCOMPARE(window.EDIT_DOSSIER->currentText(), QString());
    window.show();
    window.close();
    QVERIFY2(!window.isVisible(), "closed");
    const QByteArray written = readAll(listFile());
    const kit::DecodedList back = kit::decodeListFile(written);
    QCOMPARE(back.entries, shown);
    QCOMPARE(back.encoding, encoding);
    if (encoding != kit::ListEncoding::Ansi)
        QCOMPARE(written.left(2), bytes.left(2)); // the same byte-order mark
    QCOMPARE(boxes().texts(), QStringList{});
}

void TestFolderList::unreadableListIsReportedAndNeverOverwritten()
{
    QVERIFY2(::mkfifo(QFile::encodeName(listFile()).constData(), 0644) == 0, "mkfifo");
    TForm1 &window = start({}, false);
    QCOMPARE(boxes().shown.size(), 1);
    QVERIFY2(boxes().texts()[0].startsWith(QStringLiteral("Impossible d'ouvrir le fichier \"") +
                                           listFile() + QStringLiteral("\". ")),
             qPrintable(boxes().texts()[0]));
    window.EDIT_DOSSIER->setText(QStringLiteral("NOUVEAU"));
    window.AddItem->Execute();
    window.show();
    window.close();
    QVERIFY2(!window.isVisible(), "the window closes all the same");
    struct stat st {};
    QVERIFY(::lstat(QFile::encodeName(listFile()).constData(), &st) == 0);
    QVERIFY2(S_ISFIFO(st.st_mode), "the list file is left as it was");
    boxes().shown.clear();
}

RANGEUR_TEST_MAIN(TestFolderList)
#include "tst_folderlist.moc"

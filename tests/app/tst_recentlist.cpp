// The recent folders list, driven as a user drives it: real presses on the check boxes and the
// text, the space bar, double clicks, its menu, and CHEMINS.TXT on disk.

// The presses go through the window, as the system's do.
#define QTEST_QPA_MOUSE_HANDLING
#include "FileHelpers.h"
#include "TForm1.h"
#include "WindowFixture.h"
#include "kit_ListFile.h"
#include "kit_TRAYICON.h"
#include "kit_ini.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QtTest>

using kit_Dialogs::TModalResult;

class TestRecentList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void checkBoxFillsTheFieldsTextOnlySelects();
    void spaceBarActsAsTheCheckBox();
    void doubleClickFilesIntoTheEntry();
    void doubleClickWithNothingSelected();
    void entryWithoutSeparatorLeavesTheRootEmpty();
    void deleting_data();
    void deleting();
    void sortingNeverUnsorts();
    void windowsListKeepsItsEncoding();
    void marksFitTheirRows();
    void noCurrentItemFrameWithoutASelection();

private:
    WindowFixture m_window{WindowFixture::Home::Fresh, WindowFixture::Boxes::Scripted};
    TForm1 &form() { return m_window.form(); }
    ScriptedDialogs &boxes() { return m_window.boxes(); }
    TCheckListBox *list() { return form().JvCheckListBox1; }
    QString path(const QString &relative) const { return m_window.home().filePath(relative); }
    QString recentFile() const { return kit_ini::GetAppDir() + QStringLiteral("CHEMINS.TXT"); }
    void start(const QStringList &entries);
    QPoint checkBoxOf(int row);
    QPoint textOf(int row);
};

void TestRecentList::initTestCase()
{
    WindowFixture::setUpApplication();
}

void TestRecentList::init()
{
    m_window.init();
    kit_TRAYICON::setCatcher([](const QString &, const QString &) {});
}

void TestRecentList::cleanup()
{
    m_window.cleanup();
    kit_TRAYICON::setCatcher({});
}

void TestRecentList::start(const QStringList &entries)
{
    makeFile(recentFile(), kit::encodeListFile(entries, kit::ListEncoding::Ansi));
    makeFile(path(QStringLiteral("in/a.txt")), "a");
    TForm1 &window = m_window.makeForm({path(QStringLiteral("in/a.txt"))});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.PageControl1->setCurrentIndex(1);
    list()->setFocus(Qt::TabFocusReason);
}

QPoint TestRecentList::checkBoxOf(int row)
{
    const QRect rect = list()->visualRect(list()->model()->index(row, 0));
    const int box = list()->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list());
    return {rect.left() + 2 + box / 2, rect.center().y()};
}

QPoint TestRecentList::textOf(int row)
{
    const QRect rect = list()->visualRect(list()->model()->index(row, 0));
    return {rect.left() + 60, rect.center().y()};
}

void TestRecentList::checkBoxFillsTheFieldsTextOnlySelects()
{
    const QString scans = path(QStringLiteral("Scans/"));
    start({scans + "FACTURES/", scans + "RELEVES/"});
    QCOMPARE(list()->selectedItems().size(), 0); // nothing selected at start

    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, textOf(1));
    QCOMPARE(list()->currentRow(), 1);
    QCOMPARE(form().PageControl1->currentIndex(), 1);
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QString());
    QCOMPARE(list()->item(1)->checkState(), Qt::Unchecked);

    QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, checkBoxOf(0));
    // At the press: the entry selected, its mark turned over, the fields filled.
    QCOMPARE(list()->currentRow(), 0);
    QCOMPARE(list()->item(0)->checkState(), Qt::Checked);
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("FACTURES"));
    QCOMPARE(form().JvDirectoryEdit1->Directory(), scans);
    QCOMPARE(form().PageControl1->currentIndex(), 0);
    QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, checkBoxOf(0));
    QCOMPARE(list()->item(0)->checkState(), Qt::Checked);

    form().PageControl1->setCurrentIndex(1);
    form().EDIT_DOSSIER->setText(QStringLiteral("AUTRE"));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, checkBoxOf(0));
    QCOMPARE(list()->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("FACTURES"));
    QCOMPARE(boxes().texts(), QStringList{});
}

void TestRecentList::spaceBarActsAsTheCheckBox()
{
    const QString scans = path(QStringLiteral("Scans/"));
    start({scans + "FACTURES/", scans + "RELEVES/"});
    QTest::keyClick(form().windowHandle(), Qt::Key_Space);
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QString()); // nothing selected yet
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, textOf(1));
    QTest::keyClick(form().windowHandle(), Qt::Key_Space);
    QCOMPARE(list()->item(1)->checkState(), Qt::Checked);
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("RELEVES"));
    QCOMPARE(form().PageControl1->currentIndex(), 0);
}

void TestRecentList::doubleClickFilesIntoTheEntry()
{
    const QString scans = path(QStringLiteral("Scans/"));
    QVERIFY(QDir().mkpath(scans + "FACTURES"));
    start({scans + "RELEVES/", scans + "FACTURES/"});
    form().chk_OPEN->setChecked(false);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, textOf(1));
    QCOMPARE(boxes().texts(), QStringList{});
    QCOMPARE(readAll(scans + "FACTURES/FACTURES_a.txt"), QByteArray("a"));
    QVERIFY2(!QFile::exists(path(QStringLiteral("in/a.txt"))), "the file was moved");
    QVERIFY2(!form().isVisible(), "the run closed the window");
    QCOMPARE(list()->entries(), (QStringList{scans + "RELEVES/", scans + "FACTURES/"}));
    QCOMPARE(form().EDIT_DOSSIER->entries(), QStringList{"FACTURES"});
}

void TestRecentList::doubleClickWithNothingSelected()
{
    start({path(QStringLiteral("Scans/FACTURES/"))});
    const QRect below = list()->visualRect(list()->model()->index(0, 0)).translated(0, 60);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below.center());
    QCOMPARE(boxes().texts(), QStringList{"Index de liste hors limites (-1)."});
    QCOMPARE(form().PageControl1->currentIndex(), 0);
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QString());
    QVERIFY2(form().isVisible(), "no run");
    QCOMPARE(readAll(path(QStringLiteral("in/a.txt"))), QByteArray("a"));
    boxes().shown.clear();
}

void TestRecentList::entryWithoutSeparatorLeavesTheRootEmpty()
{
    start({QStringLiteral("FACTURES")});
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, checkBoxOf(0));
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("FACTURES"));
    QCOMPARE(form().JvDirectoryEdit1->Directory(), QString());
    form().chk_PREFIX->setChecked(false);
    form().btnOK->click();
    // An empty root is used only where the folder exists at the top; it is never made.
    QCOMPARE(boxes().texts().value(0),
             QStringLiteral("Echec de création du dossier \r\n\r\nDOSSIER=\"/FACTURES/\""));
    QVERIFY2(!QFileInfo::exists(QStringLiteral("/FACTURES")), "no folder made at the top");
    QCOMPARE(readAll(path(QStringLiteral("in/a.txt"))), QByteArray("a"));
    boxes().shown.clear();
}

void TestRecentList::deleting_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("the first: the new first is selected")
        << QStringList{"/A/", "/B/", "/C/"} << 0 << QStringList{"/B/", "/C/"} << 0;
    QTest::newRow("the middle: the one before")
        << QStringList{"/A/", "/B/", "/C/"} << 1 << QStringList{"/A/", "/C/"} << 0;
    QTest::newRow("the last: the one before")
        << QStringList{"/A/", "/B/", "/C/"} << 2 << QStringList{"/A/", "/B/"} << 1;
    QTest::newRow("the only one: nothing left") << QStringList{"/A/"} << 0 << QStringList{} << -1;
}

void TestRecentList::deleting()
{
    QFETCH(QStringList, entries);
    QFETCH(int, row);
    QFETCH(QStringList, after);
    QFETCH(int, selectedAfter);
    start(entries);
    const QByteArray before = readAll(recentFile());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, textOf(row));
    form().MenuItem1->trigger();
    QCOMPARE(boxes().texts(),
             QStringList{QStringLiteral("Supprimer l'entrée: ") + entries[row] + " ?"});
    QCOMPARE(list()->entries(), after);
    QCOMPARE(list()->selectedItems().isEmpty() ? -1 : list()->currentRow(), selectedAfter);
    QCOMPARE(readAll(recentFile()), before); // written when the settings are saved
    form().btnCancel->click();
    QCOMPARE(kit::decodeListFile(readAll(recentFile())).entries, after);
    boxes().shown.clear();
}

void TestRecentList::sortingNeverUnsorts()
{
    const QString scans = path(QStringLiteral("Scans/"));
    start({scans + "releves/", scans + "B/", scans + "FACTURES/"});
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, textOf(0));
    form().chk_SORT->trigger();
    QCOMPARE(list()->entries(),
             (QStringList{scans + "B/", scans + "FACTURES/", scans + "releves/"}));
    QCOMPARE(list()->currentRow(), 0); // the position number
    form().chk_SORT->trigger();
    QVERIFY2(!form().chk_SORT->isChecked(), "the mark is cleared");
    QCOMPARE(list()->entries(),
             (QStringList{scans + "B/", scans + "FACTURES/", scans + "releves/"}));

    // A run's folder goes to its sorted place, in the list and in the file written at close.
    form().chk_OPEN->setChecked(false);
    form().EDIT_DOSSIER->setText(QStringLiteral("d"));
    form().JvDirectoryEdit1->setDirectory(scans);
    form().btnOK->click();
    const QStringList sorted{scans + "B/", scans + "D/", scans + "FACTURES/", scans + "releves/"};
    QCOMPARE(list()->entries(), sorted);
    QCOMPARE(kit::decodeListFile(readAll(recentFile())).entries, sorted);
}

void TestRecentList::windowsListKeepsItsEncoding()
{
    const QString scans = path(QStringLiteral("Scans/"));
    makeFile(recentFile(), kit::encodeListFile({scans + "ÉTÉ/"}, kit::ListEncoding::Utf16LE));
    TForm1 &window = m_window.makeForm({path(QStringLiteral("in/a.txt"))});
    QCOMPARE(list()->entries(), QStringList{scans + "ÉTÉ/"});
    window.show();
    window.close();
    const QByteArray written = readAll(recentFile());
    QVERIFY2(written.startsWith("\xff\xfe"), "written back with its mark");
    const kit::DecodedList back = kit::decodeListFile(written);
    QCOMPARE(back.encoding, kit::ListEncoding::Utf16LE);
    QCOMPARE(back.entries, QStringList{scans + "ÉTÉ/"});
}

// Rows are 13 pixels high; a taller mark would be cut and run into the next row.
void TestRecentList::marksFitTheirRows()
{
    start({QStringLiteral("/A/"), QStringLiteral("/B/")});
    const QModelIndex first = list()->model()->index(0, 0);
    const QRect row = list()->visualRect(first);
    QCOMPARE(row.height(), 13);
    QStyleOptionViewItem option;
    option.initFrom(list());
    option.rect = row;
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect mark =
        list()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list());
    QVERIFY2(mark.height() <= row.height() - 2,
             qPrintable(QStringLiteral("a mark %1 pixels high").arg(mark.height())));
}

// With the focus in the list and nothing selected, the first row looks as it does without the
// focus: a frame there looked like a selection that a double click would then not find.
void TestRecentList::noCurrentItemFrameWithoutASelection()
{
    start({QStringLiteral("/A/"), QStringLiteral("/B/")});
    QTRY_VERIFY(list()->hasFocus());
    QVERIFY(list()->selectedItems().isEmpty());
    QVERIFY2(list()->currentIndex().isValid(), "the focus makes the first row current");
    const QRect row = list()->visualRect(list()->model()->index(0, 0));
    const QImage focused = list()->viewport()->grab(row).toImage();
    form().btnCancel->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(!list()->hasFocus());
    const QImage unfocused = list()->viewport()->grab(row).toImage();
    QVERIFY2(focused == unfocused, "the current row is framed although nothing is selected");
}

RANGEUR_TEST_MAIN(TestRecentList)
#include "tst_recentlist.moc"

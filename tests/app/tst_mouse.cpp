// The mouse buttons over the window's buttons and check boxes, pressed as a user presses them,
// while the folder-name box has the focus.

// The presses go to the window, as the system's do, and not straight to the control: only then
// does the window make a right press into a menu request.
#define QTEST_QPA_MOUSE_HANDLING
#include "FileHelpers.h"
#include "TForm1.h"
#include "WindowFixture.h"
#include "kit_App.h"
#include "widgets/TAction.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestMouse : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void otherButtonsLeaveTheFocusInTheBox_data();
    void otherButtonsLeaveTheFocusInTheBox();
    void leftPressOnACheckBoxTakesTheFocus();

private:
    WindowFixture m_window;
    TForm1 &form() { return m_window.form(); }
    QString path(const QString &relative) const { return m_window.home().filePath(relative); }
};

void TestMouse::initTestCase()
{
    WindowFixture::setUpApplication();
}

// A real file and a folder name, so that a run started by mistake would file it.
void TestMouse::init()
{
    m_window.init();
    makeFile(path(QStringLiteral("in/a.txt")), "a");
    TForm1 &window = m_window.makeForm({path(QStringLiteral("in/a.txt"))});
    window.EDIT_DOSSIER->setText(QStringLiteral("FACTURES"));
    window.JvDirectoryEdit1->setDirectory(path(QStringLiteral("out")));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.EDIT_DOSSIER);
}

void TestMouse::cleanup()
{
    m_window.cleanup();
}

void TestMouse::otherButtonsLeaveTheFocusInTheBox_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Qt::MouseButton>("button");
    for (const char *control :
         {"btnOK", "btnCancel", "chk_SAME", "chk_OPEN", "chk_PREFIX", "chk_Confirm"}) {
        QTest::addRow("right on %s", control) << QString::fromLatin1(control) << Qt::RightButton;
        QTest::addRow("middle on %s", control) << QString::fromLatin1(control) << Qt::MiddleButton;
    }
}

void TestMouse::otherButtonsLeaveTheFocusInTheBox()
{
    QFETCH(QString, control);
    QFETCH(Qt::MouseButton, button);
    auto *target = form().findChild<QAbstractButton *>(control);
    QVERIFY(target);
    const bool wasChecked = target->isChecked();
    QSignalSpy added(form().AddItem, &TAction::executing);
    QSignalSpy clicked(target, &QAbstractButton::clicked);

    // Near the left edge, where a check box's mark is.
    const QPoint at(6, target->height() / 2);
    QTest::mousePress(target, button, Qt::NoModifier, at);
    QCOMPARE(QApplication::focusWidget(), form().EDIT_DOSSIER);
    QTest::mouseRelease(target, button, Qt::NoModifier, at);

    if (button == Qt::RightButton)
        QTRY_VERIFY(form().PopupMenu->isVisible());
    for (QMenu *menu : form().findChildren<QMenu *>()) {
        if (menu != form().PopupMenu || button != Qt::RightButton)
            QVERIFY2(!menu->isVisible(), qPrintable(menu->objectName()));
    }
    form().PopupMenu->close();
    QTRY_COMPARE(QApplication::focusWidget(), form().EDIT_DOSSIER);
    QCOMPARE(added.count(), 0);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(target->isChecked(), wasChecked);
    QVERIFY2(form().isVisible(), "the window stays");
    QVERIFY2(!kit::quitRequested(), "the program is not asked to end");
    QVERIFY2(m_window.boxes().shown.isEmpty(), qPrintable(m_window.boxes().texts().join(u'|')));
    QVERIFY(QFile::exists(path(QStringLiteral("in/a.txt"))));
    QVERIFY(!QDir(path(QStringLiteral("out"))).exists());
}

// Leaving the box for a check box files its text once and runs nothing; the click then turns
// the box over as always.
void TestMouse::leftPressOnACheckBoxTakesTheFocus()
{
    QCheckBox *box = form().chk_PREFIX;
    const bool wasChecked = box->isChecked();
    QSignalSpy added(form().AddItem, &TAction::executing);
    const QPoint mark(6, box->height() / 2);
    QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, mark);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(added.count(), 1);
    QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, mark);
    QCOMPARE(box->isChecked(), !wasChecked);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(added.count(), 1);
    QVERIFY(!form().PopupMenu->isVisible());
    QVERIFY(form().isVisible());
    QVERIFY(m_window.boxes().shown.isEmpty());
    QVERIFY(QFile::exists(path(QStringLiteral("in/a.txt"))));
}

RANGEUR_TEST_MAIN(TestMouse)
#include "tst_mouse.moc"

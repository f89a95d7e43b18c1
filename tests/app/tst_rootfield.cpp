// The root folder field: "Même dossier", "Bureau", "Explorer", drops, browsing, the drag.
#include "FileHelpers.h"
#include "OpenedUrls.h"
#include "TForm1.h"
#include "WindowFixture.h"
#include "kit_Browse.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

using Unit1::SavedRootDir;

namespace {

// Answers the folder chooser and remembers where it was asked to start.
struct ScriptedChooser {
    explicit ScriptedChooser(std::optional<QString> answer)
    {
        kit_Browse::setResponder([this, answer](const kit_Browse::FolderRequest &r) {
            requests << r;
            return answer;
        });
    }
    ~ScriptedChooser() { kit_Browse::setResponder({}); }
    QList<kit_Browse::FolderRequest> requests;
};

void dropUrls(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return;
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

class TestRootField : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsOnTheDesktopWhateverMemeDossierShows();
    void memeDossierAndBureauSequences_data();
    void memeDossierAndBureauSequences();
    void drops_data();
    void drops();
    void browse_data();
    void browse();
    void browseFromKeyboardAndButton();
    void realChooserIsCentredWithItsInstruction();
    void pressOnTheTextStartsADragThatChangesNothing();
    void explorerOpensTheRootAsItIsNow();

private:
    WindowFixture m_window;
    QString m_desktop;
    QString m_scans;
    TForm1 &form() { return m_window.form(); }
    TestHome &home() { return m_window.home(); }
    TDirectoryEdit *field() { return form().JvDirectoryEdit1; }
};

void TestRootField::initTestCase()
{
    WindowFixture::setUpApplication();
}

void TestRootField::init()
{
    m_window.init();
    m_desktop = home().filePath(QStringLiteral("Desktop")) + u'/';
    m_scans = home().filePath(QStringLiteral("Scans"));
    makeFile(m_scans + QStringLiteral("/a.pdf"), {});
    m_window.makeForm({m_scans + QStringLiteral("/a.pdf"), QStringLiteral("/elsewhere/b.pdf")});
}

void TestRootField::cleanup()
{
    m_window.cleanup();
}

void TestRootField::startsOnTheDesktopWhateverMemeDossierShows()
{
    QVERIFY(form().chk_SAME->isChecked());
    QCOMPARE(field()->Directory(), m_desktop);
    QCOMPARE(SavedRootDir, m_desktop);
}

// Steps: "check", "uncheck", "bureau". Expected texts use D for the desktop folder, S for the
// dropped files' folder and R for the root the test starts with.
void TestRootField::memeDossierAndBureauSequences_data()
{
    QTest::addColumn<bool>("startChecked");
    QTest::addColumn<QString>("startSaved");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("roots");
    QTest::addColumn<QStringList>("saved");

    QTest::newRow("first run: uncheck, check, uncheck")
        << true << "D" << QStringList{"uncheck", "check", "uncheck"} << QStringList{"D", "S", "D"}
        << QStringList{"D", "D", "D"};
    QTest::newRow("restored root: the first uncheck gives the desktop, not the root")
        << true << "D" << QStringList{"uncheck"} << QStringList{"D"} << QStringList{"D"};
    QTest::newRow("every check saves the root of that moment")
        << false << "X" << QStringList{"check", "uncheck", "check"} << QStringList{"S", "R", "S"}
        << QStringList{"R", "R", "R"};
    QTest::newRow("Bureau while checked, then check")
        << true << "X" << QStringList{"bureau", "check"} << QStringList{"D", "S"}
        << QStringList{"X", "D"};
    QTest::newRow("Bureau while unchecked changes only the root")
        << false << "X" << QStringList{"bureau"} << QStringList{"D"} << QStringList{"X"};
    QTest::newRow("Bureau twice, then uncheck does nothing more")
        << true << "X" << QStringList{"bureau", "bureau", "uncheck"} << QStringList{"D", "D", "D"}
        << QStringList{"X", "X", "X"};
}

void TestRootField::memeDossierAndBureauSequences()
{
    QFETCH(bool, startChecked);
    QFETCH(QString, startSaved);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, roots);
    QFETCH(QStringList, saved);

    const QString start = QStringLiteral("/srv/Archives");
    auto expand = [&](const QString &code) {
        if (code == u'D')
            return m_desktop;
        if (code == u'S')
            return m_scans + u'/';
        if (code == u'R')
            return start;
        return QStringLiteral("/saved/earlier");
    };
    {
        const QSignalBlocker quiet(form().chk_SAME);
        form().chk_SAME->setChecked(startChecked);
    }
    field()->setDirectory(start);
    SavedRootDir = expand(startSaved);

    for (int i = 0; i < steps.size(); ++i) {
        if (steps[i] == QLatin1String("bureau"))
            form().MenuItem3->trigger();
        else
            form().chk_SAME->setChecked(steps[i] == QLatin1String("check"));
        QCOMPARE(field()->Directory(), expand(roots[i]));
        QCOMPARE(SavedRootDir, expand(saved[i]));
        if (steps[i] == QLatin1String("bureau"))
            QVERIFY2(!form().chk_SAME->isChecked(), "after Bureau, Même dossier is unchecked");
    }
}

void TestRootField::drops_data()
{
    QTest::addColumn<QStringList>("dropped"); // relative to the home, or absolute
    QTest::addColumn<QString>("root");

    QTest::newRow("a file gives its folder") << QStringList{"Scans/a.pdf"} << "Scans";
    QTest::newRow("a folder gives itself") << QStringList{"Scans"} << "Scans";
    QTest::newRow("one trailing slash is removed") << QStringList{"Scans/"} << "Scans";
    QTest::newRow("several items: the first only")
        << QStringList{"Scans/a.pdf", "Desktop", "/tmp"} << "Scans";
    QTest::newRow("a missing item is taken as it is") << QStringList{"gone/x.pdf"} << "gone/x.pdf";
    QTest::newRow("the root of the file system stays the root") << QStringList{"/"} << "/";
}

void TestRootField::drops()
{
    QFETCH(QStringList, dropped);
    QFETCH(QString, root);
    auto absolute = [this](const QString &p) {
        return p.startsWith(u'/') ? p : home().path() + u'/' + p;
    };
    QList<QUrl> urls;
    for (const QString &p : dropped)
        urls << QUrl::fromLocalFile(absolute(p));
    dropUrls(field(), urls);
    QCOMPARE(field()->Directory(), absolute(root));
}

void TestRootField::browse_data()
{
    QTest::addColumn<QString>("root");        // the text before browsing
    QTest::addColumn<QString>("lastChosen");  // the field's last chosen folder
    QTest::addColumn<QString>("answer");      // "" cancels
    QTest::addColumn<QString>("expectStart"); // where the chooser starts
    QTest::addColumn<QString>("expectRoot");
    QTest::addColumn<QString>("expectLast");

    QTest::newRow("confirmed: the chosen folder, without a final slash") << "Desktop/"
                                                                         << ""
                                                                         << "Scans"
                                                                         << "Desktop/"
                                                                         << "Scans"
                                                                         << "Scans";
    QTest::newRow("cancelled: nothing changes") << "Desktop/"
                                                << ""
                                                << ""
                                                << "Desktop/"
                                                << "Desktop/"
                                                << "";
    QTest::newRow("empty field, nothing chosen yet: starts at /") << ""
                                                                  << ""
                                                                  << ""
                                                                  << "/"
                                                                  << ""
                                                                  << "";
    QTest::newRow("empty field: starts at the last chosen folder") << ""
                                                                   << "Scans"
                                                                   << ""
                                                                   << "Scans"
                                                                   << ""
                                                                   << "Scans";
    QTest::newRow("missing root: starts at /") << "gone"
                                               << ""
                                               << ""
                                               << "/"
                                               << "gone"
                                               << "";
    QTest::newRow("a chosen folder that is missing is not remembered") << "Desktop/"
                                                                       << "Scans"
                                                                       << "gone"
                                                                       << "Desktop/"
                                                                       << "gone"
                                                                       << "Scans";
}

void TestRootField::browse()
{
    QFETCH(QString, root);
    QFETCH(QString, lastChosen);
    QFETCH(QString, answer);
    QFETCH(QString, expectStart);
    QFETCH(QString, expectRoot);
    QFETCH(QString, expectLast);
    auto absolute = [this](const QString &p) {
        return p.isEmpty() || p.startsWith(u'/') ? p : home().path() + u'/' + p;
    };
    field()->setDirectory(absolute(root));
    field()->InitialDir = absolute(lastChosen);
    ScriptedChooser chooser(answer.isEmpty() ? std::nullopt
                                             : std::optional<QString>(absolute(answer)));
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    form().chk_PREFIX->setFocus();
    field()->Browse();
    QCOMPARE(chooser.requests.size(), 1);
    QCOMPARE(chooser.requests[0].instruction, QStringLiteral("Choisissez un dosier cible"));
    QCOMPARE(chooser.requests[0].startFolder, absolute(expectStart));
    QCOMPARE(field()->Directory(), absolute(expectRoot));
    QCOMPARE(field()->InitialDir, absolute(expectLast));
    QCOMPARE(QApplication::focusWidget(), field());
}

void TestRootField::browseFromKeyboardAndButton()
{
    ScriptedChooser chooser(m_scans);
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    field()->setFocus();
    QTest::keyClick(form().windowHandle(), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(chooser.requests.size(), 1);
    QCOMPARE(field()->Directory(), m_scans);

    form().EDIT_DOSSIER->setFocus();
    field()->setDirectory(m_desktop);
    QTest::mouseClick(field()->browseButton(), Qt::LeftButton);
    QCOMPARE(chooser.requests.size(), 2);
    QCOMPARE(chooser.requests[1].startFolder, m_desktop);
    QCOMPARE(field()->Directory(), m_scans);
    QCOMPARE(QApplication::focusWidget(), field());
}

void TestRootField::realChooserIsCentredWithItsInstruction()
{
    QString caption;
    QString directory;
    bool hasNewFolderButton = false;
    bool readOnly = true;
    QString lookInLabel;
    QStringList buttonTexts;
    QPoint position;
    QSize size;
    QTimer::singleShot(0, [&] {
        QFileDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())));
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        caption = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        hasNewFolderButton =
            dialog->findChild<QToolButton *>(QStringLiteral("newFolderButton")) != nullptr;
        readOnly = dialog->testOption(QFileDialog::ReadOnly);
        if (const auto *label = dialog->findChild<QLabel *>(QStringLiteral("lookInLabel")))
            lookInLabel = label->text();
        if (const auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))) {
            for (const QAbstractButton *b : box->buttons())
                buttonTexts << b->text();
        }
        position = dialog->pos();
        size = dialog->size();
        dialog->reject();
    });
    field()->setDirectory(m_scans);
    field()->Browse();
    QCOMPARE(caption, QStringLiteral("Choisissez un dosier cible"));
    QCOMPARE(directory, m_scans);
    QVERIFY2(hasNewFolderButton, "the chooser offers a new-folder button");
    QVERIFY2(!readOnly, "the chooser can make folders");
    QCOMPARE(lookInLabel, QStringLiteral("Voir dans :"));
    QCOMPARE(buttonTexts, (QStringList{"&Choisir", "Annuler"}));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect work = screen->availableGeometry();
    QCOMPARE(position, screen->geometry().topLeft() + QPoint((work.width() - size.width()) / 2,
                                                             (work.height() - size.height()) / 2));
    QCOMPARE(field()->Directory(), m_scans);
}

void TestRootField::pressOnTheTextStartsADragThatChangesNothing()
{
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    form().EDIT_DOSSIER->setFocus();
    field()->setCursorPosition(0);
    QSignalSpy drags(field(), &TDirectoryEdit::autoDragStarted);
    const QString before = field()->text();
    QTest::mousePress(field(), Qt::LeftButton, Qt::NoModifier, QPoint(20, field()->height() / 2));
    QTest::mouseRelease(field(), Qt::LeftButton, Qt::NoModifier, QPoint(20, field()->height() / 2));
    QTest::mouseDClick(field(), Qt::LeftButton, Qt::NoModifier, QPoint(20, field()->height() / 2));
    QCOMPARE(drags.count(), 2);
    QCOMPARE(field()->text(), before);
    QCOMPARE(field()->cursorPosition(), 0);
    QVERIFY(!field()->hasSelectedText());
    QVERIFY2(form().EDIT_DOSSIER->hasFocus(), "the press does not give the field the focus");
}

void TestRootField::explorerOpensTheRootAsItIsNow()
{
    OpenedUrls opened;
    field()->setDirectory(m_scans + u'/');
    form().MenuItem5->trigger();
    field()->setDirectory(QString());
    form().MenuItem5->trigger(); // an empty root: nothing visible happens
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(m_scans + u'/')});
}

RANGEUR_TEST_MAIN(TestRootField)
#include "tst_rootfield.moc"

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "kit_App.h"
#include "kit_Dialogs.h"
#include "kit_Title.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace kit_Dialogs;

namespace {

// Runs `act` on the real box once it is on screen, then lets the box end.
void whenBoxShows(std::function<void(QMessageBox *)> act)
{
    QTimer::singleShot(0, [act] {
        QMessageBox *box = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) != nullptr,
            5000);
        QVERIFY(QTest::qWaitForWindowActive(box));
        act(box);
    });
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void routinesShowTheirKind_data();
    void routinesShowTheirKind();
    void errorBoxUsesTitleAndFullStop();
    void realBoxKeyboard_data();
    void realBoxKeyboard();
    void realBoxLooksAsDesigned_data();
    void realBoxLooksAsDesigned();
    void pendingQuitEndsBoxesAtOnce();
    void longWordsWrapInsideTheScreen_data();
    void longWordsWrapInsideTheScreen();
};

void TestDialogs::cleanup()
{
    kit::clearQuitRequest();
    setResponder({});
}

void TestDialogs::routinesShowTheirKind_data()
{
    QTest::addColumn<std::function<void()>>("call");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("buttons");

    const int ok = mbOK;
    const int okCancel = mbOK | mbCancel;
    QTest::newRow("ShowWarning") << std::function<void()>([] { ShowWarning("w"); })
                                 << int(TMsgDlgType::mtWarning) << "Avertissement" << ok;
    QTest::newRow("AskConfirm") << std::function<void()>(
                                       [] { AskConfirm("w", TMsgDlgType::mtConfirmation); })
                                << int(TMsgDlgType::mtConfirmation) << "Confirmer" << okCancel;
    QTest::newRow("ShowPlainMessage") << std::function<void()>([] { ShowPlainMessage("w"); })
                                      << int(TMsgDlgType::mtCustom) << kit::programTitle() << ok;
    QTest::newRow("information box") << std::function<void()>([] { ShowInformation("w"); })
                                     << int(TMsgDlgType::mtInformation) << "Informations" << ok;
}

void TestDialogs::routinesShowTheirKind()
{
    QFETCH(std::function<void()>, call);
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(int, buttons);
    ScriptedDialogs boxes;
    call();
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(int(boxes.shown[0].kind), kind);
    QCOMPARE(boxes.shown[0].caption, caption);
    QCOMPARE(int(boxes.shown[0].buttons), buttons);
    QCOMPARE(boxes.shown[0].defaultButton, mbOK);
}

void TestDialogs::errorBoxUsesTitleAndFullStop()
{
    ScriptedDialogs boxes;
    ShowErrorBox(QStringLiteral("Impossible d'écrire dans /opt/rangeur.INI"));
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].caption, kit::programTitle());
    QCOMPARE(boxes.shown[0].text, QStringLiteral("Impossible d'écrire dans /opt/rangeur.INI."));
    QCOMPARE(int(boxes.shown[0].kind), int(TMsgDlgType::mtError));
    QCOMPARE(int(boxes.shown[0].buttons), int(mbOK));
}

enum class Gesture { Enter, Escape, CloseButton, ClickCancel };
Q_DECLARE_METATYPE(Gesture)

void TestDialogs::realBoxKeyboard_data()
{
    QTest::addColumn<bool>("withCancel");
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<bool>("resultOk");
    QTest::addColumn<bool>("yesNo"); // AskYesNo: resultOk is Oui; ClickCancel clicks Non

    QTest::newRow("OK only: Enter") << false << Gesture::Enter << true << false;
    QTest::newRow("OK only: Escape presses OK") << false << Gesture::Escape << true << false;
    QTest::newRow("OK only: close button is Cancel")
        << false << Gesture::CloseButton << false << false;
    QTest::newRow("confirm: Enter") << true << Gesture::Enter << true << false;
    QTest::newRow("confirm: Escape") << true << Gesture::Escape << false << false;
    QTest::newRow("confirm: close button") << true << Gesture::CloseButton << false << false;
    QTest::newRow("confirm: Annuler") << true << Gesture::ClickCancel << false << false;
    QTest::newRow("Oui/Non: Enter is Oui") << false << Gesture::Enter << true << true;
    QTest::newRow("Oui/Non: Escape is Non") << false << Gesture::Escape << false << true;
    QTest::newRow("Oui/Non: close button is Non") << false << Gesture::CloseButton << false << true;
    QTest::newRow("Oui/Non: Non") << false << Gesture::ClickCancel << false << true;
}

void TestDialogs::realBoxKeyboard()
{
    QFETCH(bool, withCancel);
    QFETCH(Gesture, gesture);
    QFETCH(bool, resultOk);
    QFETCH(bool, yesNo);

    whenBoxShows([gesture](QMessageBox *box) {
        switch (gesture) {
        case Gesture::Enter:
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            break;
        case Gesture::Escape:
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            break;
        case Gesture::CloseButton:
            box->windowHandle()->close();
            break;
        case Gesture::ClickCancel:
            for (QAbstractButton *b : box->buttons()) {
                if (b->text() == QLatin1String("Annuler") || b->text() == QLatin1String("Non"))
                    QTest::mouseClick(b, Qt::LeftButton);
            }
            break;
        }
    });
    if (yesNo) {
        QCOMPARE(kit_Dialogs::AskYesNo(QStringLiteral("Annuler le rangement ?")), resultOk);
        return;
    }
    const TMsgDlgButtons buttons =
        withCancel ? TMsgDlgButtons(mbOK) | mbCancel : TMsgDlgButtons(mbOK);
    const TModalResult result =
        MessageDlg(QStringLiteral("Texte"), TMsgDlgType::mtConfirmation, buttons);
    QCOMPARE(result == TModalResult::mrOk, resultOk);
}

void TestDialogs::realBoxLooksAsDesigned_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("two lines") << QStringLiteral("a.pdf\r\nb.pdf");
    QTest::newRow("markup in a file name is shown as it is")
        << QStringLiteral("/tmp/<h1>rapport.txt\r\n/x/<b>R</b>_<h1>rapport.txt");
}

void TestDialogs::realBoxLooksAsDesigned()
{
    QFETCH(QString, message);
    QString caption;
    QString text;
    Qt::TextFormat shownAs = Qt::AutoText;
    QStringList buttonTexts;
    QString focused;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool centred = false;
    whenBoxShows([&](QMessageBox *box) {
        caption = box->windowTitle();
        text = box->text();
        if (const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
            shownAs = label->textFormat();
        icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            buttonTexts << b->text();
        focused = QApplication::focusWidget()
                      ? qobject_cast<QAbstractButton *>(QApplication::focusWidget())->text()
                      : QString();
        const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
        centred = (box->frameGeometry().center() - screenCentre).manhattanLength() <= 2;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    const bool answer = AskConfirm(message, TMsgDlgType::mtConfirmation);
    QVERIFY(!answer);
    QCOMPARE(caption, QStringLiteral("Confirmer"));
    QCOMPARE(text, message);
    QCOMPARE(shownAs, Qt::PlainText);
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttonTexts, (QStringList{"OK", "Annuler"}));
    QCOMPARE(focused, QStringLiteral("OK"));
    QVERIFY2(centred, "the box is centred on the screen");
}

void TestDialogs::pendingQuitEndsBoxesAtOnce()
{
    kit::postQuitRequest();
    // A box that did open would hang here; fail instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
    guard.start(3000);
    QVERIFY2(!AskConfirm(QStringLiteral("?"), TMsgDlgType::mtConfirmation),
             "a box under a pending quit ends as if cancelled");
    ShowWarning(QStringLiteral("!"));
    QVERIFY2(guard.isActive(), "no box was shown while the quit request was pending");
}

void TestDialogs::longWordsWrapInsideTheScreen_data()
{
    QTest::addColumn<QString>("text");
    const QString root = QStringLiteral("/tmp/") + QString(2240, u'r') + QStringLiteral("/");
    QTest::newRow("a 2246-character root")
        << QStringLiteral("ATTENTION le dossier demandé n'existe pas !\r\n\r\n") + root;
    QTest::newRow("a long name with accents as combining marks")
        << QStringLiteral("/tmp/") + QString(300, u'e') + QStringLiteral("\u0301.pdf");
}

// Every line shows whole: the label needs no more width than it has, nor more height, and the
// box stays on the screen.
void TestDialogs::longWordsWrapInsideTheScreen()
{
    QFETCH(QString, text);
    QRect frame;
    QRect screen;
    QSize label;
    int neededWidth = 0;
    int neededHeight = 0;
    whenBoxShows([&](QMessageBox *box) {
        frame = box->frameGeometry();
        screen = box->screen()->availableGeometry();
        const auto *shown = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        label = shown->size();
        neededWidth = shown->minimumSizeHint().width();
        neededHeight = shown->heightForWidth(shown->width());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    ShowWarning(text);
    QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("box %1x%2 on a screen of %3x%4")
                                                    .arg(frame.width())
                                                    .arg(frame.height())
                                                    .arg(screen.width())
                                                    .arg(screen.height())));
    QVERIFY2(
        neededWidth <= label.width(),
        qPrintable(
            QStringLiteral("the text needs %1 px, has %2").arg(neededWidth).arg(label.width())));
    QVERIFY2(neededHeight <= label.height(),
             qPrintable(
                 QStringLiteral("needs %1 px high, has %2").arg(neededHeight).arg(label.height())));
}

RANGEUR_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

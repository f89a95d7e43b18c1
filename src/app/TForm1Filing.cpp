// The filing run: OK creates the target folder and moves every dropped file into it.
#include "TForm1.h"
#include "kit_Busy.h"
#include "kit_DIR.h"
#include "kit_Dialogs.h"
#include "kit_FILE.h"
#include "kit_Filing.h"
#include "kit_Journal.h"
#include "kit_LISTES.h"
#include "kit_ListFile.h"
#include "kit_MoveQueue.h"
#include "kit_Shell.h"
#include "widgets/TAction.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"
#include "widgets/TGauge.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QPushButton>

namespace {

// Hides the gauge however the loop ends.
struct GaugeShown {
    TGauge *gauge;
    ~GaugeShown() { gauge->hide(); }
};

} // namespace

void TForm1::btnOKClick(QObject *)
{
    const QString name = EDIT_DOSSIER->currentText();
    AddItem->Execute();
    if (name.isEmpty()) {
        kit_Dialogs::ShowWarning(
            QStringLiteral("Vous devez donner un NOM DE DOSSIER où ranger le(s) fichier(s)!"));
        EDIT_DOSSIER->setFocus(Qt::OtherFocusReason);
        return;
    }
    const qsizetype count = m_files.size();
    if (count == 0) {
        kit_Dialogs::ShowWarning(QStringLiteral("Il n'y a pas de fichier(s) à déplacer!"));
        return;
    }
    const QString root = JvDirectoryEdit1->Directory();
    const QString target = kit::targetFolder(root, name, kit::nativePathStyle);
    // On failure every copy below fails and is reported. Without a root the target sits at the
    // top of the file system, where a folder is used when it exists but never made.
    QStringList made;
    if (root.isEmpty())
        kit_DIR::UseExistingDir(target);
    else
        kit_DIR::CreateDir(target, &made);
    // A run killed there before may have left its hidden temporary files.
    kit_FILE::RemoveStaleTemporaries(target);
    // Each step is written down before it is taken, so that the run can be undone later
    // (rangeur --annuler), even when it is ended half-way.
    kit_Journal::RunJournal journal(target, made);

    {
        Gauge1->setMinValue(0);
        Gauge1->setMaxValue(int(count));
        Gauge1->setProgress(0);
        Gauge1->show();
        Gauge1->repaint();
        const GaugeShown hideAfterwards{Gauge1};
        // The copies and the trashing run on threads of their own, so that the window keeps
        // painting during a long copy; it takes no input meanwhile. One small file is moved
        // here at once: starting the threads would cost more than it.
        constexpr qint64 kSmallFile = 1 << 20;
        const bool oneSmallFile = count == 1 && QFileInfo(m_files.front()).size() <= kSmallFile;
        kit_FILE::MoveQueue moves(kit_Busy::WakeUp, &journal,
                                  oneSmallFile ? kit_FILE::MoveQueue::Threads::Caller
                                               : kit_FILE::MoveQueue::Threads::Own);
        const bool confirm = chk_Confirm->isChecked();
        for (qsizetype i = 1; i <= count; ++i) {
            const QString &source = m_files[i - 1];
            const QString destination =
                kit::destinationPath(target, source, chk_PREFIX->isChecked(),
                                     EDIT_DOSSIER->currentText(), kit::nativePathStyle);
            if (confirm) {
                Gauge1->setProgress(int(i));
                Gauge1->flush(); // the user decides with the progress in view
                if (!kit_Dialogs::AskConfirm(source + QStringLiteral("\r\n") + destination,
                                             kit_Dialogs::TMsgDlgType::mtConfirmation))
                    continue;
            }
            MoveOneFile(moves, source, destination);
            // Each file's report comes before the next question.
            if (confirm)
                awaitMoves(moves, false);
        }
        awaitMoves(moves, !confirm);
        Gauge1->setProgress(int(count));
        Gauge1->flush();
    }
    if (journal.failed())
        kit_Dialogs::ShowWarning(
            QStringLiteral("Impossible d'écrire le journal de ce rangement dans %1 : il ne pourra "
                           "pas être annulé en entier.")
                .arg(kit_Journal::folder()));

    if (chk_OPEN->isChecked())
        kit_Shell::OpenPath(target);
    if (kit::listFileCanHold(target) && !kit_LISTES::IsInList(target, JvCheckListBox1))
        JvCheckListBox1->addEntry(target);
    close();
}

void TForm1::MoveOneFile(kit_FILE::MoveQueue &moves, const QString &source,
                         const QString &destination)
{
    // What is trashed and what is reported is the queue's rule (kit_MoveQueue).
    moves.add(source, destination);
}

void TForm1::awaitMoves(kit_FILE::MoveQueue &moves, bool gaugeFollows)
{
    const auto followTheCopies = [&] {
        if (gaugeFollows)
            Gauge1->setProgress(moves.started());
    };
    for (;;) {
        // Outcomes come in the order of the files; the work waits while a failure is shown.
        while (const auto outcome = moves.takeOutcome()) {
            if (outcome->moved)
                continue;
            followTheCopies();
            Gauge1->flush(); // the box shows how far the run has gone
            kit_Dialogs::ShowPlainMessage(QStringLiteral("Echec copie :\r\n\r\n") +
                                          outcome->source + QStringLiteral("\r\n\r\nvers\r\n\r\n") +
                                          outcome->destination);
            moves.acknowledge();
        }
        if (moves.finished())
            return;
        kit_Busy::WaitWithoutInput([&] { return moves.newsWaiting(); }, followTheCopies);
    }
}

void TForm1::EDIT_DOSSIERExit(QObject *)
{
    AddItem->Execute();
    QWidget *receiving = QApplication::focusWidget();
    if (!receiving || receiving->objectName() != QLatin1String("btnOK"))
        return;
    // With the left button down, only a press on OK itself can have moved the focus here: the
    // run starts now, at the press, and the press must not reach the button, or its release
    // would click OK a second time.
    m_okPressStartedRun = QApplication::mouseButtons() & Qt::LeftButton;
    btnOK->click();
}

void TForm1::bindFilingRun()
{
    btnOK->installEventFilter(this);
}

bool TForm1::swallowOkPress(QObject *watched, QEvent *event)
{
    if (watched == btnOK && m_okPressStartedRun && event->type() == QEvent::MouseButtonPress) {
        m_okPressStartedRun = false;
        return true; // a button never pressed down gives no click on release
    }
    return false;
}

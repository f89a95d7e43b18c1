// The folder-name list and the recent folders list.
#include "TForm1.h"
#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_LISTES.h"
#include "kit_TRAYICON.h"
#include "kit_ini.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TFolderNameBox.h"

#include <QAction>
#include <QFileInfo>

QString TForm1::folderListPath() const
{
    return kit_ini::GetAppDir() + QStringLiteral("DOSSIERS.TXT");
}

QString TForm1::recentListPath() const
{
    return kit_ini::GetAppDir() + QStringLiteral("CHEMINS.TXT");
}

namespace {

// Loads the list when its file exists; a file that cannot be read is reported in the error
// box and the start goes on. False when it could not be read.
template <typename List> bool loadListFile(List *list, const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    try {
        list->LoadFromFile(path);
        return true;
    } catch (const kit::Error &e) {
        kit_Dialogs::ShowErrorBox(e.message());
        return false;
    }
}

} // namespace

void TForm1::loadFolderList()
{
    m_folderListUnread = !loadListFile(EDIT_DOSSIER, folderListPath());
}

void TForm1::loadRecentList()
{
    m_recentListUnread = !loadListFile(JvCheckListBox1, recentListPath());
}

void TForm1::saveFolderList()
{
    if (m_folderListUnread)
        return;
    kit_ini::makeAppDir();
    EDIT_DOSSIER->SaveToFile(folderListPath());
}

void TForm1::saveRecentList()
{
    if (m_recentListUnread)
        return;
    kit_ini::makeAppDir();
    JvCheckListBox1->SaveToFile(recentListPath());
}

void TForm1::AddItemExecute(QObject *)
{
    const bool added =
        kit_LISTES::AddToJvCombo(EDIT_DOSSIER, EDIT_DOSSIER->currentText(), false, false);
    saveFolderList();
    if (added)
        kit_TRAYICON::ShowBalloon(TrayIcon1, EDIT_DOSSIER->currentText(),
                                  QStringLiteral("Nouveau Dossier Ajouté à la liste!"));
}

void TForm1::chk_TRierDossierClick(QObject *)
{
    const bool sorted = chk_TRierDossier->isChecked();
    EDIT_DOSSIER->setSorted(sorted);
    if (EDIT_DOSSIER->count() > 0)
        EDIT_DOSSIER->setText(EDIT_DOSSIER->itemText(0));
    // Unsorting gives the list the file's order back, which every addition has kept up to date.
    if (!sorted && QFileInfo::exists(folderListPath())) {
        EDIT_DOSSIER->LoadFromFile(folderListPath());
        m_folderListUnread = false;
    }
}

void TForm1::Supprimer1Click(QObject *)
{
    const int index = EDIT_DOSSIER->currentIndex();
    if (index < 0)
        throw kit::Error(QStringLiteral("Index de liste hors limites (%1)").arg(index));
    const QString entry = EDIT_DOSSIER->itemText(index);
    if (kit_Dialogs::AskConfirm(QStringLiteral("Supprimer l'entrée: ") + entry +
                                    QStringLiteral(" ?"),
                                kit_Dialogs::TMsgDlgType::mtConfirmation)) {
        EDIT_DOSSIER->removeEntry(index);
        EDIT_DOSSIER->repaint();
    }
    saveFolderList();
}

void TForm1::JvCheckListBox1DblClick(QObject *) {}
void TForm1::JvCheckListBox1ClickCheck(QObject *) {}
void TForm1::MenuItem1Click(QObject *) {}
void TForm1::chk_SORTClick(QObject *) {}

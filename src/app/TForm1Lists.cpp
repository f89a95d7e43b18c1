// The folder-name list and the recent folders list.
#include "TForm1.h"
#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_Filing.h"
#include "kit_LISTES.h"
#include "kit_ListFile.h"
#include "kit_TRAYICON.h"
#include "kit_ini.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>

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
    // A name with a line break (pasted) would come back from the file as two names; the run
    // still files into it.
    const bool added =
        kit::listFileCanHold(EDIT_DOSSIER->currentText()) &&
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

namespace {

// The row of the recent folders list's selected entry; the list-index error when there is none.
int selectedRow(const TCheckListBox *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
        throw kit::Error(QStringLiteral("Index de liste hors limites (%1)").arg(-1));
    return list->row(selected.constFirst());
}

} // namespace

void TForm1::takeValuesFromRecentFolder()
{
    PageControl1->setCurrentIndex(0);
    const QString entry = JvCheckListBox1->item(selectedRow(JvCheckListBox1))->text();
    const kit::FolderValues values = kit::valuesFromTarget(entry, kit::nativePathStyle);
    EDIT_DOSSIER->setText(values.name);
    JvDirectoryEdit1->setDirectory(values.root);
}

void TForm1::JvCheckListBox1ClickCheck(QObject *)
{
    takeValuesFromRecentFolder();
}

void TForm1::JvCheckListBox1DblClick(QObject *)
{
    takeValuesFromRecentFolder();
    btnOK->click();
}

void TForm1::MenuItem1Click(QObject *)
{
    const int row = selectedRow(JvCheckListBox1);
    const QString entry = JvCheckListBox1->item(row)->text();
    if (!kit_Dialogs::AskConfirm(QStringLiteral("Supprimer l'entrée: ") + entry +
                                     QStringLiteral(" ?"),
                                 kit_Dialogs::TMsgDlgType::mtConfirmation))
        return;
    delete JvCheckListBox1->takeItem(row);
    if (JvCheckListBox1->count() > 0)
        JvCheckListBox1->setCurrentRow(row > 0 ? row - 1 : 0);
    JvCheckListBox1->repaint();
    // The file follows when the settings are saved.
}

void TForm1::chk_SORTClick(QObject *)
{
    // Each click sorts, whatever the mark now shows; the list is never unsorted.
    JvCheckListBox1->setSorted(true);
}

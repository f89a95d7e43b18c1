// Restoring and saving the window's state.
#include "TForm1.h"
#include "kit_DIR.h"
#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_WIN.h"
#include "kit_ini.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

namespace {

const QString options = QStringLiteral("OPTIONS");

} // namespace

void TForm1::INI_GETExecute(QObject *)
{
    // Until a list has been read, what its control holds must never replace its file.
    m_recentListUnread = true;
    m_folderListUnread = true;

    // A geometry that cannot be read is reported; everything else is still restored, so that
    // the next save writes back what the user had rather than the design's defaults.
    bool stored = false;
    try {
        stored = kit_ini::LoadFormPos(this);
    } catch (const kit::Error &e) {
        kit_Dialogs::ShowErrorBox(e.message());
    }
    // Before the first show the frame is unknown, so the stored outer bounds went to the inside;
    // they are taken back once the desktop has framed the window.
    if (stored && !isVisible() && frameGeometry().size() == size()) {
        m_outerSizeToKeep = size();
        m_outerPosToKeep = pos();
    }
    // Runs chk_SAMEClick when "Même dossier" changes; the "Trier" marks do not sort.
    kit_ini::LoadChecks(Components());

    const QString desktop = kit_WIN::GetDesktopDir();
    Unit1::SavedRootDir = desktop;

    EDIT_DOSSIER->setText(
        kit_ini::IniReadString(options, QStringLiteral("FICHIER"), EDIT_DOSSIER->currentText()));

    const QString root = kit_ini::IniReadString(options, QStringLiteral("DOSSIER"), desktop);
    if (!root.isEmpty() && kit_DIR::folderExists(root))
        JvDirectoryEdit1->setDirectory(root);
    else
        kit_Dialogs::ShowWarning(
            QStringLiteral("ATTENTION le dossier demandé n'existe pas !\r\n\r\n") + root);

    loadRecentList();
    loadFolderList();
}

// Each write that fails raises its error and ends the save there: what was written stays, and
// neither list is written.
void TForm1::INI_SAVEExecute(QObject *)
{
    // Written in one go: each write of the file waits for the disk.
    kit_ini::WriteBatch settings;
    kit_ini::SaveFormPos(this);
    kit_ini::SaveChecks(Components());
    kit_ini::IniWriteString(options, QStringLiteral("FICHIER"), EDIT_DOSSIER->currentText());
    kit_ini::IniWriteString(options, QStringLiteral("DOSSIER"), JvDirectoryEdit1->Directory());
    settings.commit();
    saveRecentList();
    saveFolderList();
}

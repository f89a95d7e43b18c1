// Restoring and saving the window's state.
#include "TForm1.h"
#include "kit_DIR.h"
#include "kit_Dialogs.h"
#include "kit_WIN.h"
#include "widgets/TDirectoryEdit.h"

void TForm1::INI_GETExecute(QObject *)
{
    // With nothing stored, every value read is its default: the geometry and the check boxes
    // keep their designed state, and the root folder is the desktop folder.
    const QString desktop = kit_WIN::GetDesktopDir();
    Unit1::SavedRootDir = desktop;
    const QString root = desktop; // the stored root folder's default
    if (kit_DIR::folderExists(root))
        JvDirectoryEdit1->setDirectory(root);
    else
        kit_Dialogs::ShowWarning(
            QStringLiteral("ATTENTION le dossier demandé n'existe pas !\r\n\r\n") + root);

    loadRecentList();
    loadFolderList();
}

void TForm1::INI_SAVEExecute(QObject *)
{
    saveRecentList();
    saveFolderList();
}

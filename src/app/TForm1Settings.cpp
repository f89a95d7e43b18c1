// Restoring and saving the window's state.
#include "TForm1.h"
#include "kit_DIR.h"
#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_WIN.h"
#include "widgets/TFolderNameBox.h"
#include "widgets/TDirectoryEdit.h"

#include <QFileInfo>

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

    // A list file that exists but cannot be read is reported, and the start goes on.
    const QString folders = folderListPath();
    if (QFileInfo::exists(folders)) {
        try {
            EDIT_DOSSIER->LoadFromFile(folders);
        } catch (const kit::Error &e) {
            m_folderListUnread = true;
            kit_Dialogs::ShowErrorBox(e.message());
        }
    }
}

void TForm1::INI_SAVEExecute(QObject *)
{
    saveFolderList();
}

// The root folder: "Même dossier", "Bureau", "Explorer", and the saved root.
#include "TForm1.h"
#include "kit_Paths.h"
#include "kit_Shell.h"
#include "kit_WIN.h"
#include "widgets/TDirectoryEdit.h"

#include <QCheckBox>

namespace Unit1 {
QString SavedRootDir;
} // namespace Unit1

using Unit1::SavedRootDir;

void TForm1::chk_SAMEClick(QObject *)
{
    if (chk_SAME->isChecked()) {
        SavedRootDir = JvDirectoryEdit1->Directory();
        // The folder of the first dropped file, ending in '/'.
        const QString first = m_files.isEmpty() ? QString() : m_files.constFirst();
        JvDirectoryEdit1->setDirectory(kit::folderPart(first, kit::nativePathStyle));
    } else {
        JvDirectoryEdit1->setDirectory(SavedRootDir);
    }
}

void TForm1::Bureau1Click(QObject *)
{
    chk_SAME->setChecked(false); // runs chk_SAMEClick when it was checked
    JvDirectoryEdit1->setDirectory(kit_WIN::GetDesktopDir());
}

void TForm1::Explorer1Click(QObject *)
{
    kit_Shell::OpenPath(JvDirectoryEdit1->Directory());
}

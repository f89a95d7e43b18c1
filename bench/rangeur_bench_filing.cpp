// Files the given files into ROOT/BENCH/ through the real window's OK, offscreen, without
// confirmation and without opening the folder: rangeur-bench-filing ROOT FILE...
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_App.h"
#include "kit_Dialogs.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: rangeur-bench-filing ROOT FILE...\n");
        return 2;
    }
    const QString root = args.takeFirst();
    initialiseApplication(app);
    // No one is there to answer a box: say it and go on.
    kit_Dialogs::setResponder([](const kit_Dialogs::BoxRequest &box) {
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return kit_Dialogs::TModalResult::mrOk;
    });
    TForm1 form(args);
    form.EDIT_DOSSIER->setText(QStringLiteral("BENCH"));
    form.JvDirectoryEdit1->setDirectory(root);
    form.chk_Confirm->setChecked(false);
    form.chk_OPEN->setChecked(false);
    form.chk_PREFIX->setChecked(false);
    form.show();
    form.btnOK->click();
    // The run ends by closing the window; anything else means it stopped short.
    return form.isVisible() || !kit::quitRequested() ? 1 : 0;
}

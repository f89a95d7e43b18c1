// Files the given files into ROOT/BENCH/ through the real window's OK, offscreen, without
// confirmation and without opening the folder: rangeur-bench-filing ROOT FILE...
// With --on-screen first, the window shows on the display, its X window id is printed once it
// is on screen, and OK is pressed half a second later.
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_App.h"
#include "kit_Dialogs.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QWindow>
#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    const bool onScreen = argc > 1 && std::strcmp(argv[1], "--on-screen") == 0;
    if (!onScreen)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(onScreen ? 2 : 1);
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
    if (onScreen) {
        while (!form.windowHandle() || !form.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        std::printf("0x%llx\n", static_cast<unsigned long long>(form.winId()));
        std::fflush(stdout);
        QDeadlineTimer settle(500);
        while (!settle.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    form.btnOK->click();
    // The run ends by closing the window; anything else means it stopped short.
    return form.isVisible() || !kit::quitRequested() ? 1 : 0;
}

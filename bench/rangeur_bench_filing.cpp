// Files the given files into ROOT/BENCH/ through the real window's OK, offscreen, without
// confirmation and without opening the folder: rangeur-bench-filing ROOT FILE...
// --on-screen: the window shows on the display, its X window id is printed once it is on
// screen, and OK is pressed half a second later. --print-press: the wall-clock time of the press
// is printed in nanoseconds since the epoch, for timing the press to the end; the press comes
// once the window has settled.
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
#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    bool onScreen = false;
    bool printPress = false;
    int first = 1;
    for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
        onScreen = onScreen || std::strcmp(argv[first], "--on-screen") == 0;
        printPress = printPress || std::strcmp(argv[first], "--print-press") == 0;
    }
    if (!onScreen)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(first);
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: rangeur-bench-filing [--on-screen] [--print-press] ROOT FILE...\n");
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
    warmUpAfterFirstPaint(form, args);
    form.show();
    const auto settle = [](int ms) {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    if (onScreen) {
        while (!form.windowHandle() || !form.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        std::printf("0x%llx\n", static_cast<unsigned long long>(form.winId()));
        std::fflush(stdout);
        settle(500);
    } else if (printPress) {
        settle(300); // as a user does: the press comes once the window is up and settled
    }
    if (printPress) {
        std::printf("%lld\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count()));
        std::fflush(stdout);
    }
    form.btnOK->click();
    // The run ends by closing the window; anything else means it stopped short.
    return form.isVisible() || !kit::quitRequested() ? 1 : 0;
}

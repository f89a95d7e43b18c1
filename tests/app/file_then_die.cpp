// Files documents through the real window and dies, killed, just before the source of one file
// goes to the trash: a run ended half-way by a crash, a kill or the end of a session.
//
//   rangeur-test-file-then-die KILL_AT NAME ROOT FILE...
//
// KILL_AT counts the files from 1; "described:N" kills later, once the trash has described file
// N and before it moves. The program's own folder is $RANGEUR_TEST_APPDIR.
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_Dialogs.h"
#include "kit_FILE.h"
#include "kit_ini.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s KILL_AT NAME ROOT FILE...\n", argv[0]);
        return 2;
    }
    const QByteArray kill(argv[1]);
    const bool described = kill.startsWith("described:");
    const int killAt = (described ? kill.mid(10) : kill).toInt();
    const kit_FILE::Step killStep =
        described ? kit_FILE::Step::TrashDescribed : kit_FILE::Step::SourceToTrash;
    const QString name = QString::fromUtf8(argv[2]);
    const QString root = QFile::decodeName(argv[3]);
    QStringList files;
    for (int i = 4; i < argc; ++i)
        files << QFile::decodeName(argv[i]);
    kit_FILE::prepareProcess();
    kit_ini::setAppDirForTests(qEnvironmentVariable("RANGEUR_TEST_APPDIR"));
    static std::atomic<int> trashes{0};
    kit_FILE::setTestSeams({[killAt, killStep](kit_FILE::Step step) {
        if (step == killStep && ++trashes == killAt)
            std::raise(SIGKILL);
    }});
    // A failure's box would wait for a user: it is answered at once.
    kit_Dialogs::setResponder(
        [](const kit_Dialogs::BoxRequest &) { return kit_Dialogs::TModalResult::mrOk; });
    QApplication app(argc, argv);
    RunOptions options;
    options.onShown = [&](TForm1 &form) {
        form.EDIT_DOSSIER->setText(name);
        form.JvDirectoryEdit1->setDirectory(root);
        form.chk_Confirm->setChecked(false);
        form.chk_OPEN->setChecked(false);
        form.chk_PREFIX->setChecked(false);
        QTimer::singleShot(0, form.btnOK, &QPushButton::click);
    };
    return runRangeur(app, files, options);
}

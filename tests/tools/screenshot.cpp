// Renders the main window as a user sees it to a PNG, for people to look at:
// rangeur-screenshot OUT.png [TAB] [FILE...]; TAB is "0" (Saisie) or "1" (Derniers ...).
// RANGEUR_SHOT_GAUGE=N shows the gauge at file N of 250; RANGEUR_SHOT_NAME=TEXT puts TEXT in
// the folder-name box; RANGEUR_SHOT_FOCUS=NAME gives the keyboard focus to the named control
// (btnCancel, EDIT_DOSSIER, ...); RANGEUR_SHOT_BOX=1 renders a confirmation box instead of
// the window, RANGEUR_SHOT_BOX=error the error box.
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_Dialogs.h"
#include "kit_Theme.h"
#include "widgets/TFolderNameBox.h"
#include "widgets/TGauge.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: rangeur-screenshot OUT.png [0|1] [FILE...]\n");
        return 2;
    }
    const QString out = args.takeFirst();
    int tab = 0;
    if (!args.isEmpty() &&
        (args.first() == QLatin1String("0") || args.first() == QLatin1String("1")))
        tab = args.takeFirst().toInt();
    initialiseApplication(app);
    kit_Theme::TrySetStyle(QStringLiteral("Metropolis UI Blue"));
    // A fresh home has no desktop folder yet; the window would warn that its root folder,
    // the desktop, is missing, and wait for an answer.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    TForm1 form(args);
    form.show();
    form.PageControl1->setCurrentIndex(tab);
    if (const QString name = qEnvironmentVariable("RANGEUR_SHOT_FOCUS"); !name.isEmpty()) {
        auto *control = form.findChild<QWidget *>(name);
        if (!control) {
            std::fprintf(stderr, "no control named %s\n", qPrintable(name));
            return 2;
        }
        form.activateWindow();
        // As after a Tab press: styles draw focus marks only once the keyboard has moved it.
        form.setAttribute(Qt::WA_KeyboardFocusChange);
        control->setFocus(Qt::TabFocusReason);
    }
    if (qEnvironmentVariableIsSet("RANGEUR_SHOT_NAME"))
        form.EDIT_DOSSIER->setText(qEnvironmentVariable("RANGEUR_SHOT_NAME"));
    if (qEnvironmentVariableIsSet("RANGEUR_SHOT_GAUGE")) {
        form.Gauge1->setMaxValue(250);
        form.Gauge1->setProgress(qEnvironmentVariableIntValue("RANGEUR_SHOT_GAUGE"));
        form.Gauge1->show();
    }
    if (const QString boxKind = qEnvironmentVariable("RANGEUR_SHOT_BOX"); !boxKind.isEmpty()) {
        QTimer::singleShot(300, &app, [&] {
            QWidget *box = QApplication::activeModalWidget();
            const bool ok = box && box->grab().save(out);
            std::printf("%s\n", qPrintable(out));
            if (box)
                box->close();
            QCoreApplication::exit(ok ? 0 : 1);
        });
        if (boxKind == QLatin1String("error"))
            kit_Dialogs::ShowErrorBox(
                QStringLiteral("Impossible de créer le dossier /home/u/Bureau/FACTURES"));
        else
            kit_Dialogs::AskConfirm(
                QStringLiteral("/home/u/Scans/a.pdf\r\n/home/u/Bureau/FACTURES/FACTURES_a.pdf"),
                kit_Dialogs::TMsgDlgType::mtConfirmation);
        return 0;
    }
    QTimer::singleShot(300, &app, [&] {
        const bool ok = form.grab().save(out);
        std::printf("%s\n", qPrintable(out));
        QCoreApplication::exit(ok ? 0 : 1);
    });
    return app.exec();
}

// Renders the main window as a user sees it to a PNG, for people to look at:
// rangeur-screenshot OUT.png [TAB] [FILE...]; TAB is "0" (Saisie) or "1" (Derniers ...).
// RANGEUR_SHOT_GAUGE=N shows the gauge at file N of 250; RANGEUR_SHOT_BOX=1 renders a
// confirmation box over the window instead.
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_Dialogs.h"
#include "kit_Theme.h"
#include "widgets/TGauge.h"

#include <QApplication>
#include <QMessageBox>
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
    TForm1 form(args);
    form.show();
    form.PageControl1->setCurrentIndex(tab);
    if (qEnvironmentVariableIsSet("RANGEUR_SHOT_GAUGE")) {
        form.Gauge1->setMaxValue(250);
        form.Gauge1->setProgress(qEnvironmentVariableIntValue("RANGEUR_SHOT_GAUGE"));
        form.Gauge1->show();
    }
    if (qEnvironmentVariableIsSet("RANGEUR_SHOT_BOX")) {
        QTimer::singleShot(300, &app, [&] {
            QWidget *box = QApplication::activeModalWidget();
            const bool ok = box && box->grab().save(out);
            std::printf("%s\n", qPrintable(out));
            if (box)
                box->close();
            QCoreApplication::exit(ok ? 0 : 1);
        });
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

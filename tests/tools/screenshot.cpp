// Renders the main window as a user sees it to a PNG, for people to look at:
// rangeur-screenshot OUT.png [TAB] [FILE...]; TAB is "0" (Saisie) or "1" (Derniers ...).
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_Theme.h"

#include <QApplication>
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
    if (!args.isEmpty() && (args.first() == QLatin1String("0") || args.first() == QLatin1String("1")))
        tab = args.takeFirst().toInt();
    initialiseApplication(app);
    kit_Theme::TrySetStyle(QStringLiteral("Metropolis UI Blue"));
    TForm1 form(args);
    form.show();
    form.PageControl1->setCurrentIndex(tab);
    QTimer::singleShot(300, &app, [&] {
        const bool ok = form.grab().save(out);
        std::printf("%s\n", qPrintable(out));
        QCoreApplication::exit(ok ? 0 : 1);
    });
    return app.exec();
}

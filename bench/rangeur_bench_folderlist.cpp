// The folder-name list at scale, offscreen, with DOSSIERS.TXT taken from APPDIR:
//   rangeur-bench-folderlist paint APPDIR   builds the window, exits at its first paint
//   rangeur-bench-folderlist keys APPDIR N  types N keys into the box, prints each key's time
#include "Rangeur.h"
#include "TForm1.h"
#include "kit_Dialogs.h"
#include "kit_ini.h"
#include "widgets/TFolderNameBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {

// Quits at the window's first paint.
class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QCoreApplication::exit(0);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 ||
        (args[0] != QLatin1String("paint") && args[0] != QLatin1String("keys"))) {
        std::fprintf(stderr, "usage: rangeur-bench-folderlist paint|keys APPDIR [N]\n");
        return 2;
    }
    kit_ini::setAppDirForTests(args[1]);
    initialiseApplication(app);
    kit_Dialogs::setResponder([](const kit_Dialogs::BoxRequest &box) {
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return kit_Dialogs::TModalResult::mrOk;
    });
    TForm1 form({QStringLiteral("/nonexistent/a.pdf")});

    if (args[0] == QLatin1String("paint")) {
        FirstPaint watcher;
        form.installEventFilter(&watcher);
        form.show();
        return app.exec();
    }

    form.show();
    if (!QTest::qWaitForWindowActive(&form))
        return 1;
    const int n = args.size() > 2 ? args[2].toInt() : 200;
    // Keys that walk into the list and out of it again, as a user types and corrects.
    const QString keys = QStringLiteral("nom0123456789");
    QList<double> times;
    for (int i = 0; i < n; ++i) {
        const QChar c = keys[i % keys.size()];
        QElapsedTimer timer;
        timer.start();
        if (i % keys.size() == 0)
            form.EDIT_DOSSIER->setText(QString());
        QTest::keyClick(form.windowHandle(), Qt::Key(c.toUpper().unicode()), Qt::NoModifier);
        times << double(timer.nsecsElapsed()) / 1e6;
    }
    std::sort(times.begin(), times.end());
    std::printf("entries %d, keys %d: median %.3f ms, min %.3f, max %.3f\n",
                form.EDIT_DOSSIER->count(), n, times[times.size() / 2], times.first(),
                times.last());
    return 0;
}

#include "Rangeur.h"

#include "Pictures.h"
#include "TForm1.h"
#include "kit_FILE.h"
#include "kit_Fonts.h"
#include "kit_Theme.h"

#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <thread>

namespace {

const QString kThemeName = QStringLiteral("Metropolis UI Blue");

// Once the window's first frame is painted, loads what the first trash needs on a thread of its
// own: neither the first paint nor the first file moved waits for it. The thread is detached
// and touches nothing of Qt's, so that the program may end while it runs.
class WarmUpAfterFirstPaint final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: runs once this paint has been handed to the display.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::thread(kit_FILE::WarmUp).detach();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void initialiseApplication(QApplication &app)
{
    // The window speaks French whatever the user's locale, and so must the texts Qt draws
    // itself (the folder chooser, the edit menus). Without the catalogue they stay English.
    if (!app.findChild<QTranslator *>(QString(), Qt::FindDirectChildrenOnly)) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"),
                             QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            app.installTranslator(translator);
    }
    kit_Theme::registerThemes();
    app.setStyle(new kit_Theme::TRangeurStyle);
    app.setFont(kit_Fonts::windowFont());
    app.setWindowIcon(rangeurProgramIcon());
    // Only the window's close routine (or the refusal) ends the program: a hidden window must
    // not end it on its own, nor may a session end run the close event.
    app.setQuitOnLastWindowClosed(false);
}

void warmUpAfterFirstPaint(QWidget &window)
{
    window.installEventFilter(new WarmUpAfterFirstPaint(&window));
}

int runRangeur(QApplication &app, const QStringList &files,
               const std::function<void(TForm1 &)> &onShown)
{
    initialiseApplication(app);
    kit_Theme::TrySetStyle(kThemeName);
    TForm1 form(files);
    warmUpAfterFirstPaint(form);
    form.show();
    if (onShown)
        onShown(form);
    app.exec();
    return 0;
}

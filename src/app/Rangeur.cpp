#include "Rangeur.h"

#include "Pictures.h"
#include "TForm1.h"
#include "kit_Fonts.h"
#include "kit_Theme.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
const QString kThemeName = QStringLiteral("Metropolis UI Blue");
}

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
    app.setWindowIcon(rangeurIconSizes("program"));
    // Only the window's close routine (or the refusal) ends the program: a hidden window must
    // not end it on its own, nor may a session end run the close event.
    app.setQuitOnLastWindowClosed(false);
}

int runRangeur(QApplication &app, const QStringList &files,
               const std::function<void(TForm1 &)> &onShown)
{
    initialiseApplication(app);
    kit_Theme::TrySetStyle(kThemeName);
    TForm1 form(files);
    form.show();
    if (onShown)
        onShown(form);
    app.exec();
    return 0;
}

#include "Rangeur.h"

#include "Pictures.h"
#include "TForm1.h"
#include "kit_App.h"
#include "kit_Browse.h"
#include "kit_FILE.h"
#include "kit_Fonts.h"
#include "kit_Language.h"
#include "kit_Theme.h"
#include "kit_WIN.h"

#include <QApplication>
#include <QEvent>
#include <thread>

namespace {

const QString kThemeName = QStringLiteral("Metropolis UI Blue");

// Once the window's first frame is painted, loads what the first trash needs on a thread of its
// own: neither the first paint nor the first file moved waits for it. The thread is detached
// and touches nothing of Qt's, so that the program may end while it runs. Once the window is
// also active, what its first key would load is readied.
class WarmUpAfterFirstPaint final : public QObject {
public:
    WarmUpAfterFirstPaint(QWidget *window, QStringList files)
        : QObject(window), m_window(window), m_files(std::move(files))
    {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // Queued: runs once this paint has been handed to the display.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::thread([files = m_files] { kit_FILE::WarmUp(files); }).detach();
                    m_filesWarm = true;
                    warmUpKeys();
                },
                Qt::QueuedConnection);
        } else if (event->type() == QEvent::WindowActivate && m_filesWarm) {
            warmUpKeys();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void warmUpKeys()
    {
        if (!kit_WIN::WarmUpKeyInput(m_window))
            return;
        m_window->removeEventFilter(this);
        deleteLater();
    }

    QWidget *m_window;
    QStringList m_files;
    bool m_painted = false;
    bool m_filesWarm = false;
};

} // namespace

void initialiseApplication(QApplication &app)
{
    kit_Language::installFrench(app);
    kit_Theme::registerThemes();
    app.setStyle(new kit_Theme::TRangeurStyle);
    app.setFont(kit_Fonts::windowFont());
    app.setWindowIcon(rangeurProgramIcon());
    // Ties the window to its launcher in docks and task switchers (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.rangeur.Rangeur"));
    // Only the window's close routine (or the refusal) ends the program: a hidden window must
    // not end it on its own, nor may a session end run the close event.
    app.setQuitOnLastWindowClosed(false);
}

void warmUpAfterFirstPaint(QWidget &window, const QStringList &files)
{
    window.installEventFilter(new WarmUpAfterFirstPaint(&window, files));
}

void applyProgramTheme()
{
    kit_Theme::TrySetStyle(kThemeName);
}

int runRangeur(QApplication &app, QStringList files, const RunOptions &options)
{
    initialiseApplication(app);
    applyProgramTheme();
    if (files.isEmpty() && options.askForFiles) {
        // A menu takes no dropped files: the chooser stands in for the drop. Cancelled, the run
        // ends as a refusal does, having read and written nothing.
        const std::optional<QStringList> chosen = kit_Browse::ChooseFiles(
            nullptr, QStringLiteral("Choisir les fichiers à ranger"), kit_WIN::GetDesktopDir());
        if (!chosen || chosen->isEmpty()) {
            if (options.endProcessWithLoop)
                kit::endProcess(0);
            return 0;
        }
        files = *chosen;
    }
    TForm1 form(files);
    warmUpAfterFirstPaint(form, files);
    form.show();
    if (options.onShown)
        options.onShown(form);
    app.exec();
    if (options.endProcessWithLoop)
        kit::endProcess(0);
    return 0;
}

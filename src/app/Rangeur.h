#pragma once

#include <QStringList>
#include <functional>

class QApplication;
class QWidget;
class TForm1;

struct RunOptions {
    // Started from the desktop entry: with no file, the user is asked for files instead of
    // being refused.
    bool askForFiles = false;
    // The program's end is its window's: once the loop ends (the settings and the files are on
    // disk by then) the process ends at once, without waiting for the window's teardown, the
    // desktop's services or the background warm-up. Tests run the loop in-process, so it is off.
    bool endProcessWithLoop = false;
    // Tests look at the window once it is visible, before the loop runs.
    std::function<void(TForm1 &)> onShown;
};

// The program entry: theme, main window, event loop. Returns the exit code.
int runRangeur(QApplication &app, QStringList files, const RunOptions &options = {});

// Undoes the most recent filing run not undone yet, after asking (rangeur --annuler). Returns
// the exit code.
int runUndo(QApplication &app, const RunOptions &options = {});

// The program's theme, for the window and its boxes alike.
void applyProgramTheme();

// The application-wide settings made before any window exists: style, font, icon, and Qt's
// own texts in French.
void initialiseApplication(QApplication &app);

// Once the window has painted its first frame, loads what trashing these files needs on a thread
// of its own.
void warmUpAfterFirstPaint(QWidget &window, const QStringList &files);

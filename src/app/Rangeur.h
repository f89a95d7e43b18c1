#pragma once

#include <QStringList>
#include <functional>

class QApplication;
class QWidget;
class TForm1;

// The program entry: theme, main window, event loop. Returns the exit code. Tests pass
// onShown to look at the window once it is visible, before the loop runs.
int runRangeur(QApplication &app, const QStringList &files,
               const std::function<void(TForm1 &)> &onShown = {});

// The application-wide settings made before any window exists: style, font, icon, and Qt's
// own texts in French.
void initialiseApplication(QApplication &app);

// Once the window has painted its first frame, loads what the first trash needs on a thread of
// its own.
void warmUpAfterFirstPaint(QWidget &window);

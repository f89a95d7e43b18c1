#pragma once

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class TForm1;

// The main window as the window tests use it: init() gives each test function its message
// boxes (and, unless told otherwise, a fresh home), makeForm() builds the window, and
// cleanup() tears everything down and leaves no quit request behind.
class WindowFixture {
public:
    enum class Home {
        Fresh,  // a TestHome of its own for each test function
        Process // the process-wide home, for the trash: GIO keeps the home it first saw
    };
    enum class Boxes {
        Unexpected, // a box shown during a test fails it at cleanup
        Scripted    // the test answers and checks its boxes itself
    };

    explicit WindowFixture(Home home = Home::Fresh, Boxes boxes = Boxes::Unexpected);
    ~WindowFixture();
    WindowFixture(const WindowFixture &) = delete;
    WindowFixture &operator=(const WindowFixture &) = delete;

    // The application's own settings and theme, as the program starts with them; once, from
    // initTestCase().
    static void setUpApplication();

    void init();
    TForm1 &makeForm(const QStringList &files);
    void cleanup();

    TForm1 &form() const;
    TestHome &home() const;
    ScriptedDialogs &boxes() const;

private:
    Home m_homeKind;
    Boxes m_boxesKind;
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<ScriptedDialogs> m_boxes;
    std::unique_ptr<TForm1> m_form;
};

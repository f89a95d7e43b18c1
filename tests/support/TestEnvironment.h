#pragma once

#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG folders into a fresh temporary folder for as long as it lives, so
// that no test reads or writes the real home; the program's own folder (settings and list
// files) is its "app" folder. Afterwards both point back at the process's private home.
class TestHome {
public:
    TestHome();
    ~TestHome();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Sets up the process before QApplication exists: a private home, the offscreen platform.
void prepareTestProcess();

// QTEST_MAIN with the private home made before the application object.
#define RANGEUR_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        prepareTestProcess();                                                                      \
        QApplication app(argc, argv);                                                              \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

class QWindow;
// Types text into a window, which hands each key to the control that has the focus.
void typeText(QWindow *window, const QString &text);

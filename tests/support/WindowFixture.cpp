#include "WindowFixture.h"

#include "Rangeur.h"
#include "TForm1.h"
#include "kit_App.h"
#include "kit_Theme.h"
#include "kit_ini.h"

#include <QApplication>
#include <QtTest>

WindowFixture::WindowFixture(Home home, Boxes boxes) : m_homeKind(home), m_boxesKind(boxes) {}

WindowFixture::~WindowFixture() = default;

void WindowFixture::setUpApplication()
{
    initialiseApplication(*qApp);
    QVERIFY(kit_Theme::TrySetStyle(QStringLiteral("Metropolis UI Blue")));
}

void WindowFixture::init()
{
    if (m_homeKind == Home::Fresh) {
        m_home = std::make_unique<TestHome>();
    } else {
        // The process's home stays, but each test starts without settings or list files.
        m_appDir = std::make_unique<QTemporaryDir>();
        kit_ini::setAppDirForTests(m_appDir->path());
    }
    m_boxes = std::make_unique<ScriptedDialogs>();
}

TForm1 &WindowFixture::makeForm(const QStringList &files)
{
    m_form = std::make_unique<TForm1>(files);
    return *m_form;
}

void WindowFixture::cleanup()
{
    // The window goes before the check, so that a box it shows on its way out counts too.
    m_form.reset();
    const QStringList shown = m_boxes ? m_boxes->texts() : QStringList();
    m_boxes.reset();
    kit::clearQuitRequest();
    m_home.reset();
    m_appDir.reset();
    if (m_boxesKind == Boxes::Unexpected)
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(QStringLiteral(" | "))));
}

TForm1 &WindowFixture::form() const
{
    Q_ASSERT(m_form);
    return *m_form;
}

TestHome &WindowFixture::home() const
{
    Q_ASSERT(m_home);
    return *m_home;
}

ScriptedDialogs &WindowFixture::boxes() const
{
    Q_ASSERT(m_boxes);
    return *m_boxes;
}

// The window on a screen scaled twice, as QT_SCALE_FACTOR=2 makes it: Qt's thickening of a font
// without a bold face hardly shows there, so the captions are checked for bold's extra ink.
#include "Ink.h"
#include "TForm1.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QGroupBox>
#include <QStyleOption>
#include <QtTest>

class TestScaledWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { WindowFixture::setUpApplication(); }
    void init() { m_window.init(); }
    void cleanup() { m_window.cleanup(); }
    void captionsStayBold_data();
    void captionsStayBold();

private:
    WindowFixture m_window;
};

void TestScaledWindow::captionsStayBold_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"GroupBox1", "GroupBox2", "GroupBox3"})
        QTest::newRow(name) << name;
}

// The caption as the window draws it must carry bold's extra ink over the same caption in the
// regular font, as it does at 1x (about half as much again).
void TestScaledWindow::captionsStayBold()
{
    QFETCH(QString, name);
    TForm1 &form = m_window.makeForm({QStringLiteral("/nonexistent/a.pdf")});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.devicePixelRatio(), 2.0);
    auto *box = form.findChild<QGroupBox *>(name);
    QVERIFY(box);
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect caption =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const QColor ink = box->palette().color(QPalette::WindowText);
    const QColor paper = form.palette().color(QPalette::Window);
    const QFont bold = box->font();
    QVERIFY(bold.bold());
    const qreal asBold = inkCoverage(box->grab(caption).toImage(), ink, paper);
    box->setFont(form.font());
    const qreal asRegular = inkCoverage(box->grab(caption).toImage(), ink, paper);
    box->setFont(bold);
    qInfo("%s: bold ink %.2f times the regular", qPrintable(name), asBold / asRegular);
    QVERIFY2(asBold > 1.35 * asRegular,
             qPrintable(QStringLiteral("bold %1, regular %2").arg(asBold).arg(asRegular)));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    prepareTestProcess();
    QApplication app(argc, argv);
    TestScaledWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scaledwindow.moc"

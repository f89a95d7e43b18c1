// The main window as built: components, layout, menus, keyboard.
#include "Ink.h"
#include "TForm1.h"
#include "TestEnvironment.h"
#include "WindowFixture.h"
#include "widgets/TAction.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"
#include "widgets/TGauge.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyleOption>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void components_data();
    void components();
    void componentOrder();
    void initialState();
    void fontsAndColours();
    void designedBounds_data();
    void designedBounds();
    void resizingKeepsDockedSizes();
    void keyboardOrder();
    void enterPressesTheDefaultButton_data();
    void enterPressesTheDefaultButton();
    void folderNameBoxUpperCases();
    void rootFieldRefusesTyping();
    void ctrlWSavesFromAnyControl_data();
    void ctrlWSavesFromAnyControl();
    void contextMenus_data();
    void contextMenus();
    void popupMenuItems();
    void boldTextIsDrawnBold_data();
    void boldTextIsDrawnBold();
    void focusedButtonHasOneFrame();
    void picturesAreTheRenderedFiles();
    void styleSheetPicturesExist();
    void programIconIsDrawnForItsSize();

private:
    WindowFixture m_window;
    TForm1 &form() { return m_window.form(); }
    void showActive();
};

void TestMainWindow::initTestCase()
{
    WindowFixture::setUpApplication();
}

void TestMainWindow::init()
{
    m_window.init();
    m_window.makeForm({"/nonexistent/a.pdf", "/nonexistent/b.pdf"});
}

void TestMainWindow::cleanup()
{
    m_window.cleanup();
}

void TestMainWindow::showActive()
{
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
}

void TestMainWindow::components_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    auto row = [](const char *name, const char *kind, const char *parent, const QString &text,
                  const QString &hint = {}) {
        QTest::newRow(name) << name << kind << parent << text << hint;
    };
    row("PageControl1", "QTabWidget", "Form1", {});
    row("GroupBox1", "QGroupBox", "TabSheet1",
        "DOSSIER: Entrez un nom de dossier où ranger ce(s) fichier(s)");
    row("Image1", "QLabel", "GroupBox1", {});
    row("Label3", "QLabel", "GroupBox1", "Si ce dossier n'existe pas, il sera créé");
    row("Label2", "QLabel", "GroupBox1",
        "L'ensemble des fichiers déposés, sera rangé dans ce dossier");
    row("EDIT_DOSSIER", "TFolderNameBox", "GroupBox1", {});
    row("GroupBox2", "QGroupBox", "TabSheet1", "RACINE: Le dossier sera créé à cet endroit ...");
    row("JvDirectoryEdit1", "TDirectoryEdit", "GroupBox2", {},
        "Choisissez l'endroit ou sera créé ce nouveau dossier");
    row("chk_SAME", "QCheckBox", "GroupBox2", "Même dossier",
        "Le dossier est créé dans lel même dossier que le(s) fichier(s)");
    row("GroupBox3", "QGroupBox", "TabSheet1", "Options");
    row("Panel3", "QFrame", "GroupBox3", {});
    row("chk_OPEN", "QCheckBox", "Panel3", "Ouvrir le dossier à la fin",
        "Ouvre le dossier ou sont rangés les fichiers à la fin du traitement");
    row("chk_PREFIX", "QCheckBox", "Panel3", "Préfixer",
        "Rajoute le nom du dossier à chaque nom de fichier");
    row("Panel4", "QFrame", "GroupBox3", {});
    row("Gauge1", "TGauge", "Panel4", {});
    row("chk_Confirm", "QCheckBox", "Panel4", "Confirmer chaque fichier");
    row("JvCheckListBox1", "TCheckListBox", "TabSheet2", {});
    row("Panel2", "QFrame", "TabSheet2", {});
    row("Label1", "QLabel", "Panel2", "Double-Clic : Lance la copie");
    row("Label4", "QLabel", "Panel2", "Clic dans la marge : extrait simplement les valeurs ");
    row("Panel1", "QFrame", "Form1", {});
    row("btnCancel", "QPushButton", "Panel1", "Abandonner", "Tout annuler et fermer");
    row("btnOK", "QPushButton", "Panel1", "OK", "Créer et déplacer les fichiers");
}

void TestMainWindow::components()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QString, text);
    QFETCH(QString, hint);

    auto *widget = form().findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QVERIFY2(widget->inherits(kind.toLatin1()), widget->metaObject()->className());
    QWidget *owner = widget->parentWidget();
    // Tab pages sit inside the tab widget's stack; the page is the parent that counts.
    while (owner && owner != &form() && owner->objectName().isEmpty())
        owner = owner->parentWidget();
    QCOMPARE(owner == &form() ? QStringLiteral("Form1") : owner->objectName(), parent);
    QString shown;
    if (auto *g = qobject_cast<QGroupBox *>(widget))
        shown = g->title();
    else if (auto *b = qobject_cast<QAbstractButton *>(widget))
        shown = b->text();
    else if (auto *l = qobject_cast<QLabel *>(widget))
        shown = l->text();
    QCOMPARE(shown, text);
    QCOMPARE(widget->toolTip(), hint);
    if (!hint.isEmpty())
        QCOMPARE(widget->toolTipDuration(), 2500);
}

void TestMainWindow::componentOrder()
{
    QStringList names;
    for (QObject *c : form().Components())
        names << c->objectName();
    const QStringList expected =
        QStringLiteral(
            "PageControl1 TabSheet1 GroupBox1 Image1 Label3 Label2 EDIT_DOSSIER GroupBox2 "
            "JvDirectoryEdit1 chk_SAME GroupBox3 Panel3 chk_OPEN chk_PREFIX Panel4 Gauge1 "
            "chk_Confirm "
            "TabSheet2 JvCheckListBox1 Panel2 Label1 Label4 Panel1 btnCancel btnOK ActionList1 "
            "INI_GET "
            "INI_SAVE AddItem ImageList1 PopupEditDossier chk_TRierDossier N1 Supprimer1 "
            "PopupDerniers "
            "MenuItem1 MenuItem2 chk_SORT PopupMenu MenuItem4 TrayIcon1 PopupRACINE MenuItem3 "
            "MenuItem5")
            .split(u' ');
    QCOMPARE(names, expected);
    for (QObject *c : form().Components())
        QVERIFY2(form().isAncestorOf(qobject_cast<QWidget *>(c)) || c->parent(),
                 qPrintable(c->objectName()));
}

void TestMainWindow::initialState()
{
    QCOMPARE(form().windowTitle(), QStringLiteral("Création de dossier ***{:- 22.6.5"));
    QVERIFY(form().chk_SAME->isChecked());
    QVERIFY(form().chk_PREFIX->isChecked());
    QVERIFY(form().chk_OPEN->isChecked());
    QVERIFY(!form().chk_Confirm->isChecked());
    QVERIFY2(!form().chk_TRierDossier->isChecked(), "the folder-name box's Trier starts unmarked");
    QVERIFY2(form().chk_TRierDossier->isCheckable(), "the folder-name box's Trier can be marked");
    QVERIFY2(!form().chk_SORT->isChecked(), "the recent list's Trier starts unmarked");
    QVERIFY2(form().chk_SORT->isCheckable(), "the recent list's Trier can be marked");
    QVERIFY(form().Gauge1->isHidden());
    QCOMPARE(form().Gauge1->MinValue(), 0);
    QCOMPARE(form().Gauge1->MaxValue(), 100);
    QCOMPARE(form().Gauge1->Progress(), 0);
    QVERIFY2(form().EDIT_DOSSIER->currentText().isEmpty(), "the folder-name box starts empty");
    QCOMPARE(form().EDIT_DOSSIER->count(), 0);
    // With nothing stored, the root folder is the desktop folder.
    QCOMPARE(form().JvDirectoryEdit1->text(),
             m_window.home().filePath(QStringLiteral("Desktop")) + u'/');
    QVERIFY(form().JvDirectoryEdit1->isReadOnly());
    QCOMPARE(form().JvCheckListBox1->count(), 0);
    QCOMPARE(form().EDIT_DOSSIER->maxVisibleItems(), 40);
    QCOMPARE(form().PageControl1->count(), 2);
    QCOMPARE(form().PageControl1->tabText(0), QStringLiteral("Saisie"));
    QCOMPARE(form().PageControl1->tabText(1), QStringLiteral("Derniers ..."));
    QCOMPARE(form().INI_GET->text(), QStringLiteral("INI_GET"));
    QCOMPARE(form().AddItem->text(), QStringLiteral("AddItem"));
    QVERIFY(!form().Image1->pixmap().isNull());
    QCOMPARE(form().Image1->pixmap().size(), QSize(32, 32));
    QVERIFY2(!form().btnOK->icon().isNull(), "OK has its icon");
    QVERIFY2(!form().btnCancel->icon().isNull(), "Abandonner has its icon");
    // The window's default button, and neither button is bound to Escape.
    QVERIFY(form().btnOK->isDefault());
    // Hints show after the pointer rests 500 ms.
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    QVERIFY(!form().btnCancel->isDefault());
    // A normal window with a taskbar button and only a close box.
    QVERIFY(!(form().windowFlags() & Qt::Tool & ~Qt::Window));
    QVERIFY(form().windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(
        !(form().windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
}

void TestMainWindow::fontsAndColours()
{
    form().show();
    const QFont font = form().font();
    QVERIFY2(font.families().value(0) == QStringLiteral("Tahoma"), qPrintable(font.family()));
    QCOMPARE(font.pointSize(), 8);
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("Tahoma")); // loaded from fonts-wine
    for (QWidget *w :
         {static_cast<QWidget *>(form().GroupBox1), static_cast<QWidget *>(form().GroupBox2),
          static_cast<QWidget *>(form().GroupBox3), static_cast<QWidget *>(form().EDIT_DOSSIER)})
        QVERIFY2(w->font().bold(), qPrintable(w->objectName()));
    for (QWidget *w :
         {static_cast<QWidget *>(form().JvDirectoryEdit1), static_cast<QWidget *>(form().chk_SAME),
          static_cast<QWidget *>(form().chk_PREFIX), static_cast<QWidget *>(form().Label2),
          static_cast<QWidget *>(form().JvCheckListBox1)})
        QVERIFY2(!w->font().bold(), qPrintable(w->objectName()));
    // The labels keep their light yellow under the theme.
    for (QLabel *label : {form().Label1, form().Label2, form().Label3, form().Label4}) {
        label->ensurePolished();
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    }
}

void TestMainWindow::designedBounds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("bounds");
    QTest::newRow("Image1") << "Image1" << QRect(11, 26, 32, 32);
    QTest::newRow("EDIT_DOSSIER") << "EDIT_DOSSIER" << QRect(49, 32, 219, 21);
    QTest::newRow("JvDirectoryEdit1") << "JvDirectoryEdit1" << QRect(5, 18, 262, 19);
    QTest::newRow("chk_SAME") << "chk_SAME" << QRect(273, 18, 85, 19);
    QTest::newRow("Panel3") << "Panel3" << QRect(5, 18, 183, 52);
    QTest::newRow("Panel4") << "Panel4" << QRect(194, 18, 164, 52);
    QTest::newRow("chk_PREFIX") << "chk_PREFIX" << QRect(4, 4, 175, 14);
    QTest::newRow("chk_OPEN") << "chk_OPEN" << QRect(4, 24, 175, 17);
    QTest::newRow("chk_Confirm") << "chk_Confirm" << QRect(4, 4, 156, 14);
    QTest::newRow("Gauge1") << "Gauge1" << QRect(1, 37, 162, 14);
    QTest::newRow("Panel1") << "Panel1" << QRect(0, 336, 371, 58);
    QTest::newRow("btnOK") << "btnOK" << QRect(4, 4, 149, 50);
    QTest::newRow("btnCancel") << "btnCancel" << QRect(216, 4, 151, 50);
    QTest::newRow("PageControl1") << "PageControl1" << QRect(0, 0, 371, 336);
    QTest::newRow("GroupBox1") << "GroupBox1" << QRect(3, 3, 357, 113);
    QTest::newRow("GroupBox2") << "GroupBox2" << QRect(0, 119, 363, 42);
    QTest::newRow("GroupBox3") << "GroupBox3" << QRect(0, 233, 363, 75);
}

void TestMainWindow::designedBounds()
{
    QFETCH(QString, name);
    QFETCH(QRect, bounds);
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    QCOMPARE(form().size(), QSize(371, 394));
    QCOMPARE(form().TabSheet1->size(), QSize(363, 308));
    auto *widget = form().findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), bounds);
}

void TestMainWindow::resizingKeepsDockedSizes()
{
    form().show();
    form().resize(600, 500);
    QTRY_COMPARE(form().Panel1->geometry(), QRect(0, 442, 600, 58));
    QCOMPARE(form().btnOK->geometry(), QRect(4, 4, 149, 50));
    QCOMPARE(form().btnCancel->geometry(), QRect(600 - 4 - 151, 4, 151, 50));
    QCOMPARE(form().chk_SAME->width(), 85);
    QCOMPARE(form().Panel3->width(), 183);
    QCOMPARE(form().JvDirectoryEdit1->width(), 262 + 600 - 371);
    QCOMPARE(form().Panel4->width(), 164 + 600 - 371);
    // The first tab's spare room grows between the second and third groups.
    QCOMPARE(form().GroupBox3->geometry().bottom(), form().TabSheet1->height() - 1);
    QCOMPARE(form().GroupBox2->geometry().top(), 119);
    form().PageControl1->setCurrentIndex(1);
    QTRY_COMPARE(form().JvCheckListBox1->width(), 600 - 8);
    QCOMPARE(form().Panel2->geometry(),
             QRect(3, form().TabSheet2->height() - 3 - 44, 600 - 8 - 6, 44));
}

void TestMainWindow::keyboardOrder()
{
    showActive();
    auto focusName = [] {
        QWidget *w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty())
            w = w->parentWidget();
        return w ? w->objectName() : QString();
    };
    auto walk = [&](int steps) {
        QStringList seen;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(form().windowHandle(), Qt::Key_Tab);
            seen << (qobject_cast<QTabBar *>(QApplication::focusWidget()) ? QStringLiteral("tabs")
                                                                          : focusName());
        }
        return seen;
    };
    QCOMPARE(focusName(), QStringLiteral("EDIT_DOSSIER"));
    QCOMPARE(walk(9), (QStringList{"JvDirectoryEdit1", "chk_SAME", "chk_OPEN", "chk_PREFIX",
                                   "chk_Confirm", "btnCancel", "btnOK", "tabs", "EDIT_DOSSIER"}));
    form().PageControl1->setCurrentIndex(1);
    form().JvCheckListBox1->setFocus();
    QCOMPARE(walk(4), (QStringList{"btnCancel", "btnOK", "tabs", "JvCheckListBox1"}));
}

void TestMainWindow::enterPressesTheDefaultButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("okClicks");
    QTest::addColumn<int>("cancelClicks");
    QTest::newRow("Enter in the folder-name box")
        << "EDIT_DOSSIER" << int(Qt::Key_Return) << 1 << 0;
    QTest::newRow("keypad Enter in the folder-name box")
        << "EDIT_DOSSIER" << int(Qt::Key_Enter) << 1 << 0;
    QTest::newRow("Enter on a check box") << "chk_PREFIX" << int(Qt::Key_Return) << 1 << 0;
    QTest::newRow("Enter in the root field") << "JvDirectoryEdit1" << int(Qt::Key_Return) << 1 << 0;
    QTest::newRow("Enter on OK") << "btnOK" << int(Qt::Key_Return) << 1 << 0;
    QTest::newRow("Enter on Abandonner") << "btnCancel" << int(Qt::Key_Return) << 0 << 1;
    QTest::newRow("Escape is bound to no button")
        << "EDIT_DOSSIER" << int(Qt::Key_Escape) << 0 << 0;
    QTest::newRow("Escape on a check box") << "chk_SAME" << int(Qt::Key_Escape) << 0 << 0;
}

void TestMainWindow::enterPressesTheDefaultButton()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, okClicks);
    QFETCH(int, cancelClicks);
    showActive();
    // Only where Enter goes matters here, not the filing run it would start.
    QObject::disconnect(form().btnOK, &QPushButton::clicked, &form(), nullptr);
    QObject::disconnect(form().btnCancel, &QPushButton::clicked, &form(), nullptr);
    form().EDIT_DOSSIER->setText(QStringLiteral("FACTURES"));
    form().chk_SAME->setFocus(); // leaving the folder-name box for OK would start a run
    form().findChild<QWidget *>(focus)->setFocus();
    QSignalSpy ok(form().btnOK, &QPushButton::clicked);
    QSignalSpy cancel(form().btnCancel, &QPushButton::clicked);
    QTest::keyClick(form().windowHandle(), Qt::Key(key));
    QCOMPARE(ok.count(), okClicks);
    QCOMPARE(cancel.count(), cancelClicks);
    // One entry, from AddItem when the focus left the box; the box never files its text itself.
    QCOMPARE(form().EDIT_DOSSIER->count(), 1);
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("FACTURES"));
}

void TestMainWindow::folderNameBoxUpperCases()
{
    showActive();
    typeText(form().windowHandle(), QStringLiteral("déc.2024 straße"));
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("DÉC.2024 STRAßE"));
    form().EDIT_DOSSIER->setText(QStringLiteral("été"));
    form().EDIT_DOSSIER->addEntry(QStringLiteral("archives"));
    QCOMPARE(form().EDIT_DOSSIER->currentText(), QStringLiteral("ÉTÉ"));
    QCOMPARE(form().EDIT_DOSSIER->itemText(0), QStringLiteral("ARCHIVES"));
}

void TestMainWindow::rootFieldRefusesTyping()
{
    showActive();
    form().JvDirectoryEdit1->setDirectory(QStringLiteral("/srv/Archives"));
    form().JvDirectoryEdit1->setFocus();
    typeText(form().windowHandle(), QStringLiteral("xyz"));
    QTest::keyClick(form().windowHandle(), Qt::Key_Backspace);
    QTest::keyClick(form().windowHandle(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form().JvDirectoryEdit1->text(), QStringLiteral("/srv/Archives"));
    // Selecting with the keyboard still works, so the text can be copied.
    QTest::keyClick(form().windowHandle(), Qt::Key_Home);
    QTest::keyClick(form().windowHandle(), Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(form().JvDirectoryEdit1->selectedText(), QStringLiteral("/srv/Archives"));
}

void TestMainWindow::ctrlWSavesFromAnyControl_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("folder-name box") << "EDIT_DOSSIER";
    QTest::newRow("recent folders list") << "JvCheckListBox1";
    QTest::newRow("a button") << "btnOK";
    QTest::newRow("a check box") << "chk_Confirm";
}

void TestMainWindow::ctrlWSavesFromAnyControl()
{
    QFETCH(QString, focus);
    showActive();
    if (focus == QLatin1String("JvCheckListBox1"))
        form().PageControl1->setCurrentIndex(1);
    form().chk_SAME->setFocus(); // leaving the folder-name box for OK would start a run
    form().findChild<QWidget *>(focus)->setFocus();
    QSignalSpy saves(form().INI_SAVE, &TAction::executing);
    QTest::keyClick(form().windowHandle(), Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(saves.count(), 1);
    QVERIFY2(form().isVisible(), "saving closes nothing");
}

void TestMainWindow::contextMenus_data()
{
    QTest::addColumn<QString>("over");
    QTest::addColumn<QString>("menu");
    QTest::newRow("check box") << "chk_PREFIX"
                               << "PopupMenu";
    QTest::newRow("label") << "Label2"
                           << "PopupMenu";
    QTest::newRow("button") << "btnOK"
                            << "PopupMenu";
    QTest::newRow("group box") << "GroupBox3"
                               << "PopupMenu";
    QTest::newRow("folder-name box") << "EDIT_DOSSIER"
                                     << "PopupEditDossier";
    QTest::newRow("root field") << "JvDirectoryEdit1"
                                << "PopupRACINE";
    QTest::newRow("recent folders list") << "JvCheckListBox1"
                                         << "PopupDerniers";
}

void TestMainWindow::contextMenus()
{
    QFETCH(QString, over);
    QFETCH(QString, menu);
    showActive();
    if (over == QLatin1String("JvCheckListBox1"))
        form().PageControl1->setCurrentIndex(1);
    QWidget *target = form().findChild<QWidget *>(over);
    if (auto *box = qobject_cast<QComboBox *>(target))
        target = box->lineEdit();
    if (auto *list = qobject_cast<QAbstractScrollArea *>(target))
        target = list->viewport();
    const QPoint at(target->width() / 2, target->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    auto *expected = form().findChild<QMenu *>(menu);
    QTRY_VERIFY2(expected->isVisible(), qPrintable(menu));
    for (QMenu *other : form().findChildren<QMenu *>()) {
        if (other != expected)
            QVERIFY2(!other->isVisible(), qPrintable(other->objectName()));
    }
    expected->close();
}

void TestMainWindow::popupMenuItems()
{
    auto describe = [](QMenu *menu) {
        QStringList items;
        for (QAction *a : menu->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + u':' + a->text());
        return items;
    };
    QCOMPARE(describe(form().PopupEditDossier),
             (QStringList{"chk_TRierDossier:Trier", "-", "Supprimer1:Supprimer"}));
    QCOMPARE(describe(form().PopupDerniers),
             (QStringList{"MenuItem1:Supprimer", "-", "chk_SORT:Trier"}));
    QCOMPARE(describe(form().PopupRACINE), (QStringList{"MenuItem3:Bureau", "MenuItem5:Explorer"}));
    QCOMPARE(describe(form().PopupMenu), (QStringList{"MenuItem4:Enregistrer la configuration"}));
    QCOMPARE(form().MenuItem4->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
    QCOMPARE(form().MenuItem4->shortcut()[0].toCombined(), 0x04000000 | 0x57);
    for (QAction *a : {form().Supprimer1, form().MenuItem1, form().MenuItem4})
        QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));

    // A click on "Trier" turns its mark over before its handler runs.
    bool markSeenByHandler = false;
    connect(form().chk_TRierDossier, &QAction::triggered, this,
            [&] { markSeenByHandler = form().chk_TRierDossier->isChecked(); });
    form().chk_TRierDossier->trigger();
    QVERIFY(markSeenByHandler);
}

void TestMainWindow::boldTextIsDrawnBold_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"GroupBox1", "GroupBox2", "GroupBox3", "EDIT_DOSSIER"})
        QTest::newRow(name) << name;
}

void TestMainWindow::boldTextIsDrawnBold()
{
    QFETCH(QString, name);
    form().show();
    auto *widget = form().findChild<QWidget *>(name);
    QVERIFY(widget);

    // What the user sees of the bold text: a group box's caption, the folder name in its box.
    QString text;
    QImage shown;
    QColor ink;
    if (auto *box = qobject_cast<QGroupBox *>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect caption = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, box);
        text = box->title();
        shown = box->grab(caption).toImage();
        ink = box->palette().color(QPalette::WindowText);
    } else {
        QLineEdit *edit = form().EDIT_DOSSIER->lineEdit();
        text = QStringLiteral("FACTURES 2024");
        edit->setText(text);
        shown = edit->grab().toImage();
        ink = edit->palette().color(QPalette::Text);
    }
    QHash<QRgb, int> counts;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ++counts[shown.pixel(x, y)];
    const QColor paper(std::max_element(counts.begin(), counts.end()).key());

    auto coverage = [&](const QImage &image) { return inkCoverage(image, ink, paper); };
    auto drawnIn = [&](const QFont &font) {
        QImage image(shown.size(), QImage::Format_RGB32);
        image.fill(paper);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(image.rect(), Qt::AlignCenter, text);
        painter.end();
        return coverage(image);
    };
    const QFont regular = form().font();
    const qreal asRegular = drawnIn(regular);
    const qreal asBold = drawnIn(widget->font());
    const qreal onScreen = coverage(shown);
    const QByteArray inks = QStringLiteral("regular %1, bold %2, shown %3")
                                .arg(asRegular)
                                .arg(asBold)
                                .arg(onScreen)
                                .toUtf8();

    QVERIFY(widget->font().bold());
    // Bold strokes, not a bold name on regular strokes; and the widget draws in its own font.
    QVERIFY2(asBold > 1.25 * asRegular, inks.constData());
    QVERIFY2(onScreen > 1.25 * asRegular, inks.constData());
    QVERIFY2(qAbs(onScreen - asBold) < 0.15 * asBold, inks.constData());
    // Thicker strokes need bold's wider advances, or the letters run into each other.
    QVERIFY(QFontMetricsF(widget->font()).horizontalAdvance(text) >
            1.08 * QFontMetricsF(regular).horizontalAdvance(text));
}

void TestMainWindow::focusedButtonHasOneFrame()
{
    showActive();
    // Focus moved by the keyboard, after which styles draw their focus marks.
    form().chk_Confirm->setFocus();
    QTest::keyClick(form().windowHandle(), Qt::Key_Tab);
    QPushButton *button = form().btnCancel;
    QCOMPARE(QApplication::focusWidget(), button);

    const QImage image = button->grab().toImage();
    // The focus mark is the theme's orange border ...
    QCOMPARE(QColor(image.pixel(0, image.height() / 2)), QColor(0xe8, 0x66, 0x25));
    // ... and between it and the label the face is one flat colour: no second frame inside.
    const int labelTop = (image.height() - button->iconSize().height()) / 2;
    const QRect band(3, 3, image.width() - 6, labelTop - 4);
    QVERIFY(band.height() > 4);
    const QColor face(image.pixel(band.center()));
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            QVERIFY2(QColor(image.pixel(x, y)) == face,
                     qPrintable(QStringLiteral("%1 at (%2, %3) on a face of %4")
                                    .arg(QColor(image.pixel(x, y)).name())
                                    .arg(x)
                                    .arg(y)
                                    .arg(face.name())));
}

void TestMainWindow::picturesAreTheRenderedFiles()
{
    const auto image = [](const QPixmap &pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const struct {
        const char *what;
        QIcon icon;
        int size;
        QIcon::Mode mode;
        const char *file;
    } cases[] = {
        {"OK", form().btnOK->icon(), 18, QIcon::Normal, "ok"},
        {"OK disabled", form().btnOK->icon(), 18, QIcon::Disabled, "ok-disabled"},
        {"Abandonner", form().btnCancel->icon(), 18, QIcon::Normal, "cancel"},
        {"Abandonner disabled", form().btnCancel->icon(), 18, QIcon::Disabled, "cancel-disabled"},
        {"Supprimer", form().Supprimer1->icon(), 16, QIcon::Normal, "delete"},
        {"Enregistrer", form().MenuItem4->icon(), 16, QIcon::Normal, "save"},
        {"tray", form().TrayIcon1->icon(), 22, QIcon::Normal, "tray-22"},
        {"window", qApp->windowIcon(), 32, QIcon::Normal, "program-32"},
    };
    for (const auto &c : cases) {
        const QImage expected(QStringLiteral(":/icons/%1.rpic").arg(QLatin1String(c.file)));
        QVERIFY2(!expected.isNull(), c.file);
        QVERIFY2(image(c.icon.pixmap(c.size, c.mode)) ==
                     expected.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 c.what);
    }
    QCOMPARE(image(form().Image1->pixmap()),
             QImage(QStringLiteral(":/icons/image1.rpic"))
                 .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // The window manager is given every size rendered.
    QCOMPARE(qApp->windowIcon().availableSizes(),
             (QList<QSize>{{16, 16}, {32, 32}, {64, 64}, {128, 128}}));

    // The pictures lie in the program's read-only memory: drawing on one must draw on a copy.
    const QString ok = QStringLiteral(":/icons/ok.rpic");
    const QImage stored = QImage(ok).copy();
    QImage drawnOn(ok);
    drawnOn.fill(Qt::red);
    QPixmap button = form().btnOK->icon().pixmap(18);
    QPainter(&button).fillRect(button.rect(), Qt::red);
    QCOMPARE(QImage(ok), stored);
    QCOMPARE(image(form().btnOK->icon().pixmap(18)),
             stored.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

// The small icon keeps the sheet yellow (the 32-pixel drawing shrunk to 16 came out white), and
// the large one is a drawing, not the 32 pixels enlarged into blocks.
void TestMainWindow::programIconIsDrawnForItsSize()
{
    const QImage small = qApp->windowIcon().pixmap(16).toImage();
    int opaque = 0;
    int yellow = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            const QColor c = small.pixelColor(x, y);
            if (c.alpha() < 255)
                continue;
            ++opaque;
            if (c.red() > 200 && c.green() > 200 && c.blue() < 120)
                ++yellow;
        }
    QVERIFY2(yellow * 5 >= opaque * 2,
             qPrintable(QStringLiteral("%1 yellow pixels of %2").arg(yellow).arg(opaque)));

    const QImage large = qApp->windowIcon().pixmap(128).toImage();
    QCOMPARE(large.size(), QSize(128, 128));
    // Blocks of the size a 32-pixel square takes at 128: an enlargement fills each with one colour.
    int blocks = 0;
    int uniform = 0;
    for (int by = 0; by < 128; by += 4)
        for (int bx = 0; bx < 128; bx += 4) {
            const QRgb first = large.pixel(bx, by);
            bool same = true;
            for (int y = by; y < by + 4 && same; ++y)
                for (int x = bx; x < bx + 4 && same; ++x)
                    same = large.pixel(x, y) == first;
            ++blocks;
            uniform += same ? 1 : 0;
        }
    // Edges cross blocks at every angle in a drawing; flat areas stay uniform.
    QVERIFY2(
        blocks - uniform >= blocks / 10,
        qPrintable(QStringLiteral("%1 of %2 blocks are of one colour").arg(uniform).arg(blocks)));
}

void TestMainWindow::styleSheetPicturesExist()
{
    // A picture the style sheet names but the build did not render is silently not drawn.
    static const QRegularExpression url(QStringLiteral(R"(url\((:/[^)]+)\))"));
    QStringList pictures;
    for (const auto &match : url.globalMatch(qApp->styleSheet()))
        pictures << match.captured(1);
    QVERIFY(!pictures.isEmpty());
    for (const QString &picture : std::as_const(pictures))
        QVERIFY2(!QImage(picture).isNull(), qPrintable(picture));
}

RANGEUR_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

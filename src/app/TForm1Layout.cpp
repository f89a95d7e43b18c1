// Builds the main window's components with their designed properties, in the order the
// window owns them.
#include "Pictures.h"
#include "TForm1.h"
#include "kit_Fonts.h"
#include "kit_Title.h"
#include "widgets/TAction.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TDockLayout.h"
#include "widgets/TFolderNameBox.h"
#include "widgets/TGauge.h"
#include "widgets/TImageList.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>

namespace {

constexpr int kMargins = 3; // "margins": free space on each side inside the docking place
const QMargins kGroupBoxClient(2, 15, 2, 2);
const QMargins kPanelClient(1, 1, 1, 1);
constexpr int kHintDurationMs = 2500;

QFont regularFont()
{
    return kit_Fonts::windowFont();
}

QFont boldFont()
{
    return kit_Fonts::boldWindowFont();
}

// A picture with a greyed twin shown when its button is disabled.
QIcon iconWithGreyedTwin(const char *name, const char *greyed)
{
    QIcon result = rangeurIcon(name);
    result.addFile(rangeurIconPath(greyed), QSize(), QIcon::Disabled);
    return result;
}

void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint);
    widget->setToolTipDuration(kHintDurationMs);
}

QFrame *makePanel(QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

QCheckBox *makeCheckBox(QWidget *parent, const QString &caption, bool checked)
{
    auto *box = new QCheckBox(caption, parent);
    box->setChecked(checked);
    box->setFont(regularFont());
    return box;
}

QLabel *makeYellowLabel(QWidget *parent, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setFont(regularFont());
    // The label's own colour, which the theme leaves alone.
    label->setStyleSheet(QStringLiteral("color: rgb(255, 255, 128);"));
    return label;
}

} // namespace

template <typename T> T *TForm1::own(T *component, const char *name)
{
    component->setObjectName(QLatin1String(name));
    m_components.append(component);
    return component;
}

void TForm1::buildComponents()
{
    setWindowTitle(QStringLiteral("Création de dossier ***{:- 22.6.5"));
    // A tool window's look (a thin caption with a close box only), but a normal window type:
    // Linux window managers give tool windows no taskbar button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(regularFont());
    setAttribute(Qt::WA_AlwaysShowToolTips);

    PageControl1 = own(new QTabWidget(this), "PageControl1");
    TabSheet1 = own(new QWidget, "TabSheet1");
    PageControl1->addTab(TabSheet1, QStringLiteral("Saisie"));

    GroupBox1 =
        own(new QGroupBox(
                QStringLiteral("DOSSIER: Entrez un nom de dossier où ranger ce(s) fichier(s)"),
                TabSheet1),
            "GroupBox1");
    GroupBox1->setFont(boldFont());
    Image1 = own(new QLabel(GroupBox1), "Image1");
    Image1->setPixmap(rangeurIcon("image1").pixmap(32, 32));
    Image1->setGeometry(11, 26, 32, 32);
    Label3 =
        own(makeYellowLabel(GroupBox1, QStringLiteral("Si ce dossier n'existe pas, il sera créé")),
            "Label3");
    Label3->setGeometry(55, 59, 178, 13);
    Label2 = own(makeYellowLabel(
                     GroupBox1,
                     QStringLiteral("L'ensemble des fichiers déposés, sera rangé dans ce dossier")),
                 "Label2");
    Label2->setGeometry(55, 78, 288, 13);
    // Tahoma's Linux twin runs a pixel or two wider than the designed widths.
    for (QLabel *label : {Label3, Label2})
        label->resize(qMax(label->width(), label->sizeHint().width()), label->height());
    EDIT_DOSSIER = own(new TFolderNameBox(GroupBox1), "EDIT_DOSSIER");
    EDIT_DOSSIER->setGeometry(49, 32, 219, 21);
    EDIT_DOSSIER->setFont(boldFont());
    // Under a style sheet the box's own line edit no longer follows the box's font.
    EDIT_DOSSIER->lineEdit()->setFont(boldFont());

    GroupBox2 = own(
        new QGroupBox(QStringLiteral("RACINE: Le dossier sera créé à cet endroit ..."), TabSheet1),
        "GroupBox2");
    GroupBox2->setFont(boldFont());
    JvDirectoryEdit1 = own(new TDirectoryEdit(GroupBox2), "JvDirectoryEdit1");
    JvDirectoryEdit1->setFont(regularFont());
    JvDirectoryEdit1->DialogText = QStringLiteral("Choisissez un dosier cible");
    setHint(JvDirectoryEdit1,
            QStringLiteral("Choisissez l'endroit ou sera créé ce nouveau dossier"));
    chk_SAME = own(makeCheckBox(GroupBox2, QStringLiteral("Même dossier"), true), "chk_SAME");
    setHint(chk_SAME,
            QStringLiteral("Le dossier est créé dans lel même dossier que le(s) fichier(s)"));
    auto *group2 = new TDockLayout(GroupBox2, kGroupBoxClient);
    group2->addDocked(chk_SAME, TDockLayout::alRight, 85, kMargins);
    group2->addDocked(JvDirectoryEdit1, TDockLayout::alClient, 0, kMargins);

    GroupBox3 = own(new QGroupBox(QStringLiteral("Options"), TabSheet1), "GroupBox3");
    GroupBox3->setFont(boldFont());
    Panel3 = own(makePanel(GroupBox3), "Panel3");
    chk_OPEN =
        own(makeCheckBox(Panel3, QStringLiteral("Ouvrir le dossier à la fin"), true), "chk_OPEN");
    setHint(chk_OPEN,
            QStringLiteral("Ouvre le dossier ou sont rangés les fichiers à la fin du traitement"));
    chk_PREFIX = own(makeCheckBox(Panel3, QStringLiteral("Préfixer"), true), "chk_PREFIX");
    setHint(chk_PREFIX, QStringLiteral("Rajoute le nom du dossier à chaque nom de fichier"));
    auto *panel3 = new TDockLayout(Panel3, kPanelClient);
    panel3->addDocked(chk_PREFIX, TDockLayout::alTop, 14, kMargins);
    panel3->addDocked(chk_OPEN, TDockLayout::alTop, 17, kMargins);

    Panel4 = own(makePanel(GroupBox3), "Panel4");
    Gauge1 = own(new TGauge(Panel4), "Gauge1");
    Gauge1->setVisible(false);
    chk_Confirm =
        own(makeCheckBox(Panel4, QStringLiteral("Confirmer chaque fichier"), false), "chk_Confirm");
    auto *panel4 = new TDockLayout(Panel4, kPanelClient);
    panel4->addDocked(chk_Confirm, TDockLayout::alTop, 14, kMargins);
    panel4->addDocked(Gauge1, TDockLayout::alBottom, 14);

    auto *group3 = new TDockLayout(GroupBox3, kGroupBoxClient);
    group3->addDocked(Panel3, TDockLayout::alLeft, 183, kMargins);
    group3->addDocked(Panel4, TDockLayout::alClient, 0, kMargins);

    auto *sheet1 = new TDockLayout(TabSheet1, {});
    sheet1->addDocked(GroupBox1, TDockLayout::alTop, 113, kMargins);
    sheet1->addDocked(GroupBox2, TDockLayout::alTop, 42);
    sheet1->addDocked(GroupBox3, TDockLayout::alBottom, 75);

    TabSheet2 = own(new QWidget, "TabSheet2");
    PageControl1->addTab(TabSheet2, QStringLiteral("Derniers ..."));
    JvCheckListBox1 = own(new TCheckListBox(TabSheet2), "JvCheckListBox1");
    JvCheckListBox1->setFont(regularFont());
    Panel2 = own(makePanel(TabSheet2), "Panel2");
    Label1 = own(makeYellowLabel(Panel2, QStringLiteral("Double-Clic : Lance la copie")), "Label1");
    Label4 =
        own(makeYellowLabel(Panel2,
                            QStringLiteral("Clic dans la marge : extrait simplement les valeurs ")),
            "Label4");
    auto *panel2 = new TDockLayout(Panel2, kPanelClient);
    panel2->addDocked(Label1, TDockLayout::alTop, 13, kMargins);
    panel2->addDocked(Label4, TDockLayout::alTop, 13, kMargins);
    auto *sheet2 = new TDockLayout(TabSheet2, {});
    sheet2->addDocked(Panel2, TDockLayout::alBottom, 44, kMargins);
    sheet2->addDocked(JvCheckListBox1, TDockLayout::alClient, 0);

    Panel1 = own(makePanel(this), "Panel1");
    btnCancel = own(new QPushButton(iconWithGreyedTwin("cancel", "cancel-disabled"),
                                    QStringLiteral("Abandonner"), Panel1),
                    "btnCancel");
    setHint(btnCancel, QStringLiteral("Tout annuler et fermer"));
    btnOK =
        own(new QPushButton(iconWithGreyedTwin("ok", "ok-disabled"), QStringLiteral("OK"), Panel1),
            "btnOK");
    setHint(btnOK, QStringLiteral("Créer et déplacer les fichiers"));
    for (QPushButton *button : {btnOK, btnCancel}) {
        button->setIconSize(QSize(18, 18));
        // Enter presses the focused button; elsewhere the window's key handler presses OK.
        button->setAutoDefault(true);
    }
    btnOK->setDefault(true);
    auto *panel1 = new TDockLayout(Panel1, kPanelClient);
    panel1->addDocked(btnOK, TDockLayout::alLeft, 149, kMargins);
    panel1->addDocked(btnCancel, TDockLayout::alRight, 151, kMargins);

    auto *form = new TDockLayout(this, {});
    form->addDocked(Panel1, TDockLayout::alBottom, 58);
    form->addDocked(PageControl1, TDockLayout::alClient, 0);

    ActionList1 = own(new QObject(this), "ActionList1");
    INI_GET = own(new TAction(QStringLiteral("INI_GET"), ActionList1), "INI_GET");
    INI_SAVE =
        own(new TAction(QStringLiteral("Enregistrer la configuration"), ActionList1), "INI_SAVE");
    AddItem = own(new TAction(QStringLiteral("AddItem"), ActionList1), "AddItem");

    ImageList1 = own(new TImageList(this), "ImageList1");
    ImageList1->add(rangeurIcon("delete"));
    ImageList1->add(rangeurIcon("save"));
    INI_SAVE->setIcon(ImageList1->icon(1));

    PopupEditDossier = own(new QMenu(this), "PopupEditDossier");
    chk_TRierDossier =
        own(PopupEditDossier->addAction(QStringLiteral("Trier")), "chk_TRierDossier");
    chk_TRierDossier->setCheckable(true);
    N1 = own(PopupEditDossier->addSeparator(), "N1");
    Supprimer1 = own(PopupEditDossier->addAction(ImageList1->icon(0), QStringLiteral("Supprimer")),
                     "Supprimer1");

    PopupDerniers = own(new QMenu(this), "PopupDerniers");
    MenuItem1 = own(PopupDerniers->addAction(ImageList1->icon(0), QStringLiteral("Supprimer")),
                    "MenuItem1");
    MenuItem2 = own(PopupDerniers->addSeparator(), "MenuItem2");
    chk_SORT = own(PopupDerniers->addAction(QStringLiteral("Trier")), "chk_SORT");
    chk_SORT->setCheckable(true);

    PopupMenu = own(new QMenu(this), "PopupMenu");
    MenuItem4 = own(PopupMenu->addAction(INI_SAVE->icon(), INI_SAVE->text()), "MenuItem4");
    MenuItem4->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    MenuItem4->setShortcutContext(Qt::WindowShortcut);
    addAction(MenuItem4); // the shortcut works from any focused control, menu closed

    TrayIcon1 = own(new QSystemTrayIcon(rangeurTrayIcon(), this), "TrayIcon1");
    TrayIcon1->setToolTip(kit::programTitle());
    TrayIcon1->show();

    PopupRACINE = own(new QMenu(this), "PopupRACINE");
    MenuItem3 = own(PopupRACINE->addAction(QStringLiteral("Bureau")), "MenuItem3");
    MenuItem5 = own(PopupRACINE->addAction(QStringLiteral("Explorer")), "MenuItem5");

    for (QWidget *control :
         {static_cast<QWidget *>(EDIT_DOSSIER), static_cast<QWidget *>(JvDirectoryEdit1),
          static_cast<QWidget *>(JvCheckListBox1)})
        control->setContextMenuPolicy(Qt::CustomContextMenu);
    EDIT_DOSSIER->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);

    // Keyboard order; controls on the hidden tab are skipped by Qt.
    QWidget *order[] = {PageControl1->tabBar(),
                        EDIT_DOSSIER,
                        JvDirectoryEdit1,
                        chk_SAME,
                        chk_OPEN,
                        chk_PREFIX,
                        chk_Confirm,
                        JvCheckListBox1,
                        btnCancel,
                        btnOK};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    resize(371, 394);
    move(0, 0);
}

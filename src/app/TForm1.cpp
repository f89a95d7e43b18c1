// The main window's lifecycle and the binding of its events to their handlers.
#include "TForm1.h"

#include "kit_App.h"
#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "widgets/TAction.h"
#include "widgets/TCheckListBox.h"
#include "widgets/TDirectoryEdit.h"
#include "widgets/TFolderNameBox.h"
#include "widgets/TLeftPressFocus.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>

TForm1::TForm1(QStringList files, QWidget *parent) : QWidget(parent), m_files(std::move(files))
{
    // The window's design name, which is also the key of its geometry in the settings.
    setObjectName(QStringLiteral("Form1"));
    buildComponents();
    bindEvents();
    Dispatch(&TForm1::FormCreate, this);
}

TForm1::~TForm1()
{
    // Destroying the children moves the focus; this window must no longer hear of it.
    disconnect(qApp, nullptr, this, nullptr);
}

bool TForm1::Dispatch(Handler handler, QObject *sender)
{
    return Dispatch([&] { (this->*handler)(sender); });
}

bool TForm1::Dispatch(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const std::exception &e) {
        kit_Dialogs::ShowErrorBox(kit::errorMessage(e));
    }
    return false;
}

void TForm1::bindEvents()
{
    auto bind = [this](Handler handler, QObject *sender) {
        return [this, handler, sender] { Dispatch(handler, sender); };
    };
    connect(btnCancel, &QPushButton::clicked, this, bind(&TForm1::btnCancelClick, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, bind(&TForm1::btnOKClick, btnOK));
    // A check box's click event runs whenever its state changes, by the user or by code.
    connect(chk_SAME, &QCheckBox::toggled, this, bind(&TForm1::chk_SAMEClick, chk_SAME));
    connect(JvCheckListBox1, &TCheckListBox::listDoubleClicked, this,
            bind(&TForm1::JvCheckListBox1DblClick, JvCheckListBox1));
    connect(JvCheckListBox1, &TCheckListBox::markClicked, this,
            bind(&TForm1::JvCheckListBox1ClickCheck, JvCheckListBox1));
    connect(Supprimer1, &QAction::triggered, this, bind(&TForm1::Supprimer1Click, Supprimer1));
    connect(chk_TRierDossier, &QAction::triggered, this,
            bind(&TForm1::chk_TRierDossierClick, chk_TRierDossier));
    connect(MenuItem1, &QAction::triggered, this, bind(&TForm1::MenuItem1Click, MenuItem1));
    connect(chk_SORT, &QAction::triggered, this, bind(&TForm1::chk_SORTClick, chk_SORT));
    connect(MenuItem3, &QAction::triggered, this, bind(&TForm1::Bureau1Click, MenuItem3));
    connect(MenuItem5, &QAction::triggered, this, bind(&TForm1::Explorer1Click, MenuItem5));

    INI_GET->setOnExecute([this] { INI_GETExecute(INI_GET); });
    INI_SAVE->setOnExecute([this] { INI_SAVEExecute(INI_SAVE); });
    AddItem->setOnExecute([this] { AddItemExecute(AddItem); });
    connect(MenuItem4, &QAction::triggered, this,
            [this] { Dispatch([this] { INI_SAVE->Execute(); }); });

    connect(qApp, &QApplication::focusChanged, this, &TForm1::focusChanged);
    bindFilingRun();
    // Only the left button gives a button or a check box the focus: a right-click there brings
    // the window's menu and must not leave the folder-name box, whose exit may press OK. After
    // bindFilingRun, so that the press on OK moves the focus before the run's filter sees it.
    auto *leftPress = new TLeftPressFocus(this);
    for (QPushButton *button : findChildren<QPushButton *>())
        leftPress->watch(button);
    for (QCheckBox *box : findChildren<QCheckBox *>())
        leftPress->watch(box);

    auto popupAt = [](QMenu *menu, QWidget *over) {
        return [menu, over](const QPoint &pos) { menu->popup(over->mapToGlobal(pos)); };
    };
    connect(EDIT_DOSSIER, &QWidget::customContextMenuRequested, this,
            popupAt(PopupEditDossier, EDIT_DOSSIER));
    connect(EDIT_DOSSIER->lineEdit(), &QWidget::customContextMenuRequested, this,
            popupAt(PopupEditDossier, EDIT_DOSSIER->lineEdit()));
    connect(JvDirectoryEdit1, &QWidget::customContextMenuRequested, this,
            popupAt(PopupRACINE, JvDirectoryEdit1));
    connect(JvCheckListBox1, &QWidget::customContextMenuRequested, this,
            popupAt(PopupDerniers, JvCheckListBox1->viewport()));
}

// The focus left the folder-name box for another control of this window (not for another
// window, a message box or nothing).
void TForm1::focusChanged(QWidget *old, QWidget *now)
{
    auto inBox = [this](QWidget *w) {
        return w && (w == EDIT_DOSSIER || EDIT_DOSSIER->isAncestorOf(w));
    };
    if (!inBox(old) || !now || inBox(now) || now->window() != this)
        return;
    Dispatch(&TForm1::EDIT_DOSSIERExit, EDIT_DOSSIER);
}

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        // A desktop may frame the window without moving its inside: no move or resize event
        // then tells that the frame is known, but the window is shown only once it is.
        if (m_outerSizeToKeep.isValid() && windowHandle())
            windowHandle()->installEventFilter(this);
        Dispatch(&TForm1::FormShow, this);
    }
}

void TForm1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        keepOuterBounds();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!Dispatch(&TForm1::FormClose, this)) {
        // The close is abandoned: no quit request, the window stays open.
        event->ignore();
        return;
    }
    event->accept();
    kit::postQuitRequest();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (swallowOkPress(watched, event))
        return true;
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        // After the expose itself, whose geometry is then settled.
        QMetaObject::invokeMethod(this, &TForm1::keepOuterBounds, Qt::QueuedConnection);
        watched->removeEventFilter(this);
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    keepOuterBounds();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    keepOuterBounds();
}

// Once the frame is known, the stored outer bounds are the window's outer bounds again:
// otherwise every run would grow the window by its frame, and the inside could take the frame's
// place (a window whose stored size was below its minimum was even placed anew).
void TForm1::keepOuterBounds()
{
    if (!m_outerSizeToKeep.isValid() || !isVisible())
        return;
    // Until the desktop has framed the window, Qt reports the inside, or for a moment a 1x1
    // frame: only a frame around the inside is the real one.
    const QRect framed = frameGeometry();
    if (framed == geometry() || !framed.contains(geometry()))
        return;
    const QSize frame = framed.size() - size();
    const QSize outer = m_outerSizeToKeep;
    const QPoint at = m_outerPosToKeep;
    m_outerSizeToKeep = QSize();
    resize(outer - frame);
    if (frameGeometry().topLeft() != at)
        move(at);
}

// Enter presses OK, the default button, unless the focused control used it (a push button
// presses itself; the open drop-down list of the folder-name box takes it in its own popup).
void TForm1::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && btnOK->isEnabled() &&
        btnOK->isVisible()) {
        btnOK->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Right-clicks over controls without a menu of their own reach the window.
void TForm1::contextMenuEvent(QContextMenuEvent *event)
{
    PopupMenu->popup(event->globalPos());
}

void TForm1::FormCreate(QObject *)
{
    if (m_files.isEmpty()) {
        kit_Dialogs::ShowPlainMessage(QStringLiteral(
            "RIEN A COPIER\r\n\r\nCe programme ne peut être appelé directement !\r\n\r\nVous "
            "devez déposer un ou plusieurs fichiers sur l'icône du programme pour l'ouvrir"));
        kit::postQuitRequest();
    }
    INI_GET->Execute();
}

void TForm1::FormShow(QObject *)
{
    PageControl1->setCurrentIndex(0);
    EDIT_DOSSIER->setFocus(Qt::OtherFocusReason);
    // The restored name is selected, as a box that takes the focus shows its text on the design's
    // platform: typing replaces it, Enter alone files into it.
    EDIT_DOSSIER->lineEdit()->selectAll();
    const qsizetype n = m_files.size();
    GroupBox1->setTitle(
        QStringLiteral("DOSSIER: Entrez le nom du DOSSIER où ranger ce") +
        (n == 1 ? QStringLiteral(" fichier") : QStringLiteral("s %1 fichiers").arg(n)));
}

void TForm1::FormClose(QObject *)
{
    INI_SAVE->Execute();
}

void TForm1::btnCancelClick(QObject *)
{
    close();
}

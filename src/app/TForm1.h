#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>
#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTabWidget;
class TAction;
class TCheckListBox;
class TDirectoryEdit;
class TFolderNameBox;
class TGauge;
class TImageList;

namespace kit_FILE {
class MoveQueue;
}

namespace Unit1 {
// The root folder saved while "Même dossier" is checked, put back when it is unchecked: the
// program's only module-level state.
extern QString SavedRootDir;
} // namespace Unit1

// The main window. Its components carry their design names, which are also their object
// names; the names of the check boxes and checkable menu items that begin with "chk_" are keys
// of the settings file.
class TForm1 final : public QWidget {
    Q_OBJECT
public:
    // files: the dropped files, arguments 1 to N. Builds the window, then runs FormCreate.
    explicit TForm1(QStringList files, QWidget *parent = nullptr);
    ~TForm1() override;

    // The owned components in the order they were built, which the settings code walks.
    const QList<QObject *> &Components() const { return m_components; }

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    TFolderNameBox *EDIT_DOSSIER = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    TDirectoryEdit *JvDirectoryEdit1 = nullptr;
    QCheckBox *chk_SAME = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QFrame *Panel3 = nullptr;
    QCheckBox *chk_OPEN = nullptr;
    QCheckBox *chk_PREFIX = nullptr;
    QFrame *Panel4 = nullptr;
    TGauge *Gauge1 = nullptr;
    QCheckBox *chk_Confirm = nullptr;
    QWidget *TabSheet2 = nullptr;
    TCheckListBox *JvCheckListBox1 = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label4 = nullptr;
    QFrame *Panel1 = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnOK = nullptr;
    QObject *ActionList1 = nullptr;
    TAction *INI_GET = nullptr;
    TAction *INI_SAVE = nullptr;
    TAction *AddItem = nullptr;
    TImageList *ImageList1 = nullptr;
    QMenu *PopupEditDossier = nullptr;
    QAction *chk_TRierDossier = nullptr;
    QAction *N1 = nullptr;
    QAction *Supprimer1 = nullptr;
    QMenu *PopupDerniers = nullptr;
    QAction *MenuItem1 = nullptr;
    QAction *MenuItem2 = nullptr;
    QAction *chk_SORT = nullptr;
    QMenu *PopupMenu = nullptr;
    QAction *MenuItem4 = nullptr;
    QSystemTrayIcon *TrayIcon1 = nullptr;
    QMenu *PopupRACINE = nullptr;
    QAction *MenuItem3 = nullptr;
    QAction *MenuItem5 = nullptr;

    // The event handlers, in their declared order.
    void FormCreate(QObject *Sender);
    void btnCancelClick(QObject *Sender);
    void btnOKClick(QObject *Sender);
    void INI_SAVEExecute(QObject *Sender);
    void INI_GETExecute(QObject *Sender);
    void FormClose(QObject *Sender);
    void chk_SAMEClick(QObject *Sender);
    void FormShow(QObject *Sender);
    void EDIT_DOSSIERExit(QObject *Sender);
    void JvCheckListBox1DblClick(QObject *Sender);
    void JvCheckListBox1ClickCheck(QObject *Sender);
    void Supprimer1Click(QObject *Sender);
    void chk_TRierDossierClick(QObject *Sender);
    void MenuItem1Click(QObject *Sender);
    void chk_SORTClick(QObject *Sender);
    void Bureau1Click(QObject *Sender);
    void Explorer1Click(QObject *Sender);
    void AddItemExecute(QObject *Sender);

    // Queues one file's move: a copy, then the source to the trash. awaitMoves reports the
    // failures, in the order of the files; a failed copy deletes nothing.
    void MoveOneFile(kit_FILE::MoveQueue &moves, const QString &source, const QString &destination);
    // Lets the queued moves run while the window paints and takes no input, and reports each
    // failure as it comes. With gaugeFollows, the gauge shows the file being copied.
    void awaitMoves(kit_FILE::MoveQueue &moves, bool gaugeFollows);

    using Handler = void (TForm1::*)(QObject *);
    // Runs a handler; an error that escapes it is shown in the error box and the program goes
    // on. Returns false when an error escaped.
    bool Dispatch(Handler handler, QObject *sender);
    bool Dispatch(const std::function<void()> &work);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildComponents();
    void bindEvents();
    void bindFilingRun();
    void focusChanged(QWidget *old, QWidget *now);
    template <typename T> T *own(T *component, const char *name);

    // The two list files, read at start and written at every save. A list whose file exists
    // but could not be read is reported and never written back over it.
    void takeValuesFromRecentFolder();
    QString folderListPath() const;
    QString recentListPath() const;
    void loadFolderList();
    void loadRecentList();
    void saveFolderList();
    void saveRecentList();

    QStringList m_files;
    bool m_okPressStartedRun = false;
    // DOSSIERS.TXT exists but could not be read: what the box holds must never replace it.
    bool m_folderListUnread = false;
    bool m_recentListUnread = false;
    // The restored outer size and position, until the window's frame is known.
    QSize m_outerSizeToKeep;
    QPoint m_outerPosToKeep;
    void keepOuterBounds();
    bool swallowOkPress(QObject *watched, QEvent *event);
    QList<QObject *> m_components;
};

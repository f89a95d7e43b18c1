#include "TDirectoryEdit.h"

#include "Pictures.h"
#include "kit_Browse.h"
#include "kit_Paths.h"

#include <QAction>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QToolButton>

namespace {

const QString kFieldMime = QStringLiteral("application/x-rangeur-field");
const QString kFileSystemRoot = QStringLiteral("/");

// The first dropped item, when it is a local path.
QString firstLocalPath(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty())
        return {};
    const QUrl first = mime->urls().constFirst();
    return first.isLocalFile() ? first.toLocalFile() : QString();
}

bool isExistingFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

TDirectoryEdit::TDirectoryEdit(QWidget *parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setAcceptDrops(true);
    // A click starts the field's drag and never gives it the focus; Tab still does.
    setFocusPolicy(Qt::TabFocus);
    auto *browse = addAction(rangeurIcon("folder-open"), QLineEdit::TrailingPosition);
    browse->setObjectName(QStringLiteral("browse"));
    m_button = findChild<QToolButton *>();
    if (m_button) {
        m_button->setFocusPolicy(Qt::NoFocus);
        m_button->setCursor(Qt::ArrowCursor);
    }
    connect(browse, &QAction::triggered, this, [this] {
        setFocus(Qt::MouseFocusReason);
        Browse();
    });
}

void TDirectoryEdit::Browse()
{
    QString start = Directory();
    if (start.isEmpty())
        start = InitialDir.isEmpty() ? kFileSystemRoot : InitialDir;
    if (!isExistingFolder(start))
        start = kFileSystemRoot;
    const std::optional<QString> chosen = kit_Browse::BrowseForFolder(window(), DialogText, start);
    setFocus(Qt::OtherFocusReason);
    if (!chosen)
        return;
    setDirectory(*chosen);
    if (isExistingFolder(*chosen))
        InitialDir = *chosen;
}

QString TDirectoryEdit::rootFromDrop(const QString &path, bool isFile)
{
    const QString folder = isFile ? kit::folderPart(path, kit::nativePathStyle) : path;
    return kit::withoutTrailingSeparator(folder, kit::nativePathStyle);
}

void TDirectoryEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier) {
        Browse();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDirectoryEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    emit autoDragStarted();
    auto *drag = new QDrag(this);
    auto *mime = new QMimeData;
    mime->setData(kFieldMime, objectName().toUtf8());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void TDirectoryEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        QLineEdit::mouseMoveEvent(event);
}

void TDirectoryEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        QLineEdit::mouseReleaseEvent(event);
}

void TDirectoryEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click starts the drag again; it never selects a word.
    if (event->button() == Qt::LeftButton)
        mousePressEvent(event);
    else
        QLineEdit::mouseDoubleClickEvent(event);
}

void TDirectoryEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (!firstLocalPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDirectoryEdit::dragMoveEvent(QDragMoveEvent *event)
{
    if (!firstLocalPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDirectoryEdit::dropEvent(QDropEvent *event)
{
    const QString path = firstLocalPath(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    const QFileInfo info(path);
    setDirectory(rootFromDrop(path, info.exists() && !info.isDir()));
    event->acceptProposedAction();
}

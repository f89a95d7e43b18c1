#include "TDirectoryEdit.h"

#include <QAction>
#include <QToolButton>

TDirectoryEdit::TDirectoryEdit(QWidget *parent) : QLineEdit(parent)
{
    setReadOnly(true);
    auto *browse = addAction(QIcon(QStringLiteral(":/icons/folder-open.svg")),
                             QLineEdit::TrailingPosition);
    browse->setObjectName(QStringLiteral("browse"));
    m_button = findChild<QToolButton *>();
    if (m_button)
        m_button->setFocusPolicy(Qt::NoFocus);
    connect(browse, &QAction::triggered, this, &TDirectoryEdit::browseRequested);
}

#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

// The window's small pictures, addressed by index.
class TImageList final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void add(const QIcon &icon) { m_icons.append(icon); }
    QIcon icon(int index) const { return m_icons.value(index); }

private:
    QList<QIcon> m_icons;
};

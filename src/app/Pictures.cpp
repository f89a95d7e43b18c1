// Defined before Qt's headers: the image reader below is built into the program, not loaded.
#define QT_STATICPLUGIN

#include "Pictures.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QList>
#include <QPixmap>
#include <QtPlugin>

namespace {

// The pictures are PNG files named *.rpng. Given a file whose suffix no image plugin claims,
// Qt asks every installed image plugin whether it reads it before trying PNG itself, which
// loads all of them (the SVG one brings Qt's SVG library). The suffix is this reader's own,
// so Qt goes straight to it, and it hands the bytes to Qt's PNG reader by name.
void readAsPng(QImageReader &reader)
{
    reader.setFormat("png");
    reader.setAutoDetectImageFormat(false);
}

class PictureHandler final : public QImageIOHandler {
public:
    bool canRead() const override { return device() && device()->peek(8) == "\x89PNG\r\n\x1a\n"; }

    bool read(QImage *image) override
    {
        QImageReader reader(device());
        readAsPng(reader);
        return reader.read(image);
    }

    bool supportsOption(ImageOption option) const override { return option == Size; }

    // The size alone, read from the header; the picture is read later from the same place.
    QVariant option(ImageOption option) const override
    {
        if (option != Size || !device())
            return {};
        const qint64 start = device()->pos();
        QImageReader reader(device());
        readAsPng(reader);
        const QSize size = reader.size();
        device()->seek(start);
        return size;
    }
};

class PicturePlugin final : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "pictures.json")

public:
    // Only files named for it: other images go on to Qt's own readers.
    Capabilities capabilities(QIODevice *, const QByteArray &format) const override
    {
        return format == "rpng" ? CanRead : Capabilities();
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new PictureHandler;
        handler->setDevice(device);
        handler->setFormat(format);
        return handler;
    }
};

// Qt's own icon engine reads every picture of an icon as soon as it is given its file; this one
// waits until a picture is asked for, so that the tray's sizes or a menu's pictures cost nothing
// at start. Once read, the pictures go into a QIcon of pixmaps, which picks and draws them as Qt
// always does. Sizes given here are in device pixels: QIcon has scaled them already.
class PictureIconEngine final : public QIconEngine {
public:
    // Also NAME@2x.rpng on a high-DPI screen, as QIcon does for the files it is given.
    void addPicture(const QString &fileName)
    {
        addFile(fileName, QSize(), QIcon::Normal, QIcon::Off);
        if (qApp->devicePixelRatio() > 1.0)
            addFile(QString(fileName).replace(QStringLiteral(".rpng"), QStringLiteral("@2x.rpng")),
                    QSize(), QIcon::Normal, QIcon::Off);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }

    void addPixmap(const QPixmap &pixmap, QIcon::Mode mode, QIcon::State state) override
    {
        icon().addPixmap(pixmap, mode, state);
    }

    void addFile(const QString &fileName, const QSize &, QIcon::Mode mode,
                 QIcon::State state) override
    {
        m_files.append({fileName, mode, state});
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }

    bool isNull() override { return m_files.isEmpty() && m_icon.isNull(); }
    QString key() const override { return QStringLiteral("PictureIconEngine"); }
    QIconEngine *clone() const override { return new PictureIconEngine(*this); }

private:
    struct File {
        QString name;
        QIcon::Mode mode;
        QIcon::State state;
    };

    QIcon &icon()
    {
        for (const File &file : std::as_const(m_files)) {
            const QImage image = QImageReader(file.name).read();
            if (!image.isNull())
                m_icon.addPixmap(QPixmap::fromImage(image), file.mode, file.state);
        }
        m_files.clear();
        return m_icon;
    }

    QList<File> m_files;
    QIcon m_icon;
};

} // namespace

Q_IMPORT_PLUGIN(PicturePlugin)

QString rangeurIconPath(const char *name)
{
    return QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".rpng");
}

// Built on the engine directly: QIcon's own constructor would first look for an engine plugin
// for the file's suffix, which costs more than the picture.
QIcon rangeurIcon(const char *name)
{
    auto *engine = new PictureIconEngine;
    engine->addPicture(rangeurIconPath(name));
    return QIcon(engine);
}

namespace {

QIcon iconInSizes(const char *name, std::initializer_list<int> sizes)
{
    auto *engine = new PictureIconEngine;
    for (const int size : sizes)
        engine->addFile(QStringLiteral(":/icons/%1-%2.rpng").arg(QLatin1String(name)).arg(size),
                        QSize(), QIcon::Normal, QIcon::Off);
    return QIcon(engine);
}

} // namespace

QIcon rangeurProgramIcon()
{
    return iconInSizes("program", {RANGEUR_PROGRAM_ICON_SIZES});
}

QIcon rangeurTrayIcon()
{
    return iconInSizes("tray", {RANGEUR_TRAY_ICON_SIZES});
}

#include "Pictures.moc"

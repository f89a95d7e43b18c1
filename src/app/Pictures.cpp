// Defined before Qt's headers: the image reader below is built into the program, not loaded.
#define QT_STATICPLUGIN

#include "Pictures.h"

#include <QDir>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QtPlugin>

namespace {

// The pictures are PNG files named *.rpng. Given a file whose suffix no image plugin claims,
// Qt asks every installed image plugin whether it reads it before trying PNG itself, which
// loads all of them (the SVG one brings Qt's SVG library). The suffix is this reader's own,
// so Qt goes straight to it, and it hands the bytes to Qt's PNG reader by name.
// Qt's PNG reader by name, without asking the plugins first.
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

} // namespace

Q_IMPORT_PLUGIN(PicturePlugin)

QString rangeurIconPath(const char *name)
{
    return QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".rpng");
}

QIcon rangeurIcon(const char *name)
{
    return QIcon(rangeurIconPath(name));
}

QIcon rangeurIconSizes(const char *name)
{
    const QDir folder(QStringLiteral(":/icons"));
    QIcon icon;
    for (const QString &file :
         folder.entryList({QLatin1String(name) + QStringLiteral("-*.rpng")}, QDir::Files))
        icon.addFile(folder.filePath(file));
    return icon;
}

#include "Pictures.moc"

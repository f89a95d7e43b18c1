// Defined before Qt's headers: the image reader below is built into the program, not loaded.
#define QT_STATICPLUGIN

#include "Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QList>
#include <QPixmap>
#include <QResource>
#include <QtEndian>
#include <QtPlugin>

namespace {

// The pictures are stored as plain pixels under a suffix of their own (picture_pack.cpp writes
// them at build time): reading one is a copy. Given a suffix no image plugin claims, Qt would ask
// every installed image plugin whether it reads the file, which loads all of them (the SVG one
// brings Qt's SVG library); this reader's suffix sends Qt straight to it.
constexpr qint64 kHeaderBytes = 12; // "RPIC", width, height
constexpr quint32 kLargestSide = 4096;

// The size in the header, or an empty size when the device holds no picture of ours.
QSize headerSize(QIODevice *device)
{
    if (!device)
        return {};
    const QByteArray header = device->peek(kHeaderBytes);
    if (header.size() != kHeaderBytes || !header.startsWith("RPIC"))
        return {};
    const quint32 width = qFromLittleEndian<quint32>(header.constData() + 4);
    const quint32 height = qFromLittleEndian<quint32>(header.constData() + 8);
    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide)
        return {};
    return QSize(int(width), int(height));
}

class PictureHandler final : public QImageIOHandler {
public:
    bool canRead() const override { return headerSize(device()).isValid(); }

    bool read(QImage *image) override
    {
        const QSize size = headerSize(device());
        if (!size.isValid())
            return false;
        if (const QImage stored = storedInProgram(size); !stored.isNull()) {
            *image = stored;
            return true;
        }
        if (device()->skip(kHeaderBytes) != kHeaderBytes)
            return false;
        QImage pixels(size, QImage::Format_ARGB32_Premultiplied);
        if (pixels.isNull())
            return false;
        const qint64 rowBytes = qint64(size.width()) * 4;
        for (int y = 0; y < size.height(); ++y) {
            if (device()->read(reinterpret_cast<char *>(pixels.scanLine(y)), rowBytes) != rowBytes)
                return false;
        }
        *image = pixels;
        return true;
    }

    bool supportsOption(ImageOption option) const override { return option == Size; }

    QVariant option(ImageOption option) const override
    {
        return option == Size ? QVariant(headerSize(device())) : QVariant();
    }

private:
    // A picture stored uncompressed in the program is drawn from where it lies: a copy on the
    // heap would double its memory for as long as its icon lives. Qt copies it on any write.
    QImage storedInProgram(QSize size) const
    {
        const auto *file = qobject_cast<const QFile *>(device());
        if (!file || !file->fileName().startsWith(u':'))
            return {};
        const QResource stored(file->fileName());
        const qint64 rowBytes = qint64(size.width()) * 4;
        const uchar *pixels = stored.data() ? stored.data() + kHeaderBytes : nullptr;
        if (!pixels || stored.compressionAlgorithm() != QResource::NoCompression ||
            stored.size() != kHeaderBytes + rowBytes * size.height() ||
            reinterpret_cast<quintptr>(pixels) % alignof(quint32) != 0)
            return {};
        return QImage(pixels, size.width(), size.height(), rowBytes,
                      QImage::Format_ARGB32_Premultiplied);
    }
};

class PicturePlugin final : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "pictures.json")

public:
    // Only files named for it: other images go on to Qt's own readers.
    Capabilities capabilities(QIODevice *, const QByteArray &format) const override
    {
        return format == "rpic" ? CanRead : Capabilities();
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
    // Also NAME@2x.rpic on a high-DPI screen, as QIcon does for the files it is given.
    void addPicture(const QString &fileName)
    {
        addFile(fileName, QSize(), QIcon::Normal, QIcon::Off);
        if (qApp->devicePixelRatio() > 1.0)
            addFile(QString(fileName).replace(QStringLiteral(".rpic"), QStringLiteral("@2x.rpic")),
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
    return QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".rpic");
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
        engine->addFile(QStringLiteral(":/icons/%1-%2.rpic").arg(QLatin1String(name)).arg(size),
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

// Build tool: packs a PNG into the program's own picture format, read by Pictures.cpp.
//   rangeur-picture-pack IN.png OUT.rpic
// The format is "RPIC", the width and height as 32-bit little-endian numbers, then the rows of
// premultiplied ARGB32 pixels in the byte order of the machine that runs the build, which is
// the machine the program is built for. Reading it is a copy: no decompression at start.
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: rangeur-picture-pack IN.png OUT.rpic\n");
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "rangeur-picture-pack: cannot read %s\n", argv[1]);
        return 1;
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "rangeur-picture-pack: cannot write %s\n", argv[2]);
        return 1;
    }
    const quint32 size[2] = {qToLittleEndian(quint32(image.width())),
                             qToLittleEndian(quint32(image.height()))};
    bool written = out.write("RPIC", 4) == 4 &&
                   out.write(reinterpret_cast<const char *>(size), sizeof size) == sizeof size;
    const qint64 rowBytes = qint64(image.width()) * 4;
    for (int y = 0; written && y < image.height(); ++y)
        written =
            out.write(reinterpret_cast<const char *>(image.constScanLine(y)), rowBytes) == rowBytes;
    if (!written || !out.flush()) {
        std::fprintf(stderr, "rangeur-picture-pack: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

// render-artwork png IN.svg OUT.png   the picture at the size the SVG names
// render-artwork ico IN.svg OUT.ico   an icon file with the sizes Windows asks for
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>
#include <vector>

namespace {

QImage Render(QSvgRenderer& svg, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

template <typename T>
void Put(QByteArray& out, T value)
{
    const T little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// An ICO file whose entries are PNG pictures, as Windows reads them since Vista.
QByteArray Ico(QSvgRenderer& svg)
{
    const std::vector<int> sizes{16, 24, 32, 48, 64, 256};
    QByteArray header;
    QByteArray pictures;
    Put<quint16>(header, 0);
    Put<quint16>(header, 1); // an icon
    Put<quint16>(header, quint16(sizes.size()));
    quint32 offset = quint32(6 + 16 * sizes.size());
    for (const int size : sizes) {
        const QByteArray png = Png(Render(svg, QSize(size, size)));
        header.append(char(size == 256 ? 0 : size)); // 0 stands for 256
        header.append(char(size == 256 ? 0 : size));
        header.append(char(0)); // no palette
        header.append(char(0));
        Put<quint16>(header, 1);  // planes
        Put<quint16>(header, 32); // bits a pixel
        Put<quint32>(header, quint32(png.size()));
        Put<quint32>(header, offset);
        offset += quint32(png.size());
        pictures += png;
    }
    return header + pictures;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() != 4 || (args[1] != "png" && args[1] != "ico")) {
        std::fprintf(stderr, "usage: render-artwork png|ico IN.svg OUT\n");
        return 2;
    }
    QSvgRenderer svg(args[2]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "render-artwork: cannot read %s\n", qPrintable(args[2]));
        return 1;
    }
    const QByteArray bytes = args[1] == "png" ? Png(Render(svg, svg.defaultSize())) : Ico(svg);
    QFile out(args[3]);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "render-artwork: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    return 0;
}

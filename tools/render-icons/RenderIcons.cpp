// Draws the program's SVG pictures as PNG files at the sizes the window shows them, when the
// program is built: loading a ready picture at start-up costs far less than parsing and
// drawing an SVG, and the pictures come out as the SVG renderer draws them.
// usage: tinlark-render-icons PICTURE.svg (OUTPUT.png SIZE)...

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: tinlark-render-icons PICTURE.svg (OUTPUT.png SIZE)...\n");
        return 2;
    }
    // No screen is needed to draw into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer picture(QFile::decodeName(argv[1]));
    if (!picture.isValid()) {
        std::fprintf(stderr, "tinlark-render-icons: %s is no picture\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; i += 2) {
        const int size = QByteArray(argv[i + 1]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "tinlark-render-icons: %s is no size\n", argv[i + 1]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        picture.render(&painter);
        painter.end();
        if (!image.save(QFile::decodeName(argv[i]), "PNG")) {
            std::fprintf(stderr, "tinlark-render-icons: cannot write %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}

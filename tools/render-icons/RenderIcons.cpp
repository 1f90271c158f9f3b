// Draws the program's SVG pictures while the program is built, at the sizes the window shows
// them, into a C++ source that holds their pixels: the window then shows them without
// loading an SVG renderer or an image decoder at start-up, and they look as the SVG renderer
// draws them.
// usage: tinlark-render-icons OUTPUT.cpp (NAME:PICTURE.svg:SIZE[,SIZE...])...
// The source defines RenderedPictures::all (see lib/RenderedPictures.h).

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>
#include <cstdio>

namespace {

QImage draw(QSvgRenderer &picture, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    picture.render(&painter);
    painter.end();
    return image;
}

void writePixels(QTextStream &out, const QImage &image, const QString &variable)
{
    out << "alignas(4) const quint32 " << variable << "[] = {";
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
        out << "\n   ";
        for (int x = 0; x < image.width(); ++x)
            out << " 0x" << QString::number(line[x], 16) << ',';
    }
    out << "\n};\n";
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tinlark-render-icons OUTPUT.cpp (NAME:PICTURE.svg:SIZE[,SIZE...])...\n");
        return 2;
    }
    // No screen is needed to draw into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString pixels;
    QString table;
    QTextStream out(&pixels);
    QTextStream entries(&table);
    int count = 0;
    for (int i = 2; i < argc; ++i) {
        const QStringList fields = QString::fromLocal8Bit(argv[i]).split(QLatin1Char(':'));
        QSvgRenderer picture(fields.value(1));
        if (fields.size() != 3 || !picture.isValid()) {
            std::fprintf(stderr, "tinlark-render-icons: %s names no picture\n", argv[i]);
            return 1;
        }
        for (const QString &sizeText : fields[2].split(QLatin1Char(','))) {
            const int size = sizeText.toInt();
            if (size <= 0) {
                std::fprintf(stderr, "tinlark-render-icons: %s is no size\n", qPrintable(sizeText));
                return 2;
            }
            const QString variable = QStringLiteral("picture%1").arg(count++);
            writePixels(out, draw(picture, size), variable);
            entries << "    {\"" << fields[0] << "\", " << size << ", " << variable << "},\n";
        }
    }
    QSaveFile file(QFile::decodeName(argv[1]));
    if (file.open(QIODevice::WriteOnly)) {
        QTextStream source(&file);
        source << "// Drawn by tinlark-render-icons from the program's SVG pictures.\n"
               << "#include \"RenderedPictures.h\"\n\nnamespace {\n\n"
               << pixels << "\nconst RenderedPictures::Picture pictures[] = {\n" << table << "};\n\n} // namespace\n\n"
               << "std::span<const RenderedPictures::Picture> RenderedPictures::all()\n{\n    return pictures;\n}\n";
        source.flush();
    }
    if (!file.commit()) {
        std::fprintf(stderr, "tinlark-render-icons: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

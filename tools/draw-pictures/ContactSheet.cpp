// Draws every picture of the two image lists enlarged on one sheet, to look them over:
// for each index the picture from Images, the same greyed as on a disabled button, and the
// picture from HotImages, each at actual size and six times enlarged with the pixel grid.
//
//     QT_QPA_PLATFORM=offscreen build/bin/tinlark-contact-sheet sheet.png

#include "ImageLists.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int Zoom = 6;
constexpr int Big = 16 * Zoom;
constexpr int Gap = 12;
constexpr int CellWidth = 3 * (Big + Gap) + Gap;
constexpr int CellHeight = Big + 16 + 24 + Gap;
constexpr int Columns = 4;

// Draws one picture at actual size and enlarged, with a faint grid over the enlargement.
void drawPicture(QPainter &painter, const QPixmap &picture, int left, int top)
{
    painter.drawPixmap(left, top, picture);
    const QPixmap big = picture.scaled(Big, Big, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const int bigTop = top + 20;
    painter.drawPixmap(left, bigTop, big);
    painter.setPen(QColor(0, 0, 0, 24));
    for (int i = 0; i <= 16; ++i) {
        painter.drawLine(left + i * Zoom, bigTop, left + i * Zoom, bigTop + Big);
        painter.drawLine(left, bigTop + i * Zoom, left + Big, bigTop + i * Zoom);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv); // the style greys the disabled pictures
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s sheet.png\n", argv[0]);
        return 2;
    }
    const int count = ImageLists::imageCount();
    const int rows = (count + Columns - 1) / Columns;
    QImage sheet(Columns * CellWidth, rows * CellHeight, QImage::Format_RGB32);
    sheet.fill(QColor(240, 240, 240));
    QPainter painter(&sheet);
    for (int index = 0; index < count; ++index) {
        const int left = (index % Columns) * CellWidth + Gap;
        const int top = (index / Columns) * CellHeight + Gap;
        painter.setPen(Qt::black);
        painter.drawText(left, top + 12, QString::number(index));
        const QIcon normal = ImageLists::image(index);
        drawPicture(painter, normal.pixmap(16, 16), left + 24, top);
        drawPicture(painter, normal.pixmap(QSize(16, 16), QIcon::Disabled), left + Big + Gap + 24, top);
        if (index < ImageLists::hotImageCount())
            drawPicture(painter, ImageLists::hotImage(index).pixmap(16, 16), left + 2 * (Big + Gap) + 24, top);
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

#include "ImageList.h"

#include "Exception.h"

int ImageList::addMasked(const QImage &bitmap, const QColor &transparentColor)
{
    if (bitmap.isNull() || bitmap.width() != m_width || bitmap.height() != m_height)
        throw Exception(QStringLiteral("Invalid image size"));
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = transparentColor.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == transparent)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    m_images.append(image);
    return count() - 1;
}

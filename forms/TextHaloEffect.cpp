#include "TextHaloEffect.h"

#include <QPainter>

namespace {

constexpr int HaloWidth = 1;

} // namespace

TextHaloEffect::TextHaloEffect(const QColor &haloColor, QObject *parent) : QGraphicsEffect(parent), m_haloColor(haloColor)
{
}

QColor TextHaloEffect::haloFor(const QColor &textColor)
{
    // Relative luminance: pure lime counts as light, pure blue as dark.
    const double luminance = 0.2126 * textColor.redF() + 0.7152 * textColor.greenF() + 0.0722 * textColor.blueF();
    return luminance < 0.5 ? QColor(255, 255, 255, 170) : QColor(0, 0, 0, 150);
}

QRectF TextHaloEffect::boundingRectFor(const QRectF &rect) const
{
    return rect.adjusted(-HaloWidth, -HaloWidth, HaloWidth, HaloWidth);
}

void TextHaloEffect::draw(QPainter *painter)
{
    QPoint offset;
    const QPixmap source = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::PadToEffectiveBoundingRect);
    if (source.isNull())
        return;

    // The painted shape in the halo colour, its edges as soft as the text's.
    QPixmap halo(source.size());
    halo.setDevicePixelRatio(source.devicePixelRatio());
    halo.fill(Qt::transparent);
    {
        QPainter tint(&halo);
        tint.drawPixmap(0, 0, source);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(halo.rect(), m_haloColor);
    }

    const QTransform transform = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    for (int dx = -HaloWidth; dx <= HaloWidth; ++dx) {
        for (int dy = -HaloWidth; dy <= HaloWidth; ++dy) {
            if (dx != 0 || dy != 0)
                painter->drawPixmap(offset + QPoint(dx, dy), halo);
        }
    }
    painter->drawPixmap(offset, source);
    painter->setWorldTransform(transform);
}

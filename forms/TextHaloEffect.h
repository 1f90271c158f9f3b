#pragma once

#include <QColor>
#include <QGraphicsEffect>

// Draws a thin rim of one colour around whatever a widget paints, so that text stays
// readable over a busy picture: a light rim for dark text, a dark one for light text.
class TextHaloEffect : public QGraphicsEffect
{
    Q_OBJECT

public:
    explicit TextHaloEffect(const QColor &haloColor, QObject *parent = nullptr);

    QColor haloColor() const { return m_haloColor; }
    // The rim that keeps text of this colour readable on any ground.
    static QColor haloFor(const QColor &textColor);

protected:
    QRectF boundingRectFor(const QRectF &rect) const override;
    void draw(QPainter *painter) override;

private:
    QColor m_haloColor;
};

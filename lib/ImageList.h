#pragma once

#include <QColor>
#include <QImage>
#include <QList>

// Small pictures of one size, kept with their background made transparent.
class ImageList
{
public:
    ImageList(int width, int height) : m_width(width), m_height(height) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    int count() const { return int(m_images.size()); }
    const QImage &image(int index) const { return m_images.at(index); }

    // Adds a picture of the list's size; every pixel of transparentColor becomes clear.
    // Returns the new picture's index.
    int addMasked(const QImage &bitmap, const QColor &transparentColor);

private:
    int m_width;
    int m_height;
    QList<QImage> m_images;
};

#pragma once

#include <QSize>

class QFont;
class QWidget;

// Pixel sizes of the layouts were made for a small font: 8-point MS Sans Serif, whose
// letters are 6 pixels wide and 13 high on average. With a larger font in use (a Linux
// desktop's is), a fixed size that holds a text grows in proportion, so that the text
// shows whole. Nothing ever shrinks.
namespace FontScale {

double factor(const QFont &font);
int scaled(int pixels, const QFont &font);
// The same for a factor measured once, where several sizes follow one font.
int scaled(int pixels, double by);
QSize scaled(const QSize &size, const QFont &font);

// Grows a window laid out in pixels: its size and the place and size of every control
// placed directly on it.
void growWindow(QWidget *window);

} // namespace FontScale

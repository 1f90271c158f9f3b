#include "FontScale.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QWidget>
#include <cmath>

namespace FontScale {

namespace {

constexpr double DesignLetterWidth = 6.0;
constexpr double DesignLetterHeight = 13.0;

} // namespace

double factor(const QFont &font)
{
    const QFontMetricsF metrics(font);
    const double letterWidth =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    return std::max({1.0, letterWidth / DesignLetterWidth, metrics.height() / DesignLetterHeight});
}

int scaled(int pixels, double by)
{
    return int(std::ceil(pixels * by));
}

int scaled(int pixels, const QFont &font)
{
    return scaled(pixels, factor(font));
}

QSize scaled(const QSize &size, const QFont &font)
{
    return QSize(scaled(size.width(), font), scaled(size.height(), font));
}

void growWindow(QWidget *window)
{
    const double by = factor(window->font());
    if (by <= 1.0)
        return;
    const auto grown = [by](int pixels) { return scaled(pixels, by); };
    for (QWidget *control : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        const QRect place = control->geometry();
        control->setGeometry(grown(place.x()), grown(place.y()), grown(place.width()), grown(place.height()));
        // A label keeps the layout's size unless its text would be cut.
        if (qobject_cast<QLabel *>(control))
            control->resize(control->size().expandedTo(control->sizeHint()));
    }
    const QSize size(grown(window->width()), grown(window->height()));
    if (window->minimumSize() == window->maximumSize())
        window->setFixedSize(size);
    else
        window->resize(size);
}

} // namespace FontScale

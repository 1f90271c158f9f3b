#include "MenuIconStyle.h"

#include <QStyleOptionMenuItem>

void MenuIconStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    if (element == CE_MenuItem) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option); item && !item->icon.isNull()) {
            QStyleOptionMenuItem coloured(*item);
            const int size = pixelMetric(PM_SmallIconSize, option, widget);
            // Greying a disabled item is left to the style, from the coloured picture.
            coloured.icon = QIcon(item->icon.pixmap(QSize(size, size), QIcon::Active));
            QProxyStyle::drawControl(element, &coloured, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

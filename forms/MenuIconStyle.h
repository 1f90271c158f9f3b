#pragma once

#include <QProxyStyle>

// Draws menu items with the picture an icon shows under the mouse, so that a menu shows the
// coloured pictures while tool buttons show the plain ones until the mouse is over them.
class MenuIconStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};

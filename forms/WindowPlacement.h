#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <functional>

class QWidget;

// Places a top-level window by its outer bounds, frame included, which is how the settings
// store them: the window's own size is what the bounds leave once the window manager's
// frame is taken off, and it is worked out again whenever that frame changes (the frame
// is known only once the window is shown). It also keeps the outer bounds up to date as
// the user moves and resizes the window, for storing at the end.
class WindowPlacement : public QObject
{
    Q_OBJECT

public:
    // The longest side a window may have: a larger one costs a backing store of gigabytes.
    static constexpr int MaxSide = 8192;

    explicit WindowPlacement(QWidget *window);

    // Places the window at bounds as they stand, sizes larger than the screen and positions
    // partly off it included; only a side longer than MaxSide is capped, and a window that
    // would lie entirely off every screen comes onto the nearest one.
    void setOuterBounds(const QRect &bounds);
    QRect outerBounds() const;

    // Called with the height the window's own area is about to get, before it gets it, so
    // that parts of fixed size can make room.
    std::function<void(int windowHeight)> beforeResize;

    // The bounds that setOuterBounds applies, given the screens' areas.
    static QRect usableBounds(QRect bounds, const QList<QRect> &screens);
    // The window's own size inside outer bounds of the given size.
    static QSize innerSize(const QSize &outer, const QMargins &frame);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMargins frame() const;
    void apply();

    QWidget *m_window;
    QRect m_bounds;
    QMargins m_appliedFrame;
    bool m_applying = false;
};

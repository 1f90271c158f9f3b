#pragma once

#include <QWidget>

// A bar lying above a bottom-aligned control: dragging it changes that control's height.
// Dragged down to the minimum size or less, the control collapses to height 0.
class TSplitter : public QWidget
{
    Q_OBJECT

public:
    explicit TSplitter(QWidget *parent = nullptr);

    void setControl(QWidget *control) { m_control = control; }
    void setMinSize(int minSize) { m_minSize = minSize; }
    int minSize() const { return m_minSize; }

    // The control's height after a drag that would leave it requested pixels high.
    int heightAfterDrag(int requested) const;
    int room() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QWidget *m_control = nullptr;
    int m_minSize = 30;
    int m_pressY = 0;
    int m_startHeight = 0;
    bool m_dragging = false;
};

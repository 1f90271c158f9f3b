#include "TComboBox.h"

void TComboBox::setPreferredWidth(int width)
{
    m_preferredWidth = width;
    // A width of its own needs no measure of every item's text: that measure loads a fallback
    // font for each script among the items, for a width that is then thrown away.
    setSizeAdjustPolicy(width > 0 ? AdjustToMinimumContentsLengthWithIcon : AdjustToContentsOnFirstShow);
    updateGeometry();
}

QSize TComboBox::sizeHint() const
{
    QSize size = QComboBox::sizeHint();
    if (m_preferredWidth > 0)
        size.setWidth(std::max(m_preferredWidth, minimumWidth()));
    return size;
}

#include "TComboBox.h"

void TComboBox::setPreferredWidth(int width)
{
    m_preferredWidth = width;
    updateGeometry();
}

QSize TComboBox::sizeHint() const
{
    QSize size = QComboBox::sizeHint();
    if (m_preferredWidth > 0)
        size.setWidth(std::max(m_preferredWidth, minimumWidth()));
    return size;
}

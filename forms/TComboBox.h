#pragma once

#include <QComboBox>

// A combo box with a width of its own choosing: it asks its bar for that width and, when the
// bar has less room, makes do with down to its minimum width.
class TComboBox : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void setPreferredWidth(int width);
    QSize sizeHint() const override;

private:
    int m_preferredWidth = 0; // 0: as wide as its items ask
};

#pragma once

#include <QHeaderView>

// The narrow column in front of a data-aware grid's rows: an arrow beside the current row,
// an I-beam while it is being edited and a star while it is being inserted.
class DBGridIndicator : public QHeaderView
{
    Q_OBJECT

public:
    explicit DBGridIndicator(QWidget *parent = nullptr);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
};

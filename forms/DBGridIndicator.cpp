#include "DBGridIndicator.h"

#include "DBGridModel.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void drawArrow(QPainter &painter, const QPoint &centre)
{
    QPainterPath arrow;
    arrow.moveTo(centre.x() - 2, centre.y() - 4);
    arrow.lineTo(centre.x() + 2, centre.y());
    arrow.lineTo(centre.x() - 2, centre.y() + 4);
    arrow.closeSubpath();
    painter.fillPath(arrow, painter.pen().color());
}

void drawIBeam(QPainter &painter, const QPoint &centre)
{
    const int x = centre.x();
    painter.drawLine(x, centre.y() - 4, x, centre.y() + 4);
    painter.drawLine(x - 2, centre.y() - 5, x - 1, centre.y() - 5);
    painter.drawLine(x + 1, centre.y() - 5, x + 2, centre.y() - 5);
    painter.drawLine(x - 2, centre.y() + 5, x - 1, centre.y() + 5);
    painter.drawLine(x + 1, centre.y() + 5, x + 2, centre.y() + 5);
}

void drawStar(QPainter &painter, const QPoint &centre)
{
    const int x = centre.x();
    const int y = centre.y();
    painter.drawLine(x, y - 3, x, y + 3);
    painter.drawLine(x - 3, y - 2, x + 3, y + 2);
    painter.drawLine(x - 3, y + 2, x + 3, y - 2);
}

} // namespace

DBGridIndicator::DBGridIndicator(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
{
    setSectionsClickable(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setFixedWidth(12);
}

void DBGridIndicator::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    QHeaderView::paintSection(painter, rect, logicalIndex);
    const auto *gridModel = qobject_cast<const DBGridModel *>(model());
    if (!gridModel)
        return;
    const DBGridModel::Indicator indicator = gridModel->indicatorAt(logicalIndex);
    if (indicator == DBGridModel::Indicator::None)
        return;
    painter->save();
    // The header's own drawing leaves an empty clip behind.
    painter->setClipRect(rect);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(palette().color(QPalette::ButtonText));
    const QPoint centre = rect.center();
    switch (indicator) {
    case DBGridModel::Indicator::Current:
        drawArrow(*painter, centre);
        break;
    case DBGridModel::Indicator::Editing:
        drawIBeam(*painter, centre);
        break;
    case DBGridModel::Indicator::Inserting:
        drawStar(*painter, centre);
        break;
    case DBGridModel::Indicator::None:
        break;
    }
    painter->restore();
}

#include "PickListDelegate.h"

#include <QApplication>
#include <QPainter>
#include <cmath>

namespace {

// Letters that reach far above or below the line in the scripts a library may hold: Latin
// capitals with stacked accents, Vietnamese, Greek, Cyrillic, Thai, Tibetan, Arabic.
const QString TallestMarks = QStringLiteral(u"ÉÅǺẤẬ ΐΰ Ё ปั้ญู སྐྱེ إلّٰ gjÿ");

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

void PickListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem row(option);
    initStyleOption(&row, index);
    QStyle *style = styleOf(row);
    // A little air at the right end, beside the scroll bar.
    const QRect textArea =
        style->subElementRect(QStyle::SE_ItemViewItemText, &row, row.widget).adjusted(0, 0, -row.fontMetrics.averageCharWidth() / 2, 0);
    const QString label = std::exchange(row.text, QString());
    // The background, the selection and the focus as the style draws them, the texts on top.
    style->drawControl(QStyle::CE_ItemViewItem, &row, painter, row.widget);

    const QPalette::ColorGroup group = !(row.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : row.state & QStyle::State_Active   ? QPalette::Normal
                                                                            : QPalette::Inactive;
    const QPalette::ColorRole role = row.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setFont(row.font);
    painter->setPen(row.palette.color(group, role));
    QRect labelArea = textArea;
    const QString language = index.data(LanguageRole).toString();
    if (!language.isEmpty()) {
        // The language keeps up to half of a narrow row; the label gives way first.
        const int gap = row.fontMetrics.averageCharWidth() * 2;
        // Measured unrounded: a name rounded down to whole pixels would lose its last letters.
        const int whole = int(std::ceil(QFontMetricsF(row.font).horizontalAdvance(language)));
        const int width = std::min(whole, textArea.width() / 2);
        const QRect languageArea(textArea.right() - width + 1, textArea.top(), width, textArea.height());
        painter->drawText(languageArea, Qt::AlignRight | Qt::AlignVCenter,
                          row.fontMetrics.elidedText(language, Qt::ElideRight, width));
        labelArea.setRight(languageArea.left() - gap);
    }
    painter->drawText(labelArea, Qt::AlignLeft | Qt::AlignVCenter,
                      row.fontMetrics.elidedText(label, Qt::ElideRight, labelArea.width()));
    painter->restore();
}

QSize PickListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem row(option);
    initStyleOption(&row, index);
    const QFontMetrics &metrics = row.fontMetrics;
    // The text is centred on the row: the row leaves room on both sides for the most any mark
    // reaches beyond the font's own ascent or descent, and a little air.
    const QRect ink = metrics.boundingRect(TallestMarks);
    const int beyond = std::max({0, -ink.top() - metrics.ascent(), ink.bottom() + 1 - metrics.descent()});
    const int height = metrics.height() + 2 * beyond + std::max(2, metrics.height() / 4);
    // As narrow as may be: a row is as wide as the list, the label is cut to fit it.
    return {metrics.averageCharWidth() * 8, std::max(height, QStyledItemDelegate::sizeHint(option, index).height())};
}

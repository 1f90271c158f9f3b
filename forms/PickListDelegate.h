#pragma once

#include <QStyledItemDelegate>

// Draws a row of the picker's list: the speech's label, cut short with an ellipsis where the
// row is too narrow, and, when the list holds all languages, the name of the speech's language
// whole at the right end, so that no scroll bar ever hides it. Every row is as tall as the
// accents and marks of any script need: a capital with an accent above it, stacked marks.
class PickListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The role that holds the name of a row's language (none: the row shows no language).
    static constexpr int LanguageRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

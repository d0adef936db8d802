// SEDQ_NAME_DELEGATE: the size of a name as the style gives it for its first characters.
#include "sedq/frame/sedq_name_delegate.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>

QSize SEDQ_NAME_DELEGATE::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant fixed = index.data(Qt::SizeHintRole);
    if (fixed.isValid())
        return fixed.toSize();
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text = measured(item.text);
    const QStyle* style = item.widget != nullptr ? item.widget->style() : QApplication::style();
    return style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), item.widget);
}

#pragma once
// Draws the names of a list as a plain delegate does, but asks for the room of a name's first
// MEASURED_CHARACTERS characters only. A document may name its instances with kilobytes of
// hierarchy path: measuring such a name lays it out in full, a column sized to its contents
// measures a thousand rows each time the pane's geometry changes, and a column that wide would
// not fit the window anyway. The view elides a longer name where it paints it.

#include <QStyledItemDelegate>

class SEDQ_NAME_DELEGATE : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The characters of a name that a list or header sizes itself to.
    static constexpr int MEASURED_CHARACTERS = 64;
    // `name` cut to what is measured of it.
    static QString measured(const QString& name) { return name.left(MEASURED_CHARACTERS); }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

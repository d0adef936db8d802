// SEDQ_OPERATOR_WIDGET: the object library palette, its entries and the drag that carries them.
#include "sedq/advanced_trigger/sedq_operator_widget.h"

#include "host/afcq.h"
#include "host/afcq_drag.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/frame/sedq_pane_title.h"

#include <QDrag>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <vector>

namespace
{
// The header row's text sits a little in from the frame.
constexpr int HEADER_LEFT_MARGIN = 7;

// The tree hands its drags to the palette, which runs them through the host.
class OPERATOR_TREE : public QTreeView
{
public:
    explicit OPERATOR_TREE(SEDQ_OPERATOR_WIDGET* palette) : QTreeView(palette), m_palette(palette) {}

protected:
    void startDrag(Qt::DropActions actions) override { m_palette->start_drag(actions); }

private:
    SEDQ_OPERATOR_WIDGET* m_palette;
};

struct PALETTE_CATEGORY
{
    const char* text;
    std::vector<SEDQ_OBJECT::SEDQ_LIBRARY_TYPE> entries;
};

// The palette in order. The counters of the library are not offered here.
const PALETTE_CATEGORY PALETTE[] = {
    {"Edge & Level Detector", {}},
    {"Input Objects", {SEDQ_OBJECT::LIBRARY_BIT_VALUE, SEDQ_OBJECT::LIBRARY_BUS_VALUE, SEDQ_OBJECT::LIBRARY_BUS}},
    {"Comparison Operators",
     {SEDQ_OBJECT::LIBRARY_LESS_THAN, SEDQ_OBJECT::LIBRARY_LESS_THAN_OR_EQUAL, SEDQ_OBJECT::LIBRARY_EQUALITY,
      SEDQ_OBJECT::LIBRARY_INEQUALITY, SEDQ_OBJECT::LIBRARY_GREATER_THAN_OR_EQUAL, SEDQ_OBJECT::LIBRARY_GREATER_THAN}},
    {"Bitwise Operators",
     {SEDQ_OBJECT::LIBRARY_BITWISE_COMPLEMENT, SEDQ_OBJECT::LIBRARY_BITWISE_AND, SEDQ_OBJECT::LIBRARY_BITWISE_OR,
      SEDQ_OBJECT::LIBRARY_BITWISE_XOR}},
    {"Logical Operators",
     {SEDQ_OBJECT::LIBRARY_LOGICAL_NOT, SEDQ_OBJECT::LIBRARY_LOGICAL_AND, SEDQ_OBJECT::LIBRARY_LOGICAL_OR,
      SEDQ_OBJECT::LIBRARY_LOGICAL_XOR}},
    {"Reduction Operators",
     {SEDQ_OBJECT::LIBRARY_REDUCTION_AND, SEDQ_OBJECT::LIBRARY_REDUCTION_OR, SEDQ_OBJECT::LIBRARY_REDUCTION_XOR}},
    {"Shift Operators", {SEDQ_OBJECT::LIBRARY_LEFT_SHIFT, SEDQ_OBJECT::LIBRARY_RIGHT_SHIFT}},
    {"Custom Trigger HDL", {}},
};
} // namespace

SEDQ_OPERATOR_WIDGET::SEDQ_OPERATOR_WIDGET(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    make_header(layout);
    make_tree(layout);
    update_operator_tree();
}

void SEDQ_OPERATOR_WIDGET::make_header(QVBoxLayout* layout)
{
    auto* header = new QHBoxLayout;
    header->setContentsMargins(HEADER_LEFT_MARGIN, 0, 0, 0);
    header->addWidget(new QLabel(QStringLiteral("Object Library:"), this));
    header->addStretch();
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setEnabled(false);
    header->addWidget(button, 0, Qt::AlignRight);
    layout->addLayout(header);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setLineWidth(0);
    line->setMidLineWidth(1);
    line->setMaximumHeight(1);
    layout->addWidget(line);
}

void SEDQ_OPERATOR_WIDGET::make_tree(QVBoxLayout* layout)
{
    m_tree = new OPERATOR_TREE(this);
    sedq_repaint_list_on_activation_as_widgets_do(m_tree);
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setHeaderHidden(true);
    m_tree->setModel(&m_model);
    m_tree->setDragEnabled(true);
    layout->addWidget(m_tree, 1);
}

void SEDQ_OPERATOR_WIDGET::update_operator_tree()
{
    m_model.clear();
    for (const PALETTE_CATEGORY& category : PALETTE)
    {
        QStandardItem* row = add_item(QString::fromLatin1(category.text), nullptr);
        for (SEDQ_OBJECT::SEDQ_LIBRARY_TYPE entry : category.entries)
            add_item(QString::fromLatin1(SEDQ_OBJECT::LIBRARY_STRING[entry]), row);
    }
}

QStandardItem* SEDQ_OPERATOR_WIDGET::add_item(QString const& text, QStandardItem* parent)
{
    auto* item = new QStandardItem(afcq_get_icon(AFCQ_ICON_HIERARCHY_LEVEL), text);
    if (parent != nullptr)
        parent->appendRow(item);
    else
        m_model.appendRow(item);
    return item;
}

// Selection order is click order; the canvas places what it makes top to bottom in the
// palette's own order, so walk the model (two levels deep) rather than the selection.
QList<QStandardItem*> SEDQ_OPERATOR_WIDGET::get_selected_items() const
{
    const QItemSelectionModel* selection = m_tree->selectionModel();
    QList<QStandardItem*> items;
    for (int row = 0; row < m_model.rowCount(); ++row)
    {
        QStandardItem* category = m_model.item(row);
        if (selection->isSelected(category->index()))
            items.append(category);
        for (int child = 0; child < category->rowCount(); ++child)
            if (selection->isSelected(category->child(child)->index()))
                items.append(category->child(child));
    }
    return items;
}

QMimeData* SEDQ_OPERATOR_WIDGET::make_drag_data(const QList<QStandardItem*>& items) const
{
    QModelIndexList indexes;
    for (const QStandardItem* item : items)
        indexes.append(item->index());
    return m_model.mimeData(indexes);
}

// The host runs the drag; the drop on the canvas reads the entries from this palette's
// selection, which stays as it is while the drag runs.
Qt::DropAction SEDQ_OPERATOR_WIDGET::start_drag(Qt::DropActions actions)
{
    const QList<QStandardItem*> items = get_selected_items();
    if (items.isEmpty())
        return Qt::IgnoreAction;
    auto* drag = new QDrag(m_tree);
    drag->setMimeData(make_drag_data(items));
    return afcq_exec_drag(drag, actions, Qt::CopyAction);
}

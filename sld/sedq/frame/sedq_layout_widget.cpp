// SEDQ_LAYOUT_WIDGET: construction, destruction, the top row and what the layout hands out.
#include "sedq/frame/sedq_layout_widget.h"

#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/frame/sedq_instance_tabs.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/frame/sedq_jtag_widget.h"
#include "sedq/frame/sedq_line_widget.h"
#include "sedq/frame/sedq_splitter.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_resources_widget.h"
#include "sedq/state_flow/sedq_state_widget.h"
#include "sedq/view/sedq_view.h"

#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

SEDQ_LAYOUT_WIDGET::SEDQ_LAYOUT_WIDGET(SEDQ_FRAME_WND* frame)
    : QSplitter(Qt::Vertical, frame), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    setChildrenCollapsible(false);
    m_tab_icons[0] = afcq_get_icon(AFCQ_ICON_OTHER_INSTANCE);
    m_tab_icons[1] = afcq_get_icon(AFCQ_ICON_CURRENT_INSTANCE);
    m_view = new SEDQ_VIEW(nullptr, m_tx_manager);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, m_view, &SEDQ_VIEW::on_update);
    m_object_widget = new SEDQ_OBJECT_WIDGET(nullptr, m_tx_manager);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, m_object_widget, &SEDQ_OBJECT_WIDGET::on_update);
    // The canvas must drop the objects before they are freed, not at the next posted update.
    SEDQ_OBJECT_WIDGET* canvas = m_object_widget;
    connect(m_tx_manager, &SEDQ_TX_MANAGER::releasing_conditions, canvas,
            [canvas] { canvas->on_update(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_TRIGGER_CANVAS)); });
    setContentsMargins(0, 0, 0, 0);
    addWidget(make_top_splitter());
    addWidget(make_bottom_part());
    setStretchFactor(1, 1);
    setSizes({120, 1});
    connect(this, &QSplitter::splitterMoved, this, &SEDQ_LAYOUT_WIDGET::on_jtag_widget_resized);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_LAYOUT_WIDGET::on_update);
    connect(m_instance_tab_widget, &SEDQ_INSTANCE_TABS::currentChanged, this,
            &SEDQ_LAYOUT_WIDGET::on_sel_change_instance_tab);
    connect(m_instance_tab_widget, &SEDQ_INSTANCE_TABS::currentChanged, m_instance_widget,
            &SEDQ_INSTANCE_WIDGET::on_sel_change_instance_tab);
}

// Runs after the frame deleted the model: nothing here may use it. The pages go first so
// that their containers hand the shared view and canvas back before those are deleted.
SEDQ_LAYOUT_WIDGET::~SEDQ_LAYOUT_WIDGET()
{
    disconnect(m_instance_tab_widget, &SEDQ_INSTANCE_TABS::currentChanged, m_instance_widget,
               &SEDQ_INSTANCE_WIDGET::on_sel_change_instance_tab);
    disconnect(m_instance_tab_widget, &SEDQ_INSTANCE_TABS::currentChanged, this,
               &SEDQ_LAYOUT_WIDGET::on_sel_change_instance_tab);
    release_instance_pages();
    delete m_object_widget;
    m_object_widget = nullptr;
    delete m_view;
    m_view = nullptr;
    qDeleteAll(m_splitter_map);
    m_splitter_map.clear();
}

// The instance list and the JTAG pane side by side, both 120 pixels high to begin with.
QWidget* SEDQ_LAYOUT_WIDGET::make_top_splitter()
{
    auto* top = new QSplitter(Qt::Horizontal, this);
    top->setChildrenCollapsible(false);
    m_instance_widget = new SEDQ_INSTANCE_WIDGET(top, m_frame);
    m_jtag_widget = new SEDQ_JTAG_WIDGET(top, m_frame);
    top->addWidget(m_instance_widget);
    top->addWidget(m_jtag_widget);
    top->setStretchFactor(0, 1);
    for (QWidget* pane : {static_cast<QWidget*>(m_instance_widget), static_cast<QWidget*>(m_jtag_widget)})
    {
        pane->resize(pane->width(), 120);
        pane->installEventFilter(this);
    }
    connect(top, &QSplitter::splitterMoved, this, &SEDQ_LAYOUT_WIDGET::on_jtag_widget_resized);
    return top;
}

// A rule, then the instance tabs (tabs at the bottom) with their pages.
QWidget* SEDQ_LAYOUT_WIDGET::make_bottom_part()
{
    auto* bottom = new QWidget(this);
    auto* layout = new QVBoxLayout(bottom);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* line = new SEDQ_LINE_WIDGET(bottom);
    line->setLineWidth(0);
    line->setMidLineWidth(1);
    layout->addWidget(line);
    auto* holder = new QWidget(bottom);
    auto* holder_layout = new QVBoxLayout(holder);
    holder_layout->setContentsMargins(4, 6, 4, 0);
    m_instance_tab_widget = new SEDQ_INSTANCE_TABS(holder);
    m_instance_tab_widget->set_icons(m_tab_icons[0], m_tab_icons[1]);
    holder_layout->addWidget(m_instance_tab_widget);
    layout->addWidget(holder);
    add_instance_pages();
    return bottom;
}

SEDQ_HIERARCHY_WIDGET* SEDQ_LAYOUT_WIDGET::get_hierarchy_widget()
{
    int instance = sedq_current_instance(m_tx_manager);
    if (instance > 0 && m_tx_manager->is_powerup_trigger(instance))
        --instance;
    build_instance_page(instance);
    return m_hierarchy_widget_map.value(instance, nullptr);
}

// A power-up trigger view has no tabs of its own: it shares those of its instance, the entry
// before it, and is answered with them. A page not built yet is built now.
QTabWidget* SEDQ_LAYOUT_WIDGET::get_data_setup_tab_widget(int instance)
{
    if (m_data_setup_tab_widget_map.isEmpty() && m_instance_tab_widget->count() == 0)
        return nullptr;
    int instance_index = instance;
    if (instance_index == -1)
    {
        QWidget* page = m_instance_tab_widget->currentWidget();
        instance_index = instance_of_page(page);
    }
    build_instance_page(instance_index);
    if (!m_data_setup_tab_widget_map.contains(instance_index) && instance_index > 0 &&
        m_tx_manager->is_powerup_trigger(instance_index))
        build_instance_page(--instance_index);
    if (!SEDQ_VERIFY(this->m_data_setup_tab_widget_map.contains(instance_index)))
        return nullptr;
    return m_data_setup_tab_widget_map.value(instance_index);
}

void SEDQ_LAYOUT_WIDGET::set_scroll_flag(bool flag)
{
    m_scroll_flag = flag;
}

SEDQ_STATE_WIDGET* SEDQ_LAYOUT_WIDGET::add_state_widget(QWidget* parent, int instance)
{
    return new SEDQ_STATE_WIDGET(parent, instance, m_frame);
}

SEDQ_DIAGRAM_WIDGET* SEDQ_LAYOUT_WIDGET::add_diagram_widget(QWidget* parent, int instance)
{
    return new SEDQ_DIAGRAM_WIDGET(parent, instance, m_frame);
}

SEDQ_RESOURCES_WIDGET* SEDQ_LAYOUT_WIDGET::add_resources_widget(QWidget* parent, int instance)
{
    return new SEDQ_RESOURCES_WIDGET(parent, instance, m_frame);
}

// SEDQ_LAYOUT_WIDGET: building and rebuilding the instance tabs and the pages inside them.
#include "sedq/frame/sedq_layout_widget.h"

#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/frame/sedq_config_widget.h"
#include "sedq/frame/sedq_container_widget.h"
#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/frame/sedq_instance_tabs.h"
#include "sedq/frame/sedq_line_widget.h"
#include "sedq/frame/sedq_log_widget.h"
#include "sedq/frame/sedq_splitter.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/model/sedq_window_if.h"
#include "sedq/state_flow/sedq_diagram_widget.h"
#include "sedq/state_flow/sedq_resources_widget.h"
#include "sedq/state_flow/sedq_state_widget.h"
#include "sedq/view/sedq_view.h"

#include <QAction>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace
{
// Splitter kinds; every splitter of one kind moves with the others.
constexpr int INSTANCE_SPLITTER = 511;
constexpr int SETUP_SPLITTER = 711;
constexpr int HIERARCHY_LOG_SPLITTER = 783;
constexpr int ADVANCED_SPLITTER = 1351;
constexpr int ADVANCED_NODE_SPLITTER = 1590;
constexpr int STATE_FLOW_SPLITTER = 1419;

constexpr int SIDE_PANE_WIDTH = 354;

// Up to this many instance tabs, every page is built with its tab. A document with more makes
// and builds each page when the page is first shown or first asked for: some thirty widgets a
// page, each following the document, would make tens of thousands of instances take minutes.
constexpr int PAGES_BUILT_WITH_THEIR_TABS = 64;

QIcon host_icon(int id)
{
    return afcq_get_icon(AFCQ_ICON_ENUM(id));
}

QString advanced_tab_title(int level)
{
    switch (level)
    {
    case -3:
        return QObject::tr("Storage Qualifier");
    case -2:
        return QObject::tr("Start");
    case -1:
        return QObject::tr("Stop");
    default:
        return QObject::tr("Advanced Trigger %1").arg(level + 1);
    }
}

// The instance, Setup and hierarchy/log splitters never let a pane collapse to nothing; the
// advanced trigger and state flow splitters keep Qt's collapsible panes.
SEDQ_SPLITTER* make_page_splitter(QMap<int, SEDQ_SPLITTER*>* map, int id, Qt::Orientation orientation,
                                  QWidget* parent)
{
    auto* splitter = new SEDQ_SPLITTER(map, id, orientation, parent);
    if (id == INSTANCE_SPLITTER || id == SETUP_SPLITTER || id == HIERARCHY_LOG_SPLITTER)
        splitter->setChildrenCollapsible(false);
    return splitter;
}
} // namespace

// The node view or the canvas that had the keyboard keeps it when its page is made anew (an undo,
// a dialog's edit): the pages going take it along, and the next key would reach nothing. The
// window's focus widget counts, so that a window not active meanwhile gives it back as well.
void SEDQ_LAYOUT_WIDGET::update_instance_tabs()
{
    QWidget* focused = window()->focusWidget();
    QWidget* keeps_focus = focused == m_view || focused == m_object_widget ? focused : nullptr;
    m_data_setup_tab_widget_map.clear();
    m_hierarchy_widget_map.clear();
    m_view->set_resize_flag(true);
    remove_instance_pages();
    add_instance_pages();
    m_view->clear_resize_flag();
    if (keeps_focus != nullptr && keeps_focus->isVisible())
        keeps_focus->setFocus(Qt::OtherFocusReason);
}

// The tabs and the pages that still show what the document holds stay as they are (a page's
// panes follow the document on their own); a page whose shape changed is made anew, and every
// tab is when the instances changed (added, removed, moved, renamed power-up views).
void SEDQ_LAYOUT_WIDGET::refresh_instance_tabs(int hint)
{
    const TAB_LIST tabs = list_instance_tabs();
    if (tabs.instances != m_tab_instances || tabs.identities != m_tab_identities)
    {
        update_instance_tabs();
        return;
    }
    for (int tab = 0; tab < tabs.names.size(); ++tab)
        m_instance_tab_widget->set_tab_text(tab, tabs.names[tab]);
    remake_changed_pages(tabs, hint);
    if (tabs.current_tab != -1)
        select_instance_tab(tabs.current_tab, tabs.powerup);
}

void SEDQ_LAYOUT_WIDGET::remake_changed_pages(const TAB_LIST& tabs, int hint)
{
    QWidget* focused = window()->focusWidget();
    QWidget* keeps_focus = focused == m_view || focused == m_object_widget ? focused : nullptr;
    m_view->set_resize_flag(true);
    for (int tab = 0; tab < int(tabs.instances.size()); ++tab)
    {
        const int instance = tabs.instances[size_t(tab)];
        const auto built = m_page_shapes.constFind(instance);
        if (built == m_page_shapes.constEnd())
            continue;
        const bool powerup = tab == tabs.current_tab && tabs.powerup;
        if (built.value() == shape_of(instance, powerup))
        {
            refresh_kept_page(m_instance_tab_widget->widget(tab), hint);
            continue;
        }
        const QSignalBlocker blocker(m_instance_tab_widget);
        m_page_shapes.remove(instance);
        m_data_setup_tab_widget_map.remove(instance);
        m_hierarchy_widget_map.remove(instance);
        m_page_instances.remove(m_instance_tab_widget->widget(tab));
        m_instance_tab_widget->remake_page(tab);
        build_instance_page(instance);
    }
    m_view->clear_resize_flag();
    if (keeps_focus != nullptr && keeps_focus->isVisible())
        keeps_focus->setFocus(Qt::OtherFocusReason);
}

// A page made now would show its panes as the document has them: a page kept gives its panes
// the refreshes this update does not send them itself.
void SEDQ_LAYOUT_WIDGET::refresh_kept_page(QWidget* page, int hint)
{
    const unsigned sent = static_cast<unsigned>(hint);
    const auto missing = [sent](unsigned bits) { return sedq_hint((bits & ~sent) | SEDQ_UPDATE_REFRESH); };
    for (SEDQ_LOG_WIDGET* pane : page->findChildren<SEDQ_LOG_WIDGET*>())
        if ((sent & SEDQ_UPDATE_LOG) == 0)
            pane->on_update(nullptr, missing(SEDQ_UPDATE_LOG));
    for (SEDQ_HIERARCHY_WIDGET* pane : page->findChildren<SEDQ_HIERARCHY_WIDGET*>())
        if ((sent & SEDQ_UPDATE_HIERARCHY) == 0)
            pane->on_update(nullptr, missing(SEDQ_UPDATE_HIERARCHY));
    for (SEDQ_CONFIG_WIDGET* pane : page->findChildren<SEDQ_CONFIG_WIDGET*>())
        if ((sent & SEDQ_UPDATE_CONFIGURATION) == 0)
            pane->on_update(nullptr, missing(SEDQ_UPDATE_CONFIGURATION));
    if ((sent & SEDQ_UPDATE_NODE_VIEW) != 0)
        return;
    for (SEDQ_DIAGRAM_WIDGET* pane : page->findChildren<SEDQ_DIAGRAM_WIDGET*>())
        pane->on_update(nullptr, missing(SEDQ_UPDATE_NODE_VIEW));
    for (SEDQ_STATE_WIDGET* pane : page->findChildren<SEDQ_STATE_WIDGET*>())
        pane->on_update(nullptr, missing(SEDQ_UPDATE_NODE_VIEW));
    for (SEDQ_RESOURCES_WIDGET* pane : page->findChildren<SEDQ_RESOURCES_WIDGET*>())
        pane->on_update(nullptr, missing(SEDQ_UPDATE_NODE_VIEW));
}

bool SEDQ_LAYOUT_WIDGET::PAGE_SHAPE::operator==(const PAGE_SHAPE& other) const
{
    return instance == other.instance && advanced_levels == other.advanced_levels &&
           state_flow == other.state_flow && powerup_colour == other.powerup_colour;
}

SEDQ_LAYOUT_WIDGET::PAGE_SHAPE SEDQ_LAYOUT_WIDGET::shape_of(int instance, bool powerup_colour)
{
    PAGE_SHAPE shape;
    shape.instance = m_tx_manager->get_instance_at(instance);
    int level_count = 0;
    m_tx_manager->get_trigger_level(&level_count, instance);
    for (int level = SEDQ_PATTERN_SQ_CONDITIONAL; level < level_count; ++level)
        if (m_tx_manager->is_advanced_trigger(level, instance))
            shape.advanced_levels.push_back(level);
    shape.state_flow = !m_tx_manager->is_sequential_mode(instance);
    shape.powerup_colour = powerup_colour;
    return shape;
}

void SEDQ_LAYOUT_WIDGET::remove_instance_pages()
{
    const QSignalBlocker blocker(m_instance_tab_widget);
    m_unbuilt_pages.clear();
    m_page_instances.clear();
    m_page_shapes.clear();
    // Pages built from now on are new pages: the moves made on the old ones are not theirs.
    for (SEDQ_SPLITTER* hub : qAsConst(m_splitter_map))
        hub->forget_moves();
    m_instance_tab_widget->clear();
    m_tab_instances.clear();
}

// The pages go first when the window closes (their containers give back the view and the
// canvas as they die), from the last to the first; the tabs go with the tab widget.
void SEDQ_LAYOUT_WIDGET::release_instance_pages()
{
    m_instance_tab_widget->hide();
    const QSignalBlocker blocker(m_instance_tab_widget);
    m_unbuilt_pages.clear();
    m_page_instances.clear();
    m_page_shapes.clear();
    m_instance_tab_widget->clear();
    m_tab_instances.clear();
}

// One tab per instance; a power-up trigger view shares the tab of its instance, the entry
// before it, which is then selected and painted in the power-up colour.
void SEDQ_LAYOUT_WIDGET::add_instance_pages()
{
    int current_tab = -1;
    bool powerup = false;
    add_instance_tabs(&current_tab, &powerup);
    if (current_tab != -1)
        select_instance_tab(current_tab, powerup);
}

// One tab per instance that is not a power-up view; the current entry's tab, and whether the
// current entry is the power-up view of that tab's instance.
SEDQ_LAYOUT_WIDGET::TAB_LIST SEDQ_LAYOUT_WIDGET::list_instance_tabs()
{
    TAB_LIST tabs;
    const int instance_count = m_tx_manager->get_num_instances();
    const int current = sedq_current_instance(m_tx_manager);
    for (int i = 0; i < instance_count; ++i)
    {
        if (m_tx_manager->is_powerup_trigger(i))
        {
            if (i == current)
            {
                tabs.current_tab = int(tabs.instances.size()) - 1;
                tabs.powerup = true;
            }
            continue;
        }
        if (i == current)
            tabs.current_tab = int(tabs.instances.size());
        tabs.instances.push_back(i);
        tabs.identities.push_back(m_tx_manager->get_instance_at(i));
        tabs.names.append(m_tx_manager->get_instance_name_text(i));
    }
    return tabs;
}

// The tabs come with their names; a page is made when it is first shown or asked for, and
// built with it while the document has few instances.
void SEDQ_LAYOUT_WIDGET::add_instance_tabs(int* current_tab, bool* powerup)
{
    TAB_LIST tabs = list_instance_tabs();
    *current_tab = tabs.current_tab;
    *powerup = tabs.powerup;
    m_tab_instances = std::move(tabs.instances);
    m_tab_identities = std::move(tabs.identities);
    const QSignalBlocker blocker(m_instance_tab_widget);
    m_instance_tab_widget->set_tabs(tabs.names,
                                    [this](int tab) { return make_instance_page(m_tab_instances[size_t(tab)]); });
    const int instance_count = m_tx_manager->get_num_instances();
    if (instance_count <= PAGES_BUILT_WITH_THEIR_TABS)
        for (int instance : m_tab_instances)
            build_instance_page(instance);
    SEDQ_VERIFY(instance_count == 0 || *current_tab != -1);
}

int SEDQ_LAYOUT_WIDGET::tab_of_instance(int instance) const
{
    const auto found = std::lower_bound(m_tab_instances.begin(), m_tab_instances.end(), instance);
    return found != m_tab_instances.end() && *found == instance ? int(found - m_tab_instances.begin()) : -1;
}

void SEDQ_LAYOUT_WIDGET::select_instance_tab(int tab, bool powerup)
{
    const QSignalBlocker blocker(m_instance_tab_widget);
    build_instance_page_at(tab);
    m_instance_tab_widget->setCurrentIndex(tab);
    mark_instance_tab(tab);
    if (!powerup)
        return;
    QWidget* page = m_instance_tab_widget->widget(tab);
    page->setPalette(sedq_get_palette(QPalette::Window, SEDQ_POWERUP_BRUSH.color()));
    const auto shape = m_page_shapes.find(instance_of_page(page));
    if (shape != m_page_shapes.end())
        shape->powerup_colour = true;
}

// The current instance's tab shows the other icon.
void SEDQ_LAYOUT_WIDGET::mark_instance_tab(int current)
{
    m_instance_tab_widget->set_marked_tab(current);
}

// Splitter 511: the Data/Setup pages above, hierarchy and data log below; the page stays
// empty until build_instance_page().
QWidget* SEDQ_LAYOUT_WIDGET::make_instance_page(int instance)
{
    SEDQ_SPLITTER* splitter = make_page_splitter(&m_splitter_map, INSTANCE_SPLITTER, Qt::Vertical, nullptr);
    splitter->setContentsMargins(1, 2, 2, 2);
    splitter->setProperty("instance index", instance);
    m_page_instances.insert(splitter, instance);
    connect(splitter, &QSplitter::splitterMoved, this, &SEDQ_LAYOUT_WIDGET::on_instance_splitter_moved);
    m_unbuilt_pages.insert(instance, splitter);
    return splitter;
}

// Fills the page of `instance` (made now when it was not) when it is still empty; any other
// instance is left alone.
void SEDQ_LAYOUT_WIDGET::build_instance_page(int instance)
{
    m_instance_tab_widget->widget(tab_of_instance(instance));
    SEDQ_SPLITTER* splitter = m_unbuilt_pages.take(instance);
    if (splitter == nullptr)
        return;
    splitter->addWidget(make_data_setup_part(instance));
    splitter->addWidget(make_hierarchy_log_part(instance));
    splitter->setStretchFactor(0, 1);
    splitter->set_last_pane_size(m_tx_manager->get_int_state("hierarchy widget height", -1));
    m_page_shapes.insert(instance, shape_of(instance, false));
}

void SEDQ_LAYOUT_WIDGET::build_instance_page_at(int tab)
{
    if (QWidget* page = m_instance_tab_widget->widget(tab))
        build_instance_page(instance_of_page(page));
}

QWidget* SEDQ_LAYOUT_WIDGET::make_data_setup_part(int instance)
{
    auto* part = new QWidget;
    auto* layout = new QVBoxLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* holder = new QWidget(part);
    auto* holder_layout = new QVBoxLayout(holder);
    holder_layout->setContentsMargins(4, 3, 4, 0);
    holder_layout->addWidget(make_data_setup_tabs(instance));
    layout->addWidget(holder);
    auto* line = new SEDQ_LINE_WIDGET(part);
    line->setLineWidth(1);
    line->setMidLineWidth(0);
    layout->addWidget(line);
    return part;
}

// Data, Setup, the advanced trigger levels and the state-based flow, in this order: the tab
// index is the document's view mode. The stored page is preselected silently.
QTabWidget* SEDQ_LAYOUT_WIDGET::make_data_setup_tabs(int instance)
{
    auto* tabs = new QTabWidget;
    tabs->setTabPosition(QTabWidget::South);
    m_data_setup_tab_widget_map.insert(instance, tabs);
    tabs->addTab(make_data_page(), host_icon(AFCQ_ICON_DATA_PAGE), tr("Data"));
    tabs->addTab(make_setup_page(tabs, instance), host_icon(AFCQ_ICON_SETUP_PAGE), tr("Setup"));
    add_advanced_pages(tabs, instance);
    if (!m_tx_manager->is_sequential_mode(instance))
        add_state_flow_page(tabs, instance);
    {
        const QSignalBlocker blocker(tabs);
        tabs->setCurrentIndex(m_tx_manager->get_int_state(instance, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE));
    }
    connect(tabs, &QTabWidget::currentChanged, this, &SEDQ_LAYOUT_WIDGET::on_sel_change_data_setup_tab);
    return tabs;
}

QWidget* SEDQ_LAYOUT_WIDGET::make_data_page()
{
    auto* container = new SEDQ_CONTAINER_WIDGET(nullptr, m_view);
    container->setContentsMargins(2, 2, 3, 3);
    return container;
}

// Splitter 711: the node list beside the signal configuration pane.
QWidget* SEDQ_LAYOUT_WIDGET::make_setup_page(QTabWidget* tabs, int instance)
{
    SEDQ_SPLITTER* splitter = make_page_splitter(&m_splitter_map, SETUP_SPLITTER, Qt::Horizontal, nullptr);
    splitter->setContentsMargins(1, 1, 2, 2);
    splitter->addWidget(new SEDQ_CONTAINER_WIDGET(splitter, m_view));
    auto* config = new SEDQ_CONFIG_WIDGET(splitter, instance, m_frame);
    config->resize(SIDE_PANE_WIDTH, config->height());
    splitter->addWidget(config);
    splitter->setStretchFactor(0, 1);
    hide_if_toggle_unchecked(config, AFCQ_SEDQ_CONFIG_PANE_ACTION);
    connect(tabs, &QTabWidget::destroyed, splitter, &QObject::deleteLater);
    return splitter;
}

void SEDQ_LAYOUT_WIDGET::add_advanced_pages(QTabWidget* tabs, int instance)
{
    int level_count = 0;
    m_tx_manager->get_trigger_level(&level_count, instance);
    for (int level = SEDQ_PATTERN_SQ_CONDITIONAL; level < level_count; ++level)
    {
        if (!m_tx_manager->is_advanced_trigger(level, instance))
            continue;
        QWidget* page = make_advanced_page(tabs, level);
        const QSignalBlocker blocker(tabs);
        tabs->addTab(page, host_icon(AFCQ_ICON_ADVANCED_TRIGGER_PAGE), advanced_tab_title(level));
    }
}

// Splitter 1351: node list over the object library (splitter 1590), beside the canvas.
QWidget* SEDQ_LAYOUT_WIDGET::make_advanced_page(QTabWidget* tabs, int level)
{
    SEDQ_SPLITTER* splitter = make_page_splitter(&m_splitter_map, ADVANCED_SPLITTER, Qt::Horizontal, nullptr);
    splitter->setContentsMargins(1, 1, 2, 2);
    splitter->setProperty("trigger level", level);
    SEDQ_SPLITTER* nodes =
        make_page_splitter(&m_splitter_map, ADVANCED_NODE_SPLITTER, Qt::Vertical, splitter);
    nodes->addWidget(new SEDQ_CONTAINER_WIDGET(nodes, m_view));
    nodes->addWidget(new SEDQ_OPERATOR_WIDGET(nodes));
    nodes->setStretchFactor(1, 1);
    nodes->set_first_pane_size(
        m_tx_manager->get_int_state("advanced trigger node widget height", SEDQ_SPLITTER::FIRST_PANE_HALF));
    nodes->resize(m_tx_manager->get_int_state("advanced trigger node widget width", 258), nodes->height());
    splitter->addWidget(nodes);
    m_object_widget->on_update(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_TRIGGER_CANVAS));
    splitter->addWidget(new SEDQ_CONTAINER_WIDGET(splitter, m_object_widget));
    splitter->setStretchFactor(1, 1);
    connect(splitter, &QSplitter::splitterMoved, this,
            &SEDQ_LAYOUT_WIDGET::on_advanced_trigger_horizontal_splitter_moved);
    connect(nodes, &QSplitter::splitterMoved, this,
            &SEDQ_LAYOUT_WIDGET::on_advanced_trigger_vertical_splitter_moved);
    connect(tabs, &QTabWidget::destroyed, splitter, &QObject::deleteLater);
    return splitter;
}

// Splitter 1419: state diagram, state text and resources, the side panes 354 pixels wide.
void SEDQ_LAYOUT_WIDGET::add_state_flow_page(QTabWidget* tabs, int instance)
{
    SEDQ_SPLITTER* splitter =
        make_page_splitter(&m_splitter_map, STATE_FLOW_SPLITTER, Qt::Horizontal, nullptr);
    splitter->setContentsMargins(1, 1, 2, 2);
    SEDQ_DIAGRAM_WIDGET* diagram = add_diagram_widget(splitter, instance);
    diagram->resize(SIDE_PANE_WIDTH, diagram->height());
    splitter->addWidget(diagram);
    splitter->addWidget(add_state_widget(splitter, instance));
    SEDQ_RESOURCES_WIDGET* resources = add_resources_widget(splitter, instance);
    resources->resize(SIDE_PANE_WIDTH, resources->height());
    splitter->addWidget(resources);
    splitter->setStretchFactor(1, 1);
    {
        const QSignalBlocker blocker(tabs);
        tabs->addTab(splitter, host_icon(AFCQ_ICON_STATE_FLOW_PAGE),
                     QString::fromLatin1(SEDQ_STATE_FLOW_TAB_TITLE));
    }
    connect(tabs, &QTabWidget::destroyed, splitter, &QObject::deleteLater);
}

// Splitter 783: the hierarchy pane beside the data log pane, sized from the document.
QWidget* SEDQ_LAYOUT_WIDGET::make_hierarchy_log_part(int instance)
{
    SEDQ_SPLITTER* splitter =
        make_page_splitter(&m_splitter_map, HIERARCHY_LOG_SPLITTER, Qt::Horizontal, nullptr);
    auto* hierarchy = new SEDQ_HIERARCHY_WIDGET(splitter, instance, m_frame);
    auto* log = new SEDQ_LOG_WIDGET(splitter, instance, m_frame);
    splitter->addWidget(hierarchy);
    splitter->addWidget(log);
    splitter->setStretchFactor(1, 1);
    hierarchy->installEventFilter(this);
    log->installEventFilter(this);
    m_hierarchy_widget_map.insert(instance, hierarchy);
    const int width = m_tx_manager->get_int_state("hierarchy widget width", -1);
    if (width != -1)
        hierarchy->resize(width, hierarchy->height());
    hide_if_toggle_unchecked(hierarchy, AFCQ_SEDQ_HIERARCHY_PANE_ACTION);
    hide_if_toggle_unchecked(log, AFCQ_SEDQ_LOG_PANE_ACTION);
    connect(splitter, &QSplitter::splitterMoved, this, &SEDQ_LAYOUT_WIDGET::on_hierarchy_log_splitter_moved);
    return splitter;
}

void SEDQ_LAYOUT_WIDGET::hide_if_toggle_unchecked(QWidget* pane, int action_id)
{
    if (!m_tx_manager->get_action(AFCQ_ACTION_ENUM(action_id), QVariant())->isChecked())
        pane->hide();
}

// SEDQ_VIEW: construction (scroll bars, combos, buttons, column menus, focus-routed host
// actions), the routing of host actions to the view's slots while it has the focus.
#include "sedq/view/sedq_view.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_edit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QMenu>
#include <QRubberBand>
#include <QScrollBar>
#include <QToolButton>

namespace
{
const int DEFAULT_COLUMN_WIDTHS[SEDQ_VIEW::STORED_COLUMN_COUNT] = {
    34, 34, 220, 74, 68, 78, 95, 96, 98, 98, 88, 88, 110, 101, 101, 101, 101, 101, 101, 101, 101, 107, 78};

const char* const LEVEL_TYPE_TEXTS[] = {"Basic AND", "Basic OR", "Comparison", "Advanced"};

constexpr int SEPARATOR = -1;

// A focus-routed slot belongs to the view or, for a few commands, to its model.
template <typename RECEIVER> RECEIVER* receiver_of(SEDQ_VIEW* view, SEDQ_TX_MANAGER* model)
{
    if constexpr (std::is_same_v<RECEIVER, SEDQ_VIEW>)
        return view;
    else
        return model;
}

// A slot without arguments hears the action's `triggered`.
template <typename RECEIVER> SEDQ_CONNECTION::ROUTE route_to(void (RECEIVER::*slot)())
{
    return [slot](QAction* action, SEDQ_VIEW* view, SEDQ_TX_MANAGER* model, bool connect)
    {
        RECEIVER* receiver = receiver_of<RECEIVER>(view, model);
        if (connect)
            QObject::connect(action, &QAction::triggered, receiver, slot);
        else
            QObject::disconnect(action, &QAction::triggered, receiver, slot);
        return QList<QAction*>{action};
    };
}

// A slot taking the triggering action hears the group the action belongs to.
template <typename RECEIVER> SEDQ_CONNECTION::ROUTE route_to(void (RECEIVER::*slot)(QAction*))
{
    return [slot](QAction* action, SEDQ_VIEW* view, SEDQ_TX_MANAGER* model, bool connect)
    {
        QActionGroup* group = action->actionGroup();
        if (!SEDQ_VERIFY(group != NULL))
            return QList<QAction*>();
        RECEIVER* receiver = receiver_of<RECEIVER>(view, model);
        if (connect)
            QObject::connect(group, &QActionGroup::triggered, receiver, slot);
        else
            QObject::disconnect(group, &QActionGroup::triggered, receiver, slot);
        return group->actions();
    };
}

// The slot's signature text and its checked route are made from the same tokens, so the
// two cannot disagree; qOverload checks the argument list against the slot.
#define FOCUS_SLOT(id, receiver, slot, ...)                                                                  \
    SEDQ_CONNECTION                                                                                          \
    {                                                                                                        \
        AFCQ_ACTION_ENUM(id), "1" #slot "(" #__VA_ARGS__ ")",                                                \
            route_to(qOverload<__VA_ARGS__>(&receiver::slot))                                                \
    }

// The host actions routed to view slots while the view has the focus, in routing order.
const SEDQ_CONNECTION FOCUS_CONNECTIONS[] = {
    FOCUS_SLOT(AFCQ_EDIT_SELECT_ALL_ACTION, SEDQ_VIEW, on_edit_select_all, ),
    FOCUS_SLOT(AFCQ_EDIT_FIND_ACTION, SEDQ_VIEW, on_edit_find, ),
    FOCUS_SLOT(AFCQ_EDIT_FIND_NEXT_ACTION, SEDQ_VIEW, on_edit_find_next, ),
    FOCUS_SLOT(AFCQ_SEDQ_FIND_BUS_VALUE_ACTION, SEDQ_VIEW, on_find_bus_value, ),
    FOCUS_SLOT(AFCQ_SEDQ_FIND_NEXT_BUS_VALUE_ACTION, SEDQ_VIEW, on_find_next_bus_value, ),
    FOCUS_SLOT(AFCQ_SEDQ_FIND_PREVIOUS_BUS_VALUE_ACTION, SEDQ_VIEW, on_find_previous_bus_value, ),
    FOCUS_SLOT(AFCQ_SEDQ_INSERT_NODES_ACTION, SEDQ_TX_MANAGER, on_node_insert, ),
    FOCUS_SLOT(AFCQ_SEDQ_PLUGIN_OPTIONS_ACTION, SEDQ_VIEW, on_plugin_options, ),
    FOCUS_SLOT(AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, SEDQ_VIEW, on_node_add_state_machine, ),
    FOCUS_SLOT(AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION, SEDQ_VIEW, on_node_recreate_state_machine_mnemonics, ),
    FOCUS_SLOT(AFCQ_SEDQ_GROUP_ACTION, SEDQ_VIEW, on_node_group, ),
    FOCUS_SLOT(AFCQ_SEDQ_UNGROUP_ACTION, SEDQ_VIEW, on_node_ungroup, ),
    FOCUS_SLOT(AFCQ_SEDQ_UNGROUP_NESTED_ACTION, SEDQ_VIEW, on_node_ungroup_nested_groups, ),
    FOCUS_SLOT(AFCQ_SEDQ_RENAME_NODE_ACTION, SEDQ_VIEW, on_node_rename, ),
    FOCUS_SLOT(AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION, SEDQ_VIEW, on_mnemonic_table_setup, ),
    FOCUS_SLOT(AFCQ_SEDQ_CREATE_LIST_FILE_ACTION, SEDQ_VIEW, show_list_view, ),
    FOCUS_SLOT(AFCQ_SEDQ_INVERT_SIGNAL_ACTION, SEDQ_VIEW, on_invert_signal, ),
    FOCUS_SLOT(AFCQ_SEDQ_ALIGN_LEFT_ACTION, SEDQ_VIEW, on_view_align_left, ),
    FOCUS_SLOT(AFCQ_SEDQ_ALIGN_RIGHT_ACTION, SEDQ_VIEW, on_view_align_right, ),
    FOCUS_SLOT(AFCQ_SEDQ_PRE_SYNTHESIS_ACTION, SEDQ_VIEW, on_change_node_pre_syn, ),
    FOCUS_SLOT(AFCQ_SEDQ_POST_FITTING_ACTION, SEDQ_VIEW, on_change_node_post_fit, ),
    FOCUS_SLOT(AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, SEDQ_VIEW, on_bus_order, QAction*),
    FOCUS_SLOT(AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION, SEDQ_VIEW, on_bus_display_format, QAction*),
    FOCUS_SLOT(AFCQ_SEDQ_SET_ALIAS_ACTION, SEDQ_VIEW, on_node_set_alias, ),
    FOCUS_SLOT(AFCQ_SEDQ_PASTE_ALIAS_ACTION, SEDQ_VIEW, on_node_paste_alias, ),
    FOCUS_SLOT(AFCQ_SEDQ_REMOVE_ALIAS_ACTION, SEDQ_VIEW, on_node_remove_alias, ),
    FOCUS_SLOT(AFCQ_SEDQ_DATA_ENABLE_ACTION, SEDQ_VIEW, on_data_enable, ),
    FOCUS_SLOT(AFCQ_SEDQ_DATA_DISABLE_ACTION, SEDQ_VIEW, on_data_disable, ),
    FOCUS_SLOT(AFCQ_SEDQ_TRIGGER_ENABLE_ACTION, SEDQ_VIEW, on_trigger_enable, ),
    FOCUS_SLOT(AFCQ_SEDQ_TRIGGER_DISABLE_ACTION, SEDQ_VIEW, on_trigger_disable, ),
    FOCUS_SLOT(AFCQ_SEDQ_STORAGE_ENABLE_ACTION, SEDQ_VIEW, on_storage_enable, ),
    FOCUS_SLOT(AFCQ_SEDQ_STORAGE_DISABLE_ACTION, SEDQ_VIEW, on_storage_disable, ),
    FOCUS_SLOT(AFCQ_SEDQ_TRANSITION_ENABLE_ACTION, SEDQ_VIEW, on_transition_enable, ),
    FOCUS_SLOT(AFCQ_SEDQ_TRANSITION_DISABLE_ACTION, SEDQ_VIEW, on_transition_disable, ),
    FOCUS_SLOT(AFCQ_SEDQ_TRIGGER_CONDITION_ACTION, SEDQ_VIEW, on_trigger_condition, QAction*),
    FOCUS_SLOT(AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION, SEDQ_VIEW, on_insert_trigger_value, ),
    FOCUS_SLOT(AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION, SEDQ_VIEW, on_trigger_condition, QAction*),
    FOCUS_SLOT(AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION, SEDQ_VIEW, on_comparison_trigger, ),
    FOCUS_SLOT(AFCQ_SEDQ_INSERT_TIME_BAR_ACTION, SEDQ_VIEW, on_insert_time_bar, ),
    FOCUS_SLOT(AFCQ_SEDQ_DELETE_TIME_BAR_ACTION, SEDQ_VIEW, on_delete_time_bar, ),
    FOCUS_SLOT(AFCQ_SEDQ_DELETE_ALL_TIME_BARS_ACTION, SEDQ_VIEW, on_delete_all_time_bars, ),
    FOCUS_SLOT(AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ACTION, SEDQ_VIEW, on_insert_master_time_bar, ),
    FOCUS_SLOT(AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ALT_ACTION, SEDQ_VIEW, on_insert_master_time_bar, ),
    FOCUS_SLOT(AFCQ_SEDQ_MOVE_MASTER_TIME_BAR_ACTION, SEDQ_VIEW, on_move_master_time_bar, ),
    FOCUS_SLOT(AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION, SEDQ_VIEW, on_sample_numbers, ),
    FOCUS_SLOT(AFCQ_SEDQ_TIME_UNITS_ACTION, SEDQ_VIEW, on_time_units, ),
    FOCUS_SLOT(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, SEDQ_VIEW, on_fit_in_window, ),
    FOCUS_SLOT(AFCQ_SEDQ_ZOOM_IN_ACTION, SEDQ_VIEW, on_zoom_in, ),
    FOCUS_SLOT(AFCQ_SEDQ_ZOOM_OUT_ACTION, SEDQ_VIEW, on_zoom_out, ),
    FOCUS_SLOT(AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION, SEDQ_VIEW, on_center_on_trigger, ),
    FOCUS_SLOT(AFCQ_SEDQ_NEXT_TRANSITION_ACTION, SEDQ_VIEW, on_next_transition, ),
    FOCUS_SLOT(AFCQ_SEDQ_PREVIOUS_TRANSITION_ACTION, SEDQ_VIEW, on_previous_transition, ),
};

} // namespace

SEDQ_VIEW::SEDQ_VIEW(QWidget* parent, SEDQ_TX_MANAGER* tx)
    : QWidget(parent), m_tx_manager(tx), m_frame_wnd(SEDQ_FRAME_WND::of(tx)),
      m_time_unit_text(QStringLiteral("ns"))
{
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
    // The panes around the view size it; its scroll bars and header margin ask for no room.
    setMinimumSize(1, 1);
    std::copy(DEFAULT_COLUMN_WIDTHS, DEFAULT_COLUMN_WIDTHS + STORED_COLUMN_COUNT, m_column_widths);
    m_rubber_band = new QRubberBand(QRubberBand::Rectangle, this);
    m_rubber_band->hide();
    make_scroll_bars();
    reset_fudge_factor(false);
    if (m_frame_wnd != nullptr)
        m_ntfq_handler.set_sedq_view(this);
    if (!m_tx_manager->is_wizard_mode())
        on_settings_changed();
    reset_timebars();
    if (!m_tx_manager->is_empty())
        m_tx_manager->select_node_range(0, m_tx_manager->get_node_count(SEDQ_CURRENT) - 1, false);
    if (load_column_widths())
        m_widths_not_loaded = false;
    make_lock_mode_combo();
    if (m_frame_wnd != nullptr)
    {
        make_level_type_combos();
        make_transition_buttons();
    }
    setMouseTracking(true);
    if (m_frame_wnd == nullptr)
        return;
    make_column_menus();
    setContextMenuPolicy(Qt::DefaultContextMenu);
    connect_focus_actions();
}

// Menus, groups and widgets are Qt children; connections of the host actions end with the view.
// An open in-cell editor goes first, while the view it unregisters from is still whole.
SEDQ_VIEW::~SEDQ_VIEW()
{
    delete m_edit;
    delete m_comparison_edit;
}

std::string SEDQ_VIEW::get_help_prefix() const
{
    return "SEDQ";
}

void SEDQ_VIEW::recreate_tooltip() {}

QComboBox* SEDQ_VIEW::get_level_type_combo(int index) const
{
    return index >= 0 && index < 13 ? m_level_type_combos[index] : nullptr;
}

// ---- construction ------------------------------------------------------------------------------

void SEDQ_VIEW::make_scroll_bars()
{
    m_horizontal_scroll_bar = new QScrollBar(Qt::Horizontal, this);
    m_vertical_scroll_bar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_horizontal_scroll_bar, m_vertical_scroll_bar})
    {
        bar->setTracking(true);
        bar->setCursor(Qt::ArrowCursor);
        connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&SEDQ_VIEW::update));
    }
    connect(m_horizontal_scroll_bar, &QScrollBar::valueChanged, this,
            &SEDQ_VIEW::update_advanced_trigger_combo_positions);
    m_corner_widget = new QWidget(this);
    m_corner_widget->setAutoFillBackground(true);
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(0, 25, 0, 0);
    m_layout->setSpacing(0);
    m_layout->setRowStretch(0, 1);
    m_layout->setColumnStretch(0, 1);
    m_layout->addWidget(m_vertical_scroll_bar, 0, 1);
    m_layout->addWidget(m_horizontal_scroll_bar, 1, 0);
    m_layout->addWidget(m_corner_widget, 1, 1);
    m_horizontal_scroll_bar->hide();
    m_vertical_scroll_bar->hide();
}

void SEDQ_VIEW::make_lock_mode_combo()
{
    m_lock_mode_combo = new QComboBox(this);
    if (m_frame_wnd == nullptr)
    {
        m_lock_mode_combo->hide();
        return;
    }
    m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_UNLOCKED), SEDQ_LOCK_MODE_ALLOW_ALL_STRING);
    m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_LOCKED), SEDQ_LOCK_MODE_ALLOW_INCREMENTAL_STRING);
    m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_LOCKED), SEDQ_LOCK_MODE_ALLOW_TRIGGER_STRING);
    m_lock_mode_combo->setCurrentIndex(int(m_tx_manager->get_lock_mode(false)));
    m_lock_mode_combo->show();
    connect(m_lock_mode_combo, sedq_combo_text_changed(), m_tx_manager,
            qOverload<const QString&>(&SEDQ_TX_MANAGER::set_lock_mode));
}

void SEDQ_VIEW::make_level_type_combos()
{
    for (int index = 0; index < 13; ++index)
    {
        auto* combo = new QComboBox(this);
        for (const char* text : LEVEL_TYPE_TEXTS)
            combo->addItem(QString::fromLatin1(text));
        // Narrow level columns: a small font and a slim arrow leave the type's name room.
        combo->setFont(AFCQ_FONT(AFCQ_FONT_SAMPLE_NUMBER).get_font());
        combo->setStyleSheet(QStringLiteral("QComboBox { padding: 0px 0px 0px 3px; } "
                                            "QComboBox::drop-down { width: 12px; }"));
        combo->setProperty("trigger level", index);
        combo->hide();
        connect(combo, sedq_combo_text_changed(), this, &SEDQ_VIEW::on_sel_change_advanced_trigger_combo);
        m_level_type_combos[index] = combo;
    }
}

void SEDQ_VIEW::make_transition_buttons()
{
    m_previous_transition_button = new QToolButton(this);
    m_next_transition_button = new QToolButton(this);
    m_previous_transition_button->setIcon(afcq_get_icon(AFCQ_ICON_GO_PREVIOUS));
    m_next_transition_button->setIcon(afcq_get_icon(AFCQ_ICON_GO_NEXT));
    for (QToolButton* button : {m_previous_transition_button, m_next_transition_button})
    {
        button->resize(22, 22);
        button->hide();
    }
    connect(m_previous_transition_button, &QToolButton::clicked, this, &SEDQ_VIEW::on_previous_transition);
    connect(m_next_transition_button, &QToolButton::clicked, this, &SEDQ_VIEW::on_next_transition);
}

// A menu of host actions (SEPARATOR for a separator) refreshed by `about_to_show`.
QMenu* SEDQ_VIEW::make_menu(std::initializer_list<int> ids, void (SEDQ_VIEW::*about_to_show)())
{
    auto* menu = new QMenu(this);
    for (int id : ids)
    {
        if (id == SEPARATOR)
            menu->addSeparator();
        else
            menu->addAction(m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant()));
    }
    connect(menu, &QMenu::aboutToShow, this, about_to_show);
    return menu;
}

// The actions join a new group of the view's and the menu together.
void SEDQ_VIEW::add_action_group(QMenu* menu, std::initializer_list<int> ids)
{
    auto* group = new QActionGroup(this);
    for (int id : ids)
    {
        QAction* action = m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant());
        group->addAction(action);
        menu->addAction(action);
    }
}

QMenu* SEDQ_VIEW::make_name_menu()
{
    QMenu* menu =
        make_menu({AFCQ_EDIT_DELETE_ACTION, AFCQ_EDIT_SELECT_ALL_ACTION, SEPARATOR, AFCQ_EDIT_FIND_ACTION,
                   AFCQ_EDIT_FIND_NEXT_ACTION, SEPARATOR, AFCQ_SEDQ_FIND_BUS_VALUE_ACTION,
                   AFCQ_SEDQ_FIND_NEXT_BUS_VALUE_ACTION, AFCQ_SEDQ_FIND_PREVIOUS_BUS_VALUE_ACTION, SEPARATOR},
                  &SEDQ_VIEW::on_update_name_menu);
    QMenu* plugins = m_frame_wnd->get_plugin_menu();
    menu->addMenu(plugins);
    connect(plugins, &QMenu::aboutToShow, this, &SEDQ_VIEW::on_update_plugin_menu);
    for (int id : std::initializer_list<int>{AFCQ_SEDQ_INSERT_NODES_ACTION, AFCQ_SEDQ_PLUGIN_OPTIONS_ACTION,
                                             SEPARATOR, AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION,
                                             AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION, SEPARATOR})
        id == SEPARATOR ? (void)menu->addSeparator()
                        : menu->addAction(m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant()));
    AFCQ_LOCATE_MENU* locate = m_frame_wnd->get_locate_menu();
    menu->addMenu(locate);
    connect(locate, &AFCQ_LOCATE_MENU::aboutToShow, this, &SEDQ_VIEW::on_update_locate);
    connect(locate, &AFCQ_LOCATE_MENU::locate_triggered, this, &SEDQ_VIEW::on_locate);
    connect(locate->get_design_file_action(), &QAction::triggered, this, &SEDQ_VIEW::on_locate_design_file);
    menu->addSeparator();
    for (int id : std::initializer_list<int>{
             AFCQ_SEDQ_GROUP_ACTION, AFCQ_SEDQ_UNGROUP_ACTION, AFCQ_SEDQ_UNGROUP_NESTED_ACTION,
             AFCQ_SEDQ_RENAME_NODE_ACTION, SEPARATOR, AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION, SEPARATOR,
             AFCQ_SEDQ_CREATE_LIST_FILE_ACTION, SEPARATOR, AFCQ_SEDQ_INVERT_SIGNAL_ACTION, SEPARATOR})
        id == SEPARATOR ? (void)menu->addSeparator()
                        : menu->addAction(m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant()));
    add_action_group(menu, {AFCQ_SEDQ_ALIGN_LEFT_ACTION, AFCQ_SEDQ_ALIGN_RIGHT_ACTION});
    menu->addSeparator();
    add_action_group(menu, {AFCQ_SEDQ_PRE_SYNTHESIS_ACTION, AFCQ_SEDQ_POST_FITTING_ACTION});
    menu->addSeparator();
    add_action_group(menu, {AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION});
    menu->addSeparator();
    QMenu* sub_menu = m_frame_wnd->get_bus_display_format_menu();
    if (SEDQ_VERIFY(sub_menu != NULL))
    {
        menu->addMenu(sub_menu);
        connect(sub_menu, &QMenu::aboutToShow, this, &SEDQ_VIEW::on_update_bus_display_format_menu);
    }
    return menu;
}

// Shared by the storage-qualifier and trigger-level cells: group patterns, the comparison,
// node conditions and the trigger value; mnemonic entries are appended when it shows.
void SEDQ_VIEW::make_trigger_condition_menu()
{
    auto* menu = new QMenu(this);
    const auto add_group = [this, menu](std::initializer_list<std::pair<int, int>> entries)
    {
        auto* group = new QActionGroup(this);
        for (const auto& entry : entries)
        {
            if (entry.first == SEPARATOR)
            {
                menu->addSeparator();
                continue;
            }
            QAction* action = m_tx_manager->get_action(AFCQ_ACTION_ENUM(entry.first), QVariant());
            action->setData(entry.second);
            action->setCheckable(true);
            group->addAction(action);
            menu->addAction(action);
        }
        return group;
    };
    add_group({{AFCQ_SEDQ_PATTERN_CONDITION_ACTION, 9},
               {SEPARATOR, 0},
               {AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION, 10},
               {AFCQ_SEDQ_NOT_VALUE_CONDITION_ACTION, 11},
               {AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION, 12},
               {AFCQ_SEDQ_ANY_BIT_FALLING_CONDITION_ACTION, 13},
               {AFCQ_SEDQ_ANY_BIT_EITHER_EDGE_CONDITION_ACTION, 14},
               {AFCQ_SEDQ_ANY_BIT_HIGH_CONDITION_ACTION, 15},
               {AFCQ_SEDQ_ANY_BIT_LOW_CONDITION_ACTION, 16},
               {AFCQ_SEDQ_ANY_BIT_CHANGED_CONDITION_ACTION, 17}});
    menu->addSeparator();
    add_group({{AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION, 0}});
    menu->addSeparator();
    QActionGroup* nodes = add_group({{AFCQ_SEDQ_TRIGGER_CONDITION_ACTION, SDR_CTYPE_DONT_CARE},
                                     {AFCQ_SEDQ_LOW_CONDITION_ACTION, SDR_CTYPE_LOW},
                                     {AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION, SDR_CTYPE_FALLING},
                                     {AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION, SDR_CTYPE_RISING},
                                     {AFCQ_SEDQ_HIGH_CONDITION_ACTION, SDR_CTYPE_HIGH},
                                     {AFCQ_SEDQ_EITHER_EDGE_CONDITION_ACTION, SDR_CTYPE_EITHER_EDGE}});
    const AFCQ_ICON_ENUM icons[] = {AFCQ_ICON_DONT_CARE,   AFCQ_ICON_LOW,  AFCQ_ICON_FALLING_EDGE,
                                    AFCQ_ICON_RISING_EDGE, AFCQ_ICON_HIGH, AFCQ_ICON_EITHER_EDGE};
    for (int i = 0; i < nodes->actions().size(); ++i)
        nodes->actions()[i]->setIcon(afcq_get_icon(icons[i]));
    menu->addSeparator();
    menu->addAction(m_tx_manager->get_action(AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION, QVariant()));
    m_trigger_condition_action_count = menu->actions().size();
    connect(menu, &QMenu::aboutToShow, this, &SEDQ_VIEW::on_update_trigger_condition_menu);
    m_trigger_condition_menu = menu;
}

void SEDQ_VIEW::make_column_menus()
{
    m_column_menus.insert(SEDQ_COLUMN_NAME, make_name_menu());
    m_column_menus.insert(
        SEDQ_COLUMN_ALIAS,
        make_menu({AFCQ_SEDQ_SET_ALIAS_ACTION, AFCQ_SEDQ_PASTE_ALIAS_ACTION, AFCQ_SEDQ_REMOVE_ALIAS_ACTION},
                  &SEDQ_VIEW::on_update_alias_menu));
    m_column_menus.insert(SEDQ_COLUMN_DATA_ENABLE,
                          make_menu({AFCQ_SEDQ_DATA_ENABLE_ACTION, AFCQ_SEDQ_DATA_DISABLE_ACTION},
                                    &SEDQ_VIEW::on_update_data_menu));
    m_column_menus.insert(SEDQ_COLUMN_TRIGGER_ENABLE,
                          make_menu({AFCQ_SEDQ_TRIGGER_ENABLE_ACTION, AFCQ_SEDQ_TRIGGER_DISABLE_ACTION},
                                    &SEDQ_VIEW::on_update_trigger_menu));
    m_column_menus.insert(SEDQ_COLUMN_STORAGE_ENABLE,
                          make_menu({AFCQ_SEDQ_STORAGE_ENABLE_ACTION, AFCQ_SEDQ_STORAGE_DISABLE_ACTION},
                                    &SEDQ_VIEW::on_update_storage_menu));
    m_column_menus.insert(SEDQ_COLUMN_TRANSITIONAL,
                          make_menu({AFCQ_SEDQ_TRANSITION_ENABLE_ACTION, AFCQ_SEDQ_TRANSITION_DISABLE_ACTION},
                                    &SEDQ_VIEW::on_update_transition_menu));
    make_trigger_condition_menu();
    for (int column = SEDQ_COLUMN_SQ_CONDITIONAL; column <= SEDQ_COLUMN_LAST_LEVEL; ++column)
        m_column_menus.insert(column, m_trigger_condition_menu);
    m_column_menus.insert(
        SEDQ_COLUMN_WAVEFORM,
        make_menu({AFCQ_SEDQ_INSERT_TIME_BAR_ACTION, AFCQ_SEDQ_DELETE_TIME_BAR_ACTION,
                   AFCQ_SEDQ_DELETE_ALL_TIME_BARS_ACTION, SEPARATOR, AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ACTION,
                   AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ALT_ACTION, AFCQ_SEDQ_MOVE_MASTER_TIME_BAR_ACTION,
                   SEPARATOR, AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION, AFCQ_SEDQ_TIME_UNITS_ACTION, SEPARATOR,
                   AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, AFCQ_SEDQ_ZOOM_IN_ACTION, AFCQ_SEDQ_ZOOM_OUT_ACTION,
                   AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION},
                  &SEDQ_VIEW::on_update_waveform_menu));
}

void SEDQ_VIEW::connect_focus_actions()
{
    for (const SEDQ_CONNECTION& pair : FOCUS_CONNECTIONS)
        connect_action_when_focused(pair);
    connect_action(FOCUS_SLOT(AFCQ_SEDQ_LOCK_MODE_ALL_ACTION, SEDQ_VIEW, on_select_lock_mode_all, ));
    connect_action(FOCUS_SLOT(AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION, SEDQ_VIEW, on_select_lock_mode_incremental, ));
    connect_action(FOCUS_SLOT(AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION, SEDQ_VIEW, on_select_lock_mode_trigger, ));
}

// ---- focus routing -----------------------------------------------------------------------------

void SEDQ_VIEW::connect_action_when_focused(const SEDQ_CONNECTION& connection)
{
    m_connections.append(connection);
}

// An action carrying itself as argument is routed through its group; each routed action
// starts disabled until the edit menu's refresh enables it.
void SEDQ_VIEW::route_action(const SEDQ_CONNECTION& connection, bool do_connect)
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL) || m_tx_manager.isNull())
        return;
    QAction* action = m_tx_manager->get_action(connection.m_id, QVariant());
    for (QAction* entry : connection.m_route(action, this, m_tx_manager, do_connect))
        entry->setEnabled(false);
}

void SEDQ_VIEW::connect_action(const SEDQ_CONNECTION& connection)
{
    route_action(connection, true);
}

void SEDQ_VIEW::disconnect_action(const SEDQ_CONNECTION& connection)
{
    route_action(connection, false);
}

void SEDQ_VIEW::route_focus_actions(bool connected)
{
    if (connected == m_connected || m_frame_wnd == nullptr)
        return;
    m_connected = connected;
    // A window closing deletes its model before its panes: nothing is left to disconnect.
    if (!connected && m_tx_manager.isNull())
        return;
    for (const SEDQ_CONNECTION& pair : m_connections)
        route_action(pair, connected);
    update();
}

void SEDQ_VIEW::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    route_focus_actions(true);
}

// Focus moving into one of the view's own menus, or away with the window, keeps the actions routed
// here; focus moving to another widget of the window takes them along.
void SEDQ_VIEW::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (m_menu_running || holds_focus() || event->reason() == Qt::MenuBarFocusReason ||
        event->reason() == Qt::PopupFocusReason)
        return;
    route_focus_actions(false);
}

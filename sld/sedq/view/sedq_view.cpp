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

// The host actions routed to view slots while the view has the focus, in routing order.
const SEDQ_CONNECTION FOCUS_CONNECTIONS[] = {
    {AFCQ_EDIT_SELECT_ALL_ACTION, SLOT(on_edit_select_all())},
    {AFCQ_EDIT_FIND_ACTION, SLOT(on_edit_find())},
    {AFCQ_EDIT_FIND_NEXT_ACTION, SLOT(on_edit_find_next())},
    {AFCQ_SEDQ_FIND_BUS_VALUE_ACTION, SLOT(on_find_bus_value())},
    {AFCQ_SEDQ_FIND_NEXT_BUS_VALUE_ACTION, SLOT(on_find_next_bus_value())},
    {AFCQ_SEDQ_FIND_PREVIOUS_BUS_VALUE_ACTION, SLOT(on_find_previous_bus_value())},
    {AFCQ_SEDQ_INSERT_NODES_ACTION, SLOT(on_node_insert())},
    {AFCQ_SEDQ_PLUGIN_OPTIONS_ACTION, SLOT(on_plugin_options())},
    {AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, SLOT(on_node_add_state_machine())},
    {AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION, SLOT(on_node_recreate_state_machine_mnemonics())},
    {AFCQ_SEDQ_GROUP_ACTION, SLOT(on_node_group())},
    {AFCQ_SEDQ_UNGROUP_ACTION, SLOT(on_node_ungroup())},
    {AFCQ_SEDQ_UNGROUP_NESTED_ACTION, SLOT(on_node_ungroup_nested_groups())},
    {AFCQ_SEDQ_RENAME_NODE_ACTION, SLOT(on_node_rename())},
    {AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION, SLOT(on_mnemonic_table_setup())},
    {AFCQ_SEDQ_CREATE_LIST_FILE_ACTION, SLOT(show_list_view())},
    {AFCQ_SEDQ_INVERT_SIGNAL_ACTION, SLOT(on_invert_signal())},
    {AFCQ_SEDQ_ALIGN_LEFT_ACTION, SLOT(on_view_align_left())},
    {AFCQ_SEDQ_ALIGN_RIGHT_ACTION, SLOT(on_view_align_right())},
    {AFCQ_SEDQ_PRE_SYNTHESIS_ACTION, SLOT(on_change_node_pre_syn())},
    {AFCQ_SEDQ_POST_FITTING_ACTION, SLOT(on_change_node_post_fit())},
    {AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, SLOT(on_bus_order(QAction*))},
    {AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION, SLOT(on_bus_display_format(QAction*))},
    {AFCQ_SEDQ_SET_ALIAS_ACTION, SLOT(on_node_set_alias())},
    {AFCQ_SEDQ_PASTE_ALIAS_ACTION, SLOT(on_node_paste_alias())},
    {AFCQ_SEDQ_REMOVE_ALIAS_ACTION, SLOT(on_node_remove_alias())},
    {AFCQ_SEDQ_DATA_ENABLE_ACTION, SLOT(on_data_enable())},
    {AFCQ_SEDQ_DATA_DISABLE_ACTION, SLOT(on_data_disable())},
    {AFCQ_SEDQ_TRIGGER_ENABLE_ACTION, SLOT(on_trigger_enable())},
    {AFCQ_SEDQ_TRIGGER_DISABLE_ACTION, SLOT(on_trigger_disable())},
    {AFCQ_SEDQ_STORAGE_ENABLE_ACTION, SLOT(on_storage_enable())},
    {AFCQ_SEDQ_STORAGE_DISABLE_ACTION, SLOT(on_storage_disable())},
    {AFCQ_SEDQ_TRANSITION_ENABLE_ACTION, SLOT(on_transition_enable())},
    {AFCQ_SEDQ_TRANSITION_DISABLE_ACTION, SLOT(on_transition_disable())},
    {AFCQ_SEDQ_TRIGGER_CONDITION_ACTION, SLOT(on_trigger_condition(QAction*))},
    {AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION, SLOT(on_insert_trigger_value())},
    {AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION, SLOT(on_trigger_condition(QAction*))},
    {AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION, SLOT(on_comparison_trigger())},
    {AFCQ_SEDQ_INSERT_TIME_BAR_ACTION, SLOT(on_insert_time_bar())},
    {AFCQ_SEDQ_DELETE_TIME_BAR_ACTION, SLOT(on_delete_time_bar())},
    {AFCQ_SEDQ_DELETE_ALL_TIME_BARS_ACTION, SLOT(on_delete_all_time_bars())},
    {AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ACTION, SLOT(on_insert_master_time_bar())},
    {AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ALT_ACTION, SLOT(on_insert_master_time_bar())},
    {AFCQ_SEDQ_MOVE_MASTER_TIME_BAR_ACTION, SLOT(on_move_master_time_bar())},
    {AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION, SLOT(on_sample_numbers())},
    {AFCQ_SEDQ_TIME_UNITS_ACTION, SLOT(on_time_units())},
    {AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, SLOT(on_fit_in_window())},
    {AFCQ_SEDQ_ZOOM_IN_ACTION, SLOT(on_zoom_in())},
    {AFCQ_SEDQ_ZOOM_OUT_ACTION, SLOT(on_zoom_out())},
    {AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION, SLOT(on_center_on_trigger())},
    {AFCQ_SEDQ_NEXT_TRANSITION_ACTION, SLOT(on_next_transition())},
    {AFCQ_SEDQ_PREVIOUS_TRANSITION_ACTION, SLOT(on_previous_transition())},
};

// A slot that takes the triggering action, however its signature was spelled.
bool takes_action(const char* slot)
{
    return QMetaObject::normalizedSignature(slot + 1).endsWith("(QAction*)");
}

// The slot string as Qt compares it: code character, then the normalised signature.
QByteArray normalised_slot(const char* slot)
{
    return QByteArray(slot, 1) + QMetaObject::normalizedSignature(slot + 1);
}

bool has_slot(const QObject* receiver, const QByteArray& member)
{
    return receiver != nullptr && receiver->metaObject()->indexOfSlot(member.constData() + 1) >= 0;
}
} // namespace

SEDQ_VIEW::SEDQ_VIEW(QWidget* parent, SEDQ_TX_MANAGER* tx)
    : QWidget(parent), m_tx_manager(tx), m_frame_wnd(tx ? tx->get_frame_wnd() : nullptr),
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
        m_tx_manager->select_node_range(0, m_tx_manager->get_node_count(-1) - 1, false);
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
        connect(bar, SIGNAL(valueChanged(int)), this, SLOT(update()));
    }
    connect(m_horizontal_scroll_bar, SIGNAL(valueChanged(int)), this,
            SLOT(update_advanced_trigger_combo_positions()));
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
    m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_ENUM(312)), SEDQ_LOCK_MODE_ALLOW_ALL_STRING);
    m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_ENUM(311)), SEDQ_LOCK_MODE_ALLOW_INCREMENTAL_STRING);
    m_lock_mode_combo->addItem(afcq_get_icon(AFCQ_ICON_ENUM(311)), SEDQ_LOCK_MODE_ALLOW_TRIGGER_STRING);
    m_lock_mode_combo->setCurrentIndex(int(m_tx_manager->get_lock_mode(false)));
    m_lock_mode_combo->show();
    connect(m_lock_mode_combo, SIGNAL(currentIndexChanged(const QString&)), m_tx_manager,
            SLOT(set_lock_mode(const QString&)));
}

void SEDQ_VIEW::make_level_type_combos()
{
    for (int index = 0; index < 13; ++index)
    {
        auto* combo = new QComboBox(this);
        for (const char* text : LEVEL_TYPE_TEXTS)
            combo->addItem(QString::fromLatin1(text));
        // Narrow level columns: a small font and a slim arrow leave the type's name room.
        combo->setFont(AFCQ_FONT(62).get_font());
        combo->setStyleSheet(QStringLiteral("QComboBox { padding: 0px 0px 0px 3px; } "
                                            "QComboBox::drop-down { width: 12px; }"));
        combo->setProperty("trigger level", index);
        combo->hide();
        connect(combo, SIGNAL(currentIndexChanged(const QString&)), this,
                SLOT(on_sel_change_advanced_trigger_combo(const QString&)));
        m_level_type_combos[index] = combo;
    }
}

void SEDQ_VIEW::make_transition_buttons()
{
    m_previous_transition_button = new QToolButton(this);
    m_next_transition_button = new QToolButton(this);
    m_previous_transition_button->setIcon(afcq_get_icon(AFCQ_ICON_ENUM(6)));
    m_next_transition_button->setIcon(afcq_get_icon(AFCQ_ICON_ENUM(7)));
    for (QToolButton* button : {m_previous_transition_button, m_next_transition_button})
    {
        button->resize(22, 22);
        button->hide();
    }
    connect(m_previous_transition_button, SIGNAL(clicked(bool)), this, SLOT(on_previous_transition()));
    connect(m_next_transition_button, SIGNAL(clicked(bool)), this, SLOT(on_next_transition()));
}

// A menu of host actions (SEPARATOR for a separator) refreshed by `about_to_show`.
QMenu* SEDQ_VIEW::make_menu(std::initializer_list<int> ids, const char* about_to_show)
{
    auto* menu = new QMenu(this);
    for (int id : ids)
    {
        if (id == SEPARATOR)
            menu->addSeparator();
        else
            menu->addAction(m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant()));
    }
    connect(menu, SIGNAL(aboutToShow()), this, about_to_show);
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
    QMenu* menu = make_menu({120, 513, SEPARATOR, 178, 179, SEPARATOR, 349, 350, 351, SEPARATOR},
                            SLOT(on_update_name_menu()));
    QMenu* plugins = m_frame_wnd->get_plugin_menu();
    menu->addMenu(plugins);
    connect(plugins, SIGNAL(aboutToShow()), this, SLOT(on_update_plugin_menu()));
    for (int id : {326, 358, SEPARATOR, 327, 361, SEPARATOR})
        id == SEPARATOR ? (void)menu->addSeparator()
                        : menu->addAction(m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant()));
    AFCQ_LOCATE_MENU* locate = m_frame_wnd->get_locate_menu();
    menu->addMenu(locate);
    afcq_safe_connect(locate, SIGNAL(aboutToShow()), this, SLOT(on_update_locate()));
    afcq_safe_connect(locate, SIGNAL(locate_triggered(CLSID)), this, SLOT(on_locate(CLSID)));
    afcq_safe_connect(locate->get_design_file_action(), SIGNAL(triggered()), this,
                      SLOT(on_locate_design_file()));
    menu->addSeparator();
    for (int id : {352, 377, 378, 362, SEPARATOR, 355, SEPARATOR, 344, SEPARATOR, 353, SEPARATOR})
        id == SEPARATOR ? (void)menu->addSeparator()
                        : menu->addAction(m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant()));
    add_action_group(menu, {328, 329});
    menu->addSeparator();
    add_action_group(menu, {360, 359});
    menu->addSeparator();
    add_action_group(menu, {356, 354});
    menu->addSeparator();
    QMenu* sub_menu = m_frame_wnd->get_bus_display_format_menu();
    if (SEDQ_VERIFY(sub_menu != NULL))
    {
        menu->addMenu(sub_menu);
        connect(sub_menu, SIGNAL(aboutToShow()), this, SLOT(on_update_bus_display_format_menu()));
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
    add_group({{227, 9},
               {SEPARATOR, 0},
               {226, 10},
               {230, 11},
               {228, 12},
               {229, 13},
               {232, 14},
               {231, 15},
               {234, 16},
               {233, 17}});
    menu->addSeparator();
    add_group({{225, 0}});
    menu->addSeparator();
    QActionGroup* nodes = add_group({{368, 8}, {373, 4}, {370, 6}, {374, 5}, {371, 3}, {369, 7}});
    const int icons[] = {691, 695, 693, 696, 694, 692};
    for (int i = 0; i < nodes->actions().size(); ++i)
        nodes->actions()[i]->setIcon(afcq_get_icon(AFCQ_ICON_ENUM(icons[i])));
    menu->addSeparator();
    menu->addAction(m_tx_manager->get_action(AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION, QVariant()));
    m_trigger_condition_action_count = menu->actions().size();
    connect(menu, SIGNAL(aboutToShow()), this, SLOT(on_update_trigger_condition_menu()));
    m_trigger_condition_menu = menu;
}

void SEDQ_VIEW::make_column_menus()
{
    m_column_menus.insert(SEDQ_COLUMN_NAME, make_name_menu());
    m_column_menus.insert(SEDQ_COLUMN_ALIAS, make_menu({363, 357, 347}, SLOT(on_update_alias_menu())));
    m_column_menus.insert(SEDQ_COLUMN_DATA_ENABLE, make_menu({346, 345}, SLOT(on_update_data_menu())));
    m_column_menus.insert(SEDQ_COLUMN_TRIGGER_ENABLE, make_menu({376, 375}, SLOT(on_update_trigger_menu())));
    m_column_menus.insert(SEDQ_COLUMN_STORAGE_ENABLE, make_menu({365, 364}, SLOT(on_update_storage_menu())));
    m_column_menus.insert(SEDQ_COLUMN_TRANSITIONAL, make_menu({367, 366}, SLOT(on_update_transition_menu())));
    make_trigger_condition_menu();
    for (int column = SEDQ_COLUMN_SQ_CONDITIONAL; column <= SEDQ_COLUMN_LAST_LEVEL; ++column)
        m_column_menus.insert(column, m_trigger_condition_menu);
    m_column_menus.insert(SEDQ_COLUMN_WAVEFORM, make_menu({712, 710, 711, SEPARATOR, 713, 717, 714, SEPARATOR,
                                                           718, 719, SEPARATOR, 728, 729, 730, 708},
                                                          SLOT(on_update_waveform_menu())));
}

void SEDQ_VIEW::connect_focus_actions()
{
    for (const SEDQ_CONNECTION& pair : FOCUS_CONNECTIONS)
        connect_action_when_focused(pair.m_id, pair.m_slot);
    connect_action(AFCQ_SEDQ_LOCK_MODE_ALL_ACTION, SLOT(on_select_lock_mode_all()));
    connect_action(AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION, SLOT(on_select_lock_mode_incremental()));
    connect_action(AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION, SLOT(on_select_lock_mode_trigger()));
}

// ---- focus routing -----------------------------------------------------------------------------

void SEDQ_VIEW::connect_action_when_focused(AFCQ_ACTION_ENUM id, const char* slot)
{
    m_connections.append({id, slot});
}

// An action carrying itself as argument is routed through its group; the view takes the
// slot when it has it, else the model (whose slots are reached the same way).
void SEDQ_VIEW::route_action(AFCQ_ACTION_ENUM id, const char* slot, bool do_connect)
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL) || m_tx_manager.isNull())
        return;
    QAction* action = m_tx_manager->get_action(id, QVariant());
    QObject* sender = action;
    const char* signal = SIGNAL(triggered(bool));
    QList<QAction*> actions = {action};
    if (takes_action(slot))
    {
        QActionGroup* group = action->actionGroup();
        if (!SEDQ_VERIFY(group != NULL))
            return;
        sender = group;
        signal = SIGNAL(triggered(QAction*));
        actions = group->actions();
    }
    const QByteArray member = normalised_slot(slot);
    QObject* receiver = has_slot(this, member)           ? static_cast<QObject*>(this)
                        : has_slot(m_tx_manager, member) ? static_cast<QObject*>(m_tx_manager)
                                                         : nullptr;
    if (receiver == nullptr)
        return;
    if (do_connect && !sedq_connect(sender, signal, receiver, member.constData()))
        return;
    if (!do_connect)
        QObject::disconnect(sender, signal, receiver, member.constData());
    for (QAction* entry : actions)
        entry->setEnabled(false);
}

void SEDQ_VIEW::connect_action(AFCQ_ACTION_ENUM id, const char* slot)
{
    route_action(id, slot, true);
}

void SEDQ_VIEW::disconnect_action(AFCQ_ACTION_ENUM id, const char* slot)
{
    route_action(id, slot, false);
}

void SEDQ_VIEW::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_connected || m_frame_wnd == nullptr)
        return;
    m_connected = true;
    for (const SEDQ_CONNECTION& pair : m_connections)
        connect_action(pair.m_id, pair.m_slot);
    update();
}

// Focus moving into one of the view's own menus keeps the actions routed here.
void SEDQ_VIEW::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (!m_connected || QApplication::focusWidget() == this || event->reason() == Qt::MenuBarFocusReason ||
        event->reason() == Qt::PopupFocusReason)
        return;
    m_connected = false;
    // A window closing deletes its model before its panes: nothing is left to disconnect.
    if (m_tx_manager.isNull())
        return;
    for (const SEDQ_CONNECTION& pair : m_connections)
        disconnect_action(pair.m_id, pair.m_slot);
    update();
}

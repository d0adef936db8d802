#pragma once
// The node list view of an editor window: the trigger node table of the current instance in
// setup mode and its acquired waveforms in data mode, drawn cell by cell on this widget with
// its own scroll bars and hit testing. The pane layout builds exactly one per window, without
// parent, and lets the page on show adopt it. The view keeps no copy of the document: nodes,
// their flags and their selection are read through the model on every use; it owns only
// column widths, the focus row, scroll and zoom state, time bars and a cache of the row
// layout that is dropped on every model update. Host menu actions reach its slots only while
// it has the keyboard focus.
//
// One class, several sources, one per concern (sedq_view_<concern>.cpp).

#include "host/afcq.h"
#include "host/sdr.h"
#include "sedq/model/sedq_double.h"
#include "sedq/view/sedq_find_state.h"
#include "sedq/model/sedq_packed_bus.h"
#include "sedq/view/sedq_paint_context.h"
#include "sedq/view/sedq_grid.h"
#include "sedq/view/sedq_row_layout.h"
#include "sedq/view/sedq_time_axis.h"
#include "sedq/view/sedq_view_ntfq_handler.h"
#include "sedq/view/sedq_wave_strokes.h"
#include "sedq/view/sedq_wave_summary.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class HDB_INSTANCE_NAME;
class HDB_NAMESPACE;
class QAction;
class QActionGroup;
class QComboBox;
class QCursor;
class QGridLayout;
class QMouseEvent;
class QMenu;
class QPainter;
class QPrinter;
class QRubberBand;
class QScrollBar;
class QToolButton;
class SEDQ_BUS;
class SEDQ_COMPARISON_EDIT;
struct SEDQ_COMPARISON;
class SEDQ_EDIT;
class SEDQ_EDIT_SCOPE;
class SEDQ_FRAME_WND;
class SEDQ_NODE;
class SEDQ_TX_MANAGER;

class SEDQ_VIEW;

// One host action routed to a slot of the view, or of its model, while the view has the focus.
// `m_slot` names the slot as Qt spells a slot signature (code character first), static for the
// life of the process. `m_route` connects the action (or, for a slot taking the triggering
// action, the action's group) to that slot, or disconnects it, with both ends checked by the
// compiler, and gives the actions it routed.
struct SEDQ_CONNECTION
{
    using ROUTE = std::function<QList<QAction*>(QAction* action, SEDQ_VIEW* view, SEDQ_TX_MANAGER* model,
                                                bool connect)>;
    AFCQ_ACTION_ENUM m_id;
    const char* m_slot;
    ROUTE m_route;
};

class SEDQ_VIEW : public QWidget
{
    Q_OBJECT
public:
    // The format of the rows the view drags within itself.
    static constexpr const char* NODE_DRAG_FORMAT = "SEDQ_NODE_CLIPBOARD_FORMAT";
    SEDQ_VIEW(QWidget* parent, SEDQ_TX_MANAGER* tx);
    ~SEDQ_VIEW() override;
    SEDQ_VIEW(const SEDQ_VIEW&) = delete;
    SEDQ_VIEW& operator=(const SEDQ_VIEW&) = delete;

    // Own virtuals, in this order.
    virtual std::string get_help_prefix() const;
    virtual void recreate_tooltip();
    // Paints the table over `rect` (only the painter and the rectangle are used): the screen,
    // an exported image and tests paint through it.
    virtual bool paint(QPainter* painter, QPaintEvent* event, QWidget* widget, QRect rect, bool flag);

    // Columns and rows of the grid: sedq_grid.h. Columns 3 and 4 are never shown.
    enum
    {
        COLUMN_COUNT = SEDQ_COLUMN_COUNT,
        STORED_COLUMN_COUNT = SEDQ_STORED_COLUMN_COUNT,
        HEADER_ROWS = SEDQ_HEADER_ROWS,
        MAX_TIMEBARS = 100
    };

    // ---- rows and columns (sedq_view_rows.cpp) --------------------------------------------
    int get_row_height(int row);
    int get_column_width(int column);
    // Sets a column's right edge to pos.x (at least 10 pixels wide) and saves the widths;
    // the new width, 0 when only relayouting.
    int set_column_width(int column, QPoint pos, bool relayout_only);
    void save_column_widths();
    bool load_column_widths();
    int get_column_offset();
    int get_column_count() const { return COLUMN_COUNT; }
    int calculate_needed_vertical_pixels();
    void get_scroll_range(Qt::Orientation orientation, int* min, int* max);
    bool get_item_rect(int row, int column, QRect* rect);
    bool get_name_item_rect(int node, QRect* rect);
    void get_column_rect(int column, QRect* rect);
    bool find_item(const QPoint& point, int* row, int* column, QRect* rect);
    int find_item(const QPoint& point, bool strict);
    bool hit_test(int row, int column, const QPoint& point, const QRect& cell);
    // Drops the cached row layout; the next geometry query lays the rows out again.
    void invalidate_row_layout();

    // ---- tree, focus, selection, permissions (sedq_view_selection.cpp) ---------------------
    bool is_parent_item(int node);
    bool is_child_item(int node);
    int get_child_item_count(int node);
    int get_trigger_input_child_item_count(int node);
    bool toggle_item(int node, bool do_toggle);
    bool item_is_pre_syn(int node);
    bool item_is_post_fit(int node);

    int get_focus_item() const { return m_focus_item; }
    void set_focus_item(int node) { m_focus_item = node; }
    bool is_focus_item(int node) const { return node == m_focus_item; }
    bool is_item_selected(int node);
    void select_item(int node, bool status);
    int select_item(const QPoint& point);
    void select_items(int from, QPoint point);
    void select_all_items(bool status);
    void select_node_range(int first, int last, bool status);
    int get_selection_count();
    int get_selected_item();
    int get_selected_parent();
    int get_selected_child();
    bool is_selected_parent(int node);
    bool is_selected_child(int node);
    void ensure_visible(int node);
    // Opens the groups above the node and scrolls its row into view; the selection stays.
    void scroll_into_view(int node);
    void set_base_selection();
    void copy_base_selection();

    bool is_trigger_enabled();
    bool is_setup_enabled(bool for_display);
    bool is_reroute_enabled(int node, bool data_column, bool currently_enabled);
    // Whether the enable box of column 5, 6 or 7 takes a click for a node whose box shows
    // `value`: the press and the painting ask the same question.
    bool is_enable_box_enabled(int node, int column, bool value, bool setup_enabled);

    // Relayout (the resize handler without an event) and what suppresses it: the undo actions
    // and set_resize_flag(false) raise the undo-relayout flag, set_resize_flag(true) the
    // layout flag; the handler skips its layout only while both are raised.
    void send_resize_event();
    void set_resize_flag(bool layout_flag);
    void clear_resize_flag();
    bool is_resize_flag_set() const { return m_undo_relayout_flag && m_layout_flag; }
    bool get_resize_flag(bool layout_flag) const
    {
        return layout_flag ? m_layout_flag : m_undo_relayout_flag;
    }

    // Read by the configuration pane; set by on_settings_changed.
    bool hide_signal_probe() const { return true; }
    bool hide_ram_type() const { return m_hide_ram_type; }
    bool hide_hps_trigger() const { return m_hide_hps_trigger; }

    // Where a drag over the view would drop (node index or node count, -1 none).
    void set_drop_item(int node, bool before);
    void reset_drop_item();
    int get_drop_item(bool* before) const;

    // Node rows a paint of the whole view meets, rows scrolled away above included; 0 when no
    // node row is visible.
    int get_visible_node_count() { return count_visible_nodes(rect()); }
    int get_context_trigger_level() const { return m_context_trigger_level; }

    // ---- time axis (sedq_view_time_axis.cpp, sedq_view_time_bars.cpp, sedq_view_time_text.cpp)
    // The mapping of the current window: first and last position, plot left, pixels per sample.
    SEDQ_TIME_AXIS get_time_axis();
    // Samples across the waveform column: 131072 / level less the whole offset.
    double get_window_width();
    double get_transition_width();
    int find_point(int sample);
    int find_transition(const QPoint& point, bool nearest);
    int get_first_transition();
    int get_last_transition();
    int get_marker_width();
    int calculate_needed_horizontal_pixels();
    int get_scroll_pos(Qt::Orientation orientation);
    bool get_time_units_string(QString* text, int value, bool signed_form, bool samples_only);
    void get_timebar_string(int index, QString* first_line, QString* second_line);
    void get_timebar_string(const QPoint& point, QString* first_line, QString* second_line);
    void get_timebar_string(int position, int segment, bool signed_form, QString* first_line,
                            QString* second_line);
    int get_offset_sample_number(int sample, int* segment);
    int get_storage_qualifier_segment_number(int sample);
    bool zoom_in(const QPoint* point, const QRect* rect);
    bool zoom_out(const QPoint* point, const QRect* rect);
    void start_drag_rect(QPoint point);
    void end_drag_rect(QPoint point);
    void draw_drag_rect();
    void zoom_drag_rect(bool no_click_zoom);
    bool center_in_window(int sample, bool apply);
    // Called where the zoom or the data depth changes, never from paint, which only reads it.
    void reset_fudge_factor(bool clear);
    int get_fudge_factor();
    void set_fudge_factor(int first, int last, int* step);
    void set_fudge_factor(const QRect& rect, int* first, int* step);
    void zoom_in_fudge_factor();
    void zoom_out_fudge_factor();
    int find_timebar(int sample);
    int find_timebar(const QPoint& point);
    bool insert_timebar(int sample);
    void insert_timebar(const QPoint& point);
    bool remove_timebar(int index);
    bool move_timebar(int index);
    void reset_timebars();
    bool set_current_timebar(const QPoint& point);
    bool drag_current_timebar(const QPoint& point, bool auto_scroll);
    bool drop_current_timebar(const QPoint& point);
    void save_timebars();
    void load_timebars();
    // Stores the scroll state of the current mode into the current instance's position data;
    // false (nothing stored) without a current instance.
    bool save_scroll_pos();
    void load_scroll_pos();
    void show_timebar_buttons();
    void enable_timebar_buttons();
    int get_timebar_count() const { return m_timebar_count; }
    int get_timebar(int index) const
    {
        return index >= 0 && index < m_timebar_count ? m_timebars[index] : -1;
    }
    // The sample under the last right click in the time-bar row, -1 none; the time-bar commands
    // act there.
    int get_context_sample() const { return m_context_sample; }
    void set_context_sample(int sample) { m_context_sample = sample; }
    SEDQ_DOUBLE const& get_zoom_level() const { return m_zoom_level; }
    SEDQ_DOUBLE const& get_zoom_offset() const { return m_zoom_offset; }
    // Positions as times (`show_time`) of `value` per sample in `unit` ("ps" .. "s"), or at a
    // sample rate of `value` in "MHz"; as sample numbers otherwise.
    void set_time_units(bool show_time, double value, const QString& unit);
    QToolButton* get_previous_transition_button() const { return m_previous_transition_button; }
    QToolButton* get_next_transition_button() const { return m_next_transition_button; }
    // What set_time_units last set: positions shown as times, and the sample period (or the
    // frequency in MHz) with its unit.
    bool is_show_time() const { return m_show_time; }
    double get_time_unit_value() const { return m_time_unit_value; }
    const QString& get_time_unit_text() const { return m_time_unit_text; }
    bool on_update_insert_time_bar();
    bool on_update_delete_time_bar();
    bool on_update_delete_all_time_bars();
    bool on_update_insert_master_time_bar();
    bool on_update_set_as_master_time_bar();
    bool on_update_move_master_time_bar();
    bool on_update_zoom_in();
    bool on_update_zoom_out();
    bool on_update_center_on_trigger();

    // ---- node table painting (sedq_view_paint*.cpp) ----------------------------------------
    bool draw_rect(const SEDQ_PAINT_CONTEXT& paint, const SEDQ_PAINT_ROW& row, int column, QRect const& cell);
    bool draw_item(const SEDQ_PAINT_CONTEXT& paint, const SEDQ_PAINT_ROW& row, int column, QRect inner);
    // The flags every cell of one paint reads, read once.
    SEDQ_PAINT_CONTEXT make_paint_context(QPainter* painter);
    // Node rows from the first not scrolled away down to the one reaching below `rect`, counted
    // from the top of the list: what a paint of `rect` reaches.
    int count_visible_nodes(QRect const& rect);
    bool draw_header(int column, int row, QRect const& rect, QPainter* painter, bool a, bool b, bool c);
    bool draw_title(QRect rect, QPainter* painter);
    bool draw_lock_mode_title(QRect const& rect, QPainter* painter);
    bool draw_column_text(QRect const& rect, QPainter* painter, QString const& text, QColor colour);
    bool draw_condition_header(QString const& name, QRect const& rect, QPainter* painter, bool enabled);
    bool draw_pattern_header(int level, QRect* rect, QPainter* painter, bool geometry_only, bool enabled,
                             bool powerup);
    bool draw_storage_qualifier_header(int column, QRect const& rect, QPainter* painter);
    bool draw_name(QString const& name, int node, int display_type, bool selected, const SEDQ_PAINT_CONTEXT& paint,
                   QRect const& rect);
    bool draw_tree_lines(int node, QRect const& rect, QPainter* painter);
    bool draw_type(SDR_DATA_SIGNAL_TYPE type, bool is_parent, bool inverted, bool partially_inverted,
                   QRect rect, QPainter* painter);
    bool draw_bitmap(AFCQ_ICON_ENUM icon, QRect const& rect, QPainter* painter, bool, bool highlight_allowed,
                     bool selected, bool inverted, bool, bool needs_focus, bool);
    bool draw_checkbox(bool checked, QRect const& rect, QPainter* painter, bool, bool enabled, bool partial,
                       bool powerup, bool selected);
    bool draw_trigger(SDR_DATA_TRIGGER_CONDITION condition, QRect const& rect, QPainter* painter,
                      bool enabled, bool selected, bool powerup);
    bool draw_bus_trigger(int node, int level, QRect const& rect, QPainter* painter,
                          SDR_DATA_TRIGGER_CONDITION condition, bool enabled, bool selected, bool powerup);
    bool draw_in(QString const& text, QRect rect, QPainter* painter);
    bool draw_raised_rect(QRect const& rect, QPainter* painter);
    bool draw_sunken_rect(QRect const& rect, QPainter* painter);
    bool draw_plain_rect(QRect const& rect, QPainter* painter);
    bool draw_shaded_rect(QRect const& rect, QPainter* painter, bool sunken);

    // ---- waveform painting (sedq_view_waveform*.cpp, sedq_view_data_cells.cpp) --------------
    // Column 23: `data` and `mask` hold the visible window and one sample beyond each side
    // (entry 0 is the sample before the first visible one); column 22: the three samples
    // around the master time bar. draw_bus and the charts read their rows the same way.
    bool draw_wave(bool* data, bool* mask, bool selected, QRect const& rect, QPainter* painter, int column);
    bool draw_bus(int node, SEDQ_BUS const& bus, bool* mask, bool selected, QRect const& rect,
                  QPainter* painter, int column);
    bool draw_bar_chart(int node, SEDQ_BUS const& bus, bool* mask, int width, bool selected,
                        QRect const& rect, QPainter* painter);
    bool draw_line_chart(int node, SEDQ_BUS const& bus, bool* mask, int width, bool selected,
                         QRect const& rect, QPainter* painter);
    bool draw_signed_bar_chart(int node, SEDQ_BUS const& bus, bool* mask, int width, bool selected,
                               QRect const& rect, QPainter* painter);
    bool draw_signed_line_chart(int node, SEDQ_BUS const& bus, bool* mask, int width, bool selected,
                                QRect const& rect, QPainter* painter);
    bool draw_zero_sample_wave(QRect const& rect, QPainter* painter);
    bool draw_timebars(QRect const& rect, QPainter* painter);
    bool draw_wave_header(QRect const& rect, QPainter* painter, int column, int row);
    bool draw_trigger_position(QRect const& rect, QPainter* painter, int first, int last,
                               double pixels_per_sample);
    bool draw_end_of_wave_bar(QRect const& rect, QPainter* painter, int first, int last, int depth);
    bool add_spacer_character(QString* text, char const* spacer, int group);
    // The rows painting reads instead of the log, kept until the next document refresh.
    SEDQ_WAVE_SUMMARY& get_wave_summary() { return m_wave_summary; }

    // ---- shell (sedq_view.cpp, sedq_view_update.cpp, sedq_view_edit.cpp) -------------------
    void connect_action_when_focused(const SEDQ_CONNECTION& connection);
    void connect_action(const SEDQ_CONNECTION& connection);
    void disconnect_action(const SEDQ_CONNECTION& connection);
    const QList<SEDQ_CONNECTION>& get_connections() const { return m_connections; }
    bool is_connected() const { return m_connected; }
    // The view has the keyboard focus, or is the focus widget of its window while another
    // window is active.
    bool holds_focus() const;
    // The host actions of the connection list reach this view (true) or not; the view
    // repaints when that changes.
    void route_focus_actions(bool connected);
    QMenu* get_column_menu(int column) const { return m_column_menus.value(column, nullptr); }
    QComboBox* get_lock_mode_combo() const { return m_lock_mode_combo; }
    // Index 0 the conditional storage qualifier, 1 and 2 start and stop, 3 + L trigger level L.
    QComboBox* get_level_type_combo(int index) const;
    QScrollBar* get_vertical_scroll_bar() const { return m_vertical_scroll_bar; }
    QScrollBar* get_horizontal_scroll_bar() const { return m_horizontal_scroll_bar; }
    SEDQ_VIEW_NTFQ_HANDLER* get_ntfq_handler() { return &m_ntfq_handler; }

    // ---- trigger cells and level types (sedq_view_trigger_cells.cpp) -----------------------
    bool is_basic_and(int level);
    bool is_basic_or(int level);
    bool is_comparison(int level);
    bool is_comparison_group_member_on_level(int node, int* level, int first, int end);
    bool is_comparison_group_member_on_any_level(int node, int* level);
    bool is_comparison_trigger_group_member(int node);
    bool is_comparison_storage_qualifier_group_member(int node);
    bool get_trigger_string(int node, int level, QString* pattern, bool* in_radix);
    bool get_comparison_expression(int node, int level, std::string* text);
    QAction* trigger_cond_to_action(SDR_DATA_TRIGGER_CONDITION condition);
    // Sets a bus's comparison at a level, enabled, as one edit, and has the table redrawn.
    void set_comparison_trigger(int node, int level, const SEDQ_COMPARISON& comparison);
    void update_group_conditions_checked_property(int unused, bool groups_only);
    int select_all_group_member_items(int node, bool selected);
    void unselect_plugin_group_member_items();
    // The open in-cell editors, null when none: each editor registers itself while it is open,
    // so openers only construct it (sedq_edit.h).
    SEDQ_EDIT* get_edit() const { return m_edit; }
    void set_edit(SEDQ_EDIT* edit) { m_edit = edit; }
    SEDQ_COMPARISON_EDIT* get_comparison_edit() const { return m_comparison_edit; }
    void set_comparison_edit(SEDQ_COMPARISON_EDIT* edit) { m_comparison_edit = edit; }

    // ---- input (mouse, keys, drag and drop) ------------------------------------------------
    void on_mouse_move(unsigned int flags, QPoint point);
    int find_drop_item(QPoint const& point, bool* before);
    int get_scroll_rate(int distance);

    // ---- selection commands: enabling rules --------------------------------------------------
    bool on_update_node_group();
    bool on_update_node_ungroup();
    bool on_update_node_ungroup_nested_groups();
    bool on_update_node_rename();
    bool on_update_node_set_alias();
    bool on_update_node_remove_alias();
    bool on_update_plugin_options();
    bool on_update_bus_order(AFCQ_ACTION_ENUM id);
    bool on_update_invert_signal(QAction* action);
    bool on_update_alignment();
    bool on_update_node_tap_mode();
    void change_node_tap_mode(bool pre_synthesis);
    bool can_group_selected_nodes();
    bool are_only_simple_buses_in_specified_width_selected(int width);

    // ---- trigger value dialogs, find, export, printing ---------------------------------------
    bool on_update_insert_trigger_value();
    bool on_update_find_bus_value();
    bool on_update_find_next_bus_value();
    bool on_update_find_previous_bus_value();
    bool find_bus_value(const QString& bits, bool forward);
    // What Find Next and Find Previous search for: the bus row, its member count, the value as
    // typed and the radix it was typed in, as the last Find Bus Value search left them.
    int get_search_bus() const { return m_search_bus; }
    int get_search_width() const { return m_search_width; }
    const QString& get_search_value() const { return m_search_value; }
    SDR_DATA_GROUP_DISPLAY_TYPE get_search_radix() const { return m_search_radix; }
    bool on_update_edit_find();
    bool on_update_edit_find_next();
    // Kept between commands; the find dialog loads and saves them (sedq_view_find.cpp).
    SEDQ_FIND_STATE& get_find_state() { return m_find_state; }
    SEDQ_FIND_POSITION& get_find_position() { return m_find_position; }
    bool export_image(QString file, std::string* problem = nullptr);
    // Writes the list file (see sedq_list_view.cpp); why it was not written, "" when it was.
    std::string show_list_view(QString file);
    bool create_list_file(QString file, std::string* problem = nullptr);
    bool print_rect(int row, int kind, QRect rect, QPainter* painter);
    bool print_item(int row, int column, QRect rect, QPainter* painter, int first_sample, int end_sample);
    bool print_header(int column, QRect rect, QPainter* painter, int first_sample, int end_sample);
    bool print_wave_header(QRect rect, QPainter* painter, int first_sample, int end_sample,
                           bool segment_ruler);
    int get_print_marker_width(QPainter* painter, QRect rect, int first_sample, int end_sample);
    bool print_type(SDR_DATA_SIGNAL_TYPE type, bool is_parent, QRect rect, QPainter* painter);
    bool print_wave(bool* samples, QRect rect, QPainter* painter, int first_sample, int end_sample);
    bool print_bus(int node, SEDQ_BUS const& bus, int members, QRect rect, QPainter* painter,
                   int first_sample, int end_sample);
    bool print_unknown_wave(QRect rect, QPainter* painter);

    // The mnemonic setup's entry dialog: a pattern of `width` symbols and a mnemonic, on OK.
    static bool ask_mnemonic_entry(QWidget* parent, int width, QString* pattern, QString* symbol);

public Q_SLOTS:
    // ---- shell -------------------------------------------------------------------------------
    void on_update(QObject* sender, int hint);
    void on_settings_changed();
    void on_update_edit_menu();
    void on_update_waveform_menu();
    bool on_update_edit_select_all();
    bool on_update_edit_delete();
    void on_edit_delete();
    void on_edit_select_all();
    void on_select_lock_mode_all();
    void on_select_lock_mode_incremental();
    void on_select_lock_mode_trigger();

    // ---- time axis ---------------------------------------------------------------------------
    void on_zoom_in();
    void on_zoom_out();
    void on_fit_in_window();
    void on_center_on_trigger();
    void on_next_transition();
    void on_previous_transition();
    void on_delete_time_bar();
    void on_delete_all_time_bars();
    void on_insert_master_time_bar();
    void on_move_master_time_bar();

    // ---- trigger cells -----------------------------------------------------------------------
    void on_update_trigger_condition_menu();
    void on_trigger_condition(QAction* action);
    void on_group_trigger_condition(QAction* action);
    void on_sel_change_advanced_trigger_combo(const QString& text);
    void update_advanced_trigger_combo_positions();

    // ---- input -------------------------------------------------------------------------------
    void on_drag_scroll();

    // ---- selection commands ------------------------------------------------------------------
    void on_data_enable();
    void on_data_disable();
    void on_trigger_enable();
    void on_trigger_disable();
    void on_storage_enable();
    void on_storage_disable();
    void on_transition_enable();
    void on_transition_disable();
    void on_invert_signal();
    void on_view_align_left();
    void on_view_align_right();
    void on_change_node_pre_syn();
    void on_change_node_post_fit();
    void on_bus_order(QAction* action);
    void on_bus_display_format(QAction* action);
    void on_node_set_alias();
    void on_node_paste_alias();
    void on_node_remove_alias();
    void on_node_rename();
    void on_node_group();
    void on_node_ungroup();
    void on_node_ungroup_nested_groups();
    void on_mnemonic(QAction* action);
    void on_mnemonic_table_setup();
    void on_plugin(QAction* action);
    void on_plugin_options();
    void on_locate(CLSID target);
    void on_locate_design_file();
    void on_update_data_menu();
    void on_update_trigger_menu();
    void on_update_storage_menu();
    void on_update_transition_menu();
    void on_update_alias_menu();
    void on_update_name_menu();
    void on_update_bus_display_format_menu();
    void on_update_plugin_menu();
    void on_update_locate();

    // ---- dialogs, find, export, printing -----------------------------------------------------
    void on_insert_trigger_value();
    void on_comparison_trigger();
    void on_find_bus_value();
    void on_find_next_bus_value();
    void on_find_previous_bus_value();
    void on_edit_find();
    void on_edit_find_next();
    void show_list_view();
    void on_print(QPrinter* printer);
    void on_node_add_state_machine();
    void on_node_recreate_state_machine_mnemonics();
    void on_time_units();
    void on_sample_numbers();
    void on_insert_time_bar();
    void on_update_sample_numbers();
    void on_update_time_units();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int only_node(const std::function<bool(int)>& test);
    bool item_has_tap_mode(int node, SDR_DATA_WIRE_TAP_MODE mode);
    // Construction (sedq_view.cpp).
    void make_scroll_bars();
    void make_lock_mode_combo();
    void make_level_type_combos();
    void make_transition_buttons();
    void make_column_menus();
    QMenu* make_name_menu();
    QMenu* make_menu(std::initializer_list<int> ids, void (SEDQ_VIEW::*about_to_show)());
    void add_action_group(QMenu* menu, std::initializer_list<int> ids);
    void make_trigger_condition_menu();
    void connect_focus_actions();
    void route_action(const SEDQ_CONNECTION& connection, bool connect);
    // Refresh (sedq_view_update.cpp).
    void clear_selection_on_mode_switch();
    void refresh_lock_mode_combo(bool acquiring);
    void refresh_level_type_combos(bool acquiring);
    void show_level_type_combo(int index, int level, bool editable);
    bool read_hps_resource(bool* project_known);
    // Rows and columns (sedq_view_rows.cpp).
    const SEDQ_ROW_LAYOUT& row_layout();
    SEDQ_ROW_LAYOUT::SIGNATURE layout_signature();
    int compute_header_height(int row, const SEDQ_ROW_LAYOUT::SIGNATURE& signature);
    int compute_node_height(int node, const SEDQ_ROW_LAYOUT::SIGNATURE& signature, int base);
    void compute_column_shown(const SEDQ_ROW_LAYOUT::SIGNATURE& signature, bool* shown);
    int waveform_column_width();
    // Painting (sedq_view_paint*.cpp).
    QBrush background_brush();
    void draw_header_row(const SEDQ_PAINT_CONTEXT& paint, int row, int column, QRect const& inner);
    void draw_node_cell(const SEDQ_PAINT_CONTEXT& paint, int node, int column, QRect const& inner,
                        bool selected);
    void draw_trigger_cell(const SEDQ_PAINT_CONTEXT& paint, int node, int level, QRect const& inner,
                           bool selected);
    void draw_empty_view_text(int y, QRect const& rect, QPainter* painter);
    QRect column_span(int first, int last, QRect const& cell);
    void draw_name_expand_box(int display_type, int x0, int cy, bool selected, QPainter* painter);
    void set_name_text_style(int node, int display_type, bool selected, const SEDQ_PAINT_CONTEXT& paint,
                             QRect const& text_rect);
    void draw_drop_marker(int node, int display_type, int depth_indent, QRect const& rect, QPainter* painter);
    bool view_has_focus() const;
    // The host's icon of an id, asked once per view: painting draws the same few icons in
    // every row.
    const QIcon& icon_of(AFCQ_ICON_ENUM id);
    // The trigger-condition menu (sedq_view_trigger_menu.cpp).
    bool is_trigger_condition_menu_active(int level);
    void enable_trigger_conditions(int level);
    void remove_mnemonic_entries(QMenu* menu);
    void add_mnemonic_entries(QMenu* menu, int level);
    // Trigger values, comparisons and the bus search (sedq_view_trigger_value.cpp,
    // sedq_view_bus_search.cpp).
    int find_insert_value_bus(int* width);
    void apply_trigger_value(const QString& value, const QString& mnemonic, int reference);
    bool has_comparison_operands(const SEDQ_COMPARISON& comparison);
    bool read_search_bus(SEDQ_BUS const& bus);
    int match_search_bus(SEDQ_BUS const& bus, const QString& bits, bool forward, int depth);
    void search_again(bool forward);
    void prepare_search_step(bool forward, int depth);
    // Node commands and their rules (sedq_view_commands.cpp, sedq_view_command_rules.cpp).
    void for_each_selected_row(const std::function<void(int)>& apply);
    bool any_selected_row(const std::function<bool(int)>& test);
    // One edit over the selected rows (status 1), then the node view's refresh.
    void edit_selected_nodes(const std::function<void(SEDQ_NODE&)>& apply);
    // One edit over the selected bus and group rows (status 0), then the node view's refresh.
    void edit_selected_buses(const std::function<void(int)>& apply);
    void finish_ungroup(SEDQ_EDIT_SCOPE* edit, bool changed);
    QAction* host_action(int id);
    void enable_pair(int enable_id, int disable_id, bool allowed,
                     bool (SEDQ_NODE::*is_on)(bool* partially) const);
    void set_checked_in_group(std::initializer_list<int> ids, int checked);
    bool grouping_allowed();
    void common_bus_display_format(SDR_DATA_GROUP_DISPLAY_TYPE* common, QString* common_name, bool* any_bus);
    void add_mnemonic_table_entries(QMenu* sub_menu, QActionGroup* group, const QString& common_name);
    // Mouse and keys (sedq_view_mouse.cpp).
    bool is_zoom_cursor() const;
    bool has_samples();
    bool press_acts_on_cell(QMouseEvent* event, int row, int column, const QRect& cell);
    bool press_trigger_cell(QMouseEvent* event, int row, int column, const QRect& cell);
    bool press_waveform(QMouseEvent* event, int row);
    bool is_bus_value_editable(int node, int level);
    bool toggle_enable_box(int node, int column);
    void select_or_drag(QMouseEvent* event, int row, int column, const QRect& cell);
    void drag_selected_nodes(QMouseEvent* event, int column, const QRect& cell);
    void end_drag_without_drop(QMouseEvent* event, int column, const QRect& cell, bool was_only_selection);
    QCursor choose_cursor(const QPoint& pos, Qt::KeyboardModifiers keys);
    QCursor general_cursor(int row, int column);
    // The in-cell editors (sedq_view_cell_editors.cpp): opens one over the cell (a comparison
    // editor on a bus's comparison); a focused editor gives up the focus, which commits it.
    void open_cell_editor(int node, int column, bool comparison);
    void commit_cell_editor();
    // Drag and drop (sedq_view_drag.cpp).
    bool is_refused_drop_position(int node, bool before);
    void insert_dropped_names(const QString& text);
    void drop_selected_nodes(bool copy);
    // Tooltips (sedq_view_tooltips.cpp).
    QString get_tooltip_text(const QPoint& pos, int row, int column, const QRect& cell);
    QString header_tooltip(const QPoint& pos, int row, int column, const QRect& cell);
    QString node_tooltip(int node, int column);
    QString trigger_cell_tooltip(int node, int level);
    QString value_at_sample(int node, int sample);
    QString value_tooltip(const QPoint& pos, int node, int column);
    QString waveform_header_tooltip(const QPoint& pos, int row);
    // Locate (sedq_view_locate.cpp).
    int first_selected_leaf();
    HDB_INSTANCE_NAME* find_locate_instance(HDB_NAMESPACE* names);
    // Layout (sedq_view_layout.cpp).
    void layout_scroll_bars();
    void place_lock_mode_combo();
    int level_combo_start_x(const QString& storage_qualifier_type);
    // Edit commands (sedq_view_edit.cpp).
    void enable(int id, bool on);
    void reselect_after_delete(int selected_before);
    bool project_open();
    void open_column_menu(int column, int row, const QPoint& global_pos);
    void label_bus_display_format_menu();
    void run_menu(QMenu* menu, const QPoint& global_pos);

    // Time axis (sedq_view_time_axis.cpp, sedq_view_time_bars.cpp, sedq_view_transitions.cpp).
    void normalise_zoom();
    int get_data_depth();
    void save_zoom_and_repaint();
    double zoom_anchor();
    void zoom_about_anchor(bool in);
    void refresh_view_menu();
    void remove_timebars_outside_data();
    bool is_in_waveform_area(const QPoint& point, int* side);
    int find_next_change(int from, bool forward);
    void step_master_time_bar(bool forward);
    // Waveform painting (sedq_view_waveform*.cpp, sedq_view_data_cells.cpp).
    SEDQ_SAMPLE_STEPS window_steps(QRect const& rect);
    SEDQ_SAMPLE_STEPS value_steps(QRect const& rect);
    void draw_data_cell(int node, const SEDQ_PAINT_ROW& row, int column, QRect const& inner,
                        QPainter* painter);
    void draw_value_cell(int node, QRect const& inner, QPainter* painter, bool selected);
    void draw_signal_cell(int node, QRect const& inner, QPainter* painter, bool selected);
    void draw_group_cell(int node, QRect const& inner, QPainter* painter, bool selected);
    bool draw_chart_cell(int node, int type, std::vector<int> const& members, QRect const& inner,
                         QPainter* painter, bool selected);
    bool draw_wave_columns(SEDQ_WAVE_SUMMARY::NODE_ROWS const& rows, bool selected, QRect const& rect,
                           QPainter* painter);
    bool draw_bus_rows(int node, SEDQ_WAVE_SUMMARY::BUS_ROWS const& rows, bool selected, QRect const& rect,
                       QPainter* painter);
    void draw_band_texts(int node, SEDQ_PACKED_BUS const& values, int origin,
                         std::vector<SEDQ_BAND_TEXT> const& texts, bool selected, QPainter* painter);
    bool draw_chart(int type, SEDQ_WAVE_SUMMARY::CHART_ROWS const* rows, SEDQ_BUS const* bus, bool* mask,
                    int width, bool selected, QRect const& rect, QPainter* painter);
    QColor wave_colour(int pen, bool selected);
    void draw_value_header(QRect const& rect, QPainter* painter, int row);
    void draw_data_header(QRect const& rect, QPainter* painter, int row);
    void draw_ruler_row(QRect const& rect, QPainter* painter, int column, int row);
    void draw_break_ruler(QRect const& rect, QPainter* painter, int column);
    void draw_ruler_label(QRect const& rect, QPainter* painter, int x, QString const& text, int font,
                          int colour, int* label_end);
    void draw_timebar(int index, QRect const& area, QPainter* painter, bool segmented);
    void draw_timebar_label(QRect const& area, QPainter* painter, int x, bool master, QString const& text,
                            bool segment_text, int top);

    // Weak: the window deletes its model before its panes.
    QPointer<SEDQ_TX_MANAGER> m_tx_manager;
    SEDQ_FRAME_WND* m_frame_wnd;
    SEDQ_VIEW_NTFQ_HANDLER m_ntfq_handler;
    QComboBox* m_lock_mode_combo = nullptr;
    QToolButton* m_previous_transition_button = nullptr;
    QToolButton* m_next_transition_button = nullptr;
    QComboBox* m_level_type_combos[13] = {};
    QRubberBand* m_rubber_band = nullptr;
    QScrollBar* m_vertical_scroll_bar = nullptr;
    QScrollBar* m_horizontal_scroll_bar = nullptr;
    QWidget* m_corner_widget = nullptr;
    QGridLayout* m_layout = nullptr;
    QMap<int, QMenu*> m_column_menus;
    QMenu* m_trigger_condition_menu = nullptr;
    QList<SEDQ_CONNECTION> m_connections;
    bool m_connected = false;
    // While a menu of the view runs its commands stay routed here, whatever focus changes the
    // window's activation brings meanwhile.
    bool m_menu_running = false;
    int m_context_sample = -1;
    int m_context_trigger_level = 0;
    int m_trigger_condition_action_count = 0;
    bool m_hide_signal_probe = false;
    bool m_hide_ram_type = false;
    bool m_hide_hps_trigger = false;

    // Node model.
    int m_focus_item = 0;
    int m_column_widths[STORED_COLUMN_COUNT];
    bool m_widths_not_loaded = true;
    bool m_horizontal_scrolling = false;
    // The last fit of the vertical scroll bar: the top row it showed and the one it wanted. A
    // resize that had to clamp the top row gives the wanted row back once room returns, unless
    // the user scrolled since; cleared when stored positions are loaded.
    struct CLAMPED_TOP_ROW
    {
        int shown;
        int wanted;
    };
    std::optional<CLAMPED_TOP_ROW> m_clamped_top_row;
    bool m_undo_relayout_flag = false;
    bool m_layout_flag = false;
    bool m_name_highlight = false;
    SEDQ_ROW_LAYOUT m_row_layout;
    // A cache guard only, set while one paint runs: the layout checked at its start serves
    // every cell, and the paint clears it on its way out.
    bool m_layout_frozen = false;
    // The setup mode the last refresh saw (-1 before the first): a switch clears the selection.
    int m_last_setup_mode = -1;

    // Painting.
    QHash<int, QIcon> m_icons;
    int m_drop_item = -1;
    bool m_drop_before = false;

    // Time axis.
    SEDQ_DOUBLE m_zoom_level{1.0};
    SEDQ_DOUBLE m_zoom_offset{0.0};
    int m_timebars[MAX_TIMEBARS] = {};
    int m_timebar_count = 0;
    int m_current_timebar = -1;
    bool m_move_all_timebars = false;
    bool m_show_time = false;
    double m_time_unit_value = 100.0;
    QString m_time_unit_text; // "ns" after construction
    QRect m_drag_rect = QRect(QPoint(0, 0), QPoint(-1, -1));

    // Waveform painting: the log's rows with their summaries, the strokes of one cell.
    SEDQ_WAVE_SUMMARY m_wave_summary;
    SEDQ_WAVE_STROKES m_strokes;
    // A bus's window packed for its cell, reused from cell to cell.
    SEDQ_PACKED_BUS m_packed_bus;

    // Input.
    int m_resize_column = -1;
    QPoint m_press_position;
    int m_clicked_node = -1;
    int m_drag_start_item = -1;
    bool m_drag_first_move = false;
    bool m_drag_moved_inside = false;
    bool m_drag_position_accepted = false;
    bool m_drag_left_at_start = false;
    // Set while a wheel turn is handed to a scroll bar.
    bool m_forwarding_wheel = false;

    // In-cell editors and commands.
    SEDQ_EDIT* m_edit = nullptr;
    SEDQ_COMPARISON_EDIT* m_comparison_edit = nullptr;
    int m_edit_row = -1;
    int m_search_bus = -1;
    int m_search_width = -1;
    QString m_search_value;
    SDR_DATA_GROUP_DISPLAY_TYPE m_search_radix = SDR_GTYPE_INVALID;
    // Whether the next search starts one sample past the master time bar (else on it).
    bool m_search_continue = false;

    // Find state: the choices handed to the find dialog and where Find Next stopped.
    SEDQ_FIND_STATE m_find_state;
    SEDQ_FIND_POSITION m_find_position;
};

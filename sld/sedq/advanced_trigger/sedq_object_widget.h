#pragma once
// The advanced trigger canvas of an editor window: the diagram of the condition of the
// advanced trigger level (or storage qualifier) on show. The pane layout builds exactly one
// per window, without parent, and lets the page on show adopt it. It follows the condition
// re-read from the model on every canvas update, paints it (title, listing, the last
// validation error, the objects and their lines), zooms and scrolls it, finds the texts of its
// objects and edits them, runs the Properties dialog on the selection, locates the node of a
// Node object, answers drags over it and makes the objects a drop brings. Every edit ends with
// a snapshot of the whole scene in the condition's undo list; the position of the snapshot
// equal to the scene is kept in the model too, so a condition shown again resumes its
// history. Scrolling moves the visible objects themselves; painting only reads them.

#include "host/afcq.h"
#include "sedq/advanced_trigger/sedq_canvas_drop_rule.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_copy.h"
#include "sedq/view/sedq_find_state.h"

#include <QBrush>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QVector>
#include <QWidget>

class QFontMetrics;
class QMenu;
class QPainter;
class SEDQ_RENAME_EDIT;
class SEDQ_OBJECT_PROPERTIES_DLG;
class QScrollBar;
class QTreeView;
class SEDQ_OBJECT;
class SEDQ_TX_MANAGER;

class SEDQ_OBJECT_WIDGET : public QWidget
{
    Q_OBJECT
public:
    SEDQ_OBJECT_WIDGET(QWidget* parent, SEDQ_TX_MANAGER* tx);
    ~SEDQ_OBJECT_WIDGET() override;

    // The shape (Qt::CursorShape) of the cursor a canvas last set. The objects' hidden state and
    // tooltips depend on it; the canvas hands it to them, since stored objects know no canvas.
    static int m_object_widget_cursor;

    // Whether the document shows the power-up trigger of its current instance; the objects of
    // this canvas's working copy read and write that trigger's settings then.
    bool is_powerup_trigger() const;

    // The copy that marks the objects of this canvas's working copy; no two canvases of the
    // process share one, so a stored object names its canvas without pointing at it.
    SEDQ_OBJECT_COPY get_copy() const { return SEDQ_OBJECT_COPY::of_canvas(m_canvas_id); }
    bool is_own(const SEDQ_OBJECT* object) const;
    // The live canvas whose working copy holds the object; null for a stored object.
    static SEDQ_OBJECT_WIDGET* get_canvas(const SEDQ_OBJECT* object);

    // The undo history of the condition on show, as last read; null when none.
    QList<QList<SEDQ_OBJECT*>*>* get_undo_list() const { return m_undo_list; }
    int get_undo_position() const { return m_undo_position; }
    // Every object of the condition on show, as last read; null when none is shown.
    QList<SEDQ_OBJECT*>* get_object_list() const { return m_object_list; }

    // The objects copied last (sedq_object_widget_clipboard.cpp); owned by the canvas, so they
    // survive switching conditions.
    const QList<SEDQ_OBJECT*>& get_clipboard() const { return m_clipboard; }
    // Where the last mouse button went down (widget pixels): Copy and Paste from the menu act there.
    void set_last_press_position(QPoint position) { m_last_press = position; }

    // Find (sedq_object_widget_find.cpp): the choices the find dialog loads and saves, kept
    // while the window lives, whatever condition is on show.
    SEDQ_FIND_STATE& get_find_state() { return m_find_state; }
    // The objects whose selection state is 1; the first of them in list order (null: none).
    int get_selection_count() const;
    SEDQ_OBJECT* get_selected_item() const;
    // Selection queries (sedq_object_widget_commands.cpp); each is false without a condition.
    bool is_selected() const;
    bool is_child_selected() const;
    bool is_parent_selected() const;
    // The one parent of the selected objects whose parent is not selected itself; null when
    // they have none or several.
    SEDQ_OBJECT* get_selected_items_parent() const;
    // Every selected object is a Result or an incremental-routing condition (or the canvas is
    // disabled): such objects are never copied, cut or removed.
    bool is_read_only_selection() const;
    // Fewer inputs than the object's kind takes: a drop, a paste or a connection may add one.
    static bool has_free_input(const SEDQ_OBJECT& object);
    // The Result and the incremental-routing condition: never copied, deleted or removed, and
    // their inputs travel only when selected themselves.
    static bool is_kept_kind(const SEDQ_OBJECT& object);
    // Expands what hides the object, makes it the only selection and centres it.
    void ensure_visible(SEDQ_OBJECT* object);
    // Makes the object the only selection and draws it on top (null: none).
    void select(SEDQ_OBJECT* object);

    // The editing commands (sedq_object_widget_commands.cpp). Deletes the selected objects of
    // `list` (null: the canvas's own) with what collapsed objects hide; the Result and the
    // incremental-routing condition stay.
    void delete_selected_objects(QList<SEDQ_OBJECT*>* list);
    // Puts an adapter between `parent` and `child` where a bit output meets a bus input (a Bus,
    // shared by the parent's inputs: `bus` is the one the previous call returned) or a bus
    // output a bit input (a Reduction Or). Returns the Bus to pass on.
    SEDQ_OBJECT* fix_illegal_connection(SEDQ_OBJECT* parent, SEDQ_OBJECT* child, SEDQ_OBJECT* bus);

    // Copies, snapshots and names (sedq_object_widget_clipboard.cpp). Deep copies of every root
    // of `source` (with its tree) go to `dest`, made in this canvas's copy; with a `target`
    // each becomes its input.
    void clone_array(QList<SEDQ_OBJECT*>* dest, const QList<SEDQ_OBJECT*>& source, SEDQ_OBJECT* target);
    static void free_array(QList<SEDQ_OBJECT*>* list);
    // Anchors are canvas coordinates; null takes the mouse cursor.
    void copy(QPoint* anchor);
    void cut(QPoint* anchor);
    void paste(QPoint* at);
    void delete_unselected_objects(QList<SEDQ_OBJECT*>* list);
    void delete_duplicate_names(QList<SEDQ_OBJECT*>* list);
    void generate_names_for_unnamed_objects();
    bool is_unique_name(const QString& name) const;
    // Appends a copy of the scene to the undo list, dropping the redo tail; every snapshot but
    // the first tells the model the condition changed, unless `modified` is false (only what
    // is open or closed changed).
    void save_undo_state(bool modified);

    // Rename (sedq_object_widget_rename.cpp): an editor over the object's text edits its alias;
    // a changed alias is one undo step.
    void start_rename(SEDQ_OBJECT* object);
    void end_rename(SEDQ_OBJECT* object, const QString& alias);
    void rename_closed(SEDQ_RENAME_EDIT* editor);
    SEDQ_RENAME_EDIT* get_rename_edit() const;

    // The enable rules of the canvas's commands (sedq_object_widget_actions.cpp).
    void on_update_edit_undo();
    void on_update_edit_redo();
    void on_update_edit_cut();
    void on_update_edit_copy();
    void on_update_edit_paste();
    void on_update_edit_delete();
    void on_update_edit_select_all();
    void on_update_rename();
    void on_update_detach();
    void on_update_insert();
    void on_update_remove();
    void on_update_append();
    void on_update_move_up();
    void on_update_move_down();
    void on_update_collapse();
    void on_update_expand();
    void on_update_find();
    void on_update_find_next();
    // Every rule, in the order focus in runs them.
    void update_all_rules();
    // The rules of the window's Edit commands (undo, redo, cut, copy, paste, delete, select all,
    // find, find next), which the window runs as its Edit menu opens.
    void update_edit_rules();

    using SLOT = void (SEDQ_OBJECT_WIDGET::*)();
    // Connects the host action's trigger to the slot, and leaves it disabled until its rule
    // turns it on.
    void connect_action(AFCQ_ACTION_ENUM id, SLOT slot);
    void disconnect_action(AFCQ_ACTION_ENUM id, SLOT slot);
    // A connection that holds only while the canvas has the keyboard focus.
    void connect_action_when_focused(AFCQ_ACTION_ENUM id, SLOT slot);
    bool is_focused() const { return m_focused; }
    // Has the keyboard, or is its window's focus widget while the window is not active: the
    // window's commands act on the canvas.
    bool holds_focus() const;
    // The context menu, built once.
    QMenu* get_context_menu() const { return m_context_menu; }

    // Geometry (sedq_object_widget_view.cpp): the topmost object the point (canvas
    // coordinates) hits in the list (null: the canvas's own), or null.
    SEDQ_OBJECT* hit_test(QPoint point, QList<SEDQ_OBJECT*>* list = nullptr);
    // Lays every root tree out by the current layout.
    void arrange_objects();
    // Widget pixels to canvas coordinates and back, by the zoom level (canvas units per ten
    // pixels).
    void client_to_zoom(QPoint* point) const;
    void client_to_zoom(QRect* rect) const;
    void zoom_to_client(QRect* rect) const;
    int get_zoom_level() const { return m_zoom_level; }
    // Steps the zoom level to `level`, keeping the scroll bars in proportion.
    void set_zoom_positions(int level);
    QScrollBar* get_horizontal_scroll_bar() const { return m_hscroll; }
    QScrollBar* get_vertical_scroll_bar() const { return m_vscroll; }
    // A disabled canvas shows its condition but takes no edits.
    bool is_disabled() const;

    // The result of the last validation, written by every paint.
    SEDQ_OBJECT::SEDQ_ERROR_TYPE get_error() const { return m_error; }
    SEDQ_OBJECT* get_error_object() const { return m_error_object; }
    // The title band's text for the condition on show.
    QString get_title() const;
    // The listing under the title: its font, how many lines it shows, and where the drawing
    // starts below it (widget pixels from the top).
    static QFont listing_font();
    static int listing_line_height();
    int get_listing_lines() const;
    int get_header_height() const;
    static int header_height_for(int lines);
    // The same in canvas coordinates: the first canvas row the drawing area shows.
    int get_header_top() const;
    // Whether the title band also shows the equation: the host switch, read once per process.
    static bool show_equation();
    // One listing line after its label, fitted to the area: a line wider than the area follows
    // the horizontal bar (past its middle the start gives way to blanks and "...") and is cut
    // at the right with "..."; `x` is where it is drawn, relative to the label's start.
    static QString fit_listing(const QFontMetrics& metrics, const QString& text, int label_width, int area_width,
                               int position, int maximum, int* x);

    // Runs the object properties dialog on the condition's objects (sedq_object_widget_properties.cpp):
    // on the selected ones, or to choose the kind of a new one with `insert`. True when accepted;
    // the condition is then marked modified and repainted.
    bool show_properties(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool insert);
    // Properties is offered while at least one object of the condition on show is selected.
    void on_update_properties();

    // The objects a drop makes (sedq_object_widget_drop.cpp), appended to `list`, selected and
    // stacked from the origin for the paste that places them. From the nodes selected in the
    // node view of this canvas's model: a Node per node, a Bus per group without nested groups
    // (expanded with the picked members of a group whose members were picked, else collapsed
    // with every member shown in advanced mode). From the entries selected in the object
    // library's tree: an object per entry, or per child of a category selected alone.
    void clone_node_tree(QList<SEDQ_OBJECT*>* list);
    void clone_operator_tree(QList<SEDQ_OBJECT*>* list, QTreeView const* tree);

public Q_SLOTS:
    void on_update(QObject* sender, int hint);
    void on_edit_undo();
    void on_edit_redo();
    void on_edit_cut();
    void on_edit_copy();
    void on_edit_paste();
    void on_edit_delete();
    void on_edit_select_all();
    void on_edit_find();
    void on_edit_find_next();
    void on_update_zoom_in();
    void on_update_zoom_out();
    void on_update_fit_in_window();
    void on_zoom_in();
    void on_zoom_out();
    void on_fit_in_window();
    void on_update_zoom(bool* enabled);
    void on_scroll();
    void on_hscroll(int position);
    void on_vscroll(int position);
    void on_update_cursor(QMouseEvent* event);
    void on_tree();
    void on_angled();
    void on_multiple_input();
    void on_show_bitmaps();
    void on_update_tree(bool* checked);
    void on_update_angled(bool* checked);
    void on_update_multiple_input(bool* checked);
    void on_update_show_bitmaps(bool* checked);
    void context_menu(const QPoint& position);
    void on_rename();
    void on_detach();
    void on_insert();
    void on_remove();
    void on_append();
    void on_move_up();
    void on_move_down();
    void on_collapse();
    void on_expand();
    // Lays every object of the condition out anew (the wizard asks once its frame has a size).
    void on_edit_arrange_all_objects();
    void on_properties();
    // Locate (sedq_object_widget_locate.cpp), on the frame's Locate menu while the canvas has
    // the focus: the node of the one selected Node object, in a host tool or its design file.
    void on_update_locate();
    void on_locate_triggered(CLSID target);
    void on_locate_design_file();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Drags over the canvas (sedq_object_widget_drag.cpp): accepted from the node view of this
    // window, the object library and the canvas's own drag, and scrolling near an edge.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    // A drop pastes what it brings at the drop position (onto the object there, if any): the
    // objects made from the nodes or palette entries, or the canvas's own dragged copy.
    void dropEvent(QDropEvent* event) override;
    // The mouse (sedq_object_widget_mouse.cpp): selecting, rubber band, moving, connecting and
    // detaching objects, dragging the selection out, and the tooltip.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The letter and arrow keys of the editing commands (sedq_object_widget_keys.cpp).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void make_scroll_bars();
    void make_context_menu();
    void set_shortcuts();
    void connect_actions();
    // The condition on show, as the model hands it out now.
    void fetch_condition();
    // A condition without a Result gets one in the middle of the visible canvas.
    void ensure_result_object();
    // Runs the focus connections one way.
    void route_focus_actions(bool connect_them);
    // Lock mode 0 and not the power-up view: the graph may change, not only its settings.
    bool is_unlocked() const;
    // The Delete command's rule, which its key keeps too.
    bool can_delete() const;
    bool is_enabled_canvas() const { return !is_disabled(); }
    void enable(AFCQ_ACTION_ENUM id, bool on);
    SEDQ_OBJECT* make_object(QPoint position);
    // The mouse cursor in canvas coordinates.
    QPoint cursor_position() const;
    // Marks and opens or closes the selection: the shared part of Expand and Collapse.
    void set_selection_expanded(bool expanded);
    // The dialog of Insert and Append; a cancel puts back `before` and the bars' values.
    void ask_new_object_properties(QList<SEDQ_OBJECT*>* before, QPoint bars);
    // A deep copy of the objects that keeps their order and every link among them.
    QList<SEDQ_OBJECT*> copy_in_order(const QList<SEDQ_OBJECT*>& source);
    // Replaces the scene by the snapshot at `position`.
    void restore_snapshot(int position);
    // A change that nested the condition deeper than a condition may be goes back to the last
    // snapshot, with a message; true then.
    bool refuse_too_deep();
    // Lets go of the oldest steps past the editor's number of undo steps.
    void drop_oldest_steps();
    // Rearranges, repaints and takes a snapshot: the end of most commands.
    void finish_command();
    void save_zoom_level();
    // A condition whose objects all still stand at the origin (one rebuilt from its equation:
    // a document that stores only the equation, a wizard preset) is laid out once and put
    // below the listing, instead of painting as one pile of boxes under the title.
    void place_unplaced_condition();
    // arrange_objects where the user has just put the roots `placed` (a paste or drop onto empty
    // canvas, the trees a gesture moved): they stay exactly there, and so does the drawing.
    void arrange_objects_keeping(const QSet<const SEDQ_OBJECT*>& placed);
    // Brings the drawing down below the title and the listing, but not below `limit` (after a
    // layout the top of the roots, which a layout leaves in place).
    void keep_below_header(int limit);
    // Trees a layout left covering another tree's boxes or output ports move down clear of them;
    // the condition's tree and the `placed` roots stay.
    void separate_trees(const QSet<const SEDQ_OBJECT*>& placed);
    // A zoom step keeps a drawing that was on show below the title and the listing, and takes
    // back on the way in what it pushed down on the way out.
    void follow_header();
    // The union of the boxes of the visible objects (null when there is none).
    QRect get_visible_bounds() const;
    void validate(const SEDQ_OBJECT* result);
    // The objects, their order and their links, read without any setting; also counts the roots.
    struct STRUCTURE
    {
        quint64 ordered = 0;
        quint64 linked = 0;
        int roots = 0;
        // The list positions of the objects being dragged.
        QVector<int> dragging;
    };
    void structure_fingerprint(STRUCTURE* structure) const;
    void refresh_paint_cache();
    int listing_lines_for(int roots, bool has_result) const;
    void paint_diagram(QPainter* painter, QRect const& exposed);
    void paint_listing(QPainter* painter, QRect const& band, int lines, const SEDQ_OBJECT* result);
    // The listing's texts for `lines` lines under the Result, written anew only when the objects
    // or the lines on show changed; and its first line in one pass, fitted to the band anew only
    // when its text, the band, the horizontal bar or the pass's font changed.
    void refresh_listing(int lines, const SEDQ_OBJECT* result);
    struct LISTING_FIT;
    const LISTING_FIT& fit_first_line(QPainter* painter, int pass, int area_width);
    // Only the parts that meet `exposed` are drawn.
    void paint_error_message(QPainter* painter, QRect const& area, QRect const& exposed);
    // Schedules a repaint of the canvas's own pixels: the scroll bars repaint themselves when
    // their values change, and are left out.
    void update_picture();
    void paint_title(QPainter* painter);
    void reveal_error_object();
    QString get_locate_name() const;
    SEDQ_OBJECT* make_dropped_object(QList<SEDQ_OBJECT*>* list, QPoint position, bool selected);
    int clone_group(QList<SEDQ_OBJECT*>* list, int group, QPoint place);
    void answer_drag(QDragMoveEvent* event);
    SEDQ_DROP_ANSWER drop_answer(QDropEvent* event, SEDQ_OBJECT** target);
    void take_dragged_objects_out();
    void free_drag_remainder();
    // Mouse gestures (sedq_object_widget_mouse.cpp).
    void press_right(QPoint point);
    void toggle_expansion(SEDQ_OBJECT* object);
    void drag_selection_out(SEDQ_OBJECT* hit, QPoint point, Qt::KeyboardModifiers keys);
    void mark_dragged_objects(SEDQ_OBJECT* hit, QPoint point, Qt::CursorShape shape);
    void auto_scroll(QPoint position);
    void stretch_rubber_band(QPoint point, Qt::KeyboardModifiers keys);
    void move_marked_objects(QPoint point);
    void snap_root(SEDQ_OBJECT* root, const QList<SEDQ_OBJECT*>& others);
    void keep_or_detach(SEDQ_OBJECT* object);
    void drag_connection(QPoint point);
    void attach_at(SEDQ_OBJECT* parent, SEDQ_OBJECT* object, int y);
    void end_gesture_moves();
    void show_tooltip(QPoint point);
    bool run_key(const QKeyEvent& event);

    SEDQ_TX_MANAGER* m_tx;
    QScrollBar* m_vscroll = nullptr;
    QScrollBar* m_hscroll = nullptr;
    // The rubber-band anchor (top left, also where a gesture began) and its moving end.
    QRect m_rubber_band = QRect(QPoint(0, 0), QPoint(-1, -1));
    // The gesture under way changed the scene: its release takes a snapshot.
    bool m_changed_by_gesture = false;
    // A mouse gesture on an object or a drag from the canvas is under way.
    bool m_moving = false;
    int m_zoom_level = 10;
    // How far zooming out pushed the drawing down, and the drawing's top it left: zooming in
    // takes the push back while the drawing still stands there.
    int m_zoom_push = 0;
    int m_zoom_push_top = 0;
    // The top of the drawing area below the listing when the drawing was last laid out.
    int m_settled_header_top = 0;
    bool m_schematic_layout = false;
    bool m_angled = true;
    bool m_multiple_input = true;
    bool m_show_bitmaps = true;
    bool m_focused = false;
    // The context menu is up: the focus moving into it keeps the commands here.
    bool m_menu_running = false;
    struct FOCUS_CONNECTION
    {
        AFCQ_ACTION_ENUM id;
        SLOT slot;
    };
    QList<FOCUS_CONNECTION> m_focus_connections;
    QMenu* m_context_menu = nullptr;
    QList<SEDQ_OBJECT*> m_clipboard;
    QPoint m_last_press;
    QPointer<SEDQ_RENAME_EDIT> m_rename_edit;
    // The object properties dialog, kept between uses: Insert and Append open it every time.
    QPointer<SEDQ_OBJECT_PROPERTIES_DLG> m_properties_dialog;
    // Whether the document shows its power-up trigger, kept while a paint runs: the objects
    // ask it on every property read, and the answer cannot change during a paint.
    bool m_powerup = false;
    bool m_painting = false;
    SEDQ_OBJECT::SEDQ_ERROR_TYPE m_error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* m_error_object = nullptr;
    // The validated equation text, shown in the title band when asked for.
    QString m_equation;
    // What a paint computes from the objects alone, kept while they stay as they were
    // (sedq_object_widget_paint.cpp): the validation, and where each object paints.
    struct PAINT_CACHE
    {
        bool validated = false;
        quint64 content_changes = 0;
        quint64 validated_structure = 0;
        int validated_updates = 0;
        bool validated_powerup = false;
        int validated_condition = 0;
        // The Result validated, whose line heads the listing (null: none).
        SEDQ_OBJECT* result = nullptr;
        bool placed = false;
        quint64 changes = 0;
        quint64 placed_structure = 0;
        bool placed_powerup = false;
        // In list order: the canvas rectangle each object's picture and lines may cover.
        QVector<QRect> extents;
        int roots = 0;
        QVector<int> dragging;
    };
    PAINT_CACHE m_paint_cache;
    // The listing's lines as last written: per pass (unselected, selected layer) the formula of
    // the Result's input and of each other root on show; `written` is cleared whenever the
    // objects change.
    struct LISTING
    {
        bool written = false;
        int lines = 0;
        const SEDQ_OBJECT* result = nullptr;
        QString label;
        bool has_input = false;
        QString first[2];
        QVector<QString> roots[2];
    };
    // What a text's measurements depend on besides the text: the font as the painter resolved
    // it and the device's resolution.
    struct MEASURED_WITH
    {
        QFont font;
        int dpi_x = 0;
        int dpi_y = 0;
        bool operator==(const MEASURED_WITH& other) const
        {
            return font == other.font && dpi_x == other.dpi_x && dpi_y == other.dpi_y;
        }
        static MEASURED_WITH of(const QPainter& painter);
    };
    // The first line as each pass last fitted it, and what the fit depends on: the texts, the
    // font and resolution, the band and the bar. An edit that leaves the texts as they were
    // (and every repaint) finds it still fitted.
    struct LISTING_FIT
    {
        bool fitted = false;
        QString label;
        QString source;
        MEASURED_WITH measured;
        int area_width = 0;
        int position = 0;
        int maximum = 0;
        QString text;
        int x = 0;
    };
    LISTING m_listing;
    LISTING_FIT m_listing_fits[2];
    // Where the last error message's background went, for its text, area and font.
    struct ERROR_PLACE
    {
        QString text;
        QRect area;
        MEASURED_WITH measured;
        QRect fill;
    };
    ERROR_PLACE m_error_place;
    // The canvas's background, kept while a paint runs.
    QBrush m_background;
    // Counts the model's updates: anything outside the objects that a validation reads (the
    // node list, the mnemonic tables) changes only with one.
    int m_updates = 0;
    const int m_canvas_id;
    QList<SEDQ_OBJECT*>* m_object_list = nullptr;
    // While the canvas drags its selection out: a copy of the scene without the dragged
    // objects, which the drop of a move puts back in place of the scene (null: no such drag).
    QList<SEDQ_OBJECT*>* m_drag_remainder = nullptr;
    QList<QList<SEDQ_OBJECT*>*>* m_undo_list = nullptr;
    int m_undo_position = -1;
    SEDQ_FIND_STATE m_find_state;
};

#pragma once
// The advanced trigger canvas of an editor window: the diagram of the condition of the
// advanced trigger level (or storage qualifier) on show. The pane layout builds exactly one
// per window, without parent, and lets the page on show adopt it. It follows the condition
// re-read from the model on every canvas update, paints it (title, listing, the last
// validation error, the objects and their lines), zooms and scrolls it, and finds the texts of
// its objects, runs the Properties dialog on the selection, locates the node of a Node object,
// answers drags over it and makes the objects a drop brings. Scrolling moves the visible
// objects themselves; painting only reads them. The other editing slots do nothing yet.

#include "host/afcq.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_copy.h"
#include "sedq/view/sedq_find_state.h"

#include <QList>
#include <QRect>
#include <QWidget>

class QFontMetrics;
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

    // Find (sedq_object_widget_find.cpp): the choices the find dialog loads and saves, kept
    // while the window lives, whatever condition is on show.
    SEDQ_FIND_STATE& get_find_state() { return m_find_state; }
    // The objects whose selection state is 1; the first of them in list order (null: none).
    int get_selection_count() const;
    SEDQ_OBJECT* get_selected_item() const;
    // Expands what hides the object, makes it the only selection and centres it.
    void ensure_visible(SEDQ_OBJECT* object);
    // Makes the object the only selection (null: none).
    void select(SEDQ_OBJECT* object);

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

private:
    // The Properties command and its shortcut, Alt with the keypad's Enter.
    void connect_properties_action();
    void save_zoom_level();
    // A condition whose objects all still stand at the origin (one rebuilt from its equation:
    // a document that stores only the equation, a wizard preset) is laid out once and put
    // below the listing, instead of painting as one pile of boxes under the title.
    void place_unplaced_condition();
    // The union of the boxes of the visible objects (null when there is none).
    QRect get_visible_bounds() const;
    void validate();
    void paint_listing(QPainter* painter, QRect const& area);
    void paint_error(QPainter* painter, QRect const& area);
    void reveal_error_object();
    void route_view_actions(bool connect);
    QString get_locate_name() const;
    SEDQ_OBJECT* make_dropped_object(QList<SEDQ_OBJECT*>* list, QPoint position, bool selected);
    int clone_group(QList<SEDQ_OBJECT*>* list, int group, QPoint place);
    void answer_drag(QDragMoveEvent* event);

    SEDQ_TX_MANAGER* m_tx;
    QScrollBar* m_vscroll = nullptr;
    QScrollBar* m_hscroll = nullptr;
    QRect m_rubber_band = QRect(QPoint(0, 0), QPoint(-1, -1));
    // A mouse gesture on an object or a drag from the canvas is under way.
    bool m_moving = false;
    int m_zoom_level = 10;
    bool m_schematic_layout = false;
    bool m_angled = true;
    bool m_multiple_input = true;
    bool m_show_bitmaps = true;
    bool m_actions_routed = false;
    // Whether the document shows its power-up trigger, kept while a paint runs: the objects
    // ask it on every property read, and the answer cannot change during a paint.
    bool m_powerup = false;
    bool m_painting = false;
    SEDQ_OBJECT::SEDQ_ERROR_TYPE m_error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* m_error_object = nullptr;
    // The validated equation text, shown in the title band when asked for.
    QString m_equation;
    const int m_canvas_id;
    QList<SEDQ_OBJECT*>* m_object_list = nullptr;
    // While the canvas drags its selection out: a copy of the scene without the dragged
    // objects, which the drop of a move puts back in place of the scene (null: no such drag).
    QList<SEDQ_OBJECT*>* m_drag_remainder = nullptr;
    QList<QList<SEDQ_OBJECT*>*>* m_undo_list = nullptr;
    int m_undo_position = -1;
    SEDQ_FIND_STATE m_find_state;
};

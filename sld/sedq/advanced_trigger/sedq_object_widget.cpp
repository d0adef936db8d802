// SEDQ_OBJECT_WIDGET: construction, following the condition on show, selection, hit testing,
// layouts and the display options.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_tree_separation.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QAction>
#include <QFocusEvent>
#include <QHash>
#include <QScrollBar>
#include <QVector>

#include <climits>

int SEDQ_OBJECT_WIDGET::m_object_widget_cursor = Qt::ArrowCursor;

namespace
{
// Canvas ids count from 1, so that 0 never names a canvas.
int next_canvas_id()
{
    static int last = 0;
    return ++last;
}

// The live canvases by id: a stored object names its canvas by id and asks it through here.
QHash<int, SEDQ_OBJECT_WIDGET*>& live_canvases()
{
    static QHash<int, SEDQ_OBJECT_WIDGET*> canvases;
    return canvases;
}

bool canvas_shows_powerup(int canvas_id)
{
    const SEDQ_OBJECT_WIDGET* canvas = live_canvases().value(canvas_id, nullptr);
    return canvas != nullptr && canvas->is_powerup_trigger();
}
} // namespace

SEDQ_OBJECT_WIDGET::SEDQ_OBJECT_WIDGET(QWidget* parent, SEDQ_TX_MANAGER* tx)
    : QWidget(parent), m_tx(tx), m_canvas_id(next_canvas_id())
{
    setFocusPolicy(Qt::StrongFocus);
    // The paint fills whatever it is asked to repaint: nothing needs erasing first, and the
    // widgets behind the canvas never repaint for it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
    make_scroll_bars();
    setMouseTracking(true);
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &SEDQ_OBJECT_WIDGET::context_menu);
    live_canvases().insert(m_canvas_id, this);
    SEDQ_OBJECT::set_canvas_powerup_query(&canvas_shows_powerup);
    SEDQ_OBJECT::set_canvas_cursor_source(&m_object_widget_cursor);
    if (m_tx == nullptr)
        return;
    make_context_menu();
    set_shortcuts();
    connect_action_when_focused(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, &SEDQ_OBJECT_WIDGET::on_fit_in_window);
    connect_action_when_focused(AFCQ_SEDQ_ZOOM_IN_ACTION, &SEDQ_OBJECT_WIDGET::on_zoom_in);
    connect_action_when_focused(AFCQ_SEDQ_ZOOM_OUT_ACTION, &SEDQ_OBJECT_WIDGET::on_zoom_out);
    connect_action_when_focused(AFCQ_EDIT_FIND_ACTION, &SEDQ_OBJECT_WIDGET::on_edit_find);
    connect_action_when_focused(AFCQ_EDIT_FIND_NEXT_ACTION, &SEDQ_OBJECT_WIDGET::on_edit_find_next);
    connect_actions();
}

// The clipboard's objects are the canvas's own; the scene and its snapshots are the model's.
SEDQ_OBJECT_WIDGET::~SEDQ_OBJECT_WIDGET()
{
    free_array(&m_clipboard);
    free_drag_remainder();
    delete m_context_menu;
    live_canvases().remove(m_canvas_id);
}

void SEDQ_OBJECT_WIDGET::make_scroll_bars()
{
    m_hscroll = new QScrollBar(Qt::Horizontal, this);
    m_vscroll = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_hscroll, m_vscroll})
    {
        bar->setCursor(Qt::ArrowCursor);
        bar->setTracking(true);
        connect(bar, &QScrollBar::valueChanged, this, &SEDQ_OBJECT_WIDGET::on_scroll);
    }
}

bool SEDQ_OBJECT_WIDGET::is_powerup_trigger() const
{
    if (m_painting)
        return m_powerup;
    return m_tx != nullptr && m_tx->is_powerup_trigger(-1);
}

SEDQ_OBJECT_WIDGET* SEDQ_OBJECT_WIDGET::get_canvas(const SEDQ_OBJECT* object)
{
    if (object == nullptr || object->get_copy().kind != SEDQ_OBJECT_COPY::CANVAS)
        return nullptr;
    return live_canvases().value(object->get_copy().canvas_id, nullptr);
}

bool SEDQ_OBJECT_WIDGET::is_disabled() const
{
    int level = 0;
    if (m_tx == nullptr || !m_tx->is_advanced_mode(&level))
        return false;
    return !m_tx->is_pattern_enabled(level) || m_tx->is_instance_acquiring(-1);
}

bool SEDQ_OBJECT_WIDGET::is_own(const SEDQ_OBJECT* object) const
{
    return object != nullptr && object->get_copy() == get_copy();
}

// A rebuild drops what was read and what was painted from it (the condition it belonged to may
// be gone); any other canvas update re-reads the condition of the level on show.
void SEDQ_OBJECT_WIDGET::on_update(QObject*, int hint)
{
    ++m_updates;
    if ((hint & SEDQ_UPDATE_TRIGGER_CANVAS) == 0)
        return;
    if ((hint & SEDQ_UPDATE_REBUILD) != 0)
    {
        m_paint_cache = PAINT_CACHE();
        m_equation.clear();
        m_listing = LISTING();
        m_listing_fits[0] = LISTING_FIT();
        m_listing_fits[1] = LISTING_FIT();
        m_object_list = nullptr;
        m_undo_list = nullptr;
        m_undo_position = -1;
        on_update_properties();
        m_error_object = nullptr;
        update_picture();
        return;
    }
    const QList<SEDQ_OBJECT*>* shown_before = m_object_list;
    fetch_condition();
    ensure_result_object();
    place_unplaced_condition();
    // A condition coming on show (a document opened, another level) starts below its listing,
    // which grows with its loose objects.
    if (m_object_list != shown_before)
        keep_below_header(INT_MAX);
    m_settled_header_top = get_header_top();
    // A condition shown for the first time gets the snapshot Undo returns to; it leaves the
    // document unmarked.
    if (m_undo_list != nullptr && m_undo_list->isEmpty() && m_tx->is_advanced_mode(nullptr))
    {
        m_undo_position = -1;
        save_undo_state(false);
    }
    on_update_properties();
    if (m_object_list == nullptr || !m_object_list->contains(m_error_object))
        m_error_object = nullptr;
    resizeEvent(nullptr);
    update_picture();
}

void SEDQ_OBJECT_WIDGET::fetch_condition()
{
    m_object_list = m_tx->get_object_array();
    m_undo_list = m_tx->get_undo_list();
    m_undo_position = m_tx->get_undo_position();
    if (m_object_list != nullptr)
        for (SEDQ_OBJECT* object : *m_object_list)
            object->set_copy(get_copy());
}

// Not an edit: the Result belongs to every condition, and its first snapshot includes it.
void SEDQ_OBJECT_WIDGET::ensure_result_object()
{
    if (m_object_list == nullptr || sedq_get_object_index(m_object_list, SEDQ_OBJECT::LEVEL_RESULT) >= 0)
        return;
    QRect visible(0, 0, width(), height());
    client_to_zoom(&visible);
    const QPoint centre((visible.left() + visible.right()) / 2, (visible.top() + visible.bottom()) / 2 - 10);
    SEDQ_OBJECT* result = new SEDQ_OBJECT(get_copy(), centre, m_tx->get_advanced_condition());
    result->set_type(SEDQ_OBJECT::LEVEL_RESULT);
    m_object_list->append(result);
}

void SEDQ_OBJECT_WIDGET::select(SEDQ_OBJECT* object)
{
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* other : *m_object_list)
        other->select(other == object, false, false);
    if (object != nullptr && m_object_list->removeAll(object) > 0)
    {
        m_object_list->append(object);
        on_update_edit_cut();
        on_update_edit_copy();
        on_update_edit_paste();
        on_update_edit_delete();
        on_update_edit_undo();
        on_update_edit_redo();
        on_update_edit_select_all();
    }
    on_update_properties();
}

// Later objects are drawn over earlier ones, so the search runs from the end of the list.
SEDQ_OBJECT* SEDQ_OBJECT_WIDGET::hit_test(QPoint point, QList<SEDQ_OBJECT*>* list)
{
    if (list == nullptr)
        list = m_object_list;
    if (list == nullptr)
        return nullptr;
    for (SEDQ_OBJECT* object : *list)
        object->set_copy(get_copy());
    for (int i = list->size() - 1; i >= 0; --i)
        if (list->at(i)->hit_test(point))
            return list->at(i);
    return nullptr;
}

void SEDQ_OBJECT_WIDGET::arrange_objects()
{
    arrange_objects_keeping({});
}

void SEDQ_OBJECT_WIDGET::arrange_objects_keeping(const QSet<const SEDQ_OBJECT*>& placed)
{
    if (m_object_list == nullptr)
        return;
    QVector<QPoint> before;
    before.reserve(m_object_list->size());
    for (const SEDQ_OBJECT* object : *m_object_list)
        before.append(object->get_rect().topLeft());
    // A layout keeps every root where it is and spreads the inputs round it.
    int roots_top = INT_MAX;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (object->is_root())
        {
            if (m_schematic_layout)
                object->arrange_schematic();
            else
                object->arrange();
            roots_top = qMin(roots_top, object->get_rect().top());
        }
    // Only a layout that moved something makes trees give way: boxes the user left on each
    // other stay there.
    bool moved = false;
    for (int i = 0; i < before.size() && !moved; ++i)
        moved = m_object_list->at(i)->get_rect().topLeft() != before.at(i);
    if (moved)
        separate_trees(placed);
    // A drawing on show below the listing stays below it when the layout or a grown listing (a
    // removed operator's inputs add lines) takes it up there; one the user scrolled up keeps its
    // roots where they are. What the user has just placed stays where it was put, under a
    // grown listing too, and a later layout that moves nothing leaves it there.
    const bool header_grew = get_header_top() != m_settled_header_top;
    if (roots_top != INT_MAX && placed.isEmpty() && (moved || header_grew))
        keep_below_header(roots_top >= m_settled_header_top ? INT_MAX : roots_top);
    m_settled_header_top = get_header_top();
    // The bars place the drawing by its bounds, which a layout changes.
    resizeEvent(nullptr);
    update_picture();
}

namespace
{
// Trees stand at least this far apart, as a layout stacks boxes: the next top at the box's top
// plus its height plus the gap. Box rectangles hold their bottom row (top + height), so that
// leaves one row less between the rectangles.
constexpr int TREE_GAP = 10;
constexpr int TREE_RECT_GAP = TREE_GAP - 1;

// The boxes and output ports of the objects of a tree on show.
void collect_tree_rects(const SEDQ_OBJECT* object, QVector<QRect>* rects)
{
    rects->append(object->get_rect());
    if (SEDQ_OBJECT::DISPLAY_TYPES[object->get_display_type()].output_type != SEDQ_OBJECT::PORT_NONE)
    {
        QRect port;
        object->get_output_port(&port);
        rects->append(port);
    }
    for (const SEDQ_OBJECT* input : object->get_children())
        if (!input->is_hidden())
            collect_tree_rects(input, rects);
}
} // namespace

// A layout spreads each tree round its root and knows nothing of the other trees: a tree that
// then covers a box or an output port of another moves down until it clears them, TREE_GAP
// apart. The Result's tree and the trees the user has just placed stay where they are, even on
// each other; the other loose trees make way for them, then for each other in list order.
void SEDQ_OBJECT_WIDGET::separate_trees(const QSet<const SEDQ_OBJECT*>& placed)
{
    QList<SEDQ_OBJECT*> staying;
    QList<SEDQ_OBJECT*> moving;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (object->is_root() && !object->is_hidden())
        {
            if (object->get_type() == SEDQ_OBJECT::LEVEL_RESULT)
                staying.prepend(object);
            else
                (placed.contains(object) ? staying : moving).append(object);
        }
    // Without the Result or a placed tree, the first loose tree settles where it stands.
    if (moving.isEmpty() || staying.size() + moving.size() < 2)
        return;
    const QList<SEDQ_OBJECT*> roots = staying + moving;
    QVector<QVector<QRect>> trees(roots.size());
    for (int i = 0; i < roots.size(); ++i)
        collect_tree_rects(roots[i], &trees[i]);
    const QVector<int> shifts = sedq_separate_trees(trees, TREE_RECT_GAP, qMax(1, int(staying.size())));
    for (int i = 0; i < roots.size(); ++i)
        if (shifts[i] != 0)
            roots[i]->move(QPoint(0, shifts[i]));
}

// Inputs a layout put up under the title or the listing come down with the whole drawing, as far
// as the roots allow: a drawing the user scrolled up keeps its roots where they are.
void SEDQ_OBJECT_WIDGET::keep_below_header(int limit)
{
    if (m_object_list == nullptr || m_object_list->isEmpty())
        return;
    const int target = qMin(limit, get_header_top());
    const int top = get_visible_bounds().top();
    if (top >= target)
        return;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (!object->is_hidden())
            object->move(object->get_rect().left(), object->get_rect().top() + target - top);
}

// The first canvas row below the title and the listing, at the zoom level on show.
int SEDQ_OBJECT_WIDGET::get_header_top() const
{
    return (get_header_height() * m_zoom_level + 9) / 10;
}

// A new layout also needs straight-through connections to read well, so it switches angled
// lines and separate ports back on.
void SEDQ_OBJECT_WIDGET::on_tree()
{
    m_schematic_layout = !m_schematic_layout;
    m_angled = true;
    m_multiple_input = true;
    arrange_objects();
}

void SEDQ_OBJECT_WIDGET::on_angled()
{
    m_angled = !m_angled;
    m_multiple_input = true;
    arrange_objects();
}

void SEDQ_OBJECT_WIDGET::on_multiple_input()
{
    m_multiple_input = !m_multiple_input;
    update_picture();
}

void SEDQ_OBJECT_WIDGET::on_show_bitmaps()
{
    m_show_bitmaps = !m_show_bitmaps;
    update_picture();
}

void SEDQ_OBJECT_WIDGET::on_update_tree(bool* checked)
{
    *checked = !m_schematic_layout;
}

void SEDQ_OBJECT_WIDGET::on_update_angled(bool* checked)
{
    *checked = m_angled;
}

void SEDQ_OBJECT_WIDGET::on_update_multiple_input(bool* checked)
{
    *checked = m_multiple_input;
}

void SEDQ_OBJECT_WIDGET::on_update_show_bitmaps(bool* checked)
{
    *checked = m_show_bitmaps;
}


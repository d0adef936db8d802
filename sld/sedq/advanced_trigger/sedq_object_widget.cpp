// SEDQ_OBJECT_WIDGET: construction, following the condition on show, selection, hit testing,
// layouts and the display options.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QAction>
#include <QFocusEvent>
#include <QHash>
#include <QScrollBar>

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
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    m_vscroll = new QScrollBar(Qt::Vertical, this);
    m_hscroll = new QScrollBar(Qt::Horizontal, this);
    connect(m_vscroll, &QScrollBar::valueChanged, this, &SEDQ_OBJECT_WIDGET::on_scroll);
    connect(m_hscroll, &QScrollBar::valueChanged, this, &SEDQ_OBJECT_WIDGET::on_scroll);
    live_canvases().insert(m_canvas_id, this);
    SEDQ_OBJECT::set_canvas_powerup_query(&canvas_shows_powerup);
    SEDQ_OBJECT::set_canvas_cursor_source(&m_object_widget_cursor);
    connect_properties_action();
}

SEDQ_OBJECT_WIDGET::~SEDQ_OBJECT_WIDGET()
{
    live_canvases().remove(m_canvas_id);
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

// A rebuild drops what was read (the condition it belonged to may be gone); any other canvas
// update re-reads the condition of the level on show.
void SEDQ_OBJECT_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_TRIGGER_CANVAS) == 0)
        return;
    if ((hint & SEDQ_UPDATE_REBUILD) != 0)
    {
        m_object_list = nullptr;
        m_undo_list = nullptr;
        m_undo_position = -1;
        on_update_properties();
        m_error_object = nullptr;
        update();
        return;
    }
    m_object_list = m_tx->get_object_array();
    m_undo_list = m_tx->get_undo_list();
    m_undo_position = m_tx->get_undo_position();
    on_update_properties();
    if (m_object_list != nullptr)
        for (SEDQ_OBJECT* object : *m_object_list)
            object->set_copy(get_copy());
    place_unplaced_condition();
    if (m_object_list == nullptr || !m_object_list->contains(m_error_object))
        m_error_object = nullptr;
    resizeEvent(nullptr);
    update();
}

void SEDQ_OBJECT_WIDGET::select(SEDQ_OBJECT* object)
{
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* other : *m_object_list)
        other->get_property().set(SEDQ_PROPERTY::SELECTED, other == object ? 1 : 0);
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
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (object->is_root())
        {
            if (m_schematic_layout)
                object->arrange_schematic();
            else
                object->arrange();
        }
    // The bars place the drawing by its bounds, which a layout changes.
    resizeEvent(nullptr);
    update();
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
    update();
}

void SEDQ_OBJECT_WIDGET::on_show_bitmaps()
{
    m_show_bitmaps = !m_show_bitmaps;
    update();
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

// The zoom commands of the View menu come here while the canvas has the focus.
void SEDQ_OBJECT_WIDGET::route_view_actions(bool connect_them)
{
    if (m_tx == nullptr || m_tx->get_frame_wnd() == nullptr || m_actions_routed == connect_them)
        return;
    m_actions_routed = connect_them;
    const struct
    {
        AFCQ_ACTION_ENUM id;
        void (SEDQ_OBJECT_WIDGET::*slot)();
    } routes[] = {{AFCQ_SEDQ_ZOOM_IN_ACTION, &SEDQ_OBJECT_WIDGET::on_zoom_in},
                  {AFCQ_SEDQ_ZOOM_OUT_ACTION, &SEDQ_OBJECT_WIDGET::on_zoom_out},
                  {AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, &SEDQ_OBJECT_WIDGET::on_fit_in_window}};
    for (const auto& route : routes)
    {
        QAction* action = m_tx->get_action(route.id, QVariant());
        if (action == nullptr)
            continue;
        if (connect_them)
            connect(action, &QAction::triggered, this, route.slot);
        else
            disconnect(action, &QAction::triggered, this, route.slot);
    }
}

void SEDQ_OBJECT_WIDGET::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    route_view_actions(true);
    update();
}

// Focus moving into a menu keeps the commands routed here.
void SEDQ_OBJECT_WIDGET::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (event->reason() != Qt::MenuBarFocusReason && event->reason() != Qt::PopupFocusReason)
        route_view_actions(false);
    update();
}

void SEDQ_OBJECT_WIDGET::on_edit_undo() {}

void SEDQ_OBJECT_WIDGET::on_edit_redo() {}

void SEDQ_OBJECT_WIDGET::on_edit_cut() {}

void SEDQ_OBJECT_WIDGET::on_edit_copy() {}

void SEDQ_OBJECT_WIDGET::on_edit_paste() {}

void SEDQ_OBJECT_WIDGET::on_edit_delete() {}

void SEDQ_OBJECT_WIDGET::on_edit_arrange_all_objects() {}

void SEDQ_OBJECT_WIDGET::on_edit_select_all() {}



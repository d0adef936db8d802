// SEDQ_OBJECT_WIDGET: construction and following the condition on show.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QHash>

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
    live_canvases().insert(m_canvas_id, this);
    SEDQ_OBJECT::set_canvas_powerup_query(&canvas_shows_powerup);
    connect_properties_action();
}

SEDQ_OBJECT_WIDGET::~SEDQ_OBJECT_WIDGET()
{
    live_canvases().remove(m_canvas_id);
}

bool SEDQ_OBJECT_WIDGET::is_powerup_trigger() const
{
    return m_tx != nullptr && m_tx->is_powerup_trigger(-1);
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
        return;
    }
    m_object_list = m_tx->get_object_array();
    m_undo_list = m_tx->get_undo_list();
    m_undo_position = m_tx->get_undo_position();
    on_update_properties();
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

void SEDQ_OBJECT_WIDGET::on_update_zoom_in()
{
    m_tx->enable_action(AFCQ_SEDQ_ZOOM_IN_ACTION, false);
}

void SEDQ_OBJECT_WIDGET::on_update_zoom_out()
{
    m_tx->enable_action(AFCQ_SEDQ_ZOOM_OUT_ACTION, false);
}

void SEDQ_OBJECT_WIDGET::on_update_fit_in_window()
{
    m_tx->enable_action(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, false);
}

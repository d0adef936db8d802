#pragma once
// The advanced trigger canvas of an editor window: the diagram of the condition of the
// advanced trigger level (or storage qualifier) on show. The pane layout builds exactly one
// per window, without parent, and lets the page on show adopt it. What stands so far: the
// widget, its focus (the frame routes the Edit commands here while it has it) and the
// condition it follows, re-read from the model on every canvas update, and finding the texts
// of its objects, and the Properties command. Drawing and editing the diagram are not built
// yet: the other editing slots do nothing and leave their menu entries disabled.

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_copy.h"
#include "sedq/view/sedq_find_state.h"

#include <QList>
#include <QWidget>

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
    // Expands what hides the object and makes it the only selection.
    void ensure_visible(SEDQ_OBJECT* object);

    // Runs the object properties dialog on the condition's objects (sedq_object_widget_properties.cpp):
    // on the selected ones, or to choose the kind of a new one with `insert`. True when accepted;
    // the condition is then marked modified and repainted.
    bool show_properties(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool insert);
    // Properties is offered while at least one object of the condition on show is selected.
    void on_update_properties();

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
    // Lays every object of the condition out anew (the wizard asks once its frame has a size).
    void on_edit_arrange_all_objects();
    void on_properties();

private:
    // The Properties command and its shortcut, Alt with the keypad's Enter.
    void connect_properties_action();

    SEDQ_TX_MANAGER* m_tx;
    const int m_canvas_id;
    QList<SEDQ_OBJECT*>* m_object_list = nullptr;
    QList<QList<SEDQ_OBJECT*>*>* m_undo_list = nullptr;
    int m_undo_position = -1;
    SEDQ_FIND_STATE m_find_state;
};

#pragma once
// "Find": searches names with the host find engine over an ordered list of find targets it owns,
// built once when it opens. In view mode the targets are the node rows of the current instance
// that the hierarchy pane does not hide, and a match scrolls the view to the row; in object mode
// they are the texts of the advanced trigger canvas's objects, top to bottom, and a match selects
// the object. The opener's kept find state is loaded into the widgets and written back after each
// search. Find Next steps one target up, or just past the last match down; when nothing more is
// found it asks whether to go on from the other end of the document, once per step.

#include "host/afcq.h"
#include "host/uib.h"
#include "sedq/view/sedq_find_state.h"

#include <QByteArray>

#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SEDQ_FRAME_WND;
class SEDQ_OBJECT;
class SEDQ_OBJECT_WIDGET;
class SEDQ_VIEW;

class SEDQ_FIND_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    // The "Find in" boxes, in the order of their bits in the find-in set.
    enum FIND_IN_BOX
    {
        NODE_NAMES,
        BUS_NAMES,
        OTHER_NAMES,
        OBJECT_ALIASES,
        OBJECT_TYPES,
        FIND_IN_BOX_COUNT
    };

    SEDQ_FIND_DLG(QWidget* parent, SEDQ_FRAME_WND* frame, bool view_mode);
    ~SEDQ_FIND_DLG() override;
    SEDQ_FIND_DLG(const SEDQ_FIND_DLG&) = delete;
    SEDQ_FIND_DLG& operator=(const SEDQ_FIND_DLG&) = delete;

    // The state load_find_dlg_state() writes into the widgets; the opener copies its own in.
    void set_state_to_load(const SEDQ_FIND_STATE& state) { m_state_to_load = state; }
    const SEDQ_FIND_STATE& get_state_to_load() const { return m_state_to_load; }
    void load_find_dlg_state();
    // Writes the widgets back into the find state of the view (view mode) or the canvas.
    void save_find_dlg_state();

    // Where the next search goes on from; a position whose target index lies past the targets
    // counts as no previous match.
    void set_find_position(const SEDQ_FIND_POSITION& position);
    SEDQ_FIND_POSITION get_find_position() const;

    // The view's Find Next on a dialog that is not shown; the view keeps where it stopped.
    void on_view_find_next();
    // The canvas's Find Next: the targets are built again and the search starts at the one
    // selected object, if there is exactly one.
    void on_object_widget_find_next();
    void update_find_next_button();
    void update_check_all_checkbox();

    bool is_view_mode() const { return m_view_mode; }
    int get_direction_code() const { return m_direction; }
    unsigned int get_find_in() const { return m_find_in; }
    unsigned int get_options() const { return m_options; }
    const QByteArray& get_find_text() const { return m_find_text; }
    const std::vector<UIB_FIND_TARGET*>& get_targets() const { return m_targets; }

    QLineEdit* get_find_text_edit() const { return m_find_text_edit; }
    // 0 "Match case", 1 "Find whole words only", 2 "Use regular expressions".
    QCheckBox* get_option_check_box(int index) const;
    QCheckBox* get_find_in_check_box(FIND_IN_BOX box) const;
    QCheckBox* get_all_check_box() const { return m_all_check_box; }
    QComboBox* get_direction_combo() const { return m_direction_combo; }
    QPushButton* get_find_next_button() const { return m_find_next_button; }
    QDialogButtonBox* get_button_box() const { return m_button_box; }

public Q_SLOTS:
    void on_find_in_state_changed();
    void on_find_option_changed();
    void on_find_all_state_changed(bool checked);
    void on_find_text_changed(const QString& text);
    void on_find_next_clicked();
    void on_search_direction_combo_changed(int index);
    void reject() override;

private:
    void make_widgets();
    void layout_widgets();
    void connect_widgets();
    void add_view_targets();
    void add_object_targets(SEDQ_OBJECT* start);
    void delete_targets();
    bool can_search() const;
    bool has_previous_match() const;
    // The last character of target i's text, NPOS for an empty text.
    unsigned long end_of_text(unsigned long index);
    bool step_past_last_match();
    bool step_from_selected_object(SEDQ_OBJECT* selected);
    void find_once(bool searchable);
    bool continue_from_other_end();
    void search_from_other_end();

    QLabel* m_find_label = nullptr;
    QLineEdit* m_find_text_edit = nullptr;
    QCheckBox* m_option_check_boxes[3] = {};
    QLabel* m_direction_label = nullptr;
    QComboBox* m_direction_combo = nullptr;
    QCheckBox* m_find_in_check_boxes[FIND_IN_BOX_COUNT] = {};
    QCheckBox* m_all_check_box = nullptr;
    QPushButton* m_find_next_button = nullptr;
    QDialogButtonBox* m_button_box = nullptr;

    int m_direction = UIB_FIND_ENGINE::ALL;
    QByteArray m_find_text;
    unsigned int m_find_in = 31;
    unsigned int m_options = 0;
    std::vector<UIB_FIND_TARGET*> m_targets;
    UIB_FIND_ENGINE m_engine{&m_targets};
    UIB_FIND_TARGET* m_last_result = nullptr;
    unsigned long m_target_index = 0;
    unsigned long m_position = 0;
    unsigned long m_length = 0;
    bool m_view_mode;
    SEDQ_FIND_STATE m_state_to_load;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_OBJECT_WIDGET* m_canvas = nullptr;
    SEDQ_VIEW* m_view = nullptr;
};

#pragma once
// The "Signal Configuration" pane of one instance, beside the node list on the Setup page: the
// clock, sample depth, memory type, segments, node allocations, pipeline, storage qualifier,
// trigger flow, position and levels, and the trigger in and out connections. Every control
// drives a slot of the document model, which makes the change; the pane writes nothing itself.
// On a configuration refresh it reads every control back from the model while it holds
// SEDQ_BLOCK, so the signals that the refresh raises change nothing. The controls are built
// when the pane is first shown, and a pane out of sight catches up with refreshes when it
// shows again: the layout rebuilds one pane per instance on many edits, and most are hidden.

#include <QFrame>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class SEDQ_ALLOCATION_TYPE_BUTTON_GROUP;
class SEDQ_FRAME_WND;
class SEDQ_INSTANCE_COMBO_BOX;
class SEDQ_LINE_EDIT;
class SEDQ_NODE_ALLOCATION_IF;
class SEDQ_SAMPLE_DEPTH_COMBO_BOX;
class SEDQ_SEGMENT_COMBO_BOX;
class SEDQ_STORAGE_COMBO_BOX;
class SEDQ_TX_MANAGER;

class SEDQ_CONFIG_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_CONFIG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }

    // Builds the scrollable body with every control, wires it and fills it once.
    QWidget* get_controls_widget();
    // Enables the widget as the lock mode allows: a lockable control only while every change
    // is allowed (never on the power-up trigger), any other control except on a locked
    // power-up trigger. Group boxes keep their children's own state.
    void enable_lockable_control(QWidget* widget, bool lockable);
    // Reads the three node allocation rows back from the model.
    void configure_node_alloc_widgets();
    // Whether the storage qualifier type chosen is other than "Continuous".
    bool is_storage_qualifier_in_use() const;

protected:
    void showEvent(QShowEvent* event) override;

public Q_SLOTS:
    void on_update(QObject* sender, int hint);
    void set_enabled_property_sq_combo(bool enabled);
    // After the model took a new sample depth: shows the segmentation it keeps for it.
    void on_sample_depth_chosen();

private:
    // One "Nodes Allocated:" row: "Auto", "Manual:" and the count.
    struct ALLOCATION_ROW
    {
        QRadioButton* auto_button = nullptr;
        QRadioButton* manual_button = nullptr;
        QSpinBox* spin_box = nullptr;
        SEDQ_ALLOCATION_TYPE_BUTTON_GROUP* group = nullptr;
    };

    // Building (sedq_config_widget.cpp).
    QLayout* make_clock_row(QWidget* parent);
    QGroupBox* make_data_group(QWidget* parent);
    QGroupBox* make_storage_qualifier_group(QWidget* parent);
    QGroupBox* make_trigger_group(QWidget* parent);
    QGroupBox* make_trigger_in_group(QWidget* parent);
    QGroupBox* make_trigger_out_group(QWidget* parent);
    QLayout* make_allocation_row(QWidget* parent, SEDQ_NODE_ALLOCATION_IF* allocation, ALLOCATION_ROW* row);
    QPushButton* make_browse_button(QWidget* parent);
    void widen_to_controls();
    void wire_controls();
    void connect_to_manager();
    template <typename SENDER, typename SIGNAL_FN, typename SLOT_FN>
    void connect_control(SENDER* sender, SIGNAL_FN signal, SLOT_FN slot);

    // Refreshing (sedq_config_widget_update.cpp).
    void refresh_all();
    void refresh_clock();
    void refresh_data();
    void refresh_storage_qualifier();
    void refresh_depth_dependents();
    void select_stored_segments();
    void refresh_trigger();
    void refresh_trigger_in(bool hide_hps);
    void refresh_trigger_out(bool hide_hps);
    void refresh_trigger_out_instance();
    void fill_instance_list(SEDQ_INSTANCE_COMBO_BOX* list, QAbstractButton* source);
    void refresh_powerup_highlight();
    void configure_allocation_row(ALLOCATION_ROW const& row, int allocated, int used);
    void enable_following(QWidget* widget, bool checked);
    bool is_hps_trigger_hidden() const;

    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
    QScrollArea* m_scroll_area = nullptr;
    bool m_controls_built = false;
    bool m_refresh_pending = false;

    SEDQ_LINE_EDIT* m_clock_edit = nullptr;
    QPushButton* m_clock_button = nullptr;
    SEDQ_SAMPLE_DEPTH_COMBO_BOX* m_sample_depth_combo = nullptr;
    QComboBox* m_ram_type_combo = nullptr;
    QCheckBox* m_segmented_check = nullptr;
    SEDQ_SEGMENT_COMBO_BOX* m_segment_combo = nullptr;
    ALLOCATION_ROW m_data_allocation;
    QComboBox* m_pipeline_combo = nullptr;

    SEDQ_STORAGE_COMBO_BOX* m_sq_type_combo = nullptr;
    SEDQ_LINE_EDIT* m_sq_input_edit = nullptr;
    QPushButton* m_sq_input_button = nullptr;
    ALLOCATION_ROW m_sq_allocation;
    QCheckBox* m_discontinuities_check = nullptr;
    QCheckBox* m_disable_sq_check = nullptr;

    ALLOCATION_ROW m_trigger_allocation;
    QComboBox* m_flow_combo = nullptr;
    QComboBox* m_position_combo = nullptr;
    QComboBox* m_level_combo = nullptr;

    QGroupBox* m_trigger_in_group = nullptr;
    QButtonGroup* m_trigger_in_sources = nullptr;
    QRadioButton* m_in_pin_radio = nullptr;
    QRadioButton* m_in_node_radio = nullptr;
    QRadioButton* m_in_instance_radio = nullptr;
    QRadioButton* m_in_hps_radio = nullptr;
    SEDQ_LINE_EDIT* m_in_pin_edit = nullptr;
    SEDQ_LINE_EDIT* m_in_node_edit = nullptr;
    QPushButton* m_in_node_button = nullptr;
    SEDQ_INSTANCE_COMBO_BOX* m_in_instance_combo = nullptr;
    QComboBox* m_in_pattern_combo = nullptr;

    QGroupBox* m_trigger_out_group = nullptr;
    QCheckBox* m_out_pin_check = nullptr;
    SEDQ_LINE_EDIT* m_out_pin_edit = nullptr;
    QCheckBox* m_out_instance_check = nullptr;
    SEDQ_INSTANCE_COMBO_BOX* m_out_instance_combo = nullptr;
    QCheckBox* m_out_hps_trigger_in_check = nullptr;
    QCheckBox* m_out_hps_event_check = nullptr;
    QComboBox* m_out_hps_event_combo = nullptr;
    QComboBox* m_out_level_combo = nullptr;
    QLineEdit* m_latency_edit = nullptr;
};

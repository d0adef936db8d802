#pragma once
// The resources pane of an instance's "State-Based Trigger Flow" page: how many flags and
// counters the flow may use, their names, widths, initial values and the values the last
// acquisition read back, and the four options that stay configurable at run time. Each change
// is one edit through the model; the pane rebuilds from the model on every refresh.

#include "host/sci.h"

#include <QFrame>

class SEDQ_CONFIG_CHECK_BOX;
class SEDQ_FRAME_WND;
class SEDQ_INT_COMBO_BOX;
class SEDQ_TREE_WIDGET;
class SEDQ_TX_MANAGER;

class SEDQ_RESOURCES_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_RESOURCES_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame);

    int get_instance() const { return m_instance; }
    QWidget* get_controls_widget();

    SEDQ_INT_COMBO_BOX* get_flag_combo() const { return m_flag_combo; }
    SEDQ_INT_COMBO_BOX* get_counter_combo() const { return m_counter_combo; }
    SEDQ_TREE_WIDGET* get_flag_list() const { return m_flag_list; }
    SEDQ_TREE_WIDGET* get_counter_list() const { return m_counter_list; }
    QList<SEDQ_CONFIG_CHECK_BOX*> get_check_boxes() const;

public Q_SLOTS:
    void on_update(QObject* sender, int hint);

private:
    void connect_controls();
    void fill_flags();
    void fill_counters();
    void on_flag_count(int count);
    void on_counter_count(int count);
    void on_flag_name(int row, const QString* text);
    void on_flag_initial_value(int row, int value);
    void on_counter_name(int row, const QString* text);
    void on_counter_width(int row, int width);
    void on_counter_initial_value(int row, unsigned int value);
    void on_configurable(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option, bool on);

    SEDQ_INT_COMBO_BOX* m_flag_combo = nullptr;
    SEDQ_INT_COMBO_BOX* m_counter_combo = nullptr;
    SEDQ_TREE_WIDGET* m_flag_list = nullptr;
    SEDQ_TREE_WIDGET* m_counter_list = nullptr;
    SEDQ_CONFIG_CHECK_BOX* m_configurable_goto_check_box = nullptr;
    SEDQ_CONFIG_CHECK_BOX* m_configurable_value_check_box = nullptr;
    SEDQ_CONFIG_CHECK_BOX* m_configurable_comparison_check_box = nullptr;
    SEDQ_CONFIG_CHECK_BOX* m_configurable_logical_check_box = nullptr;
    int m_instance;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
};

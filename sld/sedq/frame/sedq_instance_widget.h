#pragma once
// The "Instance Manager" pane at the top of the editor window: the instances of the document
// with the acquisition commands above them. The list shows every instance by name and marks
// the current one; its status, Enabled and usage columns, the status line and the instance
// commands are not built yet. The status texts are rendered when the library loads: each is
// the visible text of the status message of the same name, and sedq_text_to_msg finds that
// message again from the text (for the status help). The 33 texts are pairwise different.

#include <QFrame>
#include <QStandardItemModel>
#include <QString>

class QHBoxLayout;
class QToolButton;
class QTreeView;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_INSTANCE_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_INSTANCE_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame);

    QTreeView* get_tree() const { return m_tree; }
    QStandardItemModel* get_model() { return &m_model; }

    // Instance list status.
    static const QString SEDQ_NO_INSTANCES_STR;
    static const QString SEDQ_NO_NODES_STR;
    static const QString SEDQ_READY_TO_ACQUIRE_STR;
    static const QString SEDQ_NOT_RUNNING_STR;
    static const QString SEDQ_ACQUISITION_IN_PROGRESS_STR;
    static const QString SEDQ_WAITING_FOR_CLOCK_STR;
    static const QString SEDQ_COMPILE_DESIGN_STR;
    static const QString SEDQ_RECOMPILE_DESIGN_STR;
    static const QString SEDQ_REROUTE_DESIGN_STR;
    static const QString SEDQ_PROGRAM_DEVICE_STR;
    static const QString SEDQ_ACQUIRING_PRE_TRIGGER_DATA_STR;
    static const QString SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR;
    static const QString SEDQ_OFFLOADING_DATA_STR;
    static const QString SEDQ_WAITING_FOR_TRIGGER_STR;
    static const QString SEDQ_TRIGGER_IN_MET_STR;
    static const QString SEDQ_TRIGGER_LEVEL_STR;
    static const QString SEDQ_INVALID_JTAG_CONFIGURATION_STR;
    static const QString SEDQ_JTAG_COMMUNICATION_ERROR_STR;
    static const QString SEDQ_JTAG_COMMUNICATION_BUSY_STR;
    static const QString SEDQ_WAITING_FOR_JTAG_STR;
    static const QString SEDQ_POWERUP_WAITING_FOR_CLOCK_STR;
    static const QString SEDQ_POWERUP_WAITING_FOR_TRIGGER_STR;
    static const QString SEDQ_POWERUP_ACQUIRING_PRE_TRIGGER_DATA_STR;
    static const QString SEDQ_POWERUP_ACQUIRING_POST_TRIGGER_DATA_STR;
    static const QString SEDQ_POWERUP_OFFLOADING_DATA_STR;

    // Acquisition errors reported by the JTAG engine.
    static const QString SEDQ_JTAG_ERR_VERSION_DIFF_STR;
    static const QString SEDQ_JTAG_ERR_VERSION_MISMATCH_STR;
    static const QString SEDQ_JTAG_ERR_NO_HARDWARE_STR;
    static const QString SEDQ_JTAG_ERR_HANDWARE_CHANGED_STR;
    static const QString SEDQ_JTAG_ERR_HANDWARE_BUSY_STR;
    static const QString SEDQ_JTAG_ERR_NO_SLD_NODE_STR;
    static const QString SEDQ_JTAG_ERR_JTAG_ERROR_STR;
    static const QString SEDQ_JTAG_ERR_SOF_INCOMPATIBLE_STR;

public Q_SLOTS:
    void on_sel_change_instance_tab(int index);
    void update_instance_list();
    void on_update(QObject* sender, int hint);

private:
    QHBoxLayout* make_title_row();
    QToolButton* make_command_button(int action_id, int icon_id);
    void size_columns();

    QToolButton* m_run_button = nullptr;
    QToolButton* m_autorun_button = nullptr;
    QToolButton* m_stop_button = nullptr;
    QToolButton* m_read_button = nullptr;
    QTreeView* m_tree = nullptr;
    QStandardItemModel m_model;
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx;
};

#pragma once
// "Add State Machine Nodes": lists the state machines of the pre-synthesis or post-fitting
// netlist, each with the mnemonic table name it would get or why it cannot be added, and on Ok
// adds the chosen ones to the current instance as one group of state registers each, shown
// through a new mnemonic table of their state names (one undo step). In recreate mode
// ("Recreate State Machine Mnemonics") it rebuilds the tables of machines already tapped. The
// dialog reads each netlist's machine list once and keeps one post-fitting keypoint reader for
// its whole life; the document changes only in accept().

#include "host/afcq.h"

#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QStandardItem;
class SDR_DATA_MNEMONICS;
class SEDQ_DATABASE_MANAGER;
class SEDQ_FRAME_WND;
class SEDQ_KPT_MANAGER;
class SEDQ_STATE_MACHINE_TABLE_VIEW;
class SEDQ_TX_MANAGER;

// Drops everything up to and including the first ':' of a name (its entity part); a name
// without ':' stays as it is.
void sedq_remove_entity_name(QString* name);
void sedq_remove_entity_name(QStringList* names);

class SEDQ_STATE_MACHINE_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    SEDQ_STATE_MACHINE_DLG(SEDQ_FRAME_WND* frame, bool recreate, QWidget* parent);
    ~SEDQ_STATE_MACHINE_DLG() override;

    // What the view's "Add State Machine Nodes" (recreate false) and "Recreate State Machine
    // Mnemonics" (recreate true) commands run: the dialog, modal, over the frame's document.
    static int run(SEDQ_FRAME_WND* frame, bool recreate, QWidget* parent);

    // The netlist chosen: 0 pre-synthesis, 1 post-fitting, -1 none.
    int get_netlist_index() const;
    // The post-fitting reader, made by the first post-fitting database manager; the dialog owns
    // it from then on.
    SEDQ_KPT_MANAGER* get_kpt_manager() const { return m_kpt_manager; }
    void set_kpt_manager(SEDQ_KPT_MANAGER* manager);

    QComboBox* get_netlist_combo() const { return m_netlist_combo; }
    QCheckBox* get_overwrite_check_box() const { return m_overwrite_check_box; }
    QDialogButtonBox* get_button_box() const { return m_button_box; }
    QLabel* get_found_label() const { return m_found_label; }
    QLabel* get_netlist_label() const { return m_netlist_label; }
    SEDQ_STATE_MACHINE_TABLE_VIEW* get_table() const { return m_table; }

    // Fills the rows for the machines of the chosen netlist.
    void update_state_machine_node_list(const QStringList& names);
    bool is_state_machine_name_disabled(int row);
    bool is_mnemonic_table_name_disabled(int row);

    // Whether the machine's registers exist in the netlist nodes are tapped from (always for
    // pre-synthesis; post-fitting registers the fit pushed into other blocks do not).
    bool is_state_machine_in_hdb(const QString& name, QStringList* nodes);
    // Whether any register of the machine (`nodes`) is a node of the current list already.
    bool is_state_machine_in_document(const QString& name, QStringList* nodes);
    // The first group of the current list holding exactly the machine's registers, in order
    // and from the chosen netlist; -1 when there is none.
    int find_state_machine_in_document(const QString& name);
    // Whether the group's table maps each state name of the machine to its encoding already.
    bool is_mnemonic_table_already_in_document(int group, const QString& name);
    // Whether a row proposes that table name.
    bool find_table(const QString& table_name);
    // "<machine>_table", else "<machine>_table (n)" with the smallest n free in the document and
    // among the rows; <machine> is the last level of the machine's name.
    void get_unique_mnemonic_table_name(const QString& name, QString* table_name);
    const SDR_DATA_MNEMONICS* get_sdr_data_mnemonics();

    // The machine's state names and encodings that fit its registers (one pattern character
    // per register). With `report`, patterns of another length are reported as an internal
    // error; they would make a table whose entries cannot all be read.
    void get_usable_mnemonic_list(SEDQ_DATABASE_MANAGER* database, const QString& name, int register_count,
                                  QStringList* names, QStringList* patterns, bool report);

public Q_SLOTS:
    void accept() override;
    void on_state_machine_filter_combo_changed(int index);
    void on_state_machine_overwrite_table_check_box(int state);
    void on_double_click_state_machine_node_list();

private:
    void on_init_dlg();
    void make_widgets();
    void connect_widgets();
    SEDQ_TX_MANAGER* manager() const;
    bool is_post_fitting() const { return get_netlist_index() != 0; }
    void add_empty_list_row(int netlist);
    QString recreate_mode_status(const QString& name, QStringList* nodes, int* group);
    QString add_mode_status(int index, const QString& name, QStringList* nodes, bool* evaluated);
    QString proposed_table_name(const QString& name, int group);
    void show_status(int row, const QString& status);
    void show_proposal(int row, const QString& name, const QString& table_name, const QStringList& nodes,
                       SEDQ_DATABASE_MANAGER* database);
    int find_group_of(const QStringList& machine_nodes);
    bool add_state_machine(SEDQ_DATABASE_MANAGER* database, int row);

    QLabel* m_netlist_label = nullptr;
    QComboBox* m_netlist_combo = nullptr;
    QCheckBox* m_overwrite_check_box = nullptr;
    QDialogButtonBox* m_button_box = nullptr;
    QLabel* m_found_label = nullptr;
    SEDQ_STATE_MACHINE_TABLE_VIEW* m_table = nullptr;
    bool m_post_fitting_statuses_known = false;
    SEDQ_FRAME_WND* m_frame;
    bool m_recreate;
    SEDQ_KPT_MANAGER* m_kpt_manager = nullptr;
    QStringList m_pre_synthesis_names;
    QStringList m_post_fitting_names;
    QStringList m_post_fitting_statuses;
};

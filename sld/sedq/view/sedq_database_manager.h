#pragma once
// The netlist database facade of the state-machine dialog, exported for the host's other tools:
// it picks the reader of one netlist (0 pre-synthesis hierarchy, any other index the
// post-fitting keypoints) and forwards the questions to it. Built for the dialog, it shares the
// dialog's one keypoint reader, so the keypoint files are read once per dialog; whatever reader
// it built for itself, it deletes.

#include <QString>
#include <QStringList>
#include <QtGlobal>

class SEDQ_BASE_MANAGER;
class SEDQ_STATE_MACHINE_DLG;

class Q_DECL_EXPORT SEDQ_DATABASE_MANAGER
{
public:
    // The netlist chosen in the dialog's netlist box.
    explicit SEDQ_DATABASE_MANAGER(SEDQ_STATE_MACHINE_DLG* dialog);
    explicit SEDQ_DATABASE_MANAGER(int netlist);
    ~SEDQ_DATABASE_MANAGER();
    SEDQ_DATABASE_MANAGER(const SEDQ_DATABASE_MANAGER&) = delete;
    SEDQ_DATABASE_MANAGER& operator=(const SEDQ_DATABASE_MANAGER&) = delete;

    void get_state_machine_list(QStringList* list);
    void get_node_list(const QString& state_machine, QStringList* nodes);
    void get_mnemonic_list(const QString& state_machine, QStringList* names, QStringList* values);
    void dump();
    bool is_database_loaded();

    int get_current_selection() const { return m_current_selection; }

private:
    bool has_reader();

    SEDQ_BASE_MANAGER* m_sedq_base_manager = nullptr;
    int m_current_selection = -1;
    bool m_owns_reader = false;
};

#pragma once
// The facade through which the host's instance wizard embeds the analyzer's trigger editing:
// a reserved data session with one instance, signal set and trigger that the wizard presets, a
// document over it without window, the node list, object library and advanced trigger canvas
// inside the host's widget, and the generated description of every advanced level with the
// latency delays that line the levels up. It owns the document and its editing session, never
// the reserved data session, which the next create_session replaces. At most ten levels.

#include "host/sci.h"
#include "host/sdr.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QSplitter;
class QStackedLayout;
class QWidget;
class SEDQ_EDIT_SCOPE;
class SEDQ_OBJECT_WIDGET;
class SEDQ_OPERATOR_WIDGET;
class SEDQ_TX_MANAGER;
class SEDQ_VIEW;

class SEDQ_WIZARD
{
public:
    // The levels the generated trigger supports; level indexes are 0 to 9.
    static constexpr int MAX_LEVELS = 10;

    SEDQ_WIZARD();
    virtual ~SEDQ_WIZARD();
    SEDQ_WIZARD(const SEDQ_WIZARD&) = delete;
    SEDQ_WIZARD& operator=(const SEDQ_WIZARD&) = delete;

    // ---- life cycle and generation (sedq_wizard.cpp) ------------------------------------------
    // A fresh reserved session with one instance, signal set and trigger; the trigger, or null
    // when none could be made or while a document is open over the current one.
    SDR_DATA_TRIGGER* create_session();
    bool create_document();
    void create_frame(QWidget* parent);
    void resize_frame();
    bool save_document(char const* path);
    void destroy_frame();
    void destroy_document();

    // ---- presets on the reserved session, before create_document (sedq_wizard_presets.cpp) -----
    bool initialize_data_nodes_allocated(int n);
    bool initialize_trigger_nodes_allocated(int n);
    bool initialize_sample_depth(int depth);
    bool initialize_segment_size(int size);
    bool initialize_ram_type(QString const& text);
    bool initialize_trigger_level(int n);
    bool initialize_trigger_in(bool on);
    bool initialize_trigger_out(bool on);
    bool initialize_advanced_trigger_expression(int level, QString const& expr);
    bool initialize_storage_qualifier_type(QString const& text);
    bool initialize_record_data_discontinuities(bool on);

    // ---- the open document (sedq_wizard_document.cpp) ----------------------------------------
    void begin_action();
    void end_action();
    bool get_trigger_level(int* count);
    bool get_trigger_level(QString* text);
    bool set_trigger_level(QString const& text);
    // Chooses the level whose advanced condition the canvas edits.
    bool set_trigger_level(int level);
    bool is_advanced_trigger(int level);
    bool set_advanced_trigger(int level, bool advanced);
    bool get_sample_depth(QString* text);
    bool set_sample_depth(QString const& text);
    int get_sample_depth();
    bool get_data_nodes_allocated(QString* text);
    int get_data_nodes_allocated();
    bool set_data_nodes_allocated(QString const& text);
    bool get_trigger_nodes_allocated(QString* text);
    int get_trigger_nodes_allocated();
    bool set_trigger_nodes_allocated(QString const& text);
    bool is_segmented_acquisition_enabled();
    bool toggle_segmented_acquisition();
    bool get_number_of_segments(QString* text);
    bool set_number_of_segments(QString const& text);
    int get_segment_size();
    bool get_ram_type(QString* text);
    void get_all_ram_types(QStringList* list);
    bool set_ram_type(QString const& text);
    bool is_trigger_in_enabled();
    bool is_trigger_out_enabled();
    bool toggle_trigger_in();
    bool toggle_trigger_out();
    bool is_port_storage_qualifier_type();
    bool set_storage_qualifier_type(QString const& text);
    bool is_record_data_discontinuities_enabled();
    bool toggle_record_data_discontinuities();
    bool insert_node(QString const& name);
    int insert_nodes(QString const& parent, QStringList const& names, int mode, bool flag);
    int delete_node(int first, int last);
    bool group_node(int first, int last);
    bool ungroup_node(int node);
    bool toggle_node(int node);
    void create_mnemonic_table(int node, QString const& table_name, QStringList const& symbols,
                               QStringList const& patterns);

    // ---- generation and its results (sedq_wizard_triggers.cpp) --------------------------------
    // Commits the document, parses every advanced level, computes the latency delays and writes
    // the description "<prefix>_level_<n>" of each advanced level into `path`.
    void create_triggers(QString const& prefix, QString const& path);
    bool destroy_triggers();
    int get_delay(int level);
    bool is_advanced_trigger_used() const { return m_advanced_trigger_used; }
    int get_pipeline_latency(int level);
    bool get_trigger_expression(int level, QString* text);
    // Whether every advanced level (only `level` unless it is -1) has a condition that writes
    // out as an equation.
    bool is_advanced_trigger_complete(int level);

    SEDQ_TX_MANAGER* get_tx_manager() const { return m_tx_manager; }

private:
    SEDQ_TX_MANAGER* document();
    SDR_DATA_TRIGGER* data_trigger();
    bool has_preset_target(bool needs_trigger);
    bool is_level(int level);
    void build_frame();
    void clear_frame_members();

    SDR_DATA_SESSION* m_data_session = nullptr;
    SDR_DATA_INSTANCE* m_data_instance = nullptr;
    SDR_DATA_SIGNAL_SET* m_signal_set = nullptr;
    SDR_DATA_TRIGGER* m_trigger = nullptr;
    SDR_TX_SESSION* m_tx_session = nullptr;
    SEDQ_TX_MANAGER* m_tx_manager = nullptr;
    // The edit the host opened with begin_action, and how deep its calls nest.
    std::unique_ptr<SEDQ_EDIT_SCOPE> m_edit;
    int m_edit_depth = 0;
    // Held weakly: the host may delete its widget, and the frame with it, first.
    QPointer<QStackedLayout> m_stacked_layout;
    QSplitter* m_horizontal_splitter = nullptr;
    QSplitter* m_vertical_splitter = nullptr;
    SEDQ_VIEW* m_view = nullptr;
    SEDQ_OPERATOR_WIDGET* m_operator_widget = nullptr;
    SEDQ_OBJECT_WIDGET* m_object_widget = nullptr;
    int m_delays[MAX_LEVELS] = {};
    SCI_ADVANCED_TRIGGER_OUTPUT* m_roots[MAX_LEVELS] = {};
    bool m_advanced_trigger_used = false;
};

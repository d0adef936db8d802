#pragma once
// Edit side of one entry of an editing session: the edit bracket and undo history of its
// instance, its position data (UI state) and version state. The normal entry and the power-up
// view entry of an instance share the history; they differ in their position data. Once the
// entry is gone the object is detached and answers neutral values.

#include "host/sdr/sdr_data_model.h"

class SDR_TX_SESSION;
class SDR_TX_UNDO_ACTION_ATOMIC;

class SDR_TX_INSTANCE
{
public:
    SDR_TX_INSTANCE(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance, bool power_up);
    virtual ~SDR_TX_INSTANCE();
    SDR_TX_INSTANCE(const SDR_TX_INSTANCE&) = delete;
    SDR_TX_INSTANCE& operator=(const SDR_TX_INSTANCE&) = delete;

    bool begin_action();
    bool end_action();
    bool undo();
    bool redo();
    bool is_undo_available() const;
    bool is_redo_available() const;
    void set_max_undo_steps(int steps);
    int get_max_undo_steps() const;
    void append_atomic_action(SDR_TX_UNDO_ACTION_ATOMIC* action);

    int get_position_data(const char* key) const;
    int get_position_data(const char* key, int* values, int capacity = SDR_POSITION_DATA_CAPACITY) const;
    void set_position_data(const char* key, int value);
    void set_position_data(const char* key, const int* values, int count);

    bool is_enabled() const;
    void set_enabled(bool enabled);
    bool is_modified() const;
    bool is_newer_version() const;
    bool is_current_version() const;
    void update_to_current_version();
    const SDR_DATA_INSTANCE_INFO& get_node_info() const;
    SDR_DATA_INSTANCE* get_data_instance();
    const SDR_DATA_INSTANCE* get_data_instance() const
    {
        return const_cast<SDR_TX_INSTANCE*>(this)->get_data_instance();
    }

    bool is_power_up_entry() const { return m_power_up; }
    bool is_detached() const { return m_instance == nullptr; }
    void detach() { m_instance = nullptr; }

private:
    SDR_TX_SESSION* m_session;
    SDR_DATA_INSTANCE* m_instance;
    bool m_power_up;
};

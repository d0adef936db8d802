#pragma once
// One entry of an editing session: an instance (or its power-up view) with its façades. Only the
// session's sources include this header.

#include "host/sdr/sdr_tx_instance.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"

#include <memory>
#include <string>
#include <vector>

inline const std::string& sdr_name_of(const std::unique_ptr<SDR_DATA_SIGNAL_SET>& set)
{
    return set->state().name;
}

inline const std::string& sdr_name_of(const std::unique_ptr<SDR_DATA_TRIGGER>& trigger)
{
    return trigger->state().name;
}

inline const std::string& sdr_name_of(const std::unique_ptr<SDR_DATA_LOG>& log)
{
    return log->m_name;
}

// Index of the first object called `name` in an owning list, -1 when none.
template <typename T>
int sdr_index_of_name(const std::vector<std::unique_ptr<T>>& list, const char* name)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (name != nullptr && sdr_name_of(list[i]) == name)
            return static_cast<int>(i);
    return -1;
}

inline int sdr_index_of_name(const SDR_LOG_LIST& list, const char* name)
{
    return sdr_index_of_name(list.logs(), name);
}

// Index of the object called `name`, or `current` when no name is given; -1 when the named
// object does not exist or `current` is out of range.
template <typename T>
int sdr_index_named_or(const std::vector<std::unique_ptr<T>>& list, const char* name, int current)
{
    const int index = name != nullptr ? sdr_index_of_name(list, name) : current;
    return index >= 0 && index < static_cast<int>(list.size()) ? index : -1;
}

inline int sdr_index_named_or(const SDR_LOG_LIST& list, const char* name, int current)
{
    return sdr_index_named_or(list.logs(), name, current);
}

// The façades live in the entry itself (one allocation per entry: a document may hold tens of
// thousands); the entry never moves, so pointers to them stay valid while it lives.
struct SDR_TX_SESSION::ENTRY
{
    ENTRY(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* data_instance, bool power_up_view)
        : instance(data_instance), power_up(power_up_view),
          tx_instance(session, data_instance, power_up_view), signal_set(session, data_instance),
          trigger(session, data_instance, power_up_view)
    {
    }
    ENTRY(const ENTRY&) = delete;
    ENTRY& operator=(const ENTRY&) = delete;

    // The entry went away: every façade answers neutral values from now on.
    void detach()
    {
        instance = nullptr;
        tx_instance.detach();
        signal_set.detach();
        trigger.detach();
    }

    SDR_DATA_INSTANCE* instance;
    bool power_up;
    SDR_TX_INSTANCE tx_instance;
    SDR_TX_SIGNAL_SET signal_set;
    SDR_TX_TRIGGER trigger;
};

#pragma once
// The documents the opening benchmarks share: many small instances (with short or long names),
// and one instance whose logs hold a given size of samples.

#include "host/sdr/sdr_data_model.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

// Node rows "top|core_<n % 7>|data_bus[<n>]", every condition don't care at `levels` levels.
inline SDR_NODE_LIST sedq_bench_rows(int nodes, int levels)
{
    SDR_NODE_LIST rows;
    for (int n = 0; n < nodes; ++n)
    {
        SDR_NODE_ROW row;
        row.link_id = n + 1;
        row.name = "top|core_" + std::to_string(n % 7) + "|data_bus[" + std::to_string(n) + "]";
        row.subtree_end = n;
        for (SDR_NODE_PATTERNS& p : row.patterns)
        {
            p.conditions = QVector<SDR_DATA_TRIGGER_CONDITION>(levels, SDR_CTYPE_DONT_CARE);
            p.comparisons = QVector<SDR_NODE_COMPARISON>(levels);
        }
        rows.append(row);
    }
    return rows;
}

// The name of instance `index`: "auto_vantrel_<index>" or, given `bytes`, a hierarchy path of
// about that many bytes (block names of varied length, as a generated design names them) that
// ends in the index, so that every name differs from the others.
inline std::string sedq_bench_instance_name(int index, int bytes, std::mt19937_64* random)
{
    std::string name = "auto_vantrel_" + std::to_string(index);
    if (bytes <= 0)
        return name;
    std::string path = "top";
    while (int(path.size() + name.size()) < bytes - 1)
        path += "|gen_block_" + std::to_string((*random)() % 1000) + "_" +
                std::string(size_t(4 + (*random)() % 24), char('a' + (*random)() % 26));
    return path.substr(0, size_t(std::max<int>(0, bytes - 1 - int(name.size())))) + "|" + name;
}

// Many small instances, as a design with one analyzer per block makes them; `name_bytes`: the
// length of their names (0: short names).
inline std::unique_ptr<SDR_DATA_SESSION> sedq_bench_instances_document(const std::string& name, int instances,
                                                                       int name_bytes = 0)
{
    std::mt19937_64 random(11 + quint64(instances));
    std::mt19937_64 names(17);
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    for (int i = 0; i < instances; ++i)
    {
        const int nodes = 1 + int(random() % 12);
        const int levels = 1 + int(random() % 3);
        auto instance = std::make_unique<SDR_DATA_INSTANCE>(session.get(),
                                                            sedq_bench_instance_name(i, name_bytes, &names));
        auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(instance.get(), "signal_set_0");
        auto trigger = std::make_unique<SDR_DATA_TRIGGER>(set.get(), "trigger_0");
        trigger->m_state->levels.resize(size_t(levels));
        set->m_state->data_list = sedq_bench_rows(nodes, levels);
        trigger->m_state->trigger_list = set->m_state->data_list;
        trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger.get(), "log_1"));
        set->m_triggers.push_back(std::move(trigger));
        instance->m_signal_sets.push_back(std::move(set));
        instance->m_state.powerup_enabled = i % 5 == 0;
        instance->m_node_info.m_field2 = i;
        session->m_instances.push_back(std::move(instance));
    }
    return session;
}

constexpr int SEDQ_BENCH_LARGE_NODES = 256;
constexpr int SEDQ_BENCH_LARGE_DEPTH = 131072;

// One instance whose logs of SEDQ_BENCH_LARGE_DEPTH random samples make `mebibytes` MiB of samples; the
// logs share one block of samples in memory (the file holds each).
inline std::unique_ptr<SDR_DATA_SESSION> sedq_bench_large_document(const std::string& name, int mebibytes)
{
    auto session = sedq_bench_instances_document(name, 1);
    SDR_DATA_TRIGGER* trigger = session->m_instances[0]->m_signal_sets[0]->m_triggers[0].get();
    trigger->m_state->levels.resize(1);
    session->m_instances[0]->m_signal_sets[0]->m_state->data_list =
        sedq_bench_rows(SEDQ_BENCH_LARGE_NODES, 1);
    trigger->m_state->trigger_list = session->m_instances[0]->m_signal_sets[0]->m_state->data_list;
    trigger->m_logs.clear();
    session->m_instances[0]->m_state.powerup_enabled = false;
    auto payload = std::make_shared<SDR_LOG_PAYLOAD>();
    payload->depth = SEDQ_BENCH_LARGE_DEPTH;
    payload->channel_count = SEDQ_BENCH_LARGE_NODES;
    payload->channel_bits =
        QByteArray(qint64(SEDQ_BENCH_LARGE_NODES) * payload->row_bytes(), Qt::Uninitialized);
    std::mt19937_64 random(20240611);
    for (qint64 i = 0; i + 8 <= payload->channel_bits.size(); i += 8)
    {
        const quint64 word = random();
        std::memcpy(payload->channel_bits.data() + i, &word, 8);
    }
    payload->valid_bits = QByteArray(payload->row_bytes(), char(0xff));
    payload->trigger_bits = QByteArray(payload->row_bytes(), '\0');
    payload->break_bits = QByteArray(payload->row_bytes(), '\0');
    payload->connected = QByteArray(SEDQ_BENCH_LARGE_NODES, '\1');
    payload->trigger_position = SEDQ_BENCH_LARGE_DEPTH / 8;
    const qint64 per_log = qint64(SEDQ_BENCH_LARGE_NODES) * payload->row_bytes();
    const int logs = int(std::max<qint64>(1, (qint64(mebibytes) << 20) / per_log));
    // Each log names the wires it was acquired from, as an acquisition stores them.
    SDR_DATA_SIGNAL_SET* set = session->m_instances[0]->m_signal_sets[0].get();
    std::vector<std::string> wires;
    for (const SDR_NODE_ROW& row : set->m_state->data_list)
        wires.push_back(row.name);
    for (int l = 0; l < logs; ++l)
    {
        auto log = std::make_unique<SDR_DATA_LOG>(trigger, "log_" + std::to_string(l + 1));
        log->m_payload = payload;
        log->m_signal_set = set;
        log->m_wire_names = wires;
        trigger->m_logs.push_back(std::move(log));
    }
    return session;
}

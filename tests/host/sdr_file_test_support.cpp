// A document with every stored field set, and raw archive access for the file tests.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file_archive_writer.h"

#include <QFile>
#include <QtEndian>

#include <sys/fsuid.h>
#include <unistd.h>
#include <zip.h>

namespace sdr_file_test
{
namespace
{
SDR_NODE_ROW leaf(const std::string& name, int link_id, int levels)
{
    SDR_NODE_ROW row;
    row.link_id = link_id;
    row.name = name;
    row.signal_type = SDR_STYPE_REGISTERED;
    for (SDR_NODE_PATTERNS& p : row.patterns) {
        p.conditions = QVector<SDR_DATA_TRIGGER_CONDITION>(levels, SDR_CTYPE_DONT_CARE);
        p.comparisons = QVector<SDR_NODE_COMPARISON>(levels);
    }
    return row;
}

SDR_NODE_LIST rich_rows(SDR_PLUGIN_GROUP* plugin)
{
    SDR_NODE_ROW group = leaf("bus", 1, 3);
    group.display_type = SDR_NTYPE_GROUP;
    group.radix = SDR_GTYPE_PLUGIN;
    group.lsb_to_msb = true;
    group.mnemonic_table = "Zustände";
    group.link_mask = 0xF;
    group.link_mask2 = 0x4;
    group.link_type = 2;
    group.plugin_group = plugin;
    group.alias = "Bus «A»";
    group.patterns[SDR_COPY_NORMAL].conditions = {SDR_DATA_TRIGGER_CONDITION(9), SDR_DATA_TRIGGER_CONDITION(12),
                                                  SDR_DATA_TRIGGER_CONDITION(17)};
    SDR_NODE_COMPARISON& c = group.patterns[SDR_COPY_POWER_UP].comparisons[1];
    c = SDR_NODE_COMPARISON{true, true, SDR_CTYPE_COMPARE_GREATER_THAN, -5, SDR_CTYPE_COMPARE_LESS_THAN, 900};
    group.patterns[SDR_COPY_NORMAL].sq_comparisons[2] =
        SDR_NODE_COMPARISON{true, false, SDR_CTYPE_COMPARE_EQUAL_TO, 3, SDR_CTYPE_COMPARE_TRUE, 4};
    SDR_NODE_ROW a = leaf("top|cnt[0]", 2, 3);
    a.depth = 1;
    a.display_type = SDR_NTYPE_MEMBER;
    a.capture_type = SDR_WTYPE_TRIGGER_ONLY;
    a.tap_mode = SDR_TAP_POST_FITTING;
    a.storage_enabled = a.transition_enabled = a.inverted = true;
    a.node_flag = 128;
    a.has_debug_port_out = true;
    a.debug_port_out = "dbg\x01out";
    a.patterns[SDR_COPY_POWER_UP].conditions = {SDR_CTYPE_RISING, SDR_CTYPE_FALLING, SDR_CTYPE_HIGH};
    a.patterns[SDR_COPY_POWER_UP].sq_conditions[0] = SDR_CTYPE_LOW;
    SDR_NODE_ROW b = leaf("top|cnt[1]", 3, 3);
    b.depth = 1;
    b.display_type = SDR_NTYPE_LAST_MEMBER;
    b.expanded = false;
    SDR_NODE_ROW c2 = leaf("top|clk", 4, 3);
    c2.signal_type = SDR_STYPE_INPUT_PIN;
    c2.data_tab_only = true;
    c2.capture_type = SDR_WTYPE_UNSET;
    return {group, a, b, c2};
}

SDR_STORED_TREE rich_tree()
{
    SDR_TREE_RECORD node{{{"type", "Node"}, {"name", "top|zähler[3]"}, {"alias", "Größe <&> \"x\""}}, {}};
    SDR_TREE_RECORD value{{{"type", "Bus Value"}, {"bus_value", "1010"}, {"powerup_bus_value", "0\t1\n"}}, {}};
    SDR_TREE_RECORD logical{{{"type", "Logical Operator"}, {"logical", "Logical Xor"}}, {node, value}};
    SDR_TREE_RECORD result{{{"type", "Advanced Trigger Level Result"}}, {logical}};
    SDR_TREE_RECORD loose{{{"type", "Counter Operator"}, {"left", "-30"}}, {}};
    SDR_STORED_TREE tree;
    tree.present = true;
    tree.roots = {result, loose};
    return tree;
}

void fill_trigger(SDR_DATA_TRIGGER* trigger, SDR_PLUGIN_GROUP* plugin)
{
    SDR_TRIGGER_STATE& s = *trigger->m_state;
    s.levels.resize(3);
    s.levels[0] = SDR_TRIGGER_LEVEL{"Start", SDR_LTYPE_ADVANCED, true, "'a' & 'b'", {true, false}};
    s.levels[1] = SDR_TRIGGER_LEVEL{"Mitte", SDR_LTYPE_COMPARISON, false, "", {false, true}};
    s.levels[2] = SDR_TRIGGER_LEVEL{"Condition 3", SDR_LTYPE_BASIC_OR, true, "", {false, false}};
    s.sq_patterns[1] = SDR_SQ_PATTERN{SDR_LTYPE_ADVANCED, "'q'", {true, true}};
    s.state_based = true;
    s.position = SDR_TPOS_POST;
    s.segmented = true;
    s.segment_size = 16;
    s.trigger_type = 2;
    s.sq_type = SDR_SQTYPE_START_STOP;
    s.sq_port_name = "top|sq";
    s.sq_port_post_fitting = s.sq_port_companion = s.record_discontinuities = s.sq_disabled = true;
    s.trigger_in = SDR_TRIGGER_IN{true, SDR_IOSRC_NODE, "PIN_A", "top|tin", true, false, "inst_b", SDR_CTYPE_FALLING};
    s.trigger_out = SDR_TRIGGER_OUT{true, {false, false, true, false, true, true}, "PIN_O", "inst_c", "tip",
                                    SDR_CTYPE_ACTIVE_LOW, 7};
    s.flags = {{"flag1", 1}, {"ßflag", 0}};
    s.counters = {{"counter1", 12, 4000000000u}};
    s.runtime_options = 1 | 8;
    s.state_machine_changed = true;
    s.trigger_list = rich_rows(plugin);
    trigger->m_expanded = true;
    trigger->m_using_incremental_route = true;
    trigger->m_stored_level_trees.resize(3);
    trigger->m_stored_level_trees[0] = rich_tree();
    trigger->m_stored_level_trees[1].present = true; // an empty stored tree
    trigger->m_stored_sq_trees[1] = rich_tree();
    trigger->m_stored_state_machine.present = true;
    trigger->m_stored_state_machine.attributes = {{"state_machine_flow_expression", "state läuft:\ntrigger;"}};
}

void add_log(SDR_DATA_TRIGGER* trigger, const std::string& name, std::shared_ptr<SDR_LOG_PAYLOAD> payload,
             bool power_up)
{
    auto log = std::make_unique<SDR_DATA_LOG>(trigger, name);
    log->m_power_up = power_up;
    log->m_expanded = power_up;
    log->m_global_temp = !power_up;
    log->m_do_not_show = power_up ? 1 : 0;
    for (int c = 0; payload && c < payload->channel_count; ++c)
        log->m_wire_names.push_back("wire" + std::to_string(c));
    log->m_payload = payload;
    trigger->m_logs.push_back(std::move(log));
}

void fill_session(SDR_DATA_SESSION* s)
{
    s->m_stripped = true;
    s->m_original_name = "/orig/ürsprung.vtl";
    s->m_gui_logging = true;
    s->m_tx_gen2 = 3;
    s->m_incremental_route_used = true;
    s->m_jtag_chain_name = "SimCable [SIM-0]";
    s->m_jtag_device_name = "@1: SIMDEV-A";
    s->m_sof_file_name = "output/top.sof";
    s->m_global_data["lock mode"] = {2};
    s->m_global_data["column width"] = std::vector<int>(23, 17);
    s->m_global_data["empty"] = {};
    s->m_embedded_files.push_back({"top.sof", QByteArray("\0\x01\xff binary", 10), true, "0000006E,DEADBEEF"});
    s->m_embedded_files.push_back({"zweite.pof", QByteArray(70000, 'z'), false, ""});
    SDR_DATA_MNEMONICS_TABLE* table = s->m_mnemonics.create_table("Zustände", 4);
    table->add_entry("IDLE", "0000");
    table->add_entry("läuft", "01X1");
    s->m_mnemonics.create_table("empty", 1);
}
} // namespace

std::shared_ptr<SDR_LOG_PAYLOAD> make_payload(int depth, int channels, int seed)
{
    auto p = std::make_shared<SDR_LOG_PAYLOAD>();
    p->depth = depth;
    p->channel_count = channels;
    const int row = p->row_bytes();
    p->channel_bits = QByteArray(channels * row, '\0');
    for (int i = 0; i < p->channel_bits.size(); ++i)
        p->channel_bits[i] = char((i * 37 + seed) & 0xff);
    p->valid_bits = QByteArray(row, char(0xff));
    p->trigger_bits = QByteArray(row, '\0');
    p->break_bits = QByteArray(row, '\0');
    if (depth % 8)
        for (int c = 0; c < channels; ++c)
            p->channel_bits[c * row + row - 1] = char(uchar(p->channel_bits[c * row + row - 1]) & ((1 << (depth % 8)) - 1));
    if (depth % 8 && row)
        p->valid_bits[row - 1] = char((1 << (depth % 8)) - 1);
    if (row)
        p->trigger_bits[0] = 0x04;
    p->connected = QByteArray(channels, '\1');
    return p;
}

std::unique_ptr<SDR_DATA_SESSION> make_rich_session(const std::string& name)
{
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    fill_session(session.get());
    for (int i = 0; i < 2; ++i) {
        auto instance = std::make_unique<SDR_DATA_INSTANCE>(session.get(), "auto_vantrel_" + std::to_string(i));
        SDR_DATA_INSTANCE* in = instance.get();
        session->m_instances.push_back(std::move(instance));
        in->m_state.enabled = i == 0;
        in->m_state.powerup_enabled = i == 1;
        in->m_expanded = true;
        in->m_version = 5 + i;
        in->m_older = i == 0;
        in->m_node_info = SDR_DATA_INSTANCE_INFO{0x6E, i, 1, 5 + i, 2};
        in->m_incremental_route_available = true;
        in->m_position_data[0]["zoom"] = {1, -2, 3};
        in->m_position_data[1]["advanced trigger zoom level"] = {10};
        in->m_plugin_groups.push_back(std::make_unique<SDR_PLUGIN_GROUP>(40 + i));
        SDR_PLUGIN_GROUP* plugin = in->m_plugin_groups.back().get();
        plugin->set_plugin_name("uart");
        plugin->set_table_name("uart_table");
        plugin->set_width(8);
        plugin->add_user_option("baud", "115200", 1, "Baud rate");
        plugin->add_user_option("file", "/tmp/ä.txt", 7, "");
        plugin->add_internal_option("seed", "42");
        plugin->set_trigger_symbol(0, "START");
        plugin->set_trigger_symbol(2, "STOP");
        for (int k = 0; k < 2; ++k) {
            auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(in, "signal_set_" + std::to_string(k));
            SDR_DATA_SIGNAL_SET* ss = set.get();
            in->m_signal_sets.push_back(std::move(set));
            SDR_SIGNAL_SET_STATE& st = *ss->m_state;
            st.clock_name = "top|clk";
            st.clock_post_fitting = true;
            st.sample_depth = 4096;
            st.ram_type = SDR_RAM_LARGE;
            st.pipeline_level = 2;
            st.allocated[0] = 5, st.allocated[1] = 6, st.allocated[2] = 7;
            st.tessarelle_allocated[0] = 8, st.tessarelle_allocated[1] = 9;
            st.has_top_entity_name = k == 0;
            st.top_entity_name = "top";
            st.assignment_350_value = "ON";
            st.wizard_trigger_in_enabled = st.wizard_trigger_out_enabled = true;
            st.data_list = rich_rows(plugin);
            auto trigger = std::make_unique<SDR_DATA_TRIGGER>(ss, "trigger_" + std::to_string(k));
            SDR_DATA_TRIGGER* t = trigger.get();
            ss->m_triggers.push_back(std::move(trigger));
            ss->m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(ss, "second"));
            ss->m_active_trigger = 1;
            fill_trigger(t, plugin);
            auto payload = make_payload(37, 3, i * 10 + k);
            payload->segment_size = 16;
            payload->trigger_position = 20;
            payload->segment_trigger_positions = {4, 11};
            payload->connected[1] = 0;
            payload->state_value = 3;
            payload->flag_values = QByteArray("\x01\x00\x01", 3);
            payload->counter_values = {7, 4294967295u};
            add_log(t, "log_1", payload, false);
            add_log(t, "log_2", make_payload(0, 0, 0), true);
            add_log(t, "pending", nullptr, false);
            t->m_logs[0]->m_static_plugin_tables[40] = std::make_unique<SDR_DATA_MNEMONICS_TABLE>("static", 2);
            t->m_logs[0]->m_static_plugin_tables[40]->add_entry("A", "01");
            t->m_logs[1]->m_signal_set = nullptr;
            t->m_active_log[0] = 0;
            t->m_active_log[1] = 1;
        }
        in->m_active_signal_set = 1;
    }
    return session;
}

std::unique_ptr<SDR_DATA_SESSION> make_small_session(const std::string& name)
{
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    auto instance = std::make_unique<SDR_DATA_INSTANCE>(session.get(), "auto_vantrel_0");
    auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(instance.get(), "signal_set_0");
    auto trigger = std::make_unique<SDR_DATA_TRIGGER>(set.get(), "trigger_0");
    trigger->m_state->trigger_list = {leaf("top|a", 1, 1), leaf("top|b", 2, 1)};
    set->m_state->data_list = trigger->m_state->trigger_list;
    add_log(trigger.get(), "log_1", make_payload(8, 2, 1), false);
    set->m_triggers.push_back(std::move(trigger));
    instance->m_signal_sets.push_back(std::move(set));
    session->m_instances.push_back(std::move(instance));
    return session;
}

QMap<QString, QByteArray> read_archive(const QString& path)
{
    QMap<QString, QByteArray> entries;
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!zip)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(zip, zip_uint64_t(i), 0, &st);
        QByteArray bytes(int(st.size), '\0');
        zip_file_t* file = zip_fopen_index(zip, zip_uint64_t(i), 0);
        if (file && zip_fread(file, bytes.data(), st.size) == zip_int64_t(st.size))
            entries.insert(QString::fromUtf8(st.name), bytes);
        if (file)
            zip_fclose(file);
    }
    zip_discard(zip);
    return entries;
}

bool write_archive(const QString& path, const QMap<QString, QByteArray>& entries)
{
    SDR_FILE_ARCHIVE_WRITER writer(path);
    SDR_FILE_ERROR error;
    if (!writer.begin(&error))
        return false;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        if (!writer.add_entry(it.key(), it.value(), !it.key().startsWith(QLatin1String("logs/")), &error))
            return false;
    return writer.commit(&error);
}

QByteArray file_bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write_file(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool write_repeated_document(const QString& path, const QByteArray& head, const QByteArray& body, qint64 times,
                             const QByteArray& tail, const QMap<QString, QByteArray>& extra)
{
    // The body is shared by every piece, not copied.
    QVector<QByteArray> pieces{head};
    for (qint64 i = 0; i < times; ++i)
        pieces.append(body);
    pieces.append(tail);
    SDR_FILE_ARCHIVE_WRITER writer(path);
    SDR_FILE_ERROR error;
    if (!writer.begin(&error) || !writer.add_entry("document.xml", pieces, true, &error))
        return false;
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        if (!writer.add_entry(it.key(), it.value(), false, &error))
            return false;
    return writer.commit(&error);
}

namespace
{
void put16(QByteArray* out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out->append(bytes, 2);
}

void put32(QByteArray* out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out->append(bytes, 4);
}

// The fields a local header and a central header share, from "version needed" on.
void put_common(QByteArray* out, const raw_entry& e)
{
    put16(out, 20);
    put16(out, 0x0800); // UTF-8 names
    put16(out, e.method);
    put16(out, 0);
    put16(out, 0x21); // 1980-01-01
    put32(out, e.crc);
    put32(out, quint32(e.data.size()));
    put32(out, e.size);
    put16(out, quint16(e.name.size()));
    put16(out, 0);
}
} // namespace

QByteArray raw_zip(const QVector<raw_entry>& entries)
{
    QByteArray out;
    QVector<quint32> offsets;
    for (const raw_entry& e : entries) {
        offsets.append(quint32(out.size()));
        put32(&out, 0x04034b50);
        put_common(&out, e);
        out += e.name;
        out += e.data;
    }
    const quint32 directory = quint32(out.size());
    for (int i = 0; i < entries.size(); ++i) {
        const raw_entry& e = entries.at(i);
        put32(&out, 0x02014b50);
        put16(&out, 20);
        put_common(&out, e);
        put16(&out, 0); // comment
        put16(&out, 0); // disk
        put16(&out, 0); // internal attributes
        put32(&out, 0); // external attributes
        put32(&out, offsets.at(i));
        out += e.name;
    }
    const quint32 directory_size = quint32(out.size()) - directory;
    put32(&out, 0x06054b50);
    put16(&out, 0);
    put16(&out, 0);
    put16(&out, quint16(entries.size()));
    put16(&out, quint16(entries.size()));
    put32(&out, directory_size);
    put32(&out, directory);
    put16(&out, 0);
    return out;
}
} // namespace sdr_file_test

namespace sdr_file_test
{
as_ordinary_user::as_ordinary_user(unsigned uid)
{
    if (::geteuid() != 0)
        return;
    ::setfsgid(uid);
    ::setfsuid(uid);
    m_switched = true;
}

as_ordinary_user::~as_ordinary_user()
{
    if (!m_switched)
        return;
    ::setfsuid(0);
    ::setfsgid(0);
}
} // namespace sdr_file_test

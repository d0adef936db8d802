// Writes the bundled demo document (examples/demo.vtl) from the demo design
// (examples/standin_project.json): two analyzer instances tapping the design's nodes the way the
// node finder adds them (short names, buses grouped most significant bit first, the state
// machine as one bus read least significant bit first), each with one acquisition: the samples
// the first run of the instance takes on the simulated device, so the stored log is what the
// instance's trigger conditions make of the design's stimuli. The serial transmitter's data
// byte is a group of the serial decoder plug-in ("uart").
//   vantrel_make_demo <output.vtl> [<design.json>]
#include "host/hdb.h"
#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/chi_control.h"
#include "host/standin/hdb_control.h"
#include "host/standin/project_control.h"
#include "host/standin/sdr_control.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
using standin::sdr::node_spec;

constexpr int DEPTH = 256;
constexpr int FULL_COMPILE = 15; // the compile flow that the toolbar's Start Compilation starts

// Names the demo taps that the design lacks; the tool fails with them.
std::vector<std::string>& missing_names()
{
    static std::vector<std::string> names;
    return names;
}

HDB_INSTANCE_NAME* design_name(const char* path)
{
    HDB_NAMESPACE* design = standin::hdb::netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    HDB_INSTANCE_NAME* name = design != nullptr ? design->get_instance_name(path) : nullptr;
    if (name == nullptr)
        missing_names().push_back(path);
    return name;
}

SDR_DATA_SIGNAL_TYPE type_of(HDB_INSTANCE_NAME* name)
{
    for (unsigned bit : {0x4u, 0x8u, 0x10u, 0x40u, 0x80u, 0x20u, 0x400u})
    {
        if (name->check_flag(bit))
            return SDR_DATA_SIGNAL_TYPE(bit);
    }
    return SDR_STYPE_PLAIN;
}

// The rows an instance taps, in order, and the groups over them.
class DEMO_INSTANCE
{
public:
    explicit DEMO_INSTANCE(SDR_DATA_TRIGGER* trigger) : m_trigger(trigger) {}

    // A single node of the design, under its short name.
    void node(const char* path)
    {
        if (HDB_INSTANCE_NAME* name = design_name(path))
            add(name->short_hpath(), type_of(name));
    }

    // A bus as the node finder adds it: its bits, grouped as "name[hi..lo]".
    void bus(const char* path, SDR_DATA_GROUP_DISPLAY_TYPE radix)
    {
        HDB_INSTANCE_NAME* name = design_name(path);
        std::vector<HDB_INSTANCE_NAME*> members;
        if (name != nullptr)
            name->get_members(&members);
        if (members.empty())
            return;
        const int first = m_trigger->state().trigger_list.size();
        for (HDB_INSTANCE_NAME* member : members)
            add(member->short_hpath(), type_of(member));
        const auto bounds = name->get_dimension(0);
        const std::string range = "[" + std::to_string(std::max(bounds.first, bounds.second)) + ".." +
                                  std::to_string(std::min(bounds.first, bounds.second)) + "]";
        m_groups.push_back({first, int(first + members.size() - 1), name->short_hpath() + range, radix, false});
    }

    // A state machine as one bus of its state registers, read least significant bit first.
    void state_machine(const char* path, const std::vector<std::string>& states)
    {
        HDB_INSTANCE_NAME* name = design_name(path);
        if (name == nullptr)
            return;
        const std::string machine = name->short_hpath();
        const int first = m_trigger->state().trigger_list.size();
        for (const std::string& state : states)
            add(machine + "." + state, SDR_STYPE_MACHINE);
        m_groups.push_back({first, int(first + states.size() - 1), machine, SDR_GTYPE_HEX, true, STATE_GROUP_LINK});
    }

    // Groups the buses and records one acquisition of the taps from the design's stimuli.
    void finish(const char* log_name, int trigger_position)
    {
        standin::sdr::log_spec log;
        log.name = log_name;
        log.depth = DEPTH;
        log.trigger_position = trigger_position;
        for (const std::string& tap : m_taps)
            log.channels.push_back(samples_of(tap));
        // Groups from the last, so earlier row numbers stay right.
        for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it)
        {
            const int row = standin::sdr::add_group(m_trigger, it->first, it->last, it->name, it->radix);
            m_trigger->edit_transient().trigger_list[row].lsb_to_msb = it->lsb_first;
            m_trigger->edit_transient().trigger_list[row].link_type = it->link_type;
        }
        SDR_TX_SIGNAL_SET::sync_data_list(m_trigger->m_signal_set, m_trigger);
        standin::sdr::make_log(m_trigger, log);
    }

private:
    struct GROUP
    {
        int first;
        int last;
        std::string name;
        SDR_DATA_GROUP_DISPLAY_TYPE radix;
        bool lsb_first;
        int link_type = 0;
    };

    // As the editor links a state machine it adds with its default settings: the name, the bit
    // order, the mnemonic table and the radix follow from the setup page to the data page.
    static constexpr int STATE_GROUP_LINK = 0x1 | 0x2 | 0x4 | 0x8;

    void add(const std::string& name, SDR_DATA_SIGNAL_TYPE type)
    {
        node_spec row{name};
        row.signal_type = type;
        standin::sdr::add_node(m_trigger, row);
        m_taps.push_back(name);
    }

    // A signal the design gives no stimulus stays low.
    static std::string samples_of(const std::string& name)
    {
        std::string bits;
        for (int s = 0; s < DEPTH; ++s)
            bits += standin::project::signal_value(name, s) == 1 ? '1' : '0';
        return bits;
    }

    SDR_DATA_TRIGGER* m_trigger;
    std::vector<std::string> m_taps;
    std::vector<GROUP> m_groups;
};

void set_clock_and_depth(SDR_DATA_SIGNAL_SET* set, const char* clock)
{
    set->edit_transient().clock_name = clock;
    set->edit_transient().sample_depth = DEPTH;
}

void build_counter_probe(SDR_DATA_INSTANCE* instance)
{
    instance->set_name("counter_probe");
    set_clock_and_depth(instance->get_active_signal_set(), "clk");
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    DEMO_INSTANCE probe(trigger);
    probe.bus("counter|count", SDR_GTYPE_UNSIGNED);
    probe.node("counter|enable");
    probe.node("counter|wrap");
    probe.node("ctrl|start");
    probe.bus("ctrl|mode", SDR_GTYPE_BINARY);
    probe.finish("counter_run", 128);
}

// The serial decoder plug-in's table on a group, as attaching the plug-in leaves it: the
// record names the decoder, its table and width and the options the decoder declares.
void fill_uart_record(SDR_PLUGIN_GROUP* record)
{
    record->set_plugin_name("uart");
    record->set_table_name("uart");
    record->set_width(8);
    record->add_user_option("Baud rate", "115200", 1, "Baud rate of the line");
    record->add_user_option("Symbol file", "", 2, "File of symbol names");
    record->add_user_option("Format", "char", 0, "Display format (char or hex)");
    record->add_internal_option("bit order", "msb first");
}

// The group `group` of both node lists shows the bytes through the serial decoder.
void decode_with_uart_plugin(SDR_DATA_INSTANCE* instance, SDR_DATA_TRIGGER* trigger, const std::string& group)
{
    for (SDR_NODE_LIST* rows : {&trigger->edit_transient().trigger_list,
                                &trigger->m_signal_set->edit_transient().data_list})
    {
        for (SDR_NODE_ROW& row : *rows)
        {
            if (row.name.size() < group.size() || row.name.compare(row.name.size() - group.size(), group.size(), group) != 0)
                continue;
            row.radix = SDR_GTYPE_PLUGIN;
            row.plugin_group = instance->create_plugin_group_record();
            fill_uart_record(row.plugin_group);
        }
    }
}

// The preset of the serial instance's second level, as the equation writer writes it: the
// transmitter busy while its data bus holds the character "n", the third it sends.
constexpr const char* FSM_UART_LEVEL_2 =
    "and('uart_tx|busy',compare(110,==,{'uart_tx|data[7]','uart_tx|data[6]','uart_tx|data[5]','uart_tx|data[4]',"
    "'uart_tx|data[3]','uart_tx|data[2]','uart_tx|data[1]','uart_tx|data[0]'},cc,uc))";

// The serial instance's state flow. The flow is what decides a state-based trigger: a trigger
// without one runs the single state "trigger;" and triggers at once, never reading a level, so
// the flow waits for the preset level.
constexpr const char* FSM_UART_FLOW = "state ST1:\nif (Condition 2) trigger;\n";

void build_fsm_uart(SDR_DATA_INSTANCE* instance)
{
    instance->set_name("fsm_uart");
    set_clock_and_depth(instance->get_active_signal_set(), "clk");
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    trigger->edit_transient().levels[1].type = SDR_LTYPE_ADVANCED;
    trigger->edit_transient().levels[1].expression = FSM_UART_LEVEL_2;
    trigger->edit_transient().state_based = true;
    trigger->m_stored_state_machine.present = true;
    trigger->m_stored_state_machine.attributes = {{"state_machine_flow_expression", FSM_UART_FLOW}};
    DEMO_INSTANCE probe(trigger);
    probe.state_machine("fsm|state", {"idle", "load", "shift", "done"});
    probe.node("uart_tx|tx");
    probe.node("uart_tx|busy");
    probe.bus("uart_tx|data", SDR_GTYPE_ASCII);
    probe.node("ctrl|done");
    probe.node("ctrl|irq");
    probe.finish("uart_frames", 32);
    decode_with_uart_plugin(instance, trigger, "data[7..0]");
}

// The simulated cable and device of the demo design, and the programming file its compile
// flow writes (relative to the project folder, where the host works). The log tree opens
// unfolded down to the logs, and every acquisition keeps a log of its own.
void set_up_jtag_and_logs(SDR_DATA_SESSION* session)
{
    session->m_jtag_chain_name = "SimCable [SIM-0]";
    session->m_jtag_device_name = "@1: SIMDEV-A";
    session->set_sof_file_name("output/demo_top.sof");
    session->m_gui_logging = true;
    for (const auto& instance : session->m_instances)
    {
        instance->set_expanded_status(true);
        instance->get_active_signal_set()->set_expanded_status(true);
        instance->get_active_trigger()->set_expanded_status(true);
    }
}

// The window state the editor keeps in the document: the hierarchy and data log row kept low,
// so the node table and its waveforms take most of the window.
constexpr int HIERARCHY_LOG_HEIGHT = 100;

void set_up_window(SDR_DATA_SESSION* session)
{
    sdr_write_int_data(&session->m_global_data, "hierarchy widget height", &HIERARCHY_LOG_HEIGHT, 1);
}

// The design without its "compiled" entry: the tool writes the document (and with --compiled the
// programming file) from the design alone, so a programming file the entry names that is not
// made yet, or is to be made now, is no reason to refuse.
bool load_design(const std::string& path, std::string* error)
{
    QFile file(QString::fromStdString(path));
    QJsonDocument design;
    if (file.open(QIODevice::ReadOnly))
        design = QJsonDocument::fromJson(file.readAll());
    // The project's own reading names what is wrong with a file it cannot use.
    if (!design.isObject())
        return standin::project::load(path, error);
    QJsonObject root = design.object();
    root.remove(QStringLiteral("compiled"));
    design.setObject(root);
    const std::string dir = QFileInfo(file).absolutePath().toStdString();
    if (standin::project::load_json(design.toJson(), dir, error))
        return true;
    *error = path + ": " + *error;
    return false;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "vantrel_make_demo: %s\n", message.c_str());
    return 1;
}

constexpr int USAGE_ERROR = 2;
constexpr const char* USAGE = "usage: vantrel_make_demo [--compiled <file.sof>] <output.vtl> [<design.json>]\n";
constexpr const char* HELP =
    "Writes the demo analyzer document: two instances tapping the demo design's nodes, each with\n"
    "one acquisition made from the design's stimuli.\n"
    "\n"
    "  <output.vtl>            the document to write\n"
    "  <design.json>           the design (a standin_project.json); default:\n"
    "                          " VANTREL_DEMO_DESIGN "\n"
    "  --compiled <file.sof>   also write the programming file that compiling the document\n"
    "                          makes, for the design's \"compiled\" entry\n"
    "  -h, --help              show this text\n";

struct COMMAND_LINE
{
    std::string document;
    std::string design = VANTREL_DEMO_DESIGN;
    std::string compiled;
    bool help = false;
};

bool refuse(const std::string& reason, std::string* error)
{
    *error = reason;
    return false;
}

// False with the reason when the arguments are not usable; an option the tool does not know
// is refused rather than taken for a file name.
bool parse(int argc, char** argv, COMMAND_LINE* line, std::string* error)
{
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help")
            line->help = true;
        else if (argument == "--compiled")
        {
            if (i + 1 == argc || argv[i + 1][0] == '\0')
                return refuse("--compiled needs a file name", error);
            line->compiled = argv[++i];
        }
        else if (argument.size() > 1 && argument[0] == '-')
            return refuse("unknown option " + argument, error);
        else
            files.push_back(argument);
    }
    if (line->help)
        return true;
    if (files.empty())
        return refuse("no output document given", error);
    if (files.size() > 2)
        return refuse("too many file names", error);
    line->document = files[0];
    if (files.size() == 2)
        line->design = files[1];
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    COMMAND_LINE line;
    std::string error;
    if (!parse(argc, argv, &line, &error))
    {
        std::fprintf(stderr, "vantrel_make_demo: %s\n%s", error.c_str(), USAGE);
        return USAGE_ERROR;
    }
    if (line.help)
    {
        std::printf("%s\n%s", USAGE, HELP);
        return 0;
    }
    if (!load_design(line.design, &error))
        return fail(error);
    std::unique_ptr<SDR_DATA_SESSION> session = standin::sdr::make_session(line.document, 2);
    build_counter_probe(session->m_instances[0].get());
    build_fsm_uart(session->m_instances[1].get());
    set_up_jtag_and_logs(session.get());
    set_up_window(session.get());
    for (const std::string& name : missing_names())
        error += (error.empty() ? "the design has no " : ", ") + name;
    if (!error.empty())
        return fail(error);
    for (const auto& instance : session->m_instances)
        if (SDR_DATA_LOG* log = instance->get_active_trigger()->get_log_at(0))
            if (!standin::chi::acquire_first_run(log, &error))
                return fail(error);
    session->clear_modified();
    if (!sdr_write_session_file(*session, line.document, &error))
        return fail(error);
    if (!line.compiled.empty() && !standin::chi::compile(session.get(), FULL_COMPILE, line.compiled, &error))
        return fail(error);
    return 0;
}

// SEDQ_VIEW: the text list — the acquired samples of the current node list written as a legend
// of numbered keys and a table of one line per sample, and the command that writes it under a
// name beside the analyzer file and opens it in the host's editor.
//
// Bus values are computed twice, once to size the columns and once while their line is
// written, so that a list of any depth holds one line at a time.
#include "sedq/view/sedq_view.h"

#include "host/afcq.h"
#include "host/fio.h"
#include "host/qui.h"
#include "host/sdr.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace
{
// One column of the table: a bus or group (its member rows read together) or one signal.
struct LIST_COLUMN
{
    int node = 0;
    bool bus = false;
    bool connected = true;
    std::vector<int> wires;     // the members' wires (one for a signal)
    std::vector<char> inverted; // per member
    int width = 0;              // printed width of the column's values
};

// The list-view mode of the model lasts exactly as long as the list is being written.
class LIST_MODE
{
public:
    explicit LIST_MODE(SEDQ_TX_MANAGER* tx) : m_tx(tx) { m_tx->set_list_view_mode(true); }
    ~LIST_MODE() { m_tx->set_list_view_mode(false); }
    LIST_MODE(const LIST_MODE&) = delete;
    LIST_MODE& operator=(const LIST_MODE&) = delete;

private:
    SEDQ_TX_MANAGER* m_tx;
};

bool is_member(SDR_DATA_NODE_DISPLAY_TYPE type)
{
    return type == SDR_NTYPE_MEMBER || type == SDR_NTYPE_LAST_MEMBER;
}

void pad(std::string* line, int count)
{
    if (count > 0)
        line->append(size_t(count), ' ');
}

class LIST_WRITER
{
public:
    LIST_WRITER(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx, const SDR_DATA_LOG* log) : m_view(view), m_tx(tx), m_log(log)
    {
    }

    void collect_columns();
    void size_bus_columns(int depth);
    void write_legend(std::ostream& out);
    void write_table(std::ostream& out, int depth);

private:
    LIST_COLUMN make_column(int node, bool bus);
    std::string bus_value(const LIST_COLUMN& column, int sample);
    std::string sample_label(int sample, int segment_size, int trigger);

    SEDQ_VIEW* m_view;
    SEDQ_TX_MANAGER* m_tx;
    const SDR_DATA_LOG* m_log;
    std::vector<LIST_COLUMN> m_columns;
};

// Parents get a key each; the members of a display-type-1 parent get keys of their own, those
// of a display-type-2 parent none; a last member ends its parent's run.
void LIST_WRITER::collect_columns()
{
    const int count = m_tx->get_node_count(SEDQ_CURRENT);
    SDR_DATA_NODE_DISPLAY_TYPE run = SDR_NTYPE_STANDALONE;
    for (int node = 0; node < count; ++node)
    {
        SDR_DATA_NODE_DISPLAY_TYPE type = SDR_NTYPE_STANDALONE;
        m_tx->get_node(node, &type, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
        if (sedq_is_group_display(type))
        {
            m_columns.push_back(make_column(node, true));
            run = type;
            continue;
        }
        if (!is_member(type) || run != SDR_NTYPE_GROUP_ALT)
            m_columns.push_back(make_column(node, false));
        if (type == SDR_NTYPE_LAST_MEMBER)
            run = SDR_NTYPE_STANDALONE;
    }
}

// A bus reads the single rows of its subtree, first member first.
LIST_COLUMN LIST_WRITER::make_column(int node, bool bus)
{
    LIST_COLUMN column;
    column.node = node;
    column.bus = bus;
    const SDR_TX_SIGNAL_SET* nodes = m_tx->get_signal_nodes(SEDQ_CURRENT);
    const int last = bus ? m_tx->get_last_child_index(node) : node;
    for (int row = bus ? node + 1 : node; row <= last && nodes != nullptr; ++row)
    {
        if (bus && sedq_is_group_display(nodes->get_node_display_type(row)))
            continue;
        column.wires.push_back(nodes->get_node_wire_index(row));
        column.inverted.push_back(nodes->is_node_inverted(row) ? 1 : 0);
        column.connected = column.connected && m_tx->get_connection_status(row);
    }
    column.connected = column.connected && !column.wires.empty();
    return column;
}

void LIST_WRITER::size_bus_columns(int depth)
{
    for (size_t key = 0; key < m_columns.size(); ++key)
    {
        LIST_COLUMN& column = m_columns[key];
        column.width = m_tx->get_int_length(int(key));
        if (!column.bus)
            continue;
        if (!column.connected)
        {
            column.width = std::max(column.width, depth > 0 ? 1 : 0);
            continue;
        }
        for (int sample = 0; sample < depth; ++sample)
            column.width = std::max(column.width, int(bus_value(column, sample).size()));
    }
}

std::string LIST_WRITER::bus_value(const LIST_COLUMN& column, int sample)
{
    if (!column.connected)
        return "x";
    const int members = int(column.wires.size());
    SEDQ_BUS bus(members, 1);
    if (!bus.is_valid() || members > SEDQ_NUMBER::MAX_BUS_WIDTH)
        return "x";
    for (int member = 0; member < members; ++member)
        bus.get_row(member)[0] =
            m_log->get_bit(column.wires[size_t(member)], sample) != (column.inverted[size_t(member)] != 0);
    char const* text = nullptr;
    SEDQ_NUMBER(bus, 0).get_string(m_tx, column.node, &text, true, true, nullptr, -1);
    return text != nullptr ? text : "";
}

void LIST_WRITER::write_legend(std::ostream& out)
{
    out << "Signal Legend:\n\nKey        Signal Name\n\n";
    for (size_t key = 0; key < m_columns.size(); ++key)
    {
        const LIST_COLUMN& column = m_columns[key];
        QString name;
        m_tx->get_node(column.node, nullptr, &name, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
        std::string line = std::to_string(key);
        pad(&line, 8 - m_tx->get_int_length(int(key)));
        line += " = ";
        line += name.toLocal8Bit().toStdString();
        if (!column.bus && !m_tx->get_connection_status(column.node))
            line += " [failed connection]";
        out << line << '\n';
    }
}

std::string LIST_WRITER::sample_label(int sample, int segment_size, int trigger)
{
    if (segment_size < 1)
    {
        QString text;
        m_view->get_time_units_string(&text, sample - trigger, false, false);
        return text.toStdString();
    }
    return std::to_string(sample / segment_size) + "/" + std::to_string(sample % segment_size);
}

void LIST_WRITER::write_table(std::ostream& out, int depth)
{
    out << "\nData Table:\n\n";
    std::string line = "Signals-> ";
    for (size_t key = 0; key < m_columns.size(); ++key)
    {
        line += std::to_string(key);
        pad(&line, m_columns[key].width - m_tx->get_int_length(int(key)) + 1);
    }
    const int segment_size = m_tx->get_data_segment_size();
    out << line << "\n\n" << (segment_size < 1 ? "sample\n" : "segment/\nsample\n") << '\n';
    int trigger = 0;
    m_tx->get_trigger_position(&trigger, SEDQ_CURRENT);
    const bool data = m_log->is_data_available(false);
    for (int sample = 0; sample < depth && out; ++sample)
    {
        line = sample_label(sample, segment_size, trigger);
        pad(&line, 10 - int(line.size()));
        for (const LIST_COLUMN& column : m_columns)
        {
            if (column.bus)
            {
                const std::string value = bus_value(column, sample);
                line += value;
                pad(&line, column.width - int(value.size()) + 1);
            }
            else if (data)
            {
                line += !column.connected ? "x" : m_log->get_bit(column.wires.front(), sample) ? "1" : "0";
                pad(&line, column.width);
            }
        }
        line += '\n';
        out << line;
    }
}
} // namespace

void SEDQ_VIEW::show_list_view()
{
    show_list_view(QString());
}

// Without a name the list goes beside the analyzer file and is opened in the host's editor once
// written; nothing is opened when it could not be.
std::string SEDQ_VIEW::show_list_view(QString file)
{
    if (m_tx_manager.isNull() || m_tx_manager->is_empty())
        return "there is no instance to list";
    AFCQ_WAIT_CURSOR wait;
    const bool open = file.isEmpty();
    if (open)
    {
        const SDR_TX_SESSION* session = m_tx_manager->get_tx_session();
        const SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
        file = data != nullptr ? QString::fromLocal8Bit(data->get_name()) : QString();
        if (file.endsWith(QLatin1String(".vtl")))
            file.chop(4);
        if (file.isEmpty())
            file = QStringLiteral("VantrelList");
        file +=
            QLatin1Char('_') + QString::fromLocal8Bit(m_tx_manager->get_instance()) + QStringLiteral(".txt");
    }
    std::string problem;
    const bool written = create_list_file(file, &problem);
    if (open && written)
    {
        QUI_FRAME_MGR* frame_mgr = QUI_FRAME_MGR::get_frame_mgr();
        if (SEDQ_VERIFY(frame_mgr != NULL))
            frame_mgr->open_file(QFile::encodeName(file).constData(), true, true, true);
    }
    m_tx_manager->set_list_view_mode(false);
    return problem;
}

// A target that is no place for the list (a FIFO, a device, a name not valid in the local
// encoding) is left as it is; the message says why the list was not written, and so does
// `problem`.
bool SEDQ_VIEW::create_list_file(QString file, std::string* problem)
{
    std::string ignored;
    problem = problem != nullptr ? problem : &ignored;
    if (m_tx_manager.isNull() || m_tx_manager->is_empty())
    {
        *problem = "there is no instance to list";
        return false;
    }
    LIST_MODE mode(m_tx_manager);
    const SDR_DATA_LOG* log = nullptr;
    m_tx_manager->is_data_available(false, SEDQ_CURRENT, &log);
    const std::string target = QFile::encodeName(file).toStdString();
    *problem = log == nullptr ? std::string("the instance has no acquired data") : fio_write_target_problem(target);
    if (!problem->empty())
    {
        *problem = target + ": " + *problem;
        sedq_show_message(MSG_SEDQ::O::LIST_NOT_WRITTEN(), *problem);
        return false;
    }
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    LIST_WRITER writer(this, m_tx_manager, log);
    writer.collect_columns();
    writer.size_bus_columns(depth);
    // Written whole beside the file and renamed over it: a failed write keeps the file it replaces.
    // Unbuffered, so that a write failing at the end is seen by the commit.
    std::ostringstream out(std::ios::out | std::ios::binary);
    writer.write_legend(out);
    writer.write_table(out, depth);
    const std::string text = out.str();
    QSaveFile saved(file);
    if (!saved.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        saved.write(text.data(), qint64(text.size())) != qint64(text.size()) || !saved.commit())
    {
        *problem = target + ": the file cannot be written: " + saved.errorString().toStdString();
        sedq_show_message(MSG_SEDQ::O::LIST_NOT_WRITTEN(), *problem);
        return false;
    }
    return true;
}

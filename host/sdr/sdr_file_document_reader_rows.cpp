// Reading document.xml: node rows, their pattern copies, and the tree data derived from them.
#include "host/sdr/sdr_file_document_reader.h"

#include "host/sdr/sdr_tx_signal_nodes.h"

#include <climits>

namespace
{
// A few pattern lists seen last. Rows read from a file mostly carry equal lists (a new list is
// all "Don't Care"), so a row whose list equals one of these shares it instead of holding a
// copy; the lists are implicitly shared and detach on the first edit of a row.
template <class T>
class RECENT_LISTS
{
public:
    void share(QVector<T>* list)
    {
        for (const QVector<T>& known : m_known)
            if (known == *list) {
                *list = known;
                return;
            }
        m_known[m_next] = *list;
        m_next = (m_next + 1) % COUNT;
    }

private:
    static const int COUNT = 8;
    QVector<T> m_known[COUNT];
    int m_next = 0;
};
} // namespace

// The rows are read into a list kept for the purpose and moved into `rows` at the end, so that
// each chunk of `rows` is allocated once.
void SDR_FILE_DOCUMENT_READER::read_rows(SDR_NODE_LIST* rows)
{
    m_rows.clear();
    while (m_in->next_child()) {
        if (!m_in->is("row")) {
            m_in->skip();
            continue;
        }
        if (rows->size() + qint64(m_rows.size()) >= SDR_FILE_LIMITS::MAX_ROWS_PER_LIST) {
            m_in->fail(QStringLiteral("a node list holds more than %1 rows, the limit of an analyzer file")
                           .arg(SDR_FILE_LIMITS::MAX_ROWS_PER_LIST));
            return;
        }
        if (!count(SDR_FILE_ELEMENT::ROW))
            return;
        m_rows.emplace_back();
        read_row(&m_rows.back());
    }
    rows->append_moved(&m_rows);
}

void SDR_FILE_DOCUMENT_READER::read_row(SDR_NODE_ROW* row)
{
    read_row_attributes(row);
    bool seen[2] = {false, false};
    while (m_in->next_child()) {
        if (m_in->is("patterns"))
            read_patterns(row, seen);
        else
            m_in->skip();
    }
}

void SDR_FILE_DOCUMENT_READER::read_row_attributes(SDR_NODE_ROW* r)
{
    r->link_id = m_in->integer("link_id", 0, 0, MAX_LINK_ID);
    m_highest_link_id = std::max(m_highest_link_id, r->link_id);
    r->name = m_in->text("name");
    r->signal_type =
        SDR_DATA_SIGNAL_TYPE(m_in->integer("signal_type", SDR_STYPE_PLAIN, 0, 2 * SDR_STYPE_MACHINE - 1));
    r->alias = m_in->text("alias");
    r->has_debug_port_out = m_in->has("debug_port_out");
    r->debug_port_out = m_in->text("debug_port_out");
    r->debug_port_out_enabled = m_in->boolean("debug_port_out_enabled", false);
    r->display_type = SDR_DATA_NODE_DISPLAY_TYPE(m_in->integer("display_type", 0, 0, SDR_NTYPE_LAST_MEMBER));
    r->depth = m_in->integer("depth", 0, 0, INT_MAX);
    r->expanded = m_in->boolean("expanded", true);
    r->capture_type = SDR_DATA_WIRE_CAPTURE_TYPE(m_in->integer("capture", SDR_WTYPE_DATA_AND_TRIGGER, 0, SDR_WTYPE_NEITHER));
    r->tap_mode = SDR_DATA_WIRE_TAP_MODE(m_in->integer("tap", SDR_TAP_PRE_SYNTHESIS, 0, 3));
    r->storage_enabled = m_in->boolean("storage", false);
    r->transition_enabled = m_in->boolean("transition", false);
    r->inverted = m_in->boolean("inverted", false);
    r->node_flag = m_in->integer("node_flag", 0, INT_MIN, INT_MAX);
    r->data_tab_only = m_in->boolean("data_tab_only", false);
    r->radix = SDR_DATA_GROUP_DISPLAY_TYPE(m_in->integer("radix", SDR_GTYPE_INVALID, 0, SDR_GTYPE_INVALID));
    r->lsb_to_msb = m_in->boolean("lsb_to_msb", false);
    r->mnemonic_table = m_in->text("mnemonic_table");
    int link[3] = {0, 0, 0};
    m_in->integers_into("link", link, 3, INT_MIN, INT_MAX);
    r->link_mask = link[0];
    r->link_mask2 = link[1];
    r->link_type = link[2];
    if (m_in->has("plugin")) {
        const auto found = m_plugin_ids.find(m_in->integer("plugin", -1, 0, INT_MAX));
        if (found == m_plugin_ids.end())
            m_in->fail(QStringLiteral("the row names a plug-in record that does not exist"));
        else
            r->plugin_group = found->second;
    }
}

// A second element for one copy is refused: it would pile its conditions onto the first's.
void SDR_FILE_DOCUMENT_READER::read_patterns(SDR_NODE_ROW* row, bool* seen)
{
    const std::string copy = m_in->text("copy");
    if (copy != "normal" && copy != "power_up") {
        m_in->skip();
        return;
    }
    const int which = copy == "normal" ? SDR_COPY_NORMAL : SDR_COPY_POWER_UP;
    if (seen[which]) {
        m_in->fail(QStringLiteral("a second \"%1\" copy of the row's patterns").arg(QString::fromStdString(copy)));
        return;
    }
    seen[which] = true;
    SDR_NODE_PATTERNS& p = row->patterns[which];
    const std::vector<int> conditions = m_in->integers("conditions", SDR_MAX_TRIGGER_LEVELS);
    p.conditions.reserve(int(conditions.size()));
    for (int c : conditions) {
        if (c < 0 || c > SDR_CTYPE_ADVANCED) {
            m_in->fail(QStringLiteral("condition %1 is out of range").arg(c));
            return; // never hold an out-of-range value in the enum, even in a refused document
        }
        p.conditions.append(SDR_DATA_TRIGGER_CONDITION(c));
    }
    int sq[SDR_NUM_SQ_PATTERNS] = {SDR_CTYPE_DONT_CARE, SDR_CTYPE_DONT_CARE, SDR_CTYPE_DONT_CARE};
    m_in->integers_into("sq_conditions", sq, SDR_NUM_SQ_PATTERNS, 0, SDR_CTYPE_ADVANCED);
    for (int k = 0; k < SDR_NUM_SQ_PATTERNS; ++k)
        p.sq_conditions[k] = SDR_DATA_TRIGGER_CONDITION(sq[k]);
    while (m_in->next_child()) {
        if (m_in->is("comparison")) {
            const int index = m_in->integer("index", 0, 0, SDR_MAX_TRIGGER_LEVELS - 1);
            while (p.comparisons.size() <= index)
                p.comparisons.append(SDR_NODE_COMPARISON());
            read_comparison(p.comparisons.data(), p.comparisons.size());
        } else if (m_in->is("sq_comparison")) {
            read_comparison(p.sq_comparisons, SDR_NUM_SQ_PATTERNS);
        }
        m_in->skip();
    }
}

void SDR_FILE_DOCUMENT_READER::read_comparison(SDR_NODE_COMPARISON* comparisons, int count)
{
    const int index = m_in->integer("index", 0, 0, count - 1);
    if (m_in->failed())
        return;
    SDR_NODE_COMPARISON& c = comparisons[index];
    c.member = m_in->boolean("member", false);
    c.enabled = m_in->boolean("enabled", false);
    int operands[4] = {c.op1, c.value1, c.op2, c.value2};
    m_in->integers_into("operands", operands, 4, INT_MIN, INT_MAX);
    if (operands[0] < 0 || operands[0] > SDR_CTYPE_ADVANCED || operands[2] < 0 || operands[2] > SDR_CTYPE_ADVANCED)
    {
        m_in->fail(QStringLiteral("comparison operator out of range"));
        return;
    }
    c.op1 = SDR_DATA_TRIGGER_CONDITION(operands[0]);
    c.value1 = operands[1];
    c.op2 = SDR_DATA_TRIGGER_CONDITION(operands[2]);
    c.value2 = operands[3];
}

// Every row carries exactly one condition and one comparison per level, whatever the file
// held: missing ones take the defaults of a new level, surplus ones are dropped. Equal lists
// are then shared between rows.
void SDR_FILE_DOCUMENT_READER::fit_rows_to_levels(SDR_NODE_LIST* rows, int levels)
{
    RECENT_LISTS<SDR_DATA_TRIGGER_CONDITION> conditions;
    RECENT_LISTS<SDR_NODE_COMPARISON> comparisons;
    for (SDR_NODE_ROW& row : *rows)
        for (SDR_NODE_PATTERNS& p : row.patterns) {
            if (p.conditions.size() != levels) {
                while (p.conditions.size() < levels)
                    p.conditions.append(SDR_TX_SIGNAL_NODES::default_condition(row));
                p.conditions.resize(levels);
            }
            if (p.comparisons.size() != levels)
                p.comparisons.resize(levels);
            conditions.share(&p.conditions);
            comparisons.share(&p.comparisons);
        }
}

// The nesting must be a proper tree (a row is at most one level deeper than the one before,
// and only below a group row). Everything derived from it (display types of members, subtree
// ends, parent rows, channel numbers) is then computed as the node lists do, never taken from
// the file: the tree queries and the data-list sync rely on it from the first edit on.
void SDR_FILE_DOCUMENT_READER::derive_tree(SDR_NODE_LIST* rows)
{
    if (m_in->failed())
        return;
    for (int i = 0; i < rows->size(); ++i) {
        const SDR_NODE_ROW* above = i > 0 ? &rows->at(i - 1) : nullptr;
        const int deepest = above ? above->depth + (SDR_TX_SIGNAL_NODES::is_group_row(*above) ? 1 : 0) : 0;
        if (rows->at(i).depth > deepest) {
            m_in->fail(QStringLiteral("row %1 is nested inconsistently").arg(i));
            return;
        }
    }
    SDR_TX_SIGNAL_NODES::recompute_tree(*rows);
}

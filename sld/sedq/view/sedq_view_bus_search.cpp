// SEDQ_VIEW: searching a bus's acquired samples for a value — the Find Bus Value dialog, Find
// Next and Find Previous from the master time bar, their enabling rules, and the search itself,
// which compares each sample's member bits with the value's bits directly.
#include "sedq/view/sedq_view.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"
#include "sedq/view/sedq_trigger_value_dlg.h"
#include "sedq/view/sedq_wave.h"

#include <algorithm>
#include <vector>

namespace
{
// The value's bits as 0 and 1 bytes, most significant first; false when it holds any other
// symbol, which no acquired sample can match.
bool read_bits(const QString& bits, std::vector<unsigned char>* ones)
{
    ones->resize(size_t(bits.size()));
    for (int k = 0; k < bits.size(); ++k)
    {
        const QChar symbol = bits[k];
        if (symbol != QLatin1Char('0') && symbol != QLatin1Char('1'))
            return false;
        (*ones)[size_t(k)] = symbol == QLatin1Char('1');
    }
    return true;
}

bool sample_matches(bool** rows, const std::vector<unsigned char>& ones, int sample)
{
    for (size_t k = 0; k < ones.size(); ++k)
        if ((rows[k][sample] ? 1 : 0) != ones[k])
            return false;
    return true;
}
} // namespace

// ---- the search ----------------------------------------------------------------------------------

// The search bus is read again on every search: an edit since the dialog may have changed its
// members, and no row outside the group is ever read.
bool SEDQ_VIEW::find_bus_value(const QString& bits, bool forward)
{
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    const SEDQ_WAVE_MASK mask(depth);
    const int width = is_parent_item(m_search_bus) ? get_child_item_count(m_search_bus) : 0;
    if (depth < 1 || !mask.is_valid() ||
        !m_tx_manager->get_wave_mask(mask.get_data(), -1, false, SEDQ_CURRENT) || width < 1)
    {
        sedq_show_message(MSG_SEDQ::O::FIND_BUS_VALUE_NO_BUS_DATA());
        return false;
    }
    const SEDQ_BUS bus(width, depth);
    if (!bus.is_valid() || !read_search_bus(bus))
    {
        sedq_show_message(MSG_SEDQ::O::FIND_BUS_VALUE_NO_BUS_DATA());
        return false;
    }
    const int found = match_search_bus(bus, bits, forward, depth);
    if (found < 0)
    {
        sedq_show_message(MSG_SEDQ::O::FIND_BUS_VALUE_NOT_FOUND());
        return false;
    }
    m_search_continue = true;
    if (m_timebar_count == 0)
        insert_timebar(found);
    m_timebars[0] = found;
    center_in_window(found, true);
    save_timebars();
    update();
    return true;
}

// Row k holds member k counted from the most significant bit.
bool SEDQ_VIEW::read_search_bus(SEDQ_BUS const& bus)
{
    const int width = bus.get_nitems();
    bool lsb_to_msb = false;
    m_tx_manager->get_node_lsb_to_msb(m_search_bus, &lsb_to_msb, SEDQ_CURRENT);
    for (int k = 0; k < width; ++k)
    {
        const int member = lsb_to_msb ? m_search_bus + width - k : m_search_bus + 1 + k;
        if (!m_tx_manager->get_wave(member, bus.get_row(k), -1, false, SEDQ_CURRENT))
            return false;
    }
    return true;
}

// The first matching sample from the master time bar (one past it when continuing), or -1.
// The walk stays inside the data whatever the bar's position.
int SEDQ_VIEW::match_search_bus(SEDQ_BUS const& bus, const QString& bits, bool forward, int depth)
{
    std::vector<unsigned char> ones;
    if (bits.size() != bus.get_nitems() || !read_bits(bits, &ones))
        return -1;
    const int master = m_timebar_count > 0 ? m_timebars[0] : 0;
    bool** rows = bus.get_data();
    if (forward)
    {
        for (int sample = std::max(master + (m_search_continue ? 1 : 0), 0); sample < depth; ++sample)
            if (sample_matches(rows, ones, sample))
                return sample;
        return -1;
    }
    for (int sample = std::min(master - (m_search_continue ? 1 : 0), depth - 1); sample >= 0; --sample)
        if (sample_matches(rows, ones, sample))
            return sample;
    return -1;
}

// ---- the commands ----------------------------------------------------------------------------------

// Without a time bar the search starts on the first sample itself. A dialog closed without a
// search keeps what was searched before.
void SEDQ_VIEW::on_find_bus_value()
{
    if (m_timebar_count == 0)
    {
        insert_timebar(0);
        m_search_continue = false;
    }
    else
        m_search_continue = true;
    const int count = m_tx_manager->is_empty() ? 0 : m_tx_manager->get_node_count(SEDQ_CURRENT);
    int bus = 0;
    while (bus < count && !is_selected_parent(bus))
        ++bus;
    if (bus >= count)
    {
        sedq_show_message(MSG_SEDQ::O::FIND_BUS_VALUE_NO_BUS_SELECTED());
        return;
    }
    m_search_bus = bus;
    select_all_items(false);
    ensure_visible(bus);
    select_item(bus, true);
    m_search_width = get_child_item_count(bus);
    // The first dialog of a view opens in hexadecimal, whatever radix the bus shows.
    const SDR_DATA_GROUP_DISPLAY_TYPE radix = m_search_radix == SDR_GTYPE_INVALID ? SDR_GTYPE_HEX : m_search_radix;
    SEDQ_TRIGGER_VALUE_DLG dialog(m_search_value, m_search_width, this, radix, true);
    dialog.exec();
    if (!dialog.has_searched())
        return;
    m_search_value = dialog.get_last_searched_value();
    m_search_radix = dialog.get_last_searched_type();
}

void SEDQ_VIEW::on_find_next_bus_value()
{
    search_again(true);
}

void SEDQ_VIEW::on_find_previous_bus_value()
{
    search_again(false);
}

// The remembered value on the remembered bus, whatever is selected now; nothing before a first
// search.
void SEDQ_VIEW::search_again(bool forward)
{
    if (!is_parent_item(m_search_bus) || m_search_radix == SDR_GTYPE_INVALID)
        return;
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    prepare_search_step(forward, depth);
    select_all_items(false);
    ensure_visible(m_search_bus);
    select_item(m_search_bus, true);
    m_search_width = get_child_item_count(m_search_bus);
    const QString value = m_search_value;
    const QString bits =
        QString::fromLatin1(SEDQ_NUMBER(value).get_trigger_string(m_search_radix, m_search_width, false));
    find_bus_value(bits, forward);
}

// Next starts past the master time bar, and finds nothing from the end of the data; Previous
// starts before it, and from the end of the data when there is no bar.
void SEDQ_VIEW::prepare_search_step(bool forward, int depth)
{
    m_search_continue = m_timebar_count > 0;
    if (m_timebar_count == 0)
        insert_timebar(forward ? 0 : depth);
    else if (forward && m_timebars[0] >= depth)
    {
        m_timebars[0] = depth;
        m_search_continue = false;
    }
    else if (!forward && m_timebars[0] < 1)
    {
        m_timebars[0] = 0;
        m_search_continue = false;
    }
}

// ---- enabling rules --------------------------------------------------------------------------------

bool SEDQ_VIEW::on_update_find_bus_value()
{
    if (m_tx_manager->is_empty())
        return false;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    bool has_bus = false;
    for (int node = 0; node < count && !has_bus; ++node)
        has_bus = is_parent_item(node);
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    return has_bus && get_visible_node_count() > 0 && depth != 0 &&
           m_tx_manager->is_data_mode(SEDQ_CURRENT) &&
           m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr);
}

bool SEDQ_VIEW::on_update_find_next_bus_value()
{
    if (m_tx_manager->is_empty())
        return false;
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    return get_visible_node_count() > 0 && m_tx_manager->is_data_mode(SEDQ_CURRENT) && depth != 0 &&
           m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr) && m_search_bus != -1 &&
           m_search_bus < m_tx_manager->get_node_count(SEDQ_CURRENT) && is_parent_item(m_search_bus);
}

bool SEDQ_VIEW::on_update_find_previous_bus_value()
{
    return on_update_find_next_bus_value();
}

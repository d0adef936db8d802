// SEDQ_INSTANCE_WIDGET: the estimated logic and memory use of every instance and, in the column
// headers, the totals against what the device offers.
#include "sedq/frame/sedq_instance_widget.h"

#include "host/acf.h"
#include "host/dstr.h"
#include "host/ice.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <climits>

namespace
{

// What the project says about its device. Without a project (or an assignment manager) the
// family is unknown and counted as one with all three block families.
struct DEVICE_INFO
{
    DEV_FAMILY_ENUM family = DEV_FAMILY_UNKNOWN;
    bool typed = true;
    bool project_open = false;
};

bool is_typed_family(DEV_FAMILY_ENUM family)
{
    static const int TYPED[] = {6, 11, 31, 33, 45, 49, 50, 54, 55, 60};
    return std::find(std::begin(TYPED), std::end(TYPED), int(family)) != std::end(TYPED);
}

DEVICE_INFO read_device_info()
{
    DEVICE_INFO info;
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf_mgr != NULL))
        return info;
    info.project_open = acf_mgr->is_project_open();
    if (!info.project_open)
        return info;
    bool locked_here = false;
    if (!acf_mgr->is_read_locked() && !acf_mgr->is_write_locked())
    {
        acf_mgr->read_lock();
        locked_here = acf_mgr->is_read_locked();
    }
    if (acf_mgr->is_read_locked() || acf_mgr->is_write_locked())
    {
        ACF_MGR_INPUT_PARAMETERS parameters;
        parameters.set_variable_type(ACF_DEVICE_FAMILY);
        if (const ACF_ASSIGNMENT* assignment = acf_mgr->get_assignment(parameters))
        {
            info.family = dstr_get_dev_family_enum_by_string(assignment->get_value(false));
            info.typed = is_typed_family(info.family);
        }
    }
    if (locked_here)
        acf_mgr->read_unlock();
    return info;
}

// The figures of one row of the usage columns and what its estimate needs.
struct ROW_USAGE
{
    int instance = 0;
    bool enabled = false;
    bool automatic = false; // RAM type chosen by the estimator
    int width = 1;
    int depth = 0;
    unsigned cells = 0;
    unsigned bits = 0;
    // The blocks of each family; NOT_KNOWN shows "NA", NO_FIT "Can't fit" (an automatic type
    // that fits nowhere). A fixed type whose running total passed the device's is over it.
    enum OUTCOME
    {
        COUNTED,
        NOT_KNOWN,
        NO_FIT
    } outcome = COUNTED;
    qint64 blocks[3] = {0, 0, 0};
    bool over[3] = {false, false, false};
};

struct TOTALS
{
    qulonglong cells = 0;
    qulonglong bits = 0;
    qint64 blocks[3] = {0, 0, 0}; // small, medium, large
};

// The block family of a fixed RAM type: on devices without typed blocks every buffer counts as
// medium blocks; -1 for an automatic or unknown type.
int fixed_block_family(bool typed, SDR_HALCYTE_RAM_TYPE ram_type)
{
    if (!typed)
        return ICE_RAM_TYPE_MEDIUM;
    switch (ram_type)
    {
    case SDR_RAM_MID_SIZE:
        return ICE_RAM_TYPE_MEDIUM;
    case SDR_RAM_SMALL:
        return ICE_RAM_TYPE_SMALL;
    case SDR_RAM_LARGE:
        return ICE_RAM_TYPE_LARGE;
    default:
        return -1;
    }
}

// Blocks of a fixed family. A count the estimator cannot give (negative) still goes into the
// running total, which then makes the headers say "NA".
void estimate_fixed(ICE_RAM_USAGE_GUI& estimator, int family, ROW_USAGE* row, TOTALS* totals)
{
    int counts[3] = {0, 0, 0};
    if (family >= 0)
    {
        ICE_RAM_TYPE type = ICE_RAM_TYPE(family);
        counts[family] = estimator.num_mem_blocks_used(row->width, row->depth, type);
    }
    for (int t = 0; t < 3; ++t)
        totals->blocks[t] += counts[t];
    if (counts[0] < 0 || counts[1] < 0 || counts[2] < 0)
    {
        row->outcome = ROW_USAGE::NOT_KNOWN;
        return;
    }
    for (int t = 0; t < 3; ++t)
    {
        row->blocks[t] = counts[t];
        row->over[t] = estimator.get_total_blocks(ICE_RAM_TYPE(t)) < totals->blocks[t];
    }
}

// Splits the buffer over the families the estimator picks: the widest piece that fits (the width
// halved until one does), then the rest the same way. False when no piece of at least one bit
// fits. Any negative answer means "does not fit".
bool estimate_automatic(ICE_RAM_USAGE_GUI& estimator, const ROW_USAGE& row, qint64 counts[3])
{
    int remaining = row.width;
    do
    {
        int width = remaining;
        ICE_RAM_TYPE type = ICE_RAM_TYPE_AUTO;
        int blocks = estimator.num_mem_blocks_used(width, row.depth, type);
        while (blocks < 0 && width > 0)
        {
            width /= 2;
            if (width == 0)
                return false;
            type = ICE_RAM_TYPE_AUTO;
            blocks = estimator.num_mem_blocks_used(width, row.depth, type);
        }
        if (blocks < 0)
            return false;
        if (type >= ICE_RAM_TYPE_SMALL && type <= ICE_RAM_TYPE_LARGE)
            counts[type] += blocks;
        if (width == 0)
            return true; // a buffer of no width is placed by its one try
        remaining -= width;
    } while (remaining > 0);
    return true;
}

// Logic and memory of one enabled instance; an automatic memory type is placed later, once the
// fixed types have taken their blocks.
void estimate_row(SEDQ_TX_MANAGER* tx, ICE_RAM_USAGE_GUI& estimator, const DEVICE_INFO& device,
                  ROW_USAGE* row, TOTALS* totals)
{
    row->cells = tx->get_le_usage(row->instance, device.family);
    row->bits = tx->get_esb_usage(row->instance);
    totals->cells += row->cells;
    totals->bits += row->bits;
    tx->get_sample_depth(&row->depth, row->instance);
    row->width = row->depth >= 1 ? int(std::min<unsigned>(row->bits / unsigned(row->depth), INT_MAX)) : 1;
    const SDR_HALCYTE_RAM_TYPE ram_type = tx->get_halcyte_ram_type(row->instance);
    row->automatic = device.typed && ram_type == SDR_RAM_AUTO;
    if (!row->automatic)
        estimate_fixed(estimator, fixed_block_family(device.typed, ram_type), row, totals);
}

// The texts of a row's usage columns.
SEDQ_INSTANCE_LIST_MODEL::USAGE usage_texts(const ROW_USAGE& row)
{
    const QString blocks = QStringLiteral("0 blocks");
    if (!row.enabled)
        return {QStringLiteral("0 cells"), QStringLiteral("0 bits"), blocks, blocks, blocks};
    SEDQ_INSTANCE_LIST_MODEL::USAGE texts;
    texts[0] = QString("%1 cells").arg(row.cells);
    texts[1] = QString("%1 bits").arg(row.bits);
    for (int t = 0; t < 3; ++t)
        texts[size_t(2 + t)] = row.outcome == ROW_USAGE::NOT_KNOWN ? QStringLiteral("NA")
                               : row.outcome == ROW_USAGE::NO_FIT  ? QStringLiteral("Can't fit")
                               : row.over[t] ? QString("Can't fit %1 blocks").arg(row.blocks[t])
                                             : QString("%1 blocks").arg(row.blocks[t]);
    return texts;
}

// "Small: 3/100" and the like; without a project, or with a total the estimator could not
// count, "Small: NA"; a device without limits shows the totals alone.
QStringList block_headers(const int total_blocks[3], bool project_open, const TOTALS& totals)
{
    const char* const names[] = {"Small", "Medium", "Large"};
    const bool known =
        project_open && totals.blocks[0] >= 0 && totals.blocks[1] >= 0 && totals.blocks[2] >= 0;
    bool unlimited = false;
    for (int t = 0; t < 3; ++t)
        unlimited = unlimited || total_blocks[t] == INT_MAX;
    QStringList headers;
    for (int t = 0; t < 3; ++t)
    {
        if (!known)
            headers << QString("%1: NA").arg(names[t]);
        else if (unlimited)
            headers << QString("%1: %2").arg(names[t]).arg(totals.blocks[t]);
        else
            headers << QString("%1: %2/%3").arg(names[t]).arg(totals.blocks[t]).arg(total_blocks[t]);
    }
    return headers;
}

// Every figure the columns and headers are made from, in one list: the same list makes the same
// texts.
std::vector<qint64> figures_of(bool project_open, const int total_blocks[3], const TOTALS& totals,
                               const std::vector<ROW_USAGE>& rows)
{
    std::vector<qint64> figures = {project_open,    total_blocks[0],       total_blocks[1],
                                   total_blocks[2], qint64(totals.cells),  qint64(totals.bits),
                                   totals.blocks[0], totals.blocks[1],     totals.blocks[2]};
    figures.reserve(figures.size() + rows.size() * 12);
    for (const ROW_USAGE& row : rows)
    {
        figures.insert(figures.end(), {row.instance, row.enabled, row.automatic, row.cells, row.bits, row.outcome});
        for (int t = 0; t < 3; ++t)
            figures.insert(figures.end(), {row.blocks[t], row.over[t]});
    }
    return figures;
}
} // namespace

void SEDQ_INSTANCE_WIDGET::update_resource_usage()
{
    const DEVICE_INFO device = read_device_info();
    ICE_RAM_USAGE_GUI estimator;
    const bool estimator_ok = estimator.init_usage();
    TOTALS totals;
    int total_blocks[3];
    for (int t = 0; t < 3; ++t)
    {
        totals.blocks[t] = estimator.get_used_blocks(ICE_RAM_TYPE(t));
        total_blocks[t] = estimator.get_total_blocks(ICE_RAM_TYPE(t));
    }
    std::vector<ROW_USAGE> rows(size_t(m_model.rowCount()));
    for (int r = 0; r < m_model.rowCount(); ++r)
    {
        ROW_USAGE& row = rows[size_t(r)];
        row.instance = m_model.instance_at(r);
        // A disabled instance is not compiled into the design: it takes nothing.
        row.enabled = get_instance_enabled(row.instance);
        if (row.enabled)
            estimate_row(m_tx, estimator, device, &row, &totals);
    }
    for (ROW_USAGE& row : rows)
    {
        if (!row.enabled || !row.automatic)
            continue;
        qint64 counts[3] = {0, 0, 0};
        if (!estimate_automatic(estimator, row, counts))
        {
            row.outcome = device.project_open && estimator_ok ? ROW_USAGE::NO_FIT : ROW_USAGE::NOT_KNOWN;
            continue;
        }
        for (int t = 0; t < 3; ++t)
        {
            totals.blocks[t] += counts[t];
            row.blocks[t] = counts[t];
        }
    }
    // Typing in a flow refreshes the pane on every key and mostly changes no estimate: the texts
    // are made, and the columns measured, again only when a figure changed.
    std::vector<qint64> figures = figures_of(device.project_open, total_blocks, totals, rows);
    if (figures == m_usage_figures)
        return;
    m_usage_figures = std::move(figures);
    bool changed = m_model.set_headers(QStringList{tr("Instance"), tr("Status"), tr("Enabled"),
                                                   QString("LEs: %1").arg(totals.cells),
                                                   QString("Memory: %1").arg(totals.bits)} +
                                       block_headers(total_blocks, device.project_open, totals));
    if (changed)
        set_header_tooltips();
    // Rows of equal estimates share their texts: a document of many instances repeats a few.
    QSet<QString> distinct;
    std::vector<SEDQ_INSTANCE_LIST_MODEL::USAGE> texts;
    texts.reserve(rows.size());
    for (const ROW_USAGE& row : rows)
    {
        texts.push_back(usage_texts(row));
        for (QString& text : texts.back())
            text = *distinct.insert(text);
    }
    changed = m_model.set_usage(texts) || changed;
    if (changed)
        size_columns();
}

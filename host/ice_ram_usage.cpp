// ice: the memory-block estimator over the device description of the project fixture, and the
// design's partial reconfiguration.
#include "host/ice.h"

#include "host/standin/fixture_json.h"
#include "host/standin/ice_control.h"
#include "host/standin/standin.h"

#include <QJsonArray>
#include <QJsonObject>

#include <array>
#include <climits>

namespace
{
constexpr int TYPE_COUNT = 3;

struct ice_state
{
    bool partial_reconfig = false;
    bool init_ok = true;
    std::array<standin::ice::block_type, TYPE_COUNT> types{
        {{640, 20, 100, 0}, {10240, 40, 50, 0}, {147456, 144, 2, 0}}};
    int forced_result = 0;
    int live = 0;
};

ice_state& state()
{
    static ice_state s;
    return s;
}

const standin::reset_registrar registrar(&standin::ice::reset);

bool is_block_type(int type)
{
    return type >= 0 && type < TYPE_COUNT;
}

// Blocks of one family for width x depth bits; -1 when the width does not fit the family.
long long blocks_in(const standin::ice::block_type& type, int width, int depth)
{
    if (width < 0 || depth < 0 || width > type.max_width || type.capacity_bits <= 0)
        return -1;
    const long long bits = static_cast<long long>(width) * depth;
    return (bits + type.capacity_bits - 1) / type.capacity_bits;
}

int clamp_to_int(long long blocks)
{
    return blocks > INT_MAX ? INT_MAX : static_cast<int>(blocks);
}
} // namespace

bool ICE_INSTANCE_BUILDER::design_contains_partial_reconfig()
{
    return state().partial_reconfig;
}

ICE_RAM_USAGE_GUI::ICE_RAM_USAGE_GUI()
{
    ++state().live;
}

ICE_RAM_USAGE_GUI::~ICE_RAM_USAGE_GUI()
{
    --state().live;
}

bool ICE_RAM_USAGE_GUI::init_usage()
{
    return state().init_ok;
}

int ICE_RAM_USAGE_GUI::get_used_blocks(ICE_RAM_TYPE type)
{
    return is_block_type(type) ? state().types[type].used : 0;
}

int ICE_RAM_USAGE_GUI::get_total_blocks(ICE_RAM_TYPE type)
{
    return is_block_type(type) ? state().types[type].total : 0;
}

int ICE_RAM_USAGE_GUI::num_mem_blocks_used(int width, int depth, ICE_RAM_TYPE& type)
{
    if (state().forced_result != 0)
        return state().forced_result;
    if (type == ICE_RAM_TYPE_AUTO)
    {
        for (int candidate = 0; candidate < TYPE_COUNT; ++candidate)
        {
            const long long blocks = blocks_in(state().types[candidate], width, depth);
            if (blocks >= 0)
            {
                type = ICE_RAM_TYPE(candidate);
                return clamp_to_int(blocks);
            }
        }
        return -1;
    }
    return is_block_type(type) ? clamp_to_int(blocks_in(state().types[type], width, depth)) : -1;
}

namespace standin::ice
{
void set_partial_reconfig(bool on)
{
    state().partial_reconfig = on;
}

void set_init_ok(bool ok)
{
    state().init_ok = ok;
}

void set_block_type(int type, const block_type& description)
{
    if (is_block_type(type))
        state().types[type] = description;
}

block_type get_block_type(int type)
{
    return is_block_type(type) ? state().types[type] : block_type();
}

void force_blocks_result(int value)
{
    state().forced_result = value;
}

int live_estimators()
{
    return state().live;
}

// Estimators alive stay counted, so one the library never destroyed shows in a later test.
void reset()
{
    const int live = state().live;
    state() = ice_state();
    state().live = live;
}

namespace
{
bool read_type(const QJsonObject& entry, const std::string& where, std::string* error)
{
    if (!fixture::check_keys(entry, {"type", "capacity_bits", "max_width", "total", "used"}, where, error))
        return false;
    int type = 0;
    block_type description;
    int capacity = 0;
    if (!fixture::read_int(entry.value("type"), 0, TYPE_COUNT - 1, &type))
        return fixture::fail(where, "\"type\" must be 0 (small), 1 (medium) or 2 (large)", error);
    if (!fixture::read_int(entry.value("capacity_bits"), 1, INT_MAX, &capacity) ||
        !fixture::read_int(entry.value("max_width"), 1, 1 << 20, &description.max_width))
        return fixture::fail(where, "\"capacity_bits\" and \"max_width\" must be positive numbers", error);
    if (!fixture::read_int(entry.value("total"), 0, INT_MAX, &description.total) ||
        !fixture::read_int(entry.value("used").isUndefined() ? QJsonValue(0) : entry.value("used"), 0,
                           INT_MAX, &description.used))
        return fixture::fail(where, "\"total\" and \"used\" must be block counts", error);
    description.capacity_bits = capacity;
    state().types[type] = description;
    return true;
}
} // namespace

bool load_memory(const QJsonValue& memory, std::string* error)
{
    if (memory.isUndefined() || memory.isNull())
        return true;
    if (!memory.isObject())
        return fixture::fail("memory", "must be an object", error);
    const QJsonObject object = memory.toObject();
    if (!fixture::check_keys(object, {"init_ok", "types"}, "memory", error))
        return false;
    state().init_ok = object.value("init_ok").toBool(true);
    const QJsonArray types = object.value("types").toArray();
    for (int i = 0; i < types.size(); ++i)
        if (!read_type(types[i].toObject(), "memory.types[" + std::to_string(i) + "]", error))
            return false;
    return true;
}
} // namespace standin::ice

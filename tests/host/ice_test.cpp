// The device-estimate stand-in: memory blocks per family from the project's "memory" section,
// the automatic choice of a family, partial reconfiguration, bad fixtures; and the help library
// that the dynamic loader offers.
#include "host/ice.h"
#include "host/standin/ice_control.h"
#include "host/standin/project_control.h"
#include "host/standin/thr_control.h"
#include "host/thr.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
bool load(const char* text, std::string* error = nullptr)
{
    std::string ignored;
    return standin::project::load_json(text, "/tmp/project", error != nullptr ? error : &ignored);
}
} // namespace

TEST(ice, blocks_are_the_buffer_bits_over_the_block_capacity_in_a_family_that_takes_the_width)
{
    ASSERT_TRUE(load(R"({"project": {"top_entity": "top", "partial_reconfig": true},
      "memory": {"init_ok": true, "types": [
        {"type": 0, "capacity_bits": 640, "max_width": 20, "total": 100, "used": 3},
        {"type": 1, "capacity_bits": 10240, "max_width": 40, "total": 2147483647},
        {"type": 2, "capacity_bits": 147456, "max_width": 144, "total": 2, "used": 1}]}})"));
    ICE_RAM_USAGE_GUI estimator;
    EXPECT_TRUE(estimator.init_usage());
    EXPECT_TRUE(ICE_INSTANCE_BUILDER::design_contains_partial_reconfig());
    EXPECT_EQ(estimator.get_used_blocks(ICE_RAM_TYPE_SMALL), 3);
    EXPECT_EQ(estimator.get_total_blocks(ICE_RAM_TYPE_MEDIUM), INT_MAX);
    const struct
    {
        int width, depth;
        ICE_RAM_TYPE type;
        int blocks;
        ICE_RAM_TYPE chosen;
    } rows[] = {{20, 32, ICE_RAM_TYPE_SMALL, 1, ICE_RAM_TYPE_SMALL},
                {21, 32, ICE_RAM_TYPE_SMALL, -1, ICE_RAM_TYPE_SMALL},
                {20, 33, ICE_RAM_TYPE_SMALL, 2, ICE_RAM_TYPE_SMALL},
                {40, 1024, ICE_RAM_TYPE_MEDIUM, 4, ICE_RAM_TYPE_MEDIUM},
                {0, 1024, ICE_RAM_TYPE_LARGE, 0, ICE_RAM_TYPE_LARGE},
                {9, 128, ICE_RAM_TYPE_AUTO, 2, ICE_RAM_TYPE_SMALL},
                {30, 128, ICE_RAM_TYPE_AUTO, 1, ICE_RAM_TYPE_MEDIUM},
                {100, 128, ICE_RAM_TYPE_AUTO, 1, ICE_RAM_TYPE_LARGE},
                {145, 128, ICE_RAM_TYPE_AUTO, -1, ICE_RAM_TYPE_AUTO},
                {-1, 128, ICE_RAM_TYPE_SMALL, -1, ICE_RAM_TYPE_SMALL}};
    for (const auto& row : rows)
    {
        ICE_RAM_TYPE type = row.type;
        EXPECT_EQ(estimator.num_mem_blocks_used(row.width, row.depth, type), row.blocks)
            << row.width << "x" << row.depth;
        EXPECT_EQ(type, row.chosen) << row.width << "x" << row.depth;
    }
    standin::project::unload();
    EXPECT_FALSE(ICE_INSTANCE_BUILDER::design_contains_partial_reconfig());
    EXPECT_EQ(estimator.get_total_blocks(ICE_RAM_TYPE_MEDIUM), 50) << "the device without a fixture";
}

TEST(ice, a_memory_section_that_cannot_describe_blocks_is_refused_with_its_entry)
{
    const struct
    {
        const char* memory;
        const char* message;
    } rows[] = {
        {R"("memory": 5)", "memory: must be an object"},
        {R"("memory": {"kind": 1})", "memory: unknown key \"kind\""},
        {R"("memory": {"types": [{"type": 3, "capacity_bits": 1, "max_width": 1, "total": 1}]})",
         "memory.types[0]: \"type\" must be 0 (small), 1 (medium) or 2 (large)"},
        {R"("memory": {"types": [{"type": 0, "capacity_bits": 0, "max_width": 1, "total": 1}]})",
         "memory.types[0]: \"capacity_bits\" and \"max_width\" must be positive numbers"},
        {R"("memory": {"types": [{"type": 0, "capacity_bits": 8, "max_width": 1, "total": -1}]})",
         "memory.types[0]: \"total\" and \"used\" must be block counts"},
    };
    for (const auto& row : rows)
    {
        std::string error;
        EXPECT_FALSE(
            load((std::string(R"({"project": {"top_entity": "top"}, )") + row.memory + "}").c_str(), &error))
            << row.memory;
        EXPECT_NE(error.find(row.message), std::string::npos) << error;
    }
}

TEST(ice, every_estimator_made_is_counted_until_it_is_destroyed)
{
    const int before = standin::ice::live_estimators();
    {
        ICE_RAM_USAGE_GUI a;
        ICE_RAM_USAGE_GUI b;
        EXPECT_EQ(standin::ice::live_estimators(), before + 2);
    }
    EXPECT_EQ(standin::ice::live_estimators(), before);
}

TEST(thr, the_help_library_records_the_help_keys_it_shows)
{
    THR_DRL_HANDLE library = thr_drl_load("sys_hlpq");
    ASSERT_NE(library, nullptr);
    auto show = reinterpret_cast<void (*)(const char*)>(
        thr_drl_find_function(library, "hlpq_dyn_show_msg_help_impl"));
    ASSERT_NE(show, nullptr);
    show("ISEDQ_NOT_RUNNING");
    show(nullptr);
    EXPECT_EQ(standin::thr::help_requests(), (std::vector<std::string>{"ISEDQ_NOT_RUNNING", ""}));
    thr_drl_unload(library);
}

// Hidden-switch stand-in: defaults until a switch is set, and read counting.
#include "host/cfg.h"
#include "host/standin/cfg_control.h"
#include "host/standin/standin.h"

#include <gtest/gtest.h>

TEST(cfg, a_switch_reads_its_default_until_it_is_set)
{
    EXPECT_TRUE(cfg_is_on("sedq_use_equivalent_netlist_dialog", true));
    EXPECT_FALSE(cfg_is_on("sld_split_bus_values", false));
    standin::cfg::set("sedq_use_equivalent_netlist_dialog", false);
    standin::cfg::set("sld_split_bus_values", true);
    EXPECT_FALSE(cfg_is_on("sedq_use_equivalent_netlist_dialog", true));
    EXPECT_TRUE(cfg_is_on("sld_split_bus_values", false));
    EXPECT_EQ(standin::cfg::read_count("sld_split_bus_values"), 2);

    standin::cfg::clear("sld_split_bus_values");
    EXPECT_FALSE(cfg_is_on("sld_split_bus_values", false));
    standin::reset_all();
    EXPECT_TRUE(cfg_is_on("sedq_use_equivalent_netlist_dialog", true));
    EXPECT_EQ(standin::cfg::read_count("sld_split_bus_values"), 0);
}

// The row view that panes build over the model's node lists: names and the storage and
// trigger enables of single rows and of groups.
#include "sedq_tx_manager_test_support.h"

#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_repository.h"

class sedq_node_test : public sedq_tx_manager_test
{
protected:
    // Rows: 0 group "bus" over 1 "a" (trigger only) and 2 "b" (data only), then 3 "c".
    SEDQ_TX_MANAGER* document()
    {
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_TRUE(manager->new_document(path("a.vtl").c_str()));
        standin::sdr::add_node(data_trigger(), {"top|a", SDR_STYPE_PLAIN, SDR_WTYPE_TRIGGER_ONLY});
        standin::sdr::add_node(data_trigger(), {"top|b", SDR_STYPE_PLAIN, SDR_WTYPE_DATA_ONLY});
        standin::sdr::add_node(data_trigger(), {"top|c"});
        EXPECT_EQ(standin::sdr::add_group(data_trigger(), 0, 1, "bus"), 0);
        manager->refresh_tx_cache();
        return manager;
    }
};

TEST_F(sedq_node_test, names_come_from_the_current_list)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_STREQ(SEDQ_NODE(manager, 1, -1).get_name(), "top|a");
    EXPECT_STREQ(SEDQ_NODE(manager, 0, -1).get_name(), "bus");
    EXPECT_STREQ(SEDQ_NODE(manager, 99, -1).get_name(), "");
}

TEST_F(sedq_node_test, group_enables_summarise_the_members)
{
    SEDQ_TX_MANAGER* manager = document();
    bool mixed = false;
    EXPECT_TRUE(SEDQ_NODE(manager, 0, -1).is_trigger_enabled(&mixed, 0));
    EXPECT_TRUE(mixed);
    EXPECT_FALSE(SEDQ_NODE(manager, 2, -1).is_trigger_enabled(&mixed, 0));
    EXPECT_FALSE(mixed);
    EXPECT_TRUE(SEDQ_NODE(manager, 3, -1).is_trigger_enabled(nullptr, -4));

    EXPECT_FALSE(SEDQ_NODE(manager, 0, -1).is_storage_enabled(&mixed));
    SEDQ_REPOSITORY::trigger_nodes(manager, -1)->set_node_storage_enabled(2, true);
    EXPECT_TRUE(SEDQ_NODE(manager, 0, -1).is_storage_enabled(&mixed));
    EXPECT_TRUE(mixed);
    EXPECT_TRUE(SEDQ_NODE(manager, 0, -1).is_trigger_enabled(&mixed, -2)) << "storage patterns read the storage enable";
}

TEST_F(sedq_node_test, advanced_levels_leave_out_pre_synthesis_rows)
{
    SEDQ_TX_MANAGER* manager = document();
    SDR_TX_TRIGGER* trigger = SEDQ_REPOSITORY::trigger_nodes(manager, -1);
    trigger->set_level_type(0, false, SDR_LTYPE_ADVANCED);
    EXPECT_FALSE(SEDQ_NODE(manager, 3, -1).is_trigger_enabled(nullptr, 0));
    EXPECT_TRUE(SEDQ_NODE(manager, 3, -1).is_trigger_enabled(nullptr, -4));
    trigger->set_node_tap_mode(3, SDR_TAP_POST_FITTING);
    EXPECT_TRUE(SEDQ_NODE(manager, 3, -1).is_trigger_enabled(nullptr, 0));
}

// Acquisition setup through the panes' texts: the text conversions both ways, each setter's
// refresh hints, bracket and undo, the values a setter refuses, the empty document's neutral
// answers and the project queries.
#include "sedq_node_list_test_support.h"

#include "host/standin/gen_control.h"
#include "host/standin/idu_control.h"
#include "host/standin/qui_control.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_node_allocation_if.h"

#include <QMetaMethod>

#include <climits>
#include <functional>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int MODIFIED = H(0x80000020);
constexpr int EDIT_END = H(0x04000010);
constexpr int NODE_REFRESH = H(0x20000001);
constexpr int LAYOUT_REFRESH = H(0x20000041);
constexpr int CONFIGURATION_REFRESH = H(0x20000004);
} // namespace

class sedq_setup_test : public sedq_node_list_test
{
protected:
    SDR_TX_SIGNAL_SET* signal_set() { return SEDQ_REPOSITORY::signal_nodes(m_manager.get(), -1); }

    int brackets() { return standin::sdr::get_counters().brackets_opened; }

    int undo_steps() { return SEDQ_REPOSITORY::instance(m_manager.get())->get_data_instance()->history().step_count(); }

    std::string segments()
    {
        QString text;
        m_manager->get_number_of_segments(&text, -1);
        return text.toStdString();
    }
};

TEST_F(sedq_setup_test, depth_texts_convert_both_ways)
{
    struct row
    {
        const char* text;
        int depth;
    };
    const row to_int[] = {{"128 K", 131072},
                          {"1 K", 1024},
                          {"128", 128},
                          {"2K", 0},
                          {"abc", 0},
                          {"", 0},
                          {"2097151 K", 2147482624},
                          {"9999999 K", -1},
                          {"99999999999999999999", -1},
                          {"-5", -1},
                          {"2147483648", -1}};
    SEDQ_TX_MANAGER* manager = document();
    for (const row& r : to_int)
        EXPECT_EQ(manager->convert_to_sample_depth_int(r.text), r.depth) << r.text;
    const row to_text[] = {{"128 K", 131072}, {"1023", 1023}, {"1 K", 1024},
                           {"512", 512},      {"1 K", 2047},  {"0", 0}};
    for (const row& r : to_text)
        EXPECT_EQ(manager->convert_to_sample_depth_str(r.depth).toStdString(), r.text) << r.depth;
    EXPECT_EQ(manager->convert_to_sample_depth_str(0).toStdString(), "0")
        << "the cache gives the same text again";
    EXPECT_EQ(manager->convert_to_trigger_level_int("3"), 3);
    EXPECT_EQ(manager->convert_to_trigger_level_int("three"), 0);
    EXPECT_EQ(manager->convert_to_trigger_level_str(7).toStdString(), "7");
    EXPECT_EQ(manager->get_last_trigger_level(), 7);
}

TEST_F(sedq_setup_test, condition_and_position_texts_and_texts_in_no_table)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_EQ(manager->convert_to_trigger_condition_str(SDR_CTYPE_DONT_CARE).toStdString(), "Don't Care");
    EXPECT_EQ(manager->convert_to_trigger_condition_str(SDR_CTYPE_DISABLED).toStdString(), "Disabled");
    EXPECT_TRUE(manager->convert_to_trigger_condition_str(SDR_CTYPE_GROUP_FIRST).isEmpty())
        << "a slot with no text";
    EXPECT_TRUE(manager->convert_to_trigger_condition_str(SDR_CTYPE_ADVANCED).isEmpty()) << "past the table";
    EXPECT_EQ(manager->convert_to_trigger_condition_type("Rising Edge"), SDR_CTYPE_RISING);
    EXPECT_EQ(manager->convert_to_trigger_position_str(SDR_TPOS_CONTINUOUS).toStdString(),
              "Continuous trigger position");
    EXPECT_EQ(manager->convert_to_trigger_position_type("Center trigger position"), SDR_TPOS_CENTER);
    EXPECT_TRUE(internal_errors().empty());

    for (const char* text : {"", "rising edge", "Sideways"})
        EXPECT_EQ(manager->convert_to_trigger_condition_type(text),
                  SEDQ_TX_MANAGER::UNKNOWN_TRIGGER_CONDITION)
            << text;
    EXPECT_EQ(manager->convert_to_trigger_position_type("Nowhere"),
              SEDQ_TX_MANAGER::UNKNOWN_TRIGGER_POSITION);
    EXPECT_EQ(internal_errors(), std::vector<std::string>(4, "found"));
    // The values stand for no entry of either table, so the repository refuses them.
    EXPECT_FALSE(trigger()->set_trigger_in_condition(SEDQ_TX_MANAGER::UNKNOWN_TRIGGER_CONDITION));
    EXPECT_FALSE(trigger()->set_position(SEDQ_TX_MANAGER::UNKNOWN_TRIGGER_POSITION));
}

TEST_F(sedq_setup_test, an_empty_document_answers_neutral_values)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    QString text = "x";
    EXPECT_FALSE(manager->get_sample_depth(&text, -1));
    EXPECT_EQ(text.toStdString(), "128");
    EXPECT_FALSE(manager->get_pipeline_level(&text, -1));
    EXPECT_EQ(text.toStdString(), "0");
    EXPECT_FALSE(manager->get_clock(&text, -1));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(manager->get_ram_type(&text, -1));
    EXPECT_EQ(text, SEDQ_RAM_TYPE_DISPLAY_STR_AUTO);
    EXPECT_TRUE(manager->is_zero_sample_depth());
    EXPECT_EQ(manager->get_segment_size(), 0);
    EXPECT_EQ(segments(), "0  ");
    EXPECT_EQ(manager->get_data_segment_size(), 0);
    EXPECT_FALSE(manager->is_segmented_acquisition_enabled(-1));
    for (int count :
         {manager->get_trigger_nodes_used(-1), manager->get_data_nodes_used(-1),
          manager->get_storage_qualifier_nodes_used(-1), manager->get_trigger_nodes_allocated(-1),
          manager->get_data_nodes_allocated(-1), manager->get_storage_qualifier_nodes_allocated(-1),
          manager->get_tessarelle_trigger_nodes_allocated(-1),
          manager->get_tessarelle_data_nodes_allocated(-1)})
        EXPECT_EQ(count, 0);
    EXPECT_FALSE(manager->get_trigger_nodes_used(&text));
    EXPECT_EQ(text.toStdString(), "0");
    EXPECT_FALSE(manager->set_tessarelle_data_nodes_allocated(5, -1));
    EXPECT_FALSE(manager->is_incremental_compile());
    EXPECT_FALSE(manager->is_incremental_route_available(-1));
    EXPECT_FALSE(manager->get_top_entity_name(&text));
    EXPECT_TRUE(text.isEmpty());
    manager->set_sample_depth("1 K");
    manager->set_clock("clk");
    manager->data_manual_input_changed(3);
    EXPECT_TRUE(take_hints().empty());
    EXPECT_TRUE(internal_errors().empty());
}

// Each setter that a pane calls: its refresh hints (a bracket of its own ends with the
// instance manager's hint), one undo step, and that an undo gives the old value back.
TEST_F(sedq_setup_test, each_setter_sends_its_hints_inside_its_own_bracket)
{
    struct row
    {
        const char* label;
        std::function<void(SEDQ_TX_MANAGER*)> edit;
        std::function<std::string(SEDQ_TX_MANAGER*)> read;
        std::string after;
        std::vector<int> hints;
    };
    auto depth = [](SEDQ_TX_MANAGER* m)
    {
        QString t;
        m->get_sample_depth(&t, -1);
        return t.toStdString();
    };
    auto ram = [](SEDQ_TX_MANAGER* m)
    {
        QString t;
        m->get_ram_type(&t, -1);
        return t.toStdString();
    };
    auto pipeline = [](SEDQ_TX_MANAGER* m)
    {
        QString t;
        m->get_pipeline_level(&t, -1);
        return t.toStdString();
    };
    auto clock = [](SEDQ_TX_MANAGER* m)
    {
        QString t;
        m->get_clock(&t, -1);
        return t.toStdString();
    };
    auto count = [](int n) { return std::to_string(n); };
    const row rows[] = {
        {"depth", [](auto* m) { m->set_sample_depth("4 K"); }, depth, "4 K", {MODIFIED, EDIT_END}},
        {"depth to 0",
         [](auto* m) { m->set_sample_depth("0"); },
         depth,
         "0",
         {LAYOUT_REFRESH, MODIFIED, EDIT_END}},
        {"memory type",
         [](auto* m) { m->set_ram_type(SEDQ_RAM_TYPE_DISPLAY_STR_LARGE); },
         ram,
         "V144K",
         {MODIFIED, EDIT_END}},
        {"pipeline",
         [](auto* m) { m->set_pipeline_level("2"); },
         pipeline,
         "2",
         {LAYOUT_REFRESH, MODIFIED, EDIT_END}},
        {"segmented",
         [](auto* m) { m->set_segmented_acquisition_mode(true); },
         [](auto* m) { return std::string(m->is_segmented_acquisition_enabled(-1) ? "on" : "off"); },
         "on",
         {MODIFIED, LAYOUT_REFRESH, EDIT_END}},
        {"segments",
         [](auto* m) { m->set_number_of_segments("16  8 sample segments"); },
         [](auto* m) { return std::to_string(m->get_segment_size()); },
         "8",
         {MODIFIED, EDIT_END}},
        {"clock",
         [](auto* m) { m->set_clock("clk"); },
         clock,
         "clk",
         {MODIFIED, CONFIGURATION_REFRESH, EDIT_END}},
        {"data slot",
         [](auto* m) { m->data_manual_input_changed(9); },
         [count](auto* m) { return count(m->get_data_nodes_allocated(-1)); },
         "9",
         {NODE_REFRESH, MODIFIED, EDIT_END}},
        {"trigger slot",
         [](auto* m) { m->trigger_manual_input_changed(9); },
         [count](auto* m) { return count(m->get_trigger_nodes_allocated(-1)); },
         "9",
         {NODE_REFRESH, MODIFIED, EDIT_END}},
        {"sq slot",
         [](auto* m) { m->storage_qualifier_manual_input_changed(9); },
         [count](auto* m) { return count(m->get_storage_qualifier_nodes_allocated(-1)); },
         "9",
         {NODE_REFRESH, MODIFIED, EDIT_END}},
        {"plain allocation",
         [](auto* m) { m->set_trigger_nodes_allocated(7, 0); },
         [count](auto* m) { return count(m->get_trigger_nodes_allocated(-1)); },
         "7",
         {NODE_REFRESH}},
        {"wizard allocation",
         [](auto* m) { EXPECT_TRUE(m->set_tessarelle_trigger_nodes_allocated("64")); },
         [count](auto* m) { return count(m->get_tessarelle_trigger_nodes_allocated(-1)); },
         "64",
         {MODIFIED, NODE_REFRESH}},
    };
    for (const row& r : rows)
    {
        SEDQ_TX_MANAGER* manager = document();
        const std::string before = r.read(manager);
        const int steps = undo_steps();
        r.edit(manager);
        EXPECT_EQ(r.read(manager), r.after) << r.label;
        EXPECT_EQ(take_hints(), r.hints) << r.label;
        EXPECT_EQ(undo_steps() - steps, 1) << r.label;
        manager->on_edit_undo();
        EXPECT_EQ(r.read(manager), before) << r.label << ": one undo step takes it back";
    }
}

TEST_F(sedq_setup_test, setters_change_nothing_for_the_same_value_a_held_block_or_a_refusal)
{
    SEDQ_TX_MANAGER* manager = document();
    const int opened = brackets();
    manager->set_sample_depth("128");
    manager->set_sample_depth("");
    manager->set_pipeline_level("");
    manager->set_pipeline_level("0");
    manager->set_ram_type("Auto");
    manager->set_segmented_acquisition_mode(false);
    manager->set_number_of_segments("0 segments");
    manager->set_clock("");
    {
        SEDQ_BLOCK block;
        manager->set_sample_depth("1 K");
        manager->set_pipeline_level("3");
        manager->set_ram_type(SEDQ_RAM_TYPE_DISPLAY_STR_SMALL);
        manager->set_segmented_acquisition_mode(true);
        manager->set_clock("clk");
        manager->data_manual_input_changed(4);
    }
    EXPECT_EQ(brackets(), opened) << "no bracket for an unchanged value or while a pane writes its widgets";
    standin::sdr::refuse_write("set_clock");
    manager->set_clock("clk");
    EXPECT_EQ(take_hints(), std::vector<int>{EDIT_END})
        << "a refused clock marks nothing, the bracket still closes";
    EXPECT_FALSE(m_manager->get_tx_session()->is_modified());
}

TEST_F(sedq_setup_test, memory_type_texts_map_to_the_repository_values)
{
    struct row
    {
        QString text;
        SDR_HALCYTE_RAM_TYPE type;
    };
    const row rows[] = {{SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM, SDR_RAM_MID_SIZE},
                        {SEDQ_RAM_TYPE_DISPLAY_STR_SMALL, SDR_RAM_SMALL},
                        {SEDQ_RAM_TYPE_DISPLAY_STR_LARGE, SDR_RAM_LARGE},
                        {QStringLiteral("vlab"), SDR_RAM_AUTO},
                        {SEDQ_RAM_TYPE_DISPLAY_STR_AUTO, SDR_RAM_AUTO}};
    SEDQ_TX_MANAGER* manager = document();
    for (const row& r : rows)
    {
        manager->set_ram_type(r.text);
        EXPECT_EQ(signal_set()->get_ram_type(), r.type) << r.text.toStdString();
        EXPECT_EQ(manager->get_halcyte_ram_type(-1), r.type) << r.text.toStdString();
        QString shown;
        EXPECT_TRUE(manager->get_ram_type(&shown, -1));
        if (r.type != SDR_RAM_AUTO)
        {
            EXPECT_EQ(shown, r.text);
        }
    }
}

TEST_F(sedq_setup_test, segment_texts_give_the_count_as_first_word)
{
    SEDQ_TX_MANAGER* manager = document();
    manager->set_segmented_acquisition_mode(true);
    manager->set_sample_depth("4 K");
    trigger()->set_segment_size(256);
    EXPECT_EQ(segments(), "16  ");
    manager->set_sample_depth("128 K");
    trigger()->set_segment_size(64);
    EXPECT_EQ(segments(), "2 K ");
    struct row
    {
        const char* item;
        int size;
    };
    const row rows[] = {{"2 K  64 sample segments", 64},
                        {"16  8 K sample segments", 8192},
                        {"0 segments", 0},
                        {"4", 32768},
                        {"x segments", 0},
                        {" 4", 0}};
    for (const row& r : rows)
    {
        manager->set_number_of_segments(r.item);
        EXPECT_EQ(manager->get_segment_size(), r.size) << r.item;
    }
    // Counts the depth cannot hold, negative counts and counts that overflow change nothing.
    manager->set_number_of_segments("4");
    for (const char* item :
         {"200 K  1 sample segments", "-4  segments", "3000000 K  segments", "99999999999  x"})
    {
        manager->set_number_of_segments(item);
        EXPECT_EQ(manager->get_segment_size(), 32768) << item;
    }
}

TEST_F(sedq_setup_test, lowering_the_depth_keeps_two_segments_and_bad_depths_change_nothing)
{
    SEDQ_TX_MANAGER* manager = document();
    manager->set_sample_depth("1 K");
    manager->set_segmented_acquisition_mode(true);
    manager->set_number_of_segments("2  512 sample segments");
    ASSERT_EQ(manager->get_segment_size(), 512);
    manager->set_sample_depth("512");
    EXPECT_EQ(manager->get_segment_size(), 256);
    manager->set_sample_depth("2 K");
    EXPECT_EQ(manager->get_segment_size(), 256) << "a larger depth keeps the segment size";
    take_hints();
    for (const char* text : {"9999999 K", "-5", "99999999999999999999"})
    {
        manager->set_sample_depth(text);
        int depth = 0;
        manager->get_sample_depth(&depth, -1);
        EXPECT_EQ(depth, 2048) << text;
    }
    EXPECT_TRUE(take_hints().empty());
    manager->set_sample_depth("2K");
    EXPECT_TRUE(manager->is_zero_sample_depth()) << "a text that is no number is depth 0";
}

TEST_F(sedq_setup_test, the_clock_keeps_or_changes_its_kind_and_drops_a_tapped_node_of_its_name)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"clk", "led"});
    manager->set_clock("clk", SEDQ_POST_FITTING);
    EXPECT_EQ(take_shown_keys(), std::vector<std::string>{"OSEDQ_CLK_CONFLICT"});
    EXPECT_EQ(row_names(), std::vector<std::string>{"led"});
    EXPECT_TRUE(manager->is_clock_post_fitting());
    const int opened = brackets();
    manager->set_clock("clk");
    EXPECT_EQ(brackets(), opened) << "the same name and kind";
    manager->set_clock("clk", SEDQ_PRE_SYNTHESIS);
    EXPECT_FALSE(manager->is_clock_post_fitting()) << "the same name with the other kind is written";
    manager->set_clock("nowhere");
    EXPECT_TRUE(manager->is_clock_invalid()) << "the new clock is checked against the netlist";
    EXPECT_TRUE(take_shown_keys().empty());
}

TEST_F(sedq_setup_test, keeping_the_kind_keeps_a_post_fitting_clock_in_the_wizard)
{
    std::string error;
    ASSERT_TRUE(standin::project::load_json(NODE_LIST_DESIGN, m_dir.path().toStdString(), &error)) << error;
    SEDQ_TX_MANAGER* manager = make_manager(false);
    ASSERT_TRUE(manager->new_document(path("w.vtl").c_str()));
    manager->set_clock("clk", SEDQ_POST_FITTING);
    manager->set_clock("led");
    bool post_fitting = false;
    EXPECT_STREQ(manager->get_signal_nodes(-1)->get_clock_name(&post_fitting), "led");
    EXPECT_TRUE(post_fitting);
    EXPECT_FALSE(manager->is_clock_post_fitting()) << "the mark the panes paint is a setup-mode mark";
}

TEST_F(sedq_setup_test, browsing_for_a_clock_takes_the_finders_pick_and_its_kind)
{
    SEDQ_TX_MANAGER* manager = document();
    standin::unbq::push_single_result({single("top|clk", 0x80002004)});
    manager->browse_clock();
    QString clock;
    manager->get_clock(&clock, -1);
    EXPECT_EQ(clock.toStdString(), "clk");
    EXPECT_TRUE(manager->is_clock_post_fitting());
    EXPECT_EQ(take_hints().back(), CONFIGURATION_REFRESH);
    standin::unbq::push_single_result({});
    manager->browse_clock();
    EXPECT_TRUE(take_hints().empty()) << "a cancelled finder changes nothing";
}

TEST_F(sedq_setup_test, allocation_texts_are_counts_only_when_written_as_one)
{
    struct row
    {
        const char* text;
        int allocation;
    };
    const row rows[] = {{"12", 12}, {"012", 4096}, {" 12", 4096}, {"Auto", 4096}, {"", 4096}, {"0", 0}};
    SEDQ_TX_MANAGER* manager = document();
    for (const row& r : rows)
    {
        manager->set_trigger_nodes_allocated(QString::fromLatin1(r.text));
        manager->set_data_nodes_allocated(QString::fromLatin1(r.text));
        EXPECT_TRUE(manager->set_tessarelle_data_nodes_allocated(QString::fromLatin1(r.text)));
        EXPECT_EQ(manager->get_trigger_nodes_allocated(-1), r.allocation) << r.text;
        EXPECT_EQ(manager->get_data_nodes_allocated(-1), r.allocation) << r.text;
        EXPECT_EQ(manager->get_tessarelle_data_nodes_allocated(-1), r.allocation) << r.text;
        QString shown;
        EXPECT_TRUE(manager->get_data_nodes_allocated(&shown));
        EXPECT_EQ(shown.toInt(), r.allocation) << r.text;
    }
    manager->set_data_nodes_allocated("-3");
    EXPECT_EQ(manager->get_data_nodes_allocated(-1), 0) << "the repository refuses a negative allocation";
}

TEST_F(sedq_setup_test, used_counts_and_the_estimates_follow_the_node_list)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    add_rows({"c"}, SDR_WTYPE_TRIGGER_ONLY);
    QString text;
    EXPECT_TRUE(manager->get_data_nodes_used(&text));
    EXPECT_EQ(text.toStdString(), "2");
    EXPECT_TRUE(manager->get_trigger_nodes_used(&text));
    EXPECT_EQ(text.toStdString(), "3");
    EXPECT_EQ(manager->get_le_usage(0, DEV_FAMILY_ENUM(6)), 100u + 12u * 3 + 4u * 2);
    EXPECT_EQ(manager->get_esb_usage(0), 2u * 128);
    manager->set_instance_enabled(0, false);
    EXPECT_EQ(manager->get_le_usage(0, DEV_FAMILY_ENUM(6)), 0u) << "a disabled instance uses nothing";
    EXPECT_EQ(manager->get_esb_usage(-1), 0u);
    EXPECT_FALSE(manager->has_nested_groups());
    standin::sdr::add_group(data_trigger(), 0, 1, "inner");
    standin::sdr::add_group(data_trigger(), 0, 3, "outer");
    manager->refresh_tx_cache();
    EXPECT_TRUE(manager->has_nested_groups());
}

TEST_F(sedq_setup_test, each_allocation_interface_counts_its_own_kind_of_node)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"}, SDR_WTYPE_DATA_ONLY);
    add_rows({"c"}, SDR_WTYPE_TRIGGER_ONLY);
    SEDQ_DATA_NODE_ALLOCATION data(manager);
    SEDQ_TRIGGER_NODE_ALLOCATION trigger_nodes(manager);
    SEDQ_STORAGE_QUALIFIER_NODE_ALLOCATION storage(manager);
    struct row
    {
        const char* label;
        SEDQ_NODE_ALLOCATION_IF* allocation;
        int used;
        std::function<int()> stored;
    };
    const row rows[] = {
        {"data", &data, 2, [manager] { return manager->get_data_nodes_allocated(-1); }},
        {"trigger", &trigger_nodes, 1, [manager] { return manager->get_trigger_nodes_allocated(-1); }},
        {"storage qualifier", &storage, manager->get_storage_qualifier_nodes_used(-1),
         [manager] { return manager->get_storage_qualifier_nodes_allocated(-1); }},
    };
    for (const row& r : rows)
    {
        EXPECT_TRUE(r.allocation->isAuto()) << r.label;
        EXPECT_EQ(r.allocation->getNodesUsed(), r.used) << r.label;
        const int steps = undo_steps();
        take_hints();
        r.allocation->setNodesAllocated(16);
        EXPECT_EQ(r.stored(), 16) << r.label;
        EXPECT_EQ(r.allocation->getNodesAllocated(), 16) << r.label;
        EXPECT_FALSE(r.allocation->isAuto()) << r.label;
        EXPECT_EQ(undo_steps() - steps, 1) << r.label;
        EXPECT_EQ(take_hints(), (std::vector<int>{NODE_REFRESH, MODIFIED, EDIT_END})) << r.label;
        r.allocation->update(H(0x20000004));
        EXPECT_EQ(take_hints(), std::vector<int>{CONFIGURATION_REFRESH}) << r.label;
    }
    EXPECT_EQ(manager->get_data_nodes_allocated(-1), 16) << "each interface set its own kind only";
    {
        SEDQ_BLOCK block;
        data.setNodesAllocated(0);
    }
    EXPECT_EQ(data.getNodesAllocated(), 16) << "a pane writing its widgets changes nothing";
}

TEST_F(sedq_setup_test, the_pre_synthesis_filter_follows_incremental_compilation_and_the_lock)
{
    struct row
    {
        const char* label;
        bool picked_pre_synthesis;
        int incremental_mode;
        SEDQ_LOCK_MODE lock;
        bool filter;
    };
    const row rows[] = {
        {"no incremental compilation", false, 0, SEDQ_LOCK_MODE_ALLOW_ALL, true},
        {"incremental, post-fit picked", false, 2, SEDQ_LOCK_MODE_ALLOW_ALL, false},
        {"incremental, pre-synthesis picked", true, 2, SEDQ_LOCK_MODE_ALLOW_ALL, true},
        {"route changes only", true, 0, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false},
        {"trigger changes only", true, 0, SEDQ_LOCK_MODE_ALLOW_TRIGGER, true},
    };
    SEDQ_TX_MANAGER* manager = document();
    for (const row& r : rows)
    {
        standin::idu::set_incremental_compilation_mode(r.incremental_mode);
        manager->set_using_pre_synthesis_filter(r.picked_pre_synthesis);
        manager->set_lock_mode(r.lock, false);
        EXPECT_EQ(manager->is_using_pre_synthesis_filter(), r.filter) << r.label;
    }
}

TEST_F(sedq_setup_test, incremental_compilation_and_route_come_from_the_host)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_FALSE(manager->is_incremental_compile());
    standin::idu::set_incremental_compilation_mode(2);
    EXPECT_TRUE(manager->is_incremental_compile());
    standin::idu::set_incremental_compilation_mode(0);
    standin::gen::set_is_qhd(true);
    EXPECT_TRUE(manager->is_incremental_compile());
    standin::gen::set_is_qhd(false);
    standin::idu::set_manager_present(false);
    EXPECT_TRUE(manager->is_incremental_compile()) << "a host without partitions compiles incrementally";
    standin::idu::set_manager_present(true);
    standin::idu::set_project_info_present(false);
    EXPECT_FALSE(manager->is_incremental_compile());
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"idu_info"});

    EXPECT_FALSE(manager->is_incremental_route_available(0));
    standin::sdr::set_incremental_route(SEDQ_REPOSITORY::instance(manager)->get_data_instance(), true, false);
    EXPECT_TRUE(manager->is_incremental_route_available(-1));
    EXPECT_FALSE(manager->is_incremental_route_available(5));
    EXPECT_EQ(internal_errors().back(), "sdr_tx_instance != NULL");
}

TEST_F(sedq_setup_test, the_top_entity_is_the_signal_sets_own_or_the_projects)
{
    SEDQ_TX_MANAGER* manager = document();
    QString name;
    EXPECT_TRUE(manager->get_top_entity_name(&name));
    EXPECT_EQ(name.toStdString(), "top");
    SDR_SIGNAL_SET_STATE& state = signal_set()->get_data_signal_set()->edit_transient();
    state.has_top_entity_name = true;
    state.top_entity_name = "own_top";
    EXPECT_TRUE(manager->get_top_entity_name(&name));
    EXPECT_EQ(name.toStdString(), "own_top");
    state.has_top_entity_name = false;
    standin::qui::set_project(false, false);
    EXPECT_TRUE(manager->get_top_entity_name(&name));
    EXPECT_TRUE(name.isEmpty()) << "no project manager";
}

TEST_F(sedq_setup_test, the_panes_connect_the_setters_by_signature)
{
    const QMetaObject& meta = SEDQ_TX_MANAGER::staticMetaObject;
    for (const char* slot :
         {"set_clock(QString,SEDQ_IS_POST_FITTING_TYPE)", "set_clock(QString)", "browse_clock()",
          "set_sample_depth(QString)", "set_ram_type(QString)", "set_segmented_acquisition_mode(bool)",
          "set_number_of_segments(QString)", "set_pipeline_level(QString)", "data_manual_input_changed(int)",
          "trigger_manual_input_changed(int)", "storage_qualifier_manual_input_changed(int)"})
        EXPECT_GE(meta.indexOfSlot(slot), 0) << slot;
    const QMetaMethod depth = meta.method(meta.indexOfSlot("set_sample_depth(QString)"));
    EXPECT_EQ(depth.parameterNames(), QList<QByteArray>{"sampleDepth"});
}

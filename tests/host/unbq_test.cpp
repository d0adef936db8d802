// The node finder: the dialog over the project's netlists (listing, buses opened on demand,
// selection handed over by its signal), the single-node finder behind the dynamic loader, and
// the drag form of design names.
#include "host/standin/afcq_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/project_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/thr_control.h"
#include "host/standin/unbq_control.h"
#include "host/hdb.h"
#include "host/thr.h"
#include "host/unbq.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

namespace
{
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {"pre": {"instances": [
      {"path": "top|core|cnt", "flags": "0x80000040", "dims": [[3, 0]]},
      {"path": "top|core|mem", "flags": "0x80000020", "dims": [[1, 0], [1, 0]]},
      {"path": "top|core|go", "flags": "0x80000040"},
      {"path": "top|clk", "flags": "0x80000004"}]},
    "post": {"instances": [{"path": "top|core|late", "flags": "0x80002040"}]}}
})";

void load_design()
{
    std::string error;
    ASSERT_TRUE(standin::project::load_json(DESIGN, "/tmp/p", &error)) << error;
}

QStringList names_of(const AFCQ_INSTANCE_NAME_LIST& list)
{
    QStringList names;
    for (const AFCQ_INSTANCE_NAME& entry : list)
        names << entry.get_full_name();
    return names;
}
} // namespace

TEST(unbq, the_finder_lists_buses_and_nodes_of_the_filters_netlist)
{
    load_design();
    UNBQ_DIALOG finder(nullptr, 1);
    EXPECT_FALSE(finder.isModal());
    finder.set_filter("Vantrel: pre-synthesis");
    EXPECT_EQ(finder.listed_count(), 4) << "hierarchy levels and bus members are not listed";
    EXPECT_EQ(finder.status_text(), "4 nodes found");
    finder.set_pattern("*|*");
    EXPECT_EQ(finder.listed_count(), 3);
    finder.set_filter("Vantrel: post-fitting");
    EXPECT_EQ(finder.listed_count(), 1);
    EXPECT_EQ(standin::unbq::filters(),
              (std::vector<std::string>{"Vantrel: pre-synthesis", "Vantrel: post-fitting"}));
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0) << "every listing gives its netlist back";
}

TEST(unbq, the_selection_goes_out_as_finder_entries_with_kinds_and_bounds)
{
    load_design();
    UNBQ_DIALOG finder(nullptr, 1);
    finder.set_filter("Vantrel: pre-synthesis");
    QSignalSpy spy(&finder, SIGNAL(on_selected_list(AFCQ_INSTANCE_NAME_LIST)));
    ASSERT_TRUE(finder.select_names({"top|core|mem", "top|core|go", "top|core|cnt"}));
    finder.on_insert();
    ASSERT_EQ(spy.count(), 1);
    const auto list = spy.front().front().value<AFCQ_INSTANCE_NAME_LIST>();
    EXPECT_EQ(names_of(list), (QStringList{"top|core|cnt", "top|core|mem", "top|core|go"})) << "in listing order";
    EXPECT_EQ(list[0], AFCQ_INSTANCE_NAME(1, "top|core|cnt", 0x80000040, {3, 0}));
    EXPECT_EQ(list[1], AFCQ_INSTANCE_NAME(2, "top|core|mem", 0x80000020, {1, 0}, {1, 0}));
    EXPECT_EQ(list[2].get_kind(), 0);
    EXPECT_FALSE(finder.select_names({"top|nothing"}));
    finder.on_insert();
    EXPECT_EQ(spy.count(), 1) << "nothing selected, nothing sent";
}

TEST(unbq, opening_a_bus_lists_its_members)
{
    load_design();
    UNBQ_DIALOG finder(nullptr, 1);
    finder.set_filter("Vantrel: pre-synthesis");
    auto* tree = finder.findChild<QTreeWidget*>();
    ASSERT_NE(tree, nullptr);
    QTreeWidgetItem* bus = tree->findItems("top|core|mem", Qt::MatchExactly).value(0);
    ASSERT_NE(bus, nullptr);
    bus->setExpanded(true);
    ASSERT_EQ(bus->childCount(), 2);
    EXPECT_EQ(bus->child(0)->text(0), "top|core|mem[1]");
    bus->setExpanded(false);
    bus->setExpanded(true);
    EXPECT_EQ(bus->childCount(), 2) << "members are listed once";
}

// The flags column says what each node is in words; the tooltip keeps the netlist's number.
TEST(unbq, the_flags_column_names_the_node_kinds)
{
    load_design();
    const struct
    {
        const char* filter;
        const char* name;
        const char* words;
        const char* number;
    } rows[] = {{"Vantrel: pre-synthesis", "top|core|cnt", "register, tappable", "0x80000040"},
                {"Vantrel: pre-synthesis", "top|core|mem", "memory, tappable", "0x80000020"},
                {"Vantrel: pre-synthesis", "top|clk", "input pin, tappable", "0x80000004"},
                {"Vantrel: post-fitting", "top|core|late", "register, post-fitting, tappable", "0x80002040"}};
    UNBQ_DIALOG finder(nullptr, 1);
    auto* tree = finder.findChild<QTreeWidget*>();
    ASSERT_NE(tree, nullptr);
    for (const auto& row : rows)
    {
        finder.set_filter(row.filter);
        QTreeWidgetItem* item = tree->findItems(row.name, Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr) << row.name;
        EXPECT_EQ(item->text(2), row.words) << row.name;
        EXPECT_EQ(item->toolTip(2), row.number) << row.name;
    }
    EXPECT_EQ(HDB_INSTANCE_NAME_FLAG(0x80000481).describe(), "combinational, state machine, tappable, 0x00000001")
        << "bits without a name stay visible";
    EXPECT_EQ(HDB_INSTANCE_NAME_FLAG(0).describe(), "");
}

TEST(unbq, the_select_seam_reaches_the_live_finder)
{
    AFCQ_INSTANCE_NAME_LIST received;
    EXPECT_FALSE(standin::unbq::select({AFCQ_INSTANCE_NAME(0, "top|x", 0)})) << "no finder yet";
    {
        UNBQ_DIALOG finder(nullptr, 1);
        QObject::connect(&finder, &UNBQ_DIALOG::on_selected_list,
                         [&received](const AFCQ_INSTANCE_NAME_LIST& list) { received = list; });
        EXPECT_EQ(standin::unbq::live_dialog(), &finder);
        EXPECT_TRUE(standin::unbq::select({AFCQ_INSTANCE_NAME(0, "top|x", 0)}));
    }
    EXPECT_EQ(names_of(received), QStringList{"top|x"});
    EXPECT_EQ(standin::unbq::live_dialog(), nullptr) << "a deleted finder is not reached";
    EXPECT_EQ(standin::unbq::created_count(), 1);
}

TEST(unbq, the_single_node_finder_is_reached_through_the_loader)
{
    THR_DRL_HANDLE library = thr_drl_load("prj_unbq.dll");
    ASSERT_NE(library, nullptr);
    auto finder = reinterpret_cast<bool (*)(QWidget*, AFCQ_INSTANCE_NAME_LIST*, const char*)>(
        thr_drl_find_function(library, "unbq_dyn_node_finder_dialog_instance_name_widget"));
    ASSERT_NE(finder, nullptr);
    EXPECT_EQ(thr_drl_find_function(library, "no_such_function"), nullptr);
    EXPECT_NE(std::string(thr_drl_get_error()).find("no_such_function"), std::string::npos);
    AFCQ_INSTANCE_NAME_LIST picked;
    standin::unbq::push_single_result({AFCQ_INSTANCE_NAME(0, "top|clk", 4)});
    EXPECT_TRUE(finder(nullptr, &picked, "Vantrel: pre-synthesis"));
    EXPECT_EQ(names_of(picked), QStringList{"top|clk"});
    EXPECT_FALSE(finder(nullptr, &picked, "Vantrel: pre-synthesis")) << "headless, the modal finder is rejected";
    EXPECT_TRUE(picked.isEmpty());
    EXPECT_EQ(standin::qui::unanswered_dialogs().size(), 1u);
    thr_drl_unload(library);
    EXPECT_EQ(standin::thr::loaded_count(), 0);
    EXPECT_EQ(thr_drl_load("no_such.dll"), nullptr);
    EXPECT_NE(std::string(thr_drl_get_error()).find("no_such.dll"), std::string::npos);
}

TEST(unbq, design_names_survive_the_drag_and_damaged_drags_give_nothing)
{
    const AFCQ_INSTANCE_NAME_LIST list = {AFCQ_INSTANCE_NAME(0, "top|ä", 0x80000040),
                                          AFCQ_INSTANCE_NAME(2, "top|m", 0x20, {-3, 4}, {7, 0})};
    const std::unique_ptr<QMimeData> drag(standin::afcq::instance_name_list_mime(list));
    AFCQ_DATA_TRANSFER_MANAGER* transfer = AFCQ_DATA_TRANSFER_MANAGER::get_instance();
    EXPECT_EQ(transfer->get_instance_name_list_transfer_data(drag.get()), list);
    EXPECT_EQ(drag->text(), "top|ä\ntop|m");
    EXPECT_TRUE(transfer->get_instance_name_list_transfer_data(nullptr).isEmpty());

    const QByteArray bytes = drag->data("application/x-corvane_instance_name_list_data");
    struct row
    {
        const char* label;
        QByteArray damaged;
    };
    QByteArray huge_count = bytes;
    huge_count[11] = char(0x7f);
    QByteArray bad_kind = bytes;
    bad_kind[15] = 9;
    const row rows[] = {{"cut short", bytes.left(bytes.size() - 3)},
                        {"count past the data", huge_count},
                        {"unknown kind", bad_kind},
                        {"foreign bytes", QByteArray("not a list of names")}};
    for (const row& r : rows)
    {
        QMimeData damaged;
        damaged.setData("application/x-corvane_instance_name_list_data", r.damaged);
        EXPECT_TRUE(transfer->get_instance_name_list_transfer_data(&damaged).isEmpty()) << r.label;
    }
}

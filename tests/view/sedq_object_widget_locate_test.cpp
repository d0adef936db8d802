// Locating the node of the canvas's one selected Node object: when the Locate entries are
// offered, what the host's locate tools and its design-file service are handed, and the
// netlist access points the canvas takes and gives back.
#include "sedq_view_test_support.h"

#include "host/hdb.h"
#include "host/standin/acf_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/gen_control.h"
#include "host/standin/project_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/standin.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace
{
// "a" declared at a place of its own and made of no entity, "b" made of an entity.
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {
    "pre": {"instances": [
      {"path": "top|a", "flags": "0x80000040", "location": "top.v:12"},
      {"path": "top|b", "flags": "0x80000040", "entity": "counter"}]}},
  "design_units": [{"entity": "counter", "file": "counter.v", "line": 3}]
})";

class canvas_locate_test : public view_test
{
protected:
    void SetUp() override
    {
        view_test::SetUp();
        std::string error;
        ASSERT_TRUE(standin::project::load_json(DESIGN, m_dir.path().toStdString(), &error)) << error;
        open(write_document(
            [](SDR_DATA_SESSION& s)
            {
                add_leaves(trigger_of(s), {"top|a", "top|b"});
                trigger_of(s)->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
            }));
        tabs()->setCurrentIndex(2);
        settle();
        refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS);
        ASSERT_NE(canvas()->get_object_list(), nullptr);
        QApplication::setActiveWindow(frame());
        canvas()->setFocus(Qt::OtherFocusReason);
        settle();
        ASSERT_TRUE(canvas()->hasFocus());
    }

    void TearDown() override
    {
        standin::gen::set_is_qhd(false);
        view_test::TearDown();
    }

    SEDQ_OBJECT_WIDGET* canvas() { return frame()->get_layout_widget()->get_object_widget(); }
    AFCQ_LOCATE_MENU* menu() { return frame()->get_locate_menu(); }

    // A root object of the condition on show, which owns it from then on.
    SEDQ_OBJECT* place(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, const char* name)
    {
        auto* object = new SEDQ_OBJECT(canvas()->get_copy(), QPoint(10, 10 + 60 * m_placed++), nullptr);
        object->set_type(type);
        object->set_name(name);
        canvas()->get_object_list()->append(object);
        return object;
    }

    void select(const std::vector<SEDQ_OBJECT*>& objects)
    {
        for (SEDQ_OBJECT* object : *canvas()->get_object_list())
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 0);
        for (SEDQ_OBJECT* object : objects)
            object->get_property().set(SEDQ_PROPERTY::SELECTED, 1);
    }

    // Whether the design-file entry and every tool entry are on; -1 when they disagree.
    int offered()
    {
        const bool file = menu()->get_design_file_action()->isEnabled();
        for (QAction* action : menu()->get_locate_actions())
            if (action->isEnabled() != file)
                return -1;
        return file ? 1 : 0;
    }

    // The host's locate calls made by `run`.
    template <typename RUN>
    std::vector<std::string> located(RUN run)
    {
        standin::clear_calls();
        run();
        return standin::calls("qui");
    }

    int m_placed = 0;
};
} // namespace

TEST_F(canvas_locate_test, locate_is_offered_for_one_named_node_the_netlist_knows)
{
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, "top|a");
    SEDQ_OBJECT* b = place(SEDQ_OBJECT::NODE, "top|b");
    SEDQ_OBJECT* unknown = place(SEDQ_OBJECT::NODE, "top|zz");
    SEDQ_OBJECT* unnamed = place(SEDQ_OBJECT::NODE, "");
    SEDQ_OBJECT* bus = place(SEDQ_OBJECT::BUS, "top|a");
    const struct
    {
        const char* name;
        std::vector<SEDQ_OBJECT*> selection;
        int offered;
    } rows[] = {
        {"one known node", {a}, 1},
        {"two nodes", {a, b}, 0},
        {"nothing selected", {}, 0},
        {"a node the netlist does not know", {unknown}, 0},
        {"a node without a name", {unnamed}, 0},
        {"a bus named like a known node", {bus}, 0},
    };
    for (const auto& row : rows)
    {
        select(row.selection);
        canvas()->on_update_locate();
        EXPECT_EQ(offered(), row.offered) << row.name;
    }
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0) << "every access point is given back";
    EXPECT_EQ(standin::dbmui::foreign_releases(), 0);
}

TEST_F(canvas_locate_test, locate_is_left_alone_without_focus_and_refused_once_the_project_closes)
{
    select({place(SEDQ_OBJECT::NODE, "top|a")});
    canvas()->on_update_locate();
    ASSERT_EQ(offered(), 1);
    canvas()->clearFocus();
    select({});
    canvas()->on_update_locate();
    EXPECT_EQ(offered(), 1) << "the node view answers the shared menu while it has the focus";

    canvas()->setFocus(Qt::OtherFocusReason);
    settle();
    select({canvas()->get_object_list()->front()});
    standin::qui::set_project(true, false);
    standin::acf::set_project(false);
    canvas()->on_update_locate();
    EXPECT_EQ(offered(), 0);
    EXPECT_TRUE(located([&] { canvas()->on_locate_triggered(CLSID()); }).empty());
    EXPECT_TRUE(located([&] { canvas()->on_locate_design_file(); }).empty());
}

TEST_F(canvas_locate_test, locate_hands_the_host_the_name_id_or_the_short_path_of_a_known_node)
{
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, "top|a");
    SEDQ_OBJECT* unknown = place(SEDQ_OBJECT::NODE, "top|zz");
    const CLSID tool;
    select({a});
    std::vector<std::string> calls = located([&] { canvas()->on_locate_triggered(tool); });
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("qui:qui_locate(", 0), 0u) << calls[0];
    EXPECT_NE(calls[0].find(": iname:"), std::string::npos) << calls[0];
    standin::gen::set_is_qhd(true);
    calls = located([&] { canvas()->on_locate_triggered(tool); });
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(": a)"), std::string::npos) << calls[0];
    select({unknown});
    EXPECT_TRUE(located([&] { canvas()->on_locate_triggered(tool); }).empty()) << "an unknown name locates nothing";
    EXPECT_EQ(standin::dbmui::last_client(), "SEDQ_OBJECT_WIDGET::do_locate_triggered");
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
}

TEST_F(canvas_locate_test, locate_in_design_file_names_the_entity_and_the_node)
{
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, "top|a");
    SEDQ_OBJECT* b = place(SEDQ_OBJECT::NODE, "top|b");
    const auto design_file = [this](SEDQ_OBJECT* object)
    {
        select({object});
        const std::vector<std::string> calls = located([this] { canvas()->on_locate_design_file(); });
        return calls.empty() ? std::string() : calls[0];
    };
    EXPECT_EQ(design_file(b), "qui:qui_locate_to_design_file(counter top|b)");
    EXPECT_EQ(standin::dbmui::last_client(), "sedq_object_widget");
    EXPECT_EQ(standin::dbmui::last_file_type(), HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
    EXPECT_EQ(design_file(b), "qui:qui_locate_to_design_file(counter top|b)") << "asking again gives the same";
    EXPECT_EQ(design_file(a), "") << "made of no entity: no schema";
    standin::gen::set_is_qhd(true);
    ASSERT_TRUE(tx()->is_incremental_compile());
    EXPECT_EQ(design_file(b), "qui:qui_locate_to_design_file(counter top|b)");
    EXPECT_EQ(standin::dbmui::last_file_type(), HDB_NAMESPACE::PDB_ANY) << "no particular file type";
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
}

// A right click on the canvas of a window that is not active (another window took the
// activation): the menu's Locate entries act on the node under the click, as in an active window.
TEST_F(canvas_locate_test, locate_from_the_menu_of_a_window_not_yet_active_runs)
{
    SEDQ_OBJECT* b = place(SEDQ_OBJECT::NODE, "top|b");
    canvas()->clearFocus();
    QWidget other;
    other.resize(200, 100);
    other.show();
    QApplication::setActiveWindow(&other);
    settle();
    ASSERT_FALSE(canvas()->window()->isActiveWindow());
    bool offered_entry = false;
    QTimer::singleShot(0, [this, &offered_entry] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (popup == nullptr)
            return;
        menu()->popup(popup->geometry().topRight()); // the submenu opens, as the pointer opens it
        QAction* entry = menu()->get_design_file_action();
        offered_entry = entry->isEnabled();
        if (offered_entry)
            QTest::mouseClick(menu(), Qt::LeftButton, Qt::NoModifier, menu()->actionGeometry(entry).center());
        menu()->close();
        popup->close();
    });
    QRect box = b->get_rect();
    canvas()->zoom_to_client(&box);
    QWidget* top = canvas()->window();
    const QPoint at = canvas()->mapTo(top, box.center());
    const std::vector<std::string> calls = located([&] {
        QTest::mousePress(top->windowHandle(), Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseRelease(top->windowHandle(), Qt::RightButton, Qt::NoModifier, at);
        settle();
    });
    EXPECT_TRUE(offered_entry) << "Locate in Design File is offered for the clicked node";
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "qui:qui_locate_to_design_file(counter top|b)") << "and locates it";
    other.hide();
}

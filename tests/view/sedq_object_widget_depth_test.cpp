// How deep a condition the canvas lets the user draw: a change that would nest it past the
// deepest condition an analyzer file, the trigger compiler and the canvas all take is taken back
// as a whole, with the reason; up to that depth every change goes through. The same depth is
// saved, opened again and compiled by the device.
#include "sedq_object_widget_canvas_test_support.h"
#include "sedq_modal_step.h"
#include "frame/canvas_user_steps.h"

#include "host/chi_condition.h"
#include "host/chi_private.h"
#include "host/sci.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/msg_control.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"

namespace
{
constexpr int LIMIT = SDR_FILE_LIMITS::MAX_CONDITION_DEPTH;

class canvas_depth_test : public canvas_mouse_test
{
protected:
    // The scene becomes Result <- Logical And <- ... <- the Node "top|x": `depth` objects from
    // the Result down, each And also taking a Node of the group; one snapshot holds it.
    SEDQ_OBJECT* chain(int depth)
    {
        QList<SEDQ_OBJECT*>* list = canvas()->get_object_list();
        SEDQ_OBJECT_WIDGET::free_array(list);
        auto add = [&](SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent) {
            auto* made = new SEDQ_OBJECT(canvas()->get_copy(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
            made->set_type(type);
            made->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
            list->append(made);
            if (parent != nullptr)
                parent->attach(made, false);
            return made;
        };
        SEDQ_OBJECT* level = add(SEDQ_OBJECT::LEVEL_RESULT, nullptr);
        for (int k = 2; k < depth; ++k)
        {
            level = add(SEDQ_OBJECT::LOGICAL_OPERATOR, level);
            level->get_property().set(SEDQ_PROPERTY::LOGICAL, 1);
            add(SEDQ_OBJECT::NODE, level)->set_name("top|d[0]");
        }
        SEDQ_OBJECT* leaf = add(SEDQ_OBJECT::NODE, level);
        leaf->set_name("top|x");
        canvas()->generate_names_for_unnamed_objects();
        canvas()->arrange_objects();
        canvas()->save_undo_state(true);
        return leaf;
    }

    int depth() const { return sedq_condition_depth(*const_cast<canvas_depth_test*>(this)->canvas()->get_object_list()); }

    std::string stored_equation()
    {
        return tx()->get_trigger_nodes(-1)->get_data_trigger()->get_advanced_trigger_expression(0);
    }

    static int refusals()
    {
        int count = 0;
        for (const auto& message : standin::msg::shown())
            count += message.help_key == "OSEDQ_CONDITION_TOO_DEEP" ? 1 : 0;
        return count;
    }

    enum CHANGE
    {
        INSERT, // the key I on the deepest Node
        APPEND, // the key A on the deepest Node
        CONNECT // a Not over a Node dropped apart, its output dragged onto the deepest And
    };

    // The change, the new object's Properties accepted as they open.
    void make(CHANGE change, SEDQ_OBJECT* leaf)
    {
        if (change == CONNECT)
        {
            const canvas_user_steps user(frame(), canvas());
            SEDQ_OBJECT* deepest_and = leaf->get_parent();
            // The chain runs right from the deepest And, centred on the canvas: free room below.
            canvas()->ensure_visible(deepest_and);
            user.drop_palette_entry(QStringLiteral("Logical Not"), QPoint(250, 420));
            SEDQ_OBJECT* negation = user.last_of(SEDQ_OBJECT::LOGICAL_OPERATOR);
            SEDQ_OBJECT* loose = drop_loose_node(QPoint(50, 450));
            ASSERT_TRUE(negation != nullptr && loose != nullptr);
            user.connect_output(loose, negation);
            ASSERT_EQ(loose->get_parent(), negation);
            user.connect_output(negation, deepest_and);
            return;
        }
        canvas()->ensure_visible(leaf);
        ASSERT_EQ(canvas()->get_selected_item(), leaf);
        on_next_modal<SEDQ_OBJECT_PROPERTIES_DLG>([](SEDQ_OBJECT_PROPERTIES_DLG* dialog) { ASSERT_NE(dialog, nullptr); });
        key(change == INSERT ? Qt::Key_I : Qt::Key_A);
        settle();
    }
};

TEST_F(canvas_depth_test, a_change_past_the_deepest_condition_is_taken_back_with_the_reason)
{
    const struct
    {
        const char* name;
        CHANGE change;
    } rows[] = {
        {"Insert above the deepest Node", INSERT},
        {"Append below the deepest Node", APPEND},
        {"a Not over a Node wired under the deepest And", CONNECT},
    };
    for (const auto& row : rows)
    {
        SEDQ_OBJECT* leaf = chain(LIMIT);
        ASSERT_EQ(depth(), LIMIT);
        const std::string before = stored_equation();
        const int refused = refusals();
        make(row.change, leaf);
        EXPECT_EQ(refusals(), refused + 1) << row.name;
        EXPECT_EQ(depth(), LIMIT) << row.name;
        EXPECT_EQ(stored_equation(), before) << row.name;
        EXPECT_EQ(sedq_condition_depth(*canvas()->get_undo_list()->last()), LIMIT)
            << row.name << ": no snapshot of the refused change";
    }
}

TEST_F(canvas_depth_test, a_condition_as_deep_as_allowed_is_drawn_saved_opened_and_compiled)
{
    SEDQ_OBJECT* leaf = chain(LIMIT - 1);
    const int refused = refusals();
    make(INSERT, leaf);
    EXPECT_EQ(refusals(), refused) << "Insert reaches the deepest condition";
    EXPECT_EQ(depth(), LIMIT);

    chain(LIMIT);
    const std::string drawn = stored_equation();
    ASSERT_FALSE(drawn.empty());
    const QString path = m_dir.filePath("deep.vtl");
    ASSERT_TRUE(tx()->save_document(path.toLocal8Bit().constData()));
    m_frames.pop_back();
    settle();
    open(path);
    EXPECT_EQ(stored_equation(), drawn) << "opened again as it was drawn";
    std::string error;
    const auto parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(drawn.c_str(), &error);
    ASSERT_NE(parsed, nullptr) << error;
    chi_detail::signal_bank bank;
    chi_detail::advanced_level level;
    EXPECT_TRUE(level.compile(parsed->get_root(), [&bank](const std::string& name) { return bank.add_signal(name); },
                              &error))
        << error;
}
} // namespace

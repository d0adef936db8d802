// The model asks its window only through SEDQ_WINDOW_IF: a window that records what it is asked
// sees the modified mark, the pane toggles and what a save needs, in order; a manager without a
// window asks nothing and still edits and saves.
#include "sedq/model/sedq_window_if.h"
#include "sedq_tx_manager_test_support.h"

#include <QAction>

#include <string>
#include <vector>

namespace
{
class RECORDING_WINDOW final : public SEDQ_WINDOW_IF
{
public:
    QWidget* dialog_parent() override { return nullptr; }
    bool is_standalone_window() const override { return false; }
    void show_modified(bool modified) override { calls.push_back(modified ? "modified" : "unmodified"); }
    void add_pane_toggle(QAction* action) override { calls.push_back("toggle " + action->text().toStdString()); }
    QTabWidget* get_data_setup_tab_widget(int) override { return nullptr; }
    void save_view_scroll_position(bool restore_after_run) override
    {
        calls.push_back(restore_after_run ? "scroll for a run" : "scroll");
    }
    void prepare_save() override { calls.push_back("prepare save"); }
    bool can_compile_now() override { return false; }
    bool ask_to_save() override { return false; }
    void start_recompile() override { calls.push_back("recompile"); }

    std::vector<std::string> take()
    {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

    std::vector<std::string> calls;
};
} // namespace

TEST_F(sedq_tx_manager_test, the_model_asks_its_window_through_its_interface)
{
    RECORDING_WINDOW window;
    auto manager = std::make_unique<SEDQ_TX_MANAGER>(&window);
    EXPECT_FALSE(manager->is_wizard_mode());
    EXPECT_EQ(manager->get_window(), &window);
    ASSERT_TRUE(manager->open_document(write_document("a.vtl").c_str(), nullptr, nullptr));
    window.take();

    QAction* toggle = manager->get_action(AFCQ_ACTION_ENUM(698), QVariant());
    EXPECT_EQ(window.take(), std::vector<std::string>{"toggle " + toggle->text().toStdString()});
    manager->get_action(AFCQ_ACTION_ENUM(698), QVariant());
    EXPECT_TRUE(window.take().empty()) << "a toggle is listed once, when it is made";

    manager->set_instance_enabled(-1, false);
    manager->set_instance_enabled(-1, true);
    EXPECT_EQ(window.take(), std::vector<std::string>{"modified"}) << "the mark is shown when it changes";

    ASSERT_TRUE(manager->save_document(path("b.vtl").c_str()));
    EXPECT_EQ(window.take(), (std::vector<std::string>{"scroll", "prepare save", "unmodified"}));
    EXPECT_FALSE(manager->is_advanced_mode(nullptr)) << "no tabs: the setup page";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_tx_manager_test, a_manager_without_a_window_asks_nothing_and_still_saves)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    EXPECT_TRUE(manager->is_wizard_mode());
    EXPECT_EQ(SEDQ_FRAME_WND::of(manager), nullptr);
    ASSERT_TRUE(manager->open_document(write_document("a.vtl").c_str(), nullptr, nullptr));
    manager->get_action(AFCQ_ACTION_ENUM(698), QVariant());
    manager->set_instance_enabled(-1, false);
    ASSERT_TRUE(manager->save_document(path("b.vtl").c_str()));
    EXPECT_TRUE(internal_errors().empty());

    make_manager(true);
    EXPECT_EQ(SEDQ_FRAME_WND::of(m_manager.get()), m_frame.get()) << "a pane finds the window of its manager";
}

// A level given only its equation (a preset, or a file another program wrote) opens as the
// diagram the equation describes; the objects cannot hold everything an equation may say (a
// pipeline on a logical operator), so the level keeps its text, through a save and an opening,
// until its objects are edited. From then on its equation is the one they write.
#include "sedq_object_widget_canvas_test_support.h"

#include "host/sdr/sdr_tx_trigger.h"

namespace
{
// The pipeline of the And has no place among its object's settings.
constexpr const char* PRESET = "(and('top|x','top|d[0]'))#2";

class canvas_preset_test : public canvas_mouse_test
{
protected:
    void SetUp() override
    {
        view_test::SetUp();
        m_path = write_document(
            [](SDR_DATA_SESSION& s)
            {
                bus_and_node(s);
                SDR_TRIGGER_LEVEL& level = trigger_of(s)->edit_transient().levels[0];
                level.type = SDR_LTYPE_ADVANCED;
                level.expression = PRESET;
            });
        show(m_path);
    }

    void show(const QString& path)
    {
        open(path);
        tabs()->setCurrentIndex(2);
        settle();
        refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS);
    }

    std::string stored_equation()
    {
        return tx()->get_trigger_nodes(-1)->get_data_trigger()->get_advanced_trigger_expression(0);
    }

    QString m_path;
};

TEST_F(canvas_preset_test, a_preset_keeps_its_text_through_a_save_until_its_objects_are_edited)
{
    ASSERT_EQ(of_kind(SEDQ_OBJECT::LOGICAL_OPERATOR).size(), 1) << "the preset opens as its diagram";
    EXPECT_EQ(stored_equation(), PRESET);
    const QString saved = m_dir.filePath("saved.vtl");
    ASSERT_TRUE(tx()->save_document(saved.toLocal8Bit().constData()));
    m_frames.pop_back();
    settle();
    show(saved);
    EXPECT_EQ(stored_equation(), PRESET) << "opened again from its stored tree";

    // The key D detaches the selected input: the objects are edited.
    SEDQ_OBJECT* input = of_kind(SEDQ_OBJECT::NODE).value(0);
    ASSERT_TRUE(input != nullptr && input->get_parent() != nullptr);
    canvas()->select(input);
    key(Qt::Key_D);
    settle();
    EXPECT_TRUE(input->is_root());
    const std::string edited = stored_equation();
    EXPECT_EQ(edited.find("#2"), std::string::npos) << edited;
    EXPECT_EQ(edited.find(input->get_name().toStdString()), std::string::npos) << edited;
    EXPECT_NE(edited.find("and("), std::string::npos) << edited;
}
} // namespace

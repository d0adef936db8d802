// An advanced condition from the diagram to the device: the equation writer's text of a
// condition tree set on a level, compiled, programmed and acquired on the counter design,
// triggers at the count a hand computation gives.
#include "sedq_tx_manager_acquisition_test_support.h"

#include "advanced_trigger/sedq_object_test_support.h"

namespace
{
using P = SEDQ_PROPERTY;

class advanced_level_run : public acquisition_test::acquisition
{
protected:
    // Result <- Logical And <- (Comparison of {cnt[7..4]} with 5, the node cnt[1]).
    static std::string written_condition(SEDQ_OBJECT::SEDQ_COMPARISON_TYPE comparison)
    {
        sedq_object_tree tree;
        SEDQ_OBJECT* result = tree.add(SEDQ_OBJECT::LEVEL_RESULT);
        SEDQ_OBJECT* conjunction = tree.add(SEDQ_OBJECT::LOGICAL_OPERATOR, result);
        conjunction->get_property().set(P::LOGICAL, 1);
        SEDQ_OBJECT* compare = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR, conjunction);
        compare->get_property().set(P::COMPARISON, comparison);
        compare->get_property().set(P::CONFIGURABLE, 1);
        SEDQ_OBJECT* nibble = tree.add(SEDQ_OBJECT::BUS, compare);
        for (const char* bit : {"cnt[7]", "cnt[6]", "cnt[5]", "cnt[4]"})
            tree.add(SEDQ_OBJECT::NODE, nibble)->set_name(bit);
        tree.add_value(QStringLiteral("5"), QStringLiteral("Decimal"), compare)->get_property().set(P::CONFIGURABLE, 1);
        tree.add(SEDQ_OBJECT::NODE, conjunction)->set_name("cnt[1]");
        std::string equation;
        EXPECT_TRUE(tree.condition().get_equation(&equation, nullptr, nullptr, 1, false)) << equation;
        return equation;
    }

    // The count at the trigger of one run of the first level as `equation`; -1 without data.
    int count_at_trigger(const std::string& equation)
    {
        SDR_DATA_TRIGGER* trigger = data()->m_instances[0]->get_active_trigger();
        trigger->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
        trigger->edit_transient().levels[0].expression = equation;
        compile_and_program();
        const std::vector<acquisition_test::callback*> started = run(requests({0}));
        standin::chi::run_to_end();
        for (acquisition_test::callback* c : started)
            apply(c);
        SDR_DATA_LOG* log = m_manager->get_tx_session()->get_log_at(0, false);
        if (log == nullptr || !log->is_data_available(false))
            return -1;
        const int t = log->get_data_trigger_position(-1);
        int count = 0;
        for (int bit = 0; bit < 8; ++bit) // channels cnt[7] .. cnt[0]
            count = count << 1 | (log->get_bit(bit, t) ? 1 : 0);
        return count;
    }
};

TEST_F(advanced_level_run, a_written_condition_triggers_where_the_counter_first_meets_it)
{
    const std::string equal = written_condition(SEDQ_OBJECT::COMPARISON_EQUALITY);
    EXPECT_EQ(equal, "and('cnt[1]',compare(5,==,{'cnt[7]','cnt[6]','cnt[5]','cnt[4]'},cc,uc))");
    open(1);
    // High nibble 5 with bit 1 set: 0x52 is the first such count.
    EXPECT_EQ(count_at_trigger(equal), 0x52);

    // The opposite comparison triggers where the nibble is not 5, never at 0x52.
    restart();
    open(1);
    const int other = count_at_trigger(written_condition(SEDQ_OBJECT::COMPARISON_INEQUALITY));
    ASSERT_GE(other, 0);
    EXPECT_NE(other >> 4, 5) << std::hex << other;
    EXPECT_NE(other & 2, 0) << std::hex << other;
}
} // namespace

// Notification stand-in: stable ids and delivery through the notify-map chain.
#include "host/ntfq.h"
#include "host/standin/ntfq_control.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// A base target handling one notification and a derived one adding another, so that
// delivery has to walk the map chain.
class base_target : public NTFQ_NOTIFY_TARGET
{
public:
    int base_calls = 0;
    bool on_base(unsigned long data, bool)
    {
        base_calls += static_cast<int>(data);
        return true;
    }
    const NTFQ_NOTIFY_MAP* get_notify_map() const override { return map(); }
    static const NTFQ_NOTIFY_MAP* map()
    {
        static const NTFQ_NOTIFY_MAP_ENTRY entries[] = {
            {ntfq_get_message("TEST_BASE"), &ntfq_handler<base_target, &base_target::on_base>}};
        static const NTFQ_NOTIFY_MAP m = {&NTFQ_NOTIFY_TARGET::get_base_notify_map, entries, 1};
        return &m;
    }
};

class derived_target : public base_target
{
public:
    int derived_calls = 0;
    bool on_derived(unsigned long, bool flag)
    {
        ++derived_calls;
        return flag;
    }
    const NTFQ_NOTIFY_MAP* get_notify_map() const override
    {
        static const NTFQ_NOTIFY_MAP_ENTRY entries[] = {
            {ntfq_get_message("TEST_DERIVED"), &ntfq_handler<derived_target, &derived_target::on_derived>},
            {ntfq_get_message("TEST_LISTED_ONLY"), nullptr}};
        static const NTFQ_NOTIFY_MAP m = {&base_target::map, entries, 2};
        return &m;
    }
};
} // namespace

TEST(ntfq, ids_are_stable_distinct_and_counted_from_one)
{
    const unsigned int a = ntfq_get_message("TEST_ID_A");
    const unsigned int b = ntfq_get_message("TEST_ID_B");
    EXPECT_GE(a, 1u);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(ntfq_get_message("TEST_ID_A"), a);
}

TEST(ntfq, delivery_walks_from_the_derived_map_to_the_base)
{
    derived_target target;
    EXPECT_EQ(standin::ntfq::post("TEST_BASE", 3), 1);
    EXPECT_EQ(target.base_calls, 3);
    EXPECT_EQ(standin::ntfq::post("TEST_DERIVED", 0, true), 1);
    EXPECT_EQ(standin::ntfq::post("TEST_DERIVED", 0, false), 0) << "the handler's answer counts";
    EXPECT_EQ(target.derived_calls, 2);
    EXPECT_EQ(standin::ntfq::post("TEST_LISTED_ONLY"), 0);
    EXPECT_EQ(standin::ntfq::post("TEST_NOBODY"), 0);
    ASSERT_EQ(standin::ntfq::deliveries().size(), 5u);
    EXPECT_EQ(standin::ntfq::deliveries()[0].id, ntfq_get_message("TEST_BASE"));
}

TEST(ntfq, destroyed_targets_receive_nothing)
{
    const int before = standin::ntfq::live_target_count();
    auto first = std::make_unique<base_target>();
    base_target second;
    EXPECT_EQ(standin::ntfq::live_target_count(), before + 2);
    first.reset();
    EXPECT_EQ(standin::ntfq::post("TEST_BASE", 1), 1);
    EXPECT_EQ(second.base_calls, 1);
}

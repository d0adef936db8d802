// GEN stand-in: string helpers, mode flags and directories.
#include "host/gen.h"
#include "host/standin/gen_control.h"
#include "host/standin/standin.h"

#include <gtest/gtest.h>

#include <climits>

TEST(gen, stricmp_ignores_ascii_case_and_orders_like_strcmp)
{
    EXPECT_EQ(gen_stricmp("Vantrel", "vANTREL"), 0);
    EXPECT_LT(gen_stricmp("abc", "ABD"), 0);
    EXPECT_GT(gen_stricmp("abcd", "ABC"), 0);
    EXPECT_LT(gen_stricmp(nullptr, "a"), 0);
    EXPECT_EQ(gen_stricmp(nullptr, nullptr), 0);
}

TEST(gen, atoi_follows_atoi_without_overflow)
{
    struct row
    {
        const char* text;
        int expected;
    };
    const row rows[] = {{"42", 42},
                        {"  -17x", -17},
                        {"+8", 8},
                        {"abc", 0},
                        {"", 0},
                        {nullptr, 0},
                        {"99999999999999999999", INT_MAX},
                        {"-99999999999999999999", INT_MIN}};
    for (const row& r : rows)
        EXPECT_EQ(gen_atoi(r.text), r.expected) << (r.text ? r.text : "(null)");
}

TEST(gen, strrev_reverses_in_place)
{
    char text[] = "abcd";
    EXPECT_EQ(gen_strrev(text), text);
    EXPECT_STREQ(text, "dcba");
    char empty[] = "";
    EXPECT_STREQ(gen_strrev(empty), "");
    EXPECT_EQ(gen_strrev(nullptr), nullptr);
}

TEST(gen, flags_and_directories_follow_the_seams)
{
    EXPECT_FALSE(gen_is_qhd());
    EXPECT_TRUE(gen_get_is_qt());
    standin::gen::set_is_qhd(true);
    EXPECT_TRUE(gen_is_qhd());
    standin::gen::set_module_path("/opt/plugins");
    EXPECT_EQ(gen_get_module_path(), "/opt/plugins/");
    EXPECT_EQ(gen_get_db_dir_path_string(), "db/");
    standin::reset_all();
    EXPECT_FALSE(gen_is_qhd());
    EXPECT_EQ(gen_get_module_path().back(), '/');
}

// Discovery of the decoder plug-ins in the module directory: which libraries are taken, the
// names they are registered under, the boxes a failing plug-in shows and the lifetime of the
// registry across document models.
#include "plugin_test_support.h"

#include <QLibrary>

namespace
{
struct LOAD_CASE
{
    const char* name;
    std::vector<std::string> variants;
    QStringList expected_names;
    std::vector<std::string> expected_boxes;
};

TEST_F(plugin_test, discovery_takes_only_complete_plug_ins_of_the_interface_version)
{
    const std::vector<LOAD_CASE> cases = {
        {"no plug-in at all", {}, {}, {}},
        {"versions 2 and 4, a failing version call and a missing export are skipped",
         {"uart", "version2", "version4", "version_fails", "no_close_table"}, {"uart"}, {}},
        {"names sort case-sensitively", {"alpha", "zeta", "uart"}, {"Zeta", "alpha", "uart"}, {}},
        {"a failing open shows the plug-in's text and is skipped", {"open_fails", "uart"}, {"uart"},
         {"Corvane\nbroken failed"}},
        {"a name of 1024 bytes without terminator is cut", {"long_texts"}, {QString(1023, 'L')}, {}},
        {"an open that throws refuses the plug-in, and says so", {"throws_in_open", "uart"}, {"uart"},
         {"Corvane\nThe decoder plug-in libsld_sed_throws_in_open.so is not used: plugin_open threw an exception: "
          "the open blew up."}},
    };
    for (const LOAD_CASE& c : cases)
    {
        install(c.variants);
        boxes();
        SEDQ_TX_MANAGER* manager = make_manager(false);
        EXPECT_EQ(manager->get_plugin_names(), c.expected_names) << c.name;
        EXPECT_EQ(manager->get_plugin_count(), c.expected_names.size()) << c.name;
        EXPECT_EQ(boxes(), c.expected_boxes) << c.name;
        m_manager.reset();
    }
}

TEST_F(plugin_test, a_duplicate_name_keeps_the_library_met_later)
{
    install({"dup_first:a_dup", "dup_second:b_dup"});
    SEDQ_TX_MANAGER* manager = make_manager(false);
    EXPECT_EQ(manager->get_plugin_names(), QStringList{"dup"});
    EXPECT_EQ(unit_names("dup"), QStringList{"second"});
    EXPECT_TRUE(sedq_find_plugin("dup")->library->fileName().endsWith("libsld_sed_b_dup.so"));
}

TEST_F(plugin_test, names_by_index_stay_inside_the_registry)
{
    install({"alpha", "zeta"});
    SEDQ_TX_MANAGER* manager = make_manager(false);
    QString name = "untouched";
    EXPECT_FALSE(manager->get_plugin_name(-1, &name));
    EXPECT_FALSE(manager->get_plugin_name(manager->get_plugin_count(), &name));
    EXPECT_EQ(name, "untouched");
    EXPECT_TRUE(manager->get_plugin_name(1, &name));
    EXPECT_EQ(name, "alpha");
}

TEST_F(plugin_test, the_registry_lives_from_the_first_document_model_to_the_last)
{
    install({"uart"});
    auto first = std::make_unique<SEDQ_TX_MANAGER>(nullptr);
    install({"alpha"});
    auto second = std::make_unique<SEDQ_TX_MANAGER>(nullptr);
    EXPECT_EQ(second->get_plugin_names(), QStringList{"uart"}) << "the second model does not look again";
    first.reset();
    ASSERT_NE(sedq_find_plugin("uart"), nullptr) << "the first model's end unloads nothing";
    EXPECT_TRUE(sedq_find_plugin("uart")->library->isLoaded());
    second.reset();
    EXPECT_TRUE(s_sedq_plugin_map.isEmpty()) << "no entry outlives its library";
    auto third = std::make_unique<SEDQ_TX_MANAGER>(nullptr);
    EXPECT_EQ(third->get_plugin_names(), QStringList{"alpha"}) << "a new first model looks again";
}

// A plug-in whose open throws leaves the count of document models right: the last model's end
// still empties the registry, and the next first model looks again.
TEST_F(plugin_test, an_open_that_throws_keeps_the_registry_lifetime)
{
    install({"throws_in_open"});
    auto first = std::make_unique<SEDQ_TX_MANAGER>(nullptr);
    EXPECT_TRUE(first->get_plugin_names().isEmpty());
    EXPECT_EQ(boxes().size(), 1u);
    first.reset();
    install({"uart"});
    auto second = std::make_unique<SEDQ_TX_MANAGER>(nullptr);
    EXPECT_EQ(second->get_plugin_names(), QStringList{"uart"}) << "discovery ran again";
}

// A text a plug-in hands over is cut to a readable length before a box lays it out: never in
// the middle of a character, and marked as cut.
TEST_F(plugin_test, texts_from_a_plug_in_are_cut_to_a_readable_length)
{
    install({"huge_error"});
    make_manager(false);
    const std::vector<std::string> shown = boxes();
    ASSERT_EQ(shown.size(), 1u) << "the failing open's text";
    EXPECT_EQ(shown[0].rfind("Corvane\nhuge failed: EEEE", 0), 0u);
    EXPECT_LT(shown[0].size(), 4096u);
    EXPECT_EQ(shown[0].substr(shown[0].size() - 6), " [...]");

    const std::string two_bytes = "\xc3\xa9"; // é
    std::string long_text;
    while (long_text.size() < 5000)
        long_text += two_bytes;
    const QString cut = sedq_plugin_message(long_text.c_str());
    EXPECT_TRUE(cut.endsWith(" [...]"));
    EXPECT_FALSE(cut.contains(QChar::ReplacementCharacter)) << "no character cut in two";
    const QString lines = sedq_plugin_message(QByteArray("line\n").repeated(100).constData());
    EXPECT_LE(lines.count('\n'), 24);
    EXPECT_TRUE(lines.endsWith(" [...]"));
    EXPECT_EQ(sedq_plugin_message("short"), "short");
    EXPECT_EQ(sedq_plugin_message(nullptr), QString());
}

TEST_F(plugin_test, the_error_box_needs_a_registered_plug_in_with_a_text)
{
    install({"calls_fail", "silent"});
    SEDQ_TX_MANAGER* manager = make_manager(false);
    boxes();
    EXPECT_FALSE(manager->show_plugin_error_msg("absent"));
    EXPECT_FALSE(manager->show_plugin_error_msg("silent"));
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(manager->show_plugin_error_msg("faulty"));
    EXPECT_EQ(boxes(), std::vector<std::string>{"Corvane\nfaulty failed"});
}
} // namespace

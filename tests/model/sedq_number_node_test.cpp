// A node's value as the node list shows it (radix, symbols, leading zeros) and a value typed
// for a bus applied as one trigger condition per member bit.
#include "sedq_node_list_test_support.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_plugin_group.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_number.h"

#include <cstring>
#include "sedq/model/sedq_repository.h"

namespace
{
class sedq_number_node_test : public sedq_node_list_test
{
protected:
    // A bus of `width` members b0.. at row 0 in `radix`.
    void bus(int width, SDR_DATA_GROUP_DISPLAY_TYPE radix, bool lsb_to_msb = false)
    {
        document(false);
        std::vector<std::string> names;
        for (int i = 0; i < width; ++i)
            names.push_back("b" + std::to_string(i));
        add_rows(names);
        standin::sdr::add_group(data_trigger(), 0, width - 1, "bus", radix);
        m_manager->refresh_tx_cache();
        if (lsb_to_msb)
        {
            ASSERT_TRUE(trigger()->set_lsb_to_msb(0, true));
        }
    }

    // Conditions of the rows below the bus row at level 0.
    std::vector<int> member_conditions()
    {
        std::vector<int> conditions;
        for (int row = 1; row < trigger()->get_num_nodes(); ++row)
            conditions.push_back(trigger()->get_condition(row, 0, false));
        return conditions;
    }

    bool type(const QString& text, int level = 0)
    {
        SEDQ_NUMBER number(text);
        return number.set_string(m_manager.get(), 0, level, -1);
    }

    // The shown text of `bits` on the bus row.
    std::string shown(const QString& bits, bool use_radix = true, bool suffix = false, int level = -1,
                      bool* symbol = nullptr)
    {
        SEDQ_NUMBER number(bits);
        const char* text = nullptr;
        const bool is_symbol = number.get_string(m_manager.get(), 0, &text, use_radix, suffix, nullptr, level);
        if (symbol != nullptr)
            *symbol = is_symbol;
        return text != nullptr ? text : "(null)";
    }
};
} // namespace

TEST_F(sedq_number_node_test, each_bit_symbol_sets_its_condition_in_either_case)
{
    const struct
    {
        const char* symbol;
        int condition;
    } rows[] = {{"1", 3}, {"H", 3}, {"h", 3}, {"0", 4}, {"L", 4}, {"l", 4}, {"R", 5}, {"r", 5},
                {"F", 6}, {"f", 6}, {"E", 7}, {"e", 7}, {"X", 8}, {"x", 8}};
    bus(1, SDR_GTYPE_BINARY);
    for (const auto& r : rows)
    {
        ASSERT_TRUE(type(r.symbol)) << r.symbol;
        EXPECT_EQ(member_conditions(), std::vector<int>{r.condition}) << r.symbol;
    }
    EXPECT_FALSE(type("2")) << "not a bit symbol";
    EXPECT_FALSE(type("")) << "nothing typed";
    EXPECT_EQ(member_conditions(), std::vector<int>{8});
}

TEST_F(sedq_number_node_test, typed_values_become_member_conditions_in_the_bus_radix)
{
    const struct
    {
        const char* name;
        int width;
        SDR_DATA_GROUP_DISPLAY_TYPE radix;
        bool lsb_to_msb;
        const char* typed;
        std::vector<int> conditions;
    } rows[] = {
        {"binary from the first member down", 4, SDR_GTYPE_BINARY, false, "1X0R", {3, 8, 4, 5}},
        {"binary, least significant first", 4, SDR_GTYPE_BINARY, true, "1X0R", {5, 4, 8, 3}},
        {"unsigned decimal padded with zeros", 8, SDR_GTYPE_UNSIGNED, false, "5", {4, 4, 4, 4, 4, 3, 4, 3}},
        {"hexadecimal with an edge is binary padded with don't cares", 4, SDR_GTYPE_HEX, false, "1R", {8, 8, 3, 5}},
        {"hexadecimal E too wide for the bus is an either edge", 2, SDR_GTYPE_HEX, false, "E", {8, 7}},
        {"hexadecimal that fits", 4, SDR_GTYPE_HEX, false, "E", {3, 3, 3, 4}},
        {"too many bits keep the least significant", 4, SDR_GTYPE_HEX, false, "2A", {3, 4, 3, 4}},
        {"0, 1, F and E too wide for the bus are bit symbols", 4, SDR_GTYPE_HEX, false, "1F", {8, 8, 3, 6}},
        {"two's complement", 4, SDR_GTYPE_TWOS_COMPLEMENT, false, "-3", {3, 3, 4, 3}},
        {"decimal with a level symbol is binary", 3, SDR_GTYPE_UNSIGNED, false, "H0", {8, 3, 4}},
        {"octal digit", 3, SDR_GTYPE_OCTAL, false, "5", {3, 4, 3}},
    };
    for (const auto& r : rows)
    {
        bus(r.width, r.radix, r.lsb_to_msb);
        EXPECT_TRUE(type(r.typed)) << r.name;
        EXPECT_EQ(member_conditions(), r.conditions) << r.name;
    }
}

TEST_F(sedq_number_node_test, nested_bus_row_takes_no_bit)
{
    document(false);
    add_rows({"b", "c", "d", "e"});
    standin::sdr::add_group(data_trigger(), 0, 3, "bus", SDR_GTYPE_BINARY);
    standin::sdr::add_group(data_trigger(), 2, 3, "sub", SDR_GTYPE_BINARY);
    m_manager->refresh_tx_cache(); // bus, b, sub, c, d, e
    ASSERT_TRUE(type("R1"));
    // The bus has two leaf members of its own (b, e): their two bits go to b and, past the
    // nested bus row, to c; the rows after the bits are set low.
    EXPECT_EQ(member_conditions(), (std::vector<int>{5, 9, 3, 4, 4}));
}

TEST_F(sedq_number_node_test, mnemonic_symbols_are_typed_through_the_bus_table)
{
    bus(2, SDR_GTYPE_MNEMONICS);
    SDR_DATA_MNEMONICS* tables = SEDQ_REPOSITORY::session(m_manager.get())->get_data_session()->get_mnemonics();
    bool filled = false;
    {
        const SEDQ_EDIT_SCOPE edit(m_manager.get(), SEDQ_SKIP_COMPILATION_CHECK);
        SDR_DATA_MNEMONICS_TABLE* table = tables->create_table("states", 2);
        filled = table && table->add_entry("IDLE", "00") && table->add_entry("RUN", "1X");
    }
    ASSERT_TRUE(filled);
    ASSERT_TRUE(trigger()->set_mnemonics_table_name(0, "states"));
    ASSERT_TRUE(type("RUN"));
    EXPECT_EQ(member_conditions(), (std::vector<int>{3, 8}));
    ASSERT_TRUE(type("1")) << "no such symbol: read as hexadecimal";
    EXPECT_EQ(member_conditions(), (std::vector<int>{4, 3}));

    bool symbol = false;
    EXPECT_EQ(shown("00", true, false, -1, &symbol), "IDLE");
    EXPECT_TRUE(symbol);
    EXPECT_EQ(shown("10", true, false, -1, &symbol), "RUN") << "don't-care entry matches";
    EXPECT_EQ(shown("01", true, true, -1, &symbol), "1h") << "no symbol: hexadecimal";
    EXPECT_FALSE(symbol);
    EXPECT_EQ(shown("01", false, false, -1, &symbol), "01") << "no symbol, no radix: binary";
}

TEST_F(sedq_number_node_test, plugin_bus_shows_and_clears_its_level_symbol)
{
    bus(4, SDR_GTYPE_HEX);
    ASSERT_TRUE(trigger()->set_group_display_type(0, SDR_GTYPE_PLUGIN));
    ASSERT_TRUE(m_manager->set_plugin_trigger_condition_symbol("SYNC", 0, 0, -1));
    bool symbol = false;
    EXPECT_EQ(shown("0101", true, false, 0, &symbol), "SYNC");
    EXPECT_TRUE(symbol);
    EXPECT_EQ(shown("0101", true, false, -1, &symbol), "5") << "no level, no symbol";
    EXPECT_FALSE(type("")) << "an empty text clears the symbol";
    QString stored;
    ASSERT_TRUE(m_manager->get_plugin_trigger_condition_symbol(&stored, 0, 0, -1));
    EXPECT_EQ(stored, "");
    ASSERT_TRUE(m_manager->set_plugin_trigger_condition_symbol("SYNC", 0, 0, -1));
    ASSERT_TRUE(type("3")) << "no decoder maps the text: hexadecimal";
    EXPECT_EQ(member_conditions(), (std::vector<int>{4, 4, 3, 3}));
    ASSERT_TRUE(m_manager->get_plugin_trigger_condition_symbol(&stored, 0, 0, -1));
    EXPECT_EQ(stored, "");
}

TEST_F(sedq_number_node_test, leading_zeros_shown_or_hidden)
{
    const struct
    {
        SDR_DATA_GROUP_DISPLAY_TYPE radix;
        const char* bits;
        bool suffix;
        const char* with_zeros;
        const char* without;
    } rows[] = {
        {SDR_GTYPE_HEX, "00000000", false, "00", "0"},   {SDR_GTYPE_HEX, "00000000", true, "00h", "0h"},
        {SDR_GTYPE_HEX, "00000101", false, "05", "5"},   {SDR_GTYPE_HEX, "00000101", true, "05h", "5h"},
        {SDR_GTYPE_HEX, "1010XXXX", false, "AX", "AX"},  {SDR_GTYPE_BINARY, "0000", true, "0000b", "0b"},
        {SDR_GTYPE_BINARY, "0010", false, "0010", "10"}, {SDR_GTYPE_BINARY, "00R0", false, "00R0", "R0"},
        {SDR_GTYPE_OCTAL, "000001", true, "01o", "1o"},  {SDR_GTYPE_UNSIGNED, "00000101", false, "5", "5"},
    };
    for (const auto& r : rows)
    {
        bus(int(std::strlen(r.bits)), r.radix);
        SEDQ_TX_MANAGER::m_cfg_show_leading_zeroes = true;
        EXPECT_EQ(shown(r.bits, true, r.suffix), r.with_zeros) << r.bits << " radix " << r.radix;
        SEDQ_TX_MANAGER::m_cfg_show_leading_zeroes = false;
        EXPECT_EQ(shown(r.bits, true, r.suffix), r.without) << r.bits << " radix " << r.radix;
    }
}

TEST_F(sedq_number_node_test, display_radix_valid_characters_and_bit_order)
{
    bus(8, SDR_GTYPE_TWOS_COMPLEMENT, true);
    EXPECT_EQ(shown("11111110"), "127") << "least significant first: 01111111";
    EXPECT_EQ(shown("11111110", false), "01111111") << "without the radix: binary";
    const QString bits = QStringLiteral("00000001");
    SEDQ_NUMBER number(bits);
    EXPECT_STREQ(number.get_string(m_manager.get(), 0), "80h");
    QString valid;
    const char* text = nullptr;
    EXPECT_FALSE(number.get_string(m_manager.get(), 0, &text, false, false, &valid, -1));
    EXPECT_EQ(valid, "-0123456789") << "the node's own radix, whatever is shown";

    EXPECT_FALSE(number.get_string(m_manager.get(), 1, &text, true, false, nullptr, -1)) << "a member has no radix";
    EXPECT_EQ(internal_errors(),
              std::vector<std::string>{"sedq_tx_manager->get_node_group_display_type(nItem, &display_type)"});
}

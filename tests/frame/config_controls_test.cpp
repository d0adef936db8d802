// The small controls of the configuration and state-flow panes, on their own: the number,
// yes/no and option boxes, the segment lists of every sample depth, the signals the depth and
// storage qualifier boxes raise, the instance box and selection by text.
#include "host/standin/msg_control.h"
#include "sedq/frame/sedq_bool_combo_box.h"
#include "sedq/frame/sedq_config_check_box.h"
#include "sedq/frame/sedq_config_controls.h"
#include "sedq/frame/sedq_int_combo_box.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

namespace
{
QStringList items_of(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}
} // namespace

TEST(sedq_int_combo_box, offers_its_range_and_reports_numbers)
{
    SEDQ_INT_COMBO_BOX box(0, 20);
    EXPECT_EQ(box.count(), 21);
    EXPECT_EQ(box.currentText(), "0");
    EXPECT_EQ(box.itemText(20), "20");
    QSignalSpy spy(&box, SIGNAL(current_count_changed(int)));
    box.set_current_count(7);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 7);
    box.set_current_count(21);
    box.set_current_count(-1);
    EXPECT_EQ(box.currentText(), "7") << "a number outside the range changes nothing";
    EXPECT_EQ(spy.count(), 1);
    box.setCurrentIndex(3);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 3) << "the user's choice is reported too";
}

TEST(sedq_int_combo_box, empty_and_extreme_ranges)
{
    SEDQ_INT_COMBO_BOX empty(5, 1);
    EXPECT_EQ(empty.count(), 0);
    QSignalSpy spy(&empty, SIGNAL(current_count_changed(int)));
    empty.set_current_count(3);
    EXPECT_EQ(spy.count(), 0);
    SEDQ_INT_COMBO_BOX top(INT_MAX - 1, INT_MAX);
    EXPECT_EQ(items_of(top), (QStringList{QString::number(INT_MAX - 1), QString::number(INT_MAX)}))
        << "a range ending at the largest int still ends";
    SEDQ_INT_COMBO_BOX shifted(1, 20);
    QSignalSpy shifted_spy(&shifted, SIGNAL(current_count_changed(int)));
    shifted.clear();
    EXPECT_EQ(shifted_spy.count(), 0) << "emptying the box reports no count";
}

TEST(sedq_bool_combo_box, stands_for_false_and_true)
{
    SEDQ_BOOL_COMBO_BOX box;
    box.addItems({"One window per state", "All states in one window"});
    QSignalSpy spy(&box, SIGNAL(current_index_changed(bool)));
    box.set_current_index(true);
    EXPECT_EQ(box.currentIndex(), 1);
    box.set_current_index(false);
    EXPECT_EQ(box.currentIndex(), 0);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

TEST(sedq_config_check_box, reports_its_option_with_the_new_state)
{
    SEDQ_CONFIG_CHECK_BOX box("Comparison values", SCI_RUNTIME_CONFIG_COMPARISON_VALUES);
    EXPECT_EQ(box.text(), "Comparison values");
    std::vector<std::pair<int, bool>> reports;
    QObject::connect(
        &box,
        static_cast<void (SEDQ_CONFIG_CHECK_BOX::*)(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION, bool)>(
            &SEDQ_CONFIG_CHECK_BOX::toggled),
        [&reports](SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option, bool on)
        { reports.emplace_back(option, on); });
    box.click();
    box.setChecked(false);
    EXPECT_EQ(reports, (std::vector<std::pair<int, bool>>{{SCI_RUNTIME_CONFIG_COMPARISON_VALUES, true},
                                                          {SCI_RUNTIME_CONFIG_COMPARISON_VALUES, false}}));
}

TEST(sedq_config_check_box, binds_by_signature_to_the_models_option_slot)
{
    SEDQ_TX_MANAGER manager(nullptr);
    SEDQ_CONFIG_CHECK_BOX box("Goto destinations", SCI_RUNTIME_CONFIG_GOTO_STATE);
    EXPECT_TRUE(QObject::connect(&box, SIGNAL(toggled(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION, bool)),
                                 &manager,
                                 SLOT(set_configurable(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION, bool))));
    SEDQ_INT_COMBO_BOX counts(1, 20);
    EXPECT_TRUE(
        QObject::connect(&counts, SIGNAL(current_count_changed(int)), &manager, SLOT(set_state_count(int))));
    SEDQ_BOOL_COMBO_BOX mode;
    EXPECT_TRUE(QObject::connect(&mode, SIGNAL(current_index_changed(bool)), &manager,
                                 SLOT(set_state_display_mode(bool))));
}

TEST(sedq_line_edit, hands_its_text_along_when_editing_ends)
{
    SEDQ_LINE_EDIT edit;
    QSignalSpy spy(&edit, SIGNAL(editing_finished(QString)));
    QTest::keyClicks(&edit, "top|clk");
    EXPECT_EQ(spy.count(), 0);
    QTest::keyClick(&edit, Qt::Key_Return);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "top|clk");
}

TEST(sedq_segment_combo_box, lists_the_segmentations_of_each_sample_depth)
{
    const struct
    {
        const char* depth;
        int index;
        int count;
        const char* first;
        const char* last;
    } cases[] = {
        {"0", 0, 1, "0 segments", "0 segments"},
        {"64", 1, 6, "2  32 sample segments", "64  1 sample segments"},
        {"2 K", 6, 11, "2  1 K sample segments", "2 K  1 sample segments"},
        {"128 K", 12, 17, "2  64 K sample segments", "128 K  1 sample segments"},
    };
    for (const auto& row : cases)
    {
        const QStringList texts = SEDQ_SEGMENT_COMBO_BOX::segment_texts(row.index);
        ASSERT_EQ(texts.size(), row.count) << row.depth;
        EXPECT_EQ(texts.front(), row.first) << row.depth;
        EXPECT_EQ(texts.back(), row.last) << row.depth;
    }
    const QStringList deepest = SEDQ_SEGMENT_COMBO_BOX::segment_texts(12);
    EXPECT_TRUE(deepest.contains("1 K  128 sample segments"));
    EXPECT_TRUE(deepest.contains("512  256 sample segments"));
    EXPECT_EQ(SEDQ_SEGMENT_COMBO_BOX::segment_texts(1),
              (QStringList{"2  32 sample segments", "4  16 sample segments", "8  8 sample segments",
                           "16  4 sample segments", "32  2 sample segments", "64  1 sample segments"}));
}

TEST(sedq_segment_combo_box, follows_the_depth_and_refuses_a_depth_past_the_list)
{
    SEDQ_SEGMENT_COMBO_BOX box;
    box.sample_depth_changed(0);
    EXPECT_EQ(items_of(box), QStringList{"0 segments"});
    EXPECT_FALSE(box.isEnabled());
    box.setEnabled(true);
    box.sample_depth_changed(3);
    EXPECT_EQ(box.count(), 8);
    EXPECT_TRUE(box.isEnabled()) << "above depth 0 the Segmented box decides";
    standin::msg::clear_internal_errors();
    box.sample_depth_changed(13);
    box.sample_depth_changed(40);
    EXPECT_EQ(box.count(), 0) << "an unknown depth offers nothing and never shifts past 32 bits";
    ASSERT_EQ(standin::msg::internal_errors().size(), 2u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "index <= 12");
    box.sample_depth_changed(-1);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(standin::msg::internal_errors().size(), 2u) << "a depth box being emptied is no error";
}

TEST(sedq_sample_depth_combo_box, tells_whether_a_depth_is_chosen)
{
    SEDQ_SAMPLE_DEPTH_COMBO_BOX box;
    QSignalSpy selected(&box, SIGNAL(sample_depth_selected(bool)));
    QSignalSpy zero(&box, SIGNAL(zero_sample_depth_selected(bool)));
    box.current_index_changed(4);
    box.current_index_changed(0);
    ASSERT_EQ(selected.count(), 2);
    EXPECT_TRUE(selected.at(0).at(0).toBool());
    EXPECT_FALSE(selected.at(1).at(0).toBool());
    ASSERT_EQ(zero.count(), 1) << "only depth 0 clears segmentation";
    EXPECT_FALSE(zero.at(0).at(0).toBool());
}

TEST(sedq_storage_combo_box, tells_which_further_controls_a_type_needs)
{
    const struct
    {
        const char* type;
        bool input_port;
        bool qualifier;
    } cases[] = {{"Continuous", false, false}, {"Input port", true, true},  {"Transitional", false, true},
                 {"Conditional", false, true}, {"Start/Stop", false, true}, {"State-based", false, true}};
    for (const auto& row : cases)
    {
        SEDQ_STORAGE_COMBO_BOX box;
        QSignalSpy port(&box, SIGNAL(input_port_selected(bool)));
        QSignalSpy qualifier(&box, SIGNAL(storage_qualifier_selected(bool)));
        box.current_index_changed(row.type);
        ASSERT_EQ(port.count(), 1) << row.type;
        ASSERT_EQ(qualifier.count(), 1) << row.type;
        EXPECT_EQ(port.at(0).at(0).toBool(), row.input_port) << row.type;
        EXPECT_EQ(qualifier.at(0).at(0).toBool(), row.qualifier) << row.type;
    }
}

// New names replace the old as clearing the box and inserting them did: the text goes empty,
// then the first name is current; every item shows the icon.
TEST(sedq_instance_combo_box, takes_new_names_as_clearing_and_inserting_would)
{
    SEDQ_INSTANCE_COMBO_BOX box;
    QPixmap pixels(8, 8);
    pixels.fill(Qt::red);
    const QIcon icon(pixels);
    box.set_names({"alpha", "beta", "gamma"}, icon);
    EXPECT_EQ(items_of(box), (QStringList{"alpha", "beta", "gamma"}));
    EXPECT_EQ(box.currentText(), "alpha");
    EXPECT_EQ(box.itemIcon(2).pixmap(8, 8).toImage(), pixels.toImage());
    box.setCurrentIndex(2);
    QStringList texts;
    QObject::connect(&box, qOverload<int>(&QComboBox::currentIndexChanged),
                     [&box, &texts](int) { texts << box.currentText(); });
    box.set_names({"delta", "gamma"}, icon);
    EXPECT_EQ(texts, (QStringList{"", "delta"}));
    EXPECT_EQ(box.findText("gamma"), 1);
    texts.clear();
    box.set_names({}, icon);
    EXPECT_EQ(texts, QStringList{""});
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.currentIndex(), -1);
}

TEST(sedq_set_current_index, selects_by_exact_text_or_by_start)
{
    QComboBox box;
    box.addItems({"16  256 sample segments", "1 K  4 sample segments", "Auto"});
    EXPECT_TRUE(sedq_set_current_index(&box, "Auto", Qt::MatchCaseSensitive));
    EXPECT_EQ(box.currentIndex(), 2);
    EXPECT_FALSE(sedq_set_current_index(&box, "auto", Qt::MatchCaseSensitive));
    EXPECT_FALSE(sedq_set_current_index(&box, "Aut", Qt::MatchCaseSensitive));
    EXPECT_EQ(box.currentIndex(), 2) << "no match leaves the box as it was";
    EXPECT_TRUE(sedq_set_current_index(&box, "1 K ", Qt::MatchStartsWith));
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_TRUE(sedq_set_current_index(&box, "16  ", Qt::MatchStartsWith));
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_FALSE(sedq_set_current_index(nullptr, "Auto", Qt::MatchCaseSensitive));
}

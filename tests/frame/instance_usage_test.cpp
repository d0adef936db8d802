// The resource estimates of the instance manager: logic cells, memory bits and blocks per
// instance, automatic memory types split over the block families, what does not fit, and the
// totals in the column headers.
#include "instance_widget_test_support.h"

#include "host/standin/acf_control.h"
#include "host/standin/ice_control.h"

#include <QHeaderView>
#include <QTreeView>

#include <climits>

namespace
{
using instance_widget_test::probe;

// Nine data nodes (the counter bus and "flag") and nine trigger nodes.
constexpr int CELLS = 100 + 12 * 9 + 4 * 9;

class instance_usage_test : public instance_widget_test::instance_widget_fixture
{
protected:
    void SetUp() override
    {
        instance_widget_fixture::SetUp();
        standin::acf::set_assignment(344, "Halcyte"); // a family with small, medium and large blocks
    }

    QStringList row_texts(int row) const
    {
        QStringList texts;
        for (int column = 3; column < 8; ++column)
            texts << usage(row, column);
        return texts;
    }

    QStringList headers() const
    {
        QStringList texts;
        for (int column = 3; column < 8; ++column)
            texts << header(column);
        return texts;
    }

    static QStringList blocks(const QString& cells, const QString& bits, const QString& small,
                              const QString& medium, const QString& large)
    {
        return {cells, bits, small, medium, large};
    }

    static probe with_ram(const char* name, SDR_HALCYTE_RAM_TYPE type, bool enabled = true, int depth = 128)
    {
        probe p{name};
        p.ram_type = type;
        p.enabled = enabled;
        p.depth = depth;
        return p;
    }

    void update() const { pane()->update_resource_usage(); }
};

TEST_F(instance_usage_test, each_memory_type_counts_its_blocks_and_the_headers_sum_the_enabled_instances)
{
    open({with_ram("auto", SDR_RAM_AUTO), with_ram("medium", SDR_RAM_MID_SIZE),
          with_ram("large", SDR_RAM_LARGE), with_ram("off", SDR_RAM_MID_SIZE, false),
          with_ram("small", SDR_RAM_SMALL, true, 0)});
    const QString cells = QString("%1 cells").arg(CELLS);
    // 9 x 128 bits: two small blocks of 640 bits, one medium, one large.
    EXPECT_EQ(row_texts(0), blocks(cells, "1152 bits", "2 blocks", "0 blocks", "0 blocks"));
    EXPECT_EQ(row_texts(1), blocks(cells, "1152 bits", "0 blocks", "1 blocks", "0 blocks"));
    EXPECT_EQ(row_texts(2), blocks(cells, "1152 bits", "0 blocks", "0 blocks", "1 blocks"));
    EXPECT_EQ(row_texts(3), blocks("0 cells", "0 bits", "0 blocks", "0 blocks", "0 blocks"));
    EXPECT_EQ(row_texts(4), blocks(cells, "0 bits", "0 blocks", "0 blocks", "0 blocks"))
        << "no depth: width 1";
    EXPECT_EQ(headers(), (QStringList{QString("LEs: %1").arg(4 * CELLS), "Memory: 3456", "Small: 2/100",
                                      "Medium: 1/50", "Large: 1/2"}));
}

TEST_F(instance_usage_test, a_disabled_instance_adds_nothing_even_where_the_estimator_would_count_blocks)
{
    standin::ice::force_blocks_result(3);
    open({with_ram("on", SDR_RAM_MID_SIZE), with_ram("off", SDR_RAM_MID_SIZE, false)});
    EXPECT_EQ(usage(0, 6), "3 blocks");
    EXPECT_EQ(usage(1, 6), "0 blocks");
    EXPECT_EQ(header(6), "Medium: 3/50");
}

TEST_F(instance_usage_test, blocks_already_used_count_and_a_fixed_type_beyond_the_device_cannot_fit)
{
    standin::ice::set_block_type(2, {147456, 144, 2, 1});
    open({with_ram("a", SDR_RAM_LARGE), with_ram("b", SDR_RAM_LARGE)});
    EXPECT_EQ(usage(0, 7), "1 blocks");
    EXPECT_EQ(usage(1, 7), "Can't fit 1 blocks") << "one block was used before, the device has two";
    EXPECT_EQ(header(7), "Large: 3/2");
}

TEST_F(instance_usage_test, an_automatic_type_too_wide_for_every_family_is_split_into_pieces)
{
    standin::ice::set_block_type(0, {640, 2, 100, 0});
    standin::ice::set_block_type(1, {10240, 4, 50, 0});
    standin::ice::set_block_type(2, {147456, 8, 2, 0});
    open({with_ram("auto", SDR_RAM_AUTO)});
    // Width 9 fits nowhere; 4 bits go to a medium block, the other 5 to a large one.
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"0 blocks", "1 blocks", "1 blocks"}));
    EXPECT_EQ(headers().mid(2), (QStringList{"Small: 0/100", "Medium: 1/50", "Large: 1/2"}));
    // Large blocks as narrow as medium ones: 4 bits to medium, 2 (half of the 5 left) to small,
    // the last 3 to medium again.
    standin::ice::set_block_type(2, {147456, 4, 2, 0});
    update();
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"1 blocks", "2 blocks", "0 blocks"}));
}

TEST_F(instance_usage_test, an_automatic_type_that_fits_nowhere_cannot_fit_or_is_unknown_without_a_project)
{
    for (int type = 0; type < 3; ++type)
        standin::ice::set_block_type(type, {640, 0, 100, 0});
    open({with_ram("auto", SDR_RAM_AUTO)});
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"Can't fit", "Can't fit", "Can't fit"}));
    standin::ice::set_init_ok(false);
    update();
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"NA", "NA", "NA"})) << "the estimator could not start";
    standin::ice::set_init_ok(true);
    standin::acf::set_project(false);
    update();
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"NA", "NA", "NA"}));
    EXPECT_EQ(headers().mid(2), (QStringList{"Small: NA", "Medium: NA", "Large: NA"}));
}

TEST_F(instance_usage_test, a_negative_answer_of_the_estimator_never_counts_as_blocks)
{
    standin::ice::force_blocks_result(-2);
    open({with_ram("auto", SDR_RAM_AUTO)});
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"Can't fit", "Can't fit", "Can't fit"}));
    EXPECT_EQ(headers().mid(2), (QStringList{"Small: 0/100", "Medium: 0/50", "Large: 0/2"}));
    data()->m_instances[0]->get_active_trigger()->m_signal_set->edit_transient().ram_type = SDR_RAM_SMALL;
    update();
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"NA", "NA", "NA"})) << "a fixed type";
    EXPECT_EQ(headers().mid(2), (QStringList{"Small: NA", "Medium: NA", "Large: NA"}));
}

TEST_F(instance_usage_test, a_device_without_limits_shows_the_totals_alone)
{
    standin::ice::set_block_type(1, {10240, 40, INT_MAX, 0});
    open({with_ram("medium", SDR_RAM_MID_SIZE)});
    EXPECT_EQ(headers().mid(2), (QStringList{"Small: 0", "Medium: 1", "Large: 0"}));
}

TEST_F(instance_usage_test, a_family_without_typed_blocks_counts_every_buffer_in_medium_blocks)
{
    standin::acf::set_assignment(344, "Legacy");
    open({with_ram("auto", SDR_RAM_AUTO), with_ram("large", SDR_RAM_LARGE)});
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"0 blocks", "1 blocks", "0 blocks"}));
    EXPECT_EQ(row_texts(1).mid(2), (QStringList{"0 blocks", "1 blocks", "0 blocks"}));
}

TEST_F(instance_usage_test, without_an_assignment_manager_the_estimates_keep_their_defaults)
{
    open({with_ram("auto", SDR_RAM_AUTO)});
    standin::acf::set_manager_present(false);
    standin::msg::clear_internal_errors();
    update();
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "acf_mgr != NULL");
    EXPECT_EQ(row_texts(0).mid(2), (QStringList{"2 blocks", "0 blocks", "0 blocks"}));
    EXPECT_EQ(headers().mid(2), (QStringList{"Small: NA", "Medium: NA", "Large: NA"})) << "no project known";
    EXPECT_EQ(standin::ice::live_estimators(), 0);
}
} // namespace

// A refresh measures the columns again only when one of their texts changed: a longer estimate
// still widens its column to the text, and a refresh that changes nothing keeps every width.
TEST_F(instance_usage_test, a_longer_estimate_widens_its_column_and_a_refresh_without_change_keeps_the_widths)
{
    open({with_ram("medium", SDR_RAM_MID_SIZE, true, 0)});
    QTreeView* tree = pane()->get_tree();
    constexpr int MEMORY = SEDQ_INSTANCE_COLUMN_FIRST_USAGE + 1;
    ASSERT_EQ(header(MEMORY), "Memory: 0");
    const int narrow = tree->columnWidth(MEMORY);
    tx()->set_instance(0);
    tx()->set_sample_depth("131072");
    refresh();
    ASSERT_EQ(header(MEMORY), "Memory: 1179648");
    EXPECT_GT(tree->columnWidth(MEMORY), narrow);
    EXPECT_GE(tree->columnWidth(MEMORY), tree->header()->sectionSizeHint(MEMORY));
    const int last = SEDQ_INSTANCE_COLUMN_COUNT - 1;
    const int needed = tree->header()->length() - tree->columnWidth(last) + tree->header()->sectionSizeHint(last);
    EXPECT_LE(tree->header()->length(), std::max(needed, tree->viewport()->width()))
        << "the stretched last column gives back the room the wider one takes: no scroll bar";
    QVector<int> widths;
    for (int column = 0; column < SEDQ_INSTANCE_COLUMN_COUNT; ++column)
        widths.append(tree->columnWidth(column));
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_INSTANCES));
    refresh();
    for (int column = 0; column < SEDQ_INSTANCE_COLUMN_COUNT; ++column)
        EXPECT_EQ(tree->columnWidth(column), widths[column]) << "column " << column;
}

namespace
{
// The texts are made again only when a figure changed; rows made anew (an instance renamed) show
// their estimates again though every figure stayed.
TEST_F(instance_usage_test, rows_made_anew_show_their_estimates_though_no_figure_changed)
{
    open({with_ram("medium", SDR_RAM_MID_SIZE), with_ram("large", SDR_RAM_LARGE)});
    const QStringList medium = row_texts(0);
    const QStringList large = row_texts(1);
    ASSERT_EQ(large, blocks(QString("%1 cells").arg(CELLS), "1152 bits", "0 blocks", "0 blocks", "1 blocks"));
    tx()->rename_instance_set("wide", "large");
    refresh();
    ASSERT_EQ(cell(1, 0).data().toString(), QStringLiteral("wide"));
    EXPECT_EQ(row_texts(0), medium);
    EXPECT_EQ(row_texts(1), large);
}
} // namespace

// The instance wizard's facade: the reserved session, presets, the embedded frame and the
// generated levels with their latency delays.
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_data_model.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/frame/sedq_wizard.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr const char* RESERVED = "sld_reserved_hdl_session";

std::vector<std::string> reported()
{
    std::vector<std::string> expressions;
    for (const auto& error : standin::msg::internal_errors())
        expressions.push_back(error.expression);
    return expressions;
}

bool was_reported(const std::string& expression)
{
    const auto list = reported();
    return std::find(list.begin(), list.end(), expression) != list.end();
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

class wizard_test : public ::testing::Test
{
protected:
    // A wizard with its session, `levels` trigger levels and the document open over them.
    std::unique_ptr<SEDQ_WIZARD> open_wizard(int levels = 1,
                                             const std::vector<std::pair<int, QString>>& expressions = {})
    {
        auto wizard = std::make_unique<SEDQ_WIZARD>();
        EXPECT_NE(wizard->create_session(), nullptr);
        EXPECT_TRUE(wizard->initialize_trigger_level(levels - 1));
        for (const auto& preset : expressions)
            EXPECT_TRUE(wizard->initialize_advanced_trigger_expression(preset.first, preset.second));
        EXPECT_TRUE(wizard->create_document());
        return wizard;
    }

    QStringList hdl_files() const
    {
        QStringList names = QDir(m_dir.path()).entryList({"*.hdl"}, QDir::Files, QDir::Name);
        return names;
    }

    QTemporaryDir m_dir;
};
} // namespace

TEST_F(wizard_test, a_reserved_session_holds_one_instance_signal_set_and_trigger)
{
    SEDQ_WIZARD first;
    SDR_DATA_TRIGGER* trigger = first.create_session();
    ASSERT_NE(trigger, nullptr);
    SDR_DATA_MANAGER* repository = SDR_DATA_MANAGER::get_data_repository_manager();
    SDR_DATA_SESSION* session = repository->find_session(RESERVED);
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(session->get_num_instances(), 1);
    SDR_DATA_INSTANCE* instance = session->m_instances[0].get();
    ASSERT_EQ(instance->get_num_signal_sets(), 1);
    EXPECT_EQ(instance->get_signal_set_at(0)->get_num_triggers(), 1);
    EXPECT_EQ(instance->get_active_trigger(), trigger);

    SEDQ_WIZARD second;
    ASSERT_NE(second.create_session(), nullptr) << "an earlier reserved session is replaced";
    EXPECT_EQ(repository->session_count(), 1);
    ASSERT_TRUE(second.create_document());
    EXPECT_EQ(second.get_tx_manager()->get_num_instances(), 1);
    EXPECT_TRUE(second.get_tx_manager()->is_wizard_mode());
}

TEST_F(wizard_test, a_new_session_is_refused_while_a_document_is_open_over_the_current_one)
{
    auto wizard = open_wizard();
    ASSERT_TRUE(wizard->insert_node("top|a"));
    EXPECT_EQ(wizard->create_session(), nullptr);
    EXPECT_TRUE(was_reported("this->m_tx_session == NULL"));
    EXPECT_EQ(wizard->get_tx_manager()->get_node_count(-1), 1) << "the document keeps its session";
    QTemporaryDir dir;
    EXPECT_TRUE(wizard->save_document(dir.filePath("kept.vtl").toLocal8Bit().constData()));
    wizard->destroy_document();
    EXPECT_NE(wizard->create_session(), nullptr) << "once the document is gone a session can be made again";
}

TEST_F(wizard_test, presets_without_a_session_report_and_change_nothing)
{
    SEDQ_WIZARD wizard;
    EXPECT_FALSE(wizard.initialize_data_nodes_allocated(4));
    EXPECT_FALSE(wizard.initialize_trigger_nodes_allocated(2));
    EXPECT_FALSE(wizard.initialize_sample_depth(512));
    EXPECT_FALSE(wizard.initialize_segment_size(4));
    EXPECT_FALSE(wizard.initialize_ram_type("Auto"));
    EXPECT_FALSE(wizard.initialize_trigger_level(2));
    EXPECT_FALSE(wizard.initialize_trigger_in(true));
    EXPECT_FALSE(wizard.initialize_advanced_trigger_expression(0, "'a'"));
    EXPECT_FALSE(wizard.initialize_storage_qualifier_type("PORT"));
    EXPECT_FALSE(wizard.initialize_record_data_discontinuities(true));
    EXPECT_TRUE(was_reported("this->m_signal_set != NULL"));
    EXPECT_FALSE(wizard.create_document()) << "a document needs the session";
    EXPECT_EQ(wizard.get_sample_depth(), 0) << "forwarded reads without a document answer neutral values";

    auto used = open_wizard();
    used->destroy_document();
    standin::msg::clear_internal_errors();
    EXPECT_FALSE(used->initialize_sample_depth(256)) << "the session went with the document";
    EXPECT_TRUE(was_reported("this->m_signal_set != NULL"));
}

TEST_F(wizard_test, presets_reach_the_document)
{
    SEDQ_WIZARD wizard;
    ASSERT_NE(wizard.create_session(), nullptr);
    EXPECT_TRUE(wizard.initialize_data_nodes_allocated(24));
    EXPECT_TRUE(wizard.initialize_trigger_nodes_allocated(3));
    EXPECT_TRUE(wizard.initialize_sample_depth(2048));
    EXPECT_TRUE(wizard.initialize_trigger_level(2));
    EXPECT_TRUE(wizard.initialize_trigger_in(true));
    EXPECT_TRUE(wizard.initialize_trigger_out(false));
    EXPECT_TRUE(wizard.initialize_storage_qualifier_type("PORT"));
    EXPECT_TRUE(wizard.initialize_record_data_discontinuities(true));
    EXPECT_TRUE(wizard.initialize_advanced_trigger_expression(1, "and('a','b')"));
    ASSERT_TRUE(wizard.create_document());
    SEDQ_TX_MANAGER* tx = wizard.get_tx_manager();
    EXPECT_EQ(wizard.get_data_nodes_allocated(), 24);
    EXPECT_EQ(wizard.get_trigger_nodes_allocated(), 3);
    ASSERT_EQ(tx->get_node_count(-1), 3) << "one trigger input wire per allocated trigger node";
    for (int i = 0; i < 3; ++i)
    {
        QString name;
        tx->get_node(i, nullptr, &name, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
        EXPECT_EQ(name, QString("acq_trigger_in[%1]").arg(i));
    }
    EXPECT_EQ(wizard.get_sample_depth(), 2048);
    EXPECT_FALSE(wizard.is_segmented_acquisition_enabled());
    int levels = 0;
    EXPECT_TRUE(wizard.get_trigger_level(&levels));
    EXPECT_EQ(levels, 3);
    EXPECT_TRUE(wizard.is_trigger_in_enabled());
    EXPECT_FALSE(wizard.is_trigger_out_enabled());
    EXPECT_TRUE(wizard.is_port_storage_qualifier_type());
    EXPECT_TRUE(wizard.is_record_data_discontinuities_enabled());
    EXPECT_FALSE(wizard.is_advanced_trigger(0));
    EXPECT_TRUE(wizard.is_advanced_trigger(1));
    QString expression;
    EXPECT_TRUE(wizard.get_trigger_expression(1, &expression));
    EXPECT_EQ(expression, "and('a','b')");
    EXPECT_FALSE(wizard.get_trigger_expression(0, &expression));
    EXPECT_TRUE(expression.isEmpty());
}

TEST_F(wizard_test, preset_texts_choose_memory_storage_qualifier_and_basic_levels)
{
    struct row
    {
        const char* text;
        const char* memory; // display text shown afterwards
    };
    const row memory_rows[] = {{"auto", "Auto"}, {"", "V20K"},      {"v20", "V20K"},
                               {"vlab", "VLAB"}, {"144K", "V144K"}, {"DDR", "Auto"}};
    for (const row& r : memory_rows)
    {
        SEDQ_WIZARD wizard;
        ASSERT_NE(wizard.create_session(), nullptr);
        EXPECT_TRUE(wizard.initialize_ram_type(r.text)) << r.text;
        ASSERT_TRUE(wizard.create_document());
        QString shown;
        EXPECT_TRUE(wizard.get_ram_type(&shown));
        EXPECT_EQ(shown, r.memory) << "preset \"" << r.text << "\"";
    }
    SEDQ_WIZARD wizard;
    ASSERT_NE(wizard.create_session(), nullptr);
    EXPECT_FALSE(wizard.initialize_storage_qualifier_type("SOMETIMES"));
    EXPECT_TRUE(wizard.initialize_storage_qualifier_type("OFF"));
    EXPECT_TRUE(wizard.initialize_advanced_trigger_expression(0, "'a'"));
    EXPECT_TRUE(wizard.initialize_advanced_trigger_expression(0, "NONE"));
    EXPECT_FALSE(wizard.initialize_advanced_trigger_expression(5, "'a'")) << "no such level";
    EXPECT_FALSE(wizard.initialize_trigger_nodes_allocated(-1));
    EXPECT_TRUE(wizard.initialize_trigger_nodes_allocated(0));
    EXPECT_TRUE(wizard.initialize_segment_size(4));
    ASSERT_TRUE(wizard.create_document());
    EXPECT_EQ(wizard.get_segment_size(), 4);
    EXPECT_TRUE(wizard.is_segmented_acquisition_enabled());
    QString segments;
    EXPECT_TRUE(wizard.get_number_of_segments(&segments));
    EXPECT_EQ(segments, "32  ") << "the default depth of 128 in segments of 4";
    EXPECT_FALSE(wizard.is_port_storage_qualifier_type());
    EXPECT_FALSE(wizard.is_advanced_trigger(0));
    EXPECT_EQ(wizard.get_tx_manager()->get_node_count(-1), 0);
    QStringList all;
    wizard.get_all_ram_types(&all);
    EXPECT_EQ(all, QStringList({"Auto", "V20K", "VLAB", "V144K"}));
}

TEST_F(wizard_test, generated_levels_are_lined_up_for_one_to_ten_levels)
{
    for (int count = 1; count <= SEDQ_WIZARD::MAX_LEVELS; ++count)
    {
        // Every second level is advanced, with a pipeline as deep as its index.
        std::vector<std::pair<int, QString>> expressions;
        int slowest = 1;
        for (int level = 1; level < count; level += 2)
        {
            expressions.push_back({level, QString("('top|a'&'top|b')#%1").arg(level)});
            slowest = std::max(slowest, level + 1);
        }
        auto wizard = open_wizard(count, expressions);
        QTemporaryDir dir;
        wizard->create_triggers("ip", dir.path());
        EXPECT_EQ(wizard->is_advanced_trigger_used(), count > 1) << count;
        QStringList expected_files;
        for (int level = 0; level < count; ++level)
        {
            const bool advanced = level % 2 == 1;
            const int latency = advanced ? level + 1 : 1;
            EXPECT_EQ(wizard->get_pipeline_latency(level), latency) << count << " levels, level " << level;
            EXPECT_EQ(wizard->get_delay(level), slowest - latency) << count << " levels, level " << level;
            if (advanced)
                expected_files << QString("ip_level_%1.hdl").arg(level + 1);
        }
        expected_files.sort();
        QStringList written = QDir(dir.path()).entryList({"*.hdl"}, QDir::Files, QDir::Name);
        EXPECT_EQ(written, expected_files) << count;
        EXPECT_TRUE(reported().empty()) << count;
    }
}

TEST_F(wizard_test, generated_descriptions_are_encrypted_and_keep_the_equations)
{
    auto wizard = open_wizard(2, {{0, "compare({'a','b'},>=,2,cc,uc)"}, {1, "(or('a','c'))#3"}});
    wizard->create_triggers("pre", m_dir.path());
    ASSERT_EQ(hdl_files(), QStringList({"pre_level_1.hdl", "pre_level_2.hdl"}));
    QFile second(QDir(m_dir.path()).filePath("pre_level_2.hdl"));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    const QByteArray text = second.readAll();
    EXPECT_TRUE(text.contains("encrypted yes"));
    EXPECT_TRUE(text.contains(QByteArray("(or('a','c'))#3").toHex()));
    EXPECT_EQ(wizard->get_delay(0), 3);
    EXPECT_EQ(wizard->get_delay(1), 0);
    EXPECT_TRUE(wizard->destroy_triggers());
    EXPECT_FALSE(wizard->is_advanced_trigger_used());
    EXPECT_EQ(wizard->get_delay(0), 0);
}

TEST_F(wizard_test, more_than_ten_levels_are_reported_and_never_written_past)
{
    SEDQ_WIZARD wizard;
    SDR_DATA_TRIGGER* trigger = wizard.create_session();
    ASSERT_NE(trigger, nullptr);
    // The host's own limit is ten; a host with more must still not overrun the facade.
    standin::sdr::set_levels(trigger, 12);
    for (int level = 0; level < 12; ++level)
        EXPECT_TRUE(wizard.initialize_advanced_trigger_expression(level, QString("('a')#%1").arg(level)));
    ASSERT_TRUE(wizard.create_document());
    wizard.create_triggers("big", m_dir.path());
    EXPECT_TRUE(was_reported("count <= MAX_LEVELS"));
    EXPECT_EQ(hdl_files().size(), 10);
    EXPECT_EQ(wizard.get_delay(0), 9);
    EXPECT_EQ(wizard.get_delay(9), 0);
    standin::msg::clear_internal_errors();
    EXPECT_EQ(wizard.get_delay(11), 0);
    EXPECT_EQ(wizard.get_delay(-1), 0);
    EXPECT_EQ(wizard.get_pipeline_latency(10), 1);
    EXPECT_TRUE(was_reported("level >= 0 && level < MAX_LEVELS"));
}

TEST_F(wizard_test, levels_that_do_not_parse_or_cannot_be_written_are_skipped)
{
    auto wizard = open_wizard(3, {{0, "and('a'"}, {1, "('a'&'b')#2"}});
    wizard->create_triggers("p", "/nonexistent/folder");
    EXPECT_TRUE(wizard->is_advanced_trigger_used());
    EXPECT_EQ(wizard->get_pipeline_latency(0), 1) << "an unparsable level counts as latency 1";
    EXPECT_EQ(wizard->get_delay(0), 2);
    EXPECT_EQ(wizard->get_delay(2), 2);
    EXPECT_TRUE(was_reported("SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl(qPrintable(name), "
                             "factory->get_root(), false, use_encryption, false, qPrintable(szPath))"));
    EXPECT_EQ(reported().size(), 1u) << "only the one parsed level was to be written";
}

TEST_F(wizard_test, completeness_asks_only_about_advanced_levels)
{
    auto basic = open_wizard(2);
    EXPECT_TRUE(basic->is_advanced_trigger_complete(-1));
    SEDQ_WIZARD another;
    EXPECT_EQ(another.create_session(), nullptr) << "the reserved session is in use by the other wizard";
    basic.reset();
    auto mixed = open_wizard(2, {{1, "'a'"}});
    EXPECT_TRUE(mixed->is_advanced_trigger_complete(0)) << "level 0 is basic";
    EXPECT_FALSE(mixed->is_advanced_trigger_complete(-1))
        << "an advanced level whose drawn condition writes no equation is not complete";
    EXPECT_FALSE(mixed->is_advanced_trigger_complete(1));
}

TEST_F(wizard_test, forwarded_edits_change_the_document)
{
    auto wizard = open_wizard(2);
    SEDQ_TX_MANAGER* tx = wizard->get_tx_manager();
    ASSERT_TRUE(wizard->insert_node("top|a"));
    ASSERT_TRUE(wizard->insert_node("top|b"));
    EXPECT_TRUE(wizard->group_node(0, 1));
    EXPECT_EQ(tx->get_node_count(-1), 3);
    EXPECT_TRUE(wizard->ungroup_node(0));
    EXPECT_EQ(wizard->delete_node(0, 0), 1);
    EXPECT_EQ(tx->get_node_count(-1), 1);
    EXPECT_TRUE(wizard->toggle_trigger_in());
    EXPECT_TRUE(wizard->is_trigger_in_enabled());
    EXPECT_TRUE(wizard->toggle_trigger_in());
    EXPECT_FALSE(wizard->is_trigger_in_enabled());
    EXPECT_TRUE(wizard->toggle_record_data_discontinuities());
    EXPECT_TRUE(wizard->is_record_data_discontinuities_enabled());
    EXPECT_TRUE(wizard->set_advanced_trigger(1, true));
    EXPECT_TRUE(wizard->is_advanced_trigger(1));
    EXPECT_TRUE(wizard->set_trigger_level(1));
    int level = -1;
    EXPECT_TRUE(tx->is_advanced_mode(&level));
    EXPECT_EQ(level, 1);
    EXPECT_TRUE(wizard->set_sample_depth("4 K"));
    EXPECT_EQ(wizard->get_sample_depth(), 4096);
    EXPECT_EQ(tx->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_ALL);
}

TEST_F(wizard_test, the_frame_embeds_node_list_library_and_canvas_in_the_hosts_widget)
{
    auto wizard = open_wizard();
    wizard->resize_frame(); // before the frame exists: nothing
    QWidget host;
    wizard->create_frame(&host);
    ASSERT_NE(host.layout(), nullptr);
    EXPECT_EQ(host.findChildren<SEDQ_VIEW*>().size(), 1);
    EXPECT_EQ(host.findChildren<SEDQ_OPERATOR_WIDGET*>().size(), 1);
    EXPECT_EQ(host.findChildren<SEDQ_OBJECT_WIDGET*>().size(), 1);
    wizard->create_frame(&host);
    EXPECT_EQ(host.findChildren<SEDQ_VIEW*>().size(), 1) << "a second call reuses the frame";
    host.resize(900, 600);
    host.show();
    settle();
    wizard->resize_frame();
    const QList<QSplitter*> splitters = host.findChildren<QSplitter*>();
    ASSERT_EQ(splitters.size(), 2);
    QSplitter* horizontal = splitters[0]->orientation() == Qt::Horizontal ? splitters[0] : splitters[1];
    QSplitter* vertical = horizontal == splitters[0] ? splitters[1] : splitters[0];
    EXPECT_EQ(horizontal->sizes().value(0), 211);
    EXPECT_LE(std::abs(vertical->sizes().value(0) - vertical->sizes().value(1)), 1);
    ASSERT_TRUE(wizard->insert_node("top|a"));
    settle();
    wizard->destroy_frame();
    EXPECT_TRUE(host.findChildren<SEDQ_VIEW*>().isEmpty());
    EXPECT_EQ(host.layout(), nullptr);
    wizard->create_frame(&host);
    EXPECT_EQ(host.findChildren<SEDQ_VIEW*>().size(), 1) << "the frame can be built again";
    EXPECT_TRUE(reported().empty());
}

TEST_F(wizard_test, a_failed_size_check_leaves_the_frame_as_it_was)
{
    auto wizard = open_wizard();
    QWidget host;
    wizard->create_frame(&host);
    host.resize(900, 600);
    host.show();
    settle();
    QSplitter* horizontal = nullptr;
    QSplitter* vertical = nullptr;
    for (QSplitter* splitter : host.findChildren<QSplitter*>())
        (splitter->orientation() == Qt::Horizontal ? horizontal : vertical) = splitter;
    ASSERT_TRUE(horizontal && vertical);
    vertical->addWidget(new QLabel("third"));
    settle();
    const QList<int> before = horizontal->sizes();
    wizard->resize_frame();
    EXPECT_TRUE(was_reported("sizes.count() == 2"));
    EXPECT_EQ(horizontal->sizes(), before);
}

TEST_F(wizard_test, a_host_widget_deleted_first_takes_the_frame_with_it)
{
    auto wizard = open_wizard();
    auto host = std::make_unique<QWidget>();
    wizard->create_frame(host.get());
    host.reset();
    wizard->resize_frame();
    wizard->destroy_frame();
    wizard->destroy_document();
    EXPECT_EQ(wizard->get_tx_manager(), nullptr);
    EXPECT_TRUE(reported().empty());
}

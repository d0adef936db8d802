// The signal configuration pane in an editor window, used as a user would: each control
// changes the document through the model and shows the document's value again after undo and
// redo; the sample depth, segment, allocation, storage qualifier and trigger in/out controls
// enable each other; the lock mode and the power-up trigger disable what they must.
#include "config_pane_user.h"
#include "frame_test_support.h"
#include "support/wheel_turn.h"

#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/msg_control.h"
#include "host/standin/project_control.h"
#include "sedq/frame/sedq_config_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_types.h"
#include "sedq/view/sedq_view.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include "sedq/model/sedq_repository.h"

namespace
{
const int CONFIGURATION_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION);

class config_widget_test : public frame_test, public config_pane_user
{
public:
    // Public: the rows of the table tests reach them through a pointer to the fixture.
    SEDQ_CONFIG_WIDGET* open(const std::vector<instance_spec>& instances = {
                                 instance_spec("probe"), instance_spec("other"), instance_spec("third")})
    {
        m_frame = open_frame(write_document(instances));
        return pane();
    }

    SEDQ_CONFIG_WIDGET* pane() const
    {
        QTabWidget* tabs = m_frame->get_layout_widget()->get_data_setup_tab_widget(-1);
        return tabs != nullptr ? tabs->findChild<SEDQ_CONFIG_WIDGET*>() : nullptr;
    }
    QWidget* pane_widget() const override { return pane(); }

    SEDQ_TX_MANAGER* tx() const { return m_frame->get_tx_manager(); }
    SDR_TX_TRIGGER* trigger() const { return SEDQ_REPOSITORY::trigger_nodes(tx(), -1); }

    // What a control shows, as one text.
    QString shown(const char* name) const
    {
        QWidget* widget = control(name);
        if (auto* box = qobject_cast<QComboBox*>(widget))
            return box->currentText();
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return edit->text();
        if (auto* spin = qobject_cast<QSpinBox*>(widget))
            return QString::number(spin->value());
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            return group->isChecked() ? "checked" : "unchecked";
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->isChecked() ? "checked" : "unchecked";
        return QString();
    }

    bool enabled(const char* name) const { return control(name)->isEnabled(); }

    void refresh(int hint = CONFIGURATION_REFRESH)
    {
        tx()->update_all_views(nullptr, hint);
        settle();
    }

    SEDQ_FRAME_WND* m_frame = nullptr;
};

// One control: how to prepare the document, the user's change, and what the document then says.
struct control_case
{
    const char* label;
    const char* control;
    std::function<void(config_widget_test*)> prepare;
    std::function<void(config_widget_test*)> act;
    std::function<QString(SEDQ_TX_MANAGER*)> document;
    QString expected;
};

QString text_of(bool (SEDQ_TX_MANAGER::*getter)(QString*, int), SEDQ_TX_MANAGER* tx)
{
    QString text;
    (tx->*getter)(&text, -1);
    return text;
}

QString flag_of(bool (SEDQ_TX_MANAGER::*getter)(int), SEDQ_TX_MANAGER* tx)
{
    return (tx->*getter)(-1) ? "on" : "off";
}

const auto nothing = [](config_widget_test*) {};
} // namespace

// Every control is wired to its slot of the model: the change lands in the document, and undo
// and redo bring the old and new value back into the control through the refresh.
TEST_F(config_widget_test, every_control_writes_the_document_and_reads_it_back)
{
    auto with_trigger_in = [](config_widget_test* t) { t->tx()->enable_trigger_in(true); };
    auto with_trigger_out = [](config_widget_test* t) { t->tx()->enable_trigger_out(true); };
    auto with_qualifier = [](config_widget_test* t) { t->tx()->set_storage_qualifier_type("Transitional"); };
    using T = config_widget_test;
    const std::vector<control_case> cases = {
        {"clock", "clock_edit", nothing, [](T* t) { t->type("clock_edit", "top|fast_clk"); },
         [](SEDQ_TX_MANAGER* tx)
         {
             QString c;
             tx->get_clock(&c, -1);
             return c;
         },
         "top|fast_clk"},
        {"sample depth", "sample_depth_combo", nothing, [](T* t) { t->choose("sample_depth_combo", "1 K"); },
         [](SEDQ_TX_MANAGER* tx)
         {
             QString d;
             tx->get_sample_depth(&d, -1);
             return d;
         },
         "1 K"},
        {"memory type", "ram_type_combo", nothing,
         [](T* t) { t->choose("ram_type_combo", SEDQ_RAM_TYPE_DISPLAY_STR_LARGE); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_ram_type, tx); },
         SEDQ_RAM_TYPE_DISPLAY_STR_LARGE},
        {"segmented", "segmented_check", nothing, [](T* t) { t->click("segmented_check"); },
         [](SEDQ_TX_MANAGER* tx) { return flag_of(&SEDQ_TX_MANAGER::is_segmented_acquisition_enabled, tx); },
         "on"},
        {"pipeline", "pipeline_combo", nothing, [](T* t) { t->choose("pipeline_combo", "3"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_pipeline_level, tx); }, "3"},
        {"storage qualifier type", "storage_qualifier_type_combo", nothing,
         [](T* t) { t->choose("storage_qualifier_type_combo", "Start/Stop"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_storage_qualifier_type, tx); },
         "Start/Stop"},
        {"input port", "storage_qualifier_input_edit",
         [](T* t) { t->tx()->set_storage_qualifier_type("Input port"); },
         [](T* t) { t->type("storage_qualifier_input_edit", "top|qualify"); },
         [](SEDQ_TX_MANAGER* tx)
         {
             QString p;
             tx->get_storage_qualifier_input_port(&p, nullptr, -1);
             return p;
         },
         "top|qualify"},
        {"discontinuities", "discontinuities_check", with_qualifier,
         [](T* t) { t->click("discontinuities_check"); },
         [](SEDQ_TX_MANAGER* tx)
         { return flag_of(&SEDQ_TX_MANAGER::is_record_data_discontinuities_enabled, tx); },
         "on"},
        {"disable qualifier", "disable_storage_qualifier_check", with_qualifier,
         [](T* t) { t->click("disable_storage_qualifier_check"); },
         [](SEDQ_TX_MANAGER* tx)
         { return flag_of(&SEDQ_TX_MANAGER::is_disable_storage_qualifier_enabled, tx); },
         "on"},
        {"trigger flow", "trigger_flow_combo", nothing,
         [](T* t) { t->choose("trigger_flow_combo", "State-based"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_flow_control, tx); },
         "State-based"},
        {"trigger position", "trigger_position_combo", nothing,
         [](T* t) { t->choose("trigger_position_combo", "Post trigger position"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_position, tx); },
         "Post trigger position"},
        {"trigger conditions", "trigger_conditions_combo", nothing,
         [](T* t) { t->choose("trigger_conditions_combo", "4"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_level, tx); }, "4"},
        {"trigger in", "trigger_in_group", nothing, [](T* t) { t->click("trigger_in_group"); },
         [](SEDQ_TX_MANAGER* tx) { return flag_of(&SEDQ_TX_MANAGER::is_trigger_in_enabled, tx); }, "on"},
        {"trigger in source", "trigger_in_node_radio", with_trigger_in,
         [](T* t) { t->click("trigger_in_node_radio"); },
         [](SEDQ_TX_MANAGER* tx) { return QString::number(tx->get_trigger_in_source(-1)); }, "1"},
        {"trigger in pin", "trigger_in_pin_edit", with_trigger_in,
         [](T* t) { t->type("trigger_in_pin_edit", "pin_7"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_in_pin_name, tx); }, "pin_7"},
        {"trigger in node", "trigger_in_node_edit",
         [](T* t)
         {
             t->tx()->enable_trigger_in(true);
             t->tx()->set_trigger_in_source(1);
         },
         [](T* t) { t->type("trigger_in_node_edit", "top|arm"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_in_node_name, tx); },
         "top|arm"},
        {"trigger in instance", "trigger_in_instance_combo",
         [](T* t)
         {
             t->tx()->enable_trigger_in(true);
             t->tx()->set_trigger_in_source(2);
         },
         [](T* t) { t->choose("trigger_in_instance_combo", "third"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_in_instance_name, tx); },
         "third"},
        {"trigger in pattern", "trigger_in_pattern_combo", with_trigger_in,
         [](T* t) { t->choose("trigger_in_pattern_combo", "Rising Edge"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_in_condition, tx); },
         "Rising Edge"},
        {"trigger out", "trigger_out_group", nothing, [](T* t) { t->click("trigger_out_group"); },
         [](SEDQ_TX_MANAGER* tx) { return flag_of(&SEDQ_TX_MANAGER::is_trigger_out_enabled, tx); }, "on"},
        {"trigger out instance source", "trigger_out_instance_check", with_trigger_out,
         [](T* t) { t->click("trigger_out_instance_check"); },
         [](SEDQ_TX_MANAGER* tx) { return flag_of(&SEDQ_TX_MANAGER::is_trigger_out_instance_selected, tx); },
         "on"},
        {"trigger out instance", "trigger_out_instance_combo",
         [](T* t)
         {
             t->tx()->enable_trigger_out(true);
             t->tx()->set_trigger_out_instance_selected(true);
         },
         [](T* t) { t->choose("trigger_out_instance_combo", "third"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_out_instance, tx); },
         "third"},
        {"HPS trigger in", "trigger_out_hps_trigger_in_check", with_trigger_out,
         [](T* t) { t->click("trigger_out_hps_trigger_in_check"); },
         [](SEDQ_TX_MANAGER* tx)
         { return flag_of(&SEDQ_TX_MANAGER::is_trigger_out_hps_trigger_in_selected, tx); },
         "on"},
        {"HPS event", "trigger_out_hps_event_check", with_trigger_out,
         [](T* t) { t->click("trigger_out_hps_event_check"); },
         [](SEDQ_TX_MANAGER* tx)
         { return flag_of(&SEDQ_TX_MANAGER::is_trigger_out_hps_event_index_selected, tx); },
         "on"},
        {"HPS event index", "trigger_out_hps_event_combo",
         [](T* t)
         {
             t->tx()->enable_trigger_out(true);
             t->tx()->set_trigger_out_hps_event_selected(true);
         },
         [](T* t) { t->choose("trigger_out_hps_event_combo", "17"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_out_hps_event_index, tx); },
         "17"},
        {"trigger out level", "trigger_out_level_combo", with_trigger_out,
         [](T* t) { t->choose("trigger_out_level_combo", "Active Low"); },
         [](SEDQ_TX_MANAGER* tx) { return text_of(&SEDQ_TX_MANAGER::get_trigger_out_condition, tx); },
         "Active Low"},
    };
    for (const control_case& row : cases)
    {
        SCOPED_TRACE(row.label);
        close_frame(m_frame);
        open();
        ASSERT_NE(pane(), nullptr);
        row.prepare(this);
        settle();
        ASSERT_TRUE(enabled(row.control));
        const QString before_text = shown(row.control);
        const QString before_document = row.document(tx());
        row.act(this);
        settle();
        EXPECT_EQ(row.document(tx()), row.expected);
        const QString after_text = shown(row.control);
        EXPECT_NE(after_text, before_text);
        tx()->on_edit_undo();
        settle();
        EXPECT_EQ(row.document(tx()), before_document);
        EXPECT_EQ(shown(row.control), before_text) << "undo shows the old value";
        tx()->on_edit_redo();
        settle();
        EXPECT_EQ(shown(row.control), after_text) << "redo shows the new value";
    }
}

// The wheel turned over the pane scrolls it, also where a combo or spin box slides under the
// pointer: a control takes the wheel only once the user gave it the keyboard focus.
TEST_F(config_widget_test, the_wheel_scrolls_the_pane_and_turns_only_a_focused_control)
{
    open();
    m_frame->resize(1200, 450);
    settle();
    const auto bar = [this]()
    { return pane()->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly)->verticalScrollBar(); };
    ASSERT_GT(bar()->maximum(), 0) << "the pane is shorter than its controls";
    QRadioButton* manual = nullptr;
    for (QRadioButton* button : control("data_allocation_spin_box")->parentWidget()->findChildren<QRadioButton*>())
        manual = manual == nullptr && button->text() == "Manual:" ? button : manual;
    ASSERT_NE(manual, nullptr);
    manual->click();
    settle();
    // Turned the way that changes each control's value (the spin box stands at its minimum).
    const std::pair<const char*, int> turns[] = {
        {"pipeline_combo", 1}, {"trigger_position_combo", 1}, {"sample_depth_combo", 1}, {"data_allocation_spin_box", -1}};
    for (const auto& [name, notches] : turns)
    {
        const int middle = bar()->maximum() / 2;
        bar()->setValue(middle);
        const QString before = shown(name);
        sedq_test::turn_wheel(control(name), notches);
        settle();
        EXPECT_EQ(shown(name), before) << name;
        EXPECT_NE(bar()->value(), middle) << name << ": the pane scrolls instead";

        control(name)->setFocus(Qt::TabFocusReason);
        settle();
        sedq_test::turn_wheel(control(name), notches);
        settle();
        EXPECT_NE(shown(name), before) << name << " has the focus";
    }
}

TEST_F(config_widget_test, the_trigger_out_pin_is_written_as_it_is_typed)
{
    open();
    tx()->enable_trigger_out(true);
    tx()->set_trigger_out_pin_selected(true);
    settle();
    ASSERT_TRUE(enabled("trigger_out_pin_edit"));
    control<QLineEdit>("trigger_out_pin_edit")->clear();
    QTest::keyClicks(control<QLineEdit>("trigger_out_pin_edit"), "out_9");
    QString pin;
    tx()->get_trigger_out_pin(&pin, -1);
    EXPECT_EQ(pin, "out_9");
    click("trigger_out_pin_check");
    EXPECT_FALSE(tx()->is_trigger_out_pin_selected(-1));
    settle();
    EXPECT_FALSE(enabled("trigger_out_pin_edit")) << "the pin name follows its check box";
}

TEST_F(config_widget_test, a_hint_without_the_configuration_refresh_bits_leaves_the_pane_alone)
{
    open();
    ASSERT_TRUE(trigger()->set_position(SDR_TPOS_POST));
    const QString before = shown("trigger_position_combo");
    refresh(sedq_hint(SEDQ_UPDATE_CONFIGURATION));
    refresh(sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW | SEDQ_UPDATE_HIERARCHY));
    EXPECT_EQ(shown("trigger_position_combo"), before);
    refresh();
    EXPECT_EQ(shown("trigger_position_combo"), "Post trigger position");
}

TEST_F(config_widget_test, sample_depth_zero_leaves_nothing_to_segment_or_place)
{
    open();
    choose("sample_depth_combo", "0");
    settle();
    EXPECT_FALSE(enabled("ram_type_combo"));
    EXPECT_FALSE(enabled("segmented_check"));
    EXPECT_EQ(shown("segmented_check"), "unchecked");
    EXPECT_FALSE(enabled("trigger_position_combo"));
    auto* segments = control<QComboBox>("segment_combo");
    ASSERT_EQ(segments->count(), 1);
    EXPECT_EQ(segments->itemText(0), "0 segments");
    EXPECT_FALSE(segments->isEnabled());
    int depth = -1;
    tx()->get_sample_depth(&depth, -1);
    EXPECT_EQ(depth, 0);

    choose("sample_depth_combo", "64");
    settle();
    EXPECT_TRUE(enabled("ram_type_combo"));
    EXPECT_TRUE(enabled("segmented_check"));
    EXPECT_TRUE(enabled("trigger_position_combo"));
    segments = control<QComboBox>("segment_combo"); // a depth of 0 and back rebuilds the pages
    EXPECT_EQ(segments->count(), 6);
    EXPECT_FALSE(segments->isEnabled()) << "not segmented yet";
}

TEST_F(config_widget_test, segmenting_chooses_a_split_and_takes_the_storage_qualifier_away)
{
    open();
    choose("sample_depth_combo", "128");
    click("segmented_check");
    settle();
    EXPECT_TRUE(enabled("segment_combo"));
    EXPECT_FALSE(enabled("storage_qualifier_type_combo"));
    choose("segment_combo", "4  32 sample segments");
    settle();
    QString segments;
    tx()->get_number_of_segments(&segments, -1);
    EXPECT_EQ(segments, "4  ");
    EXPECT_EQ(trigger()->get_segment_size(), 32);

    choose("sample_depth_combo", "1 K");
    settle();
    EXPECT_FALSE(enabled("storage_qualifier_type_combo")) << "whatever the depth says";
    EXPECT_EQ(trigger()->get_segment_size(), 32) << "a new depth keeps the segment size";
    EXPECT_EQ(shown("segment_combo"), "32  32 sample segments") << "and the list shows the stored split";
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(shown("sample_depth_combo"), "128") << "the depth change was one step";
    EXPECT_EQ(shown("segment_combo"), "4  32 sample segments");
}

TEST_F(config_widget_test, allocation_rows_choose_between_auto_and_a_count)
{
    open();
    auto* spin = control<QSpinBox>("data_allocation_spin_box");
    EXPECT_EQ(spin->minimum(), tx()->get_data_nodes_used(-1));
    EXPECT_EQ(spin->maximum(), 2000);
    EXPECT_FALSE(spin->isEnabled()) << "automatic at first";
    QRadioButton* manual = nullptr;
    QRadioButton* automatic = nullptr;
    for (QRadioButton* button : spin->parentWidget()->findChildren<QRadioButton*>())
    {
        if (button->text() == "Manual:" && manual == nullptr)
            manual = button;
        if (button->text() == "Auto" && automatic == nullptr)
            automatic = button;
    }
    ASSERT_NE(manual, nullptr);
    ASSERT_NE(automatic, nullptr);
    manual->click();
    EXPECT_TRUE(spin->isEnabled());
    EXPECT_EQ(tx()->get_data_nodes_allocated(-1), spin->value()) << "manual takes the count shown at once";
    spin->setValue(40);
    EXPECT_EQ(tx()->get_data_nodes_allocated(-1), 40);
    spin->setValue(1);
    EXPECT_EQ(spin->value(), spin->minimum()) << "never below the nodes in use";
    spin->setValue(5000);
    EXPECT_EQ(spin->value(), 2000);

    QSignalSpy spy(tx(), SIGNAL(updated(QObject*, int)));
    automatic->click();
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_EQ(tx()->get_data_nodes_allocated(-1), 0);
    ASSERT_GE(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(1).toInt(), sedq_hint(SEDQ_UPDATE_NODE_VIEW)) << "the node view hears first";

    tx()->trigger_manual_input_changed(12);
    refresh();
    auto* trigger_spin = control<QSpinBox>("trigger_allocation_spin_box");
    EXPECT_TRUE(trigger_spin->isEnabled());
    EXPECT_EQ(trigger_spin->value(), 12) << "the refresh reads the allocation back";
}

TEST_F(config_widget_test, the_storage_qualifier_row_is_idle_while_data_is_stored_continuously)
{
    open();
    EXPECT_EQ(shown("storage_qualifier_type_combo"), "Continuous");
    for (const char* name :
         {"storage_qualifier_input_edit", "storage_qualifier_input_button", "discontinuities_check",
          "disable_storage_qualifier_check", "storage_qualifier_allocation_spin_box"})
        EXPECT_FALSE(enabled(name)) << name;
    choose("storage_qualifier_type_combo", "Input port");
    settle();
    for (const char* name : {"storage_qualifier_input_edit", "storage_qualifier_input_button",
                             "discontinuities_check", "disable_storage_qualifier_check"})
        EXPECT_TRUE(enabled(name)) << name;
    choose("storage_qualifier_type_combo", "Conditional");
    settle();
    EXPECT_FALSE(enabled("storage_qualifier_input_edit"));
    EXPECT_TRUE(enabled("discontinuities_check"));
}

TEST_F(config_widget_test, a_state_based_qualifier_needs_the_state_based_flow)
{
    open();
    standin::msg::clear_internal_errors();
    choose("storage_qualifier_type_combo", "State-based");
    settle();
    ASSERT_FALSE(standin::msg::shown().empty());
    MSG_BASE* expected = MSG_SEDQ::O::STATE_BASED_STORAGE_QUALIFIER_NOT_AVAILABLE();
    EXPECT_EQ(standin::msg::shown().back().id, standin::msg::record_of(expected).id);
    delete expected;
    EXPECT_EQ(shown("storage_qualifier_type_combo"), "Continuous") << "the stored type shows again";

    choose("trigger_flow_combo", "State-based");
    settle();
    EXPECT_FALSE(tx()->is_sequential_mode(-1));
    EXPECT_TRUE(tab_titles(m_frame->get_layout_widget()->get_data_setup_tab_widget(-1))
                    .contains(SEDQ_STATE_FLOW_TAB_TITLE));
    choose("storage_qualifier_type_combo", "State-based");
    settle();
    QString type;
    tx()->get_storage_qualifier_type(&type, -1);
    EXPECT_EQ(type, "State-based");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(config_widget_test, trigger_in_sources_enable_the_field_beside_them)
{
    open({instance_spec("probe"), instance_spec("other")});
    click("trigger_in_group");
    settle();
    EXPECT_EQ(shown("trigger_in_group"), "checked");
    EXPECT_EQ(shown("trigger_in_pin_radio"), "checked");
    EXPECT_TRUE(enabled("trigger_in_pin_edit"));
    EXPECT_FALSE(enabled("trigger_in_node_edit"));
    EXPECT_FALSE(enabled("trigger_in_node_button"));
    EXPECT_FALSE(enabled("trigger_in_instance_combo"));
    EXPECT_TRUE(enabled("trigger_in_hps_radio")) << "no project: nothing says the device lacks an HPS";
    click("trigger_in_instance_radio");
    settle();
    EXPECT_EQ(tx()->get_trigger_in_source(-1), SDR_IOSRC_INSTANCE);
    EXPECT_FALSE(enabled("trigger_in_pin_edit"));
    EXPECT_TRUE(enabled("trigger_in_instance_combo"));
    EXPECT_EQ(shown("trigger_in_instance_combo"), "other") << "the only other instance is named at once";
    click("trigger_in_group");
    settle();
    EXPECT_FALSE(enabled("trigger_in_instance_combo"));
    EXPECT_FALSE(enabled("trigger_in_pattern_combo"));
}

TEST_F(config_widget_test, an_instance_alone_has_no_instance_to_connect)
{
    open({instance_spec("probe")});
    tx()->enable_trigger_in(true);
    tx()->enable_trigger_out(true);
    settle();
    for (const char* name : {"trigger_in_instance_radio", "trigger_in_instance_combo",
                             "trigger_out_instance_check", "trigger_out_instance_combo"})
        EXPECT_FALSE(enabled(name)) << name;
}

TEST_F(config_widget_test, a_trigger_out_instance_missing_from_the_list_still_shows_read_only)
{
    open({instance_spec("probe"), instance_spec("other")});
    tx()->enable_trigger_out(true);
    tx()->set_trigger_out_instance_selected(true);
    ASSERT_TRUE(trigger()->set_trigger_out_instance("removed_probe"));
    refresh();
    auto* box = control<QComboBox>("trigger_out_instance_combo");
    EXPECT_TRUE(box->isEditable());
    ASSERT_NE(box->lineEdit(), nullptr);
    EXPECT_TRUE(box->lineEdit()->isReadOnly());
    EXPECT_EQ(box->currentText(), "removed_probe");
    EXPECT_EQ(box->count(), 1);
    ASSERT_TRUE(trigger()->set_trigger_out_instance("other"));
    refresh();
    EXPECT_FALSE(box->isEditable());
    EXPECT_EQ(box->currentText(), "other");
}

TEST_F(config_widget_test, the_lock_mode_disables_every_lockable_control)
{
    open();
    tx()->set_storage_qualifier_type("Transitional");
    tx()->enable_trigger_in(true);
    tx()->enable_trigger_out(true);
    settle();
    const char* lockable[] = {"clock_edit",
                              "clock_button",
                              "sample_depth_combo",
                              "ram_type_combo",
                              "segmented_check",
                              "pipeline_combo",
                              "storage_qualifier_type_combo",
                              "discontinuities_check",
                              "trigger_flow_combo",
                              "trigger_conditions_combo",
                              "trigger_in_pin_radio",
                              "trigger_in_pin_edit",
                              "trigger_out_pin_check",
                              "data_allocation_spin_box"};
    const char* unlockable[] = {"disable_storage_qualifier_check", "trigger_position_combo",
                                "trigger_in_pattern_combo", "trigger_out_level_combo"};
    for (SEDQ_LOCK_MODE mode : {SEDQ_LOCK_MODE_ALLOW_TRIGGER, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL})
    {
        tx()->set_lock_mode(mode, true);
        refresh();
        for (const char* name : {"clock_edit", "sample_depth_combo", "storage_qualifier_type_combo",
                                 "trigger_flow_combo", "trigger_in_pin_radio", "trigger_out_pin_check"})
            EXPECT_FALSE(enabled(name)) << name << " in mode " << mode;
        for (const char* name : lockable)
            EXPECT_FALSE(enabled(name)) << name << " in mode " << mode;
        for (const char* name : unlockable)
            EXPECT_TRUE(enabled(name)) << name << " in mode " << mode;
        EXPECT_FALSE(enabled("trigger_in_group")) << "the group itself is locked";
        EXPECT_TRUE(control<QGroupBox>("trigger_in_group")->isChecked());
    }
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, true);
    refresh();
    for (const char* name : lockable)
        EXPECT_TRUE(enabled(name) || std::string(name) == "data_allocation_spin_box") << name;
    EXPECT_TRUE(enabled("trigger_in_group"));
    EXPECT_TRUE(enabled("trigger_in_pin_edit")) << "children come back with their group";
}

TEST_F(config_widget_test, the_power_up_trigger_is_shown_tinted_and_locked_to_its_run_time_settings)
{
    instance_spec probe("probe");
    probe.powerup = true;
    open({probe, instance_spec("other")});
    ASSERT_TRUE(tx()->is_powerup_trigger(1));
    tx()->set_storage_qualifier_type("Transitional");
    tx()->set_instance(1);
    refresh();
    ASSERT_NE(pane(), nullptr);
    EXPECT_EQ(pane()->get_instance(), 0) << "the power-up trigger shares its instance's page";
    EXPECT_FALSE(enabled("sample_depth_combo"));
    EXPECT_FALSE(enabled("clock_edit"));
    EXPECT_TRUE(enabled("trigger_position_combo"));
    auto* position = control<QComboBox>("trigger_position_combo");
    EXPECT_EQ(position->palette().color(QPalette::Active, QPalette::Base), SEDQ_POWERUP_BRUSH.color());
    EXPECT_EQ(position->view()->styleSheet(), "background-color: rgb(153, 204, 255);");

    choose("trigger_position_combo", "Center trigger position");
    settle();
    QString text;
    tx()->get_trigger_position(&text, 1);
    EXPECT_EQ(text, "Center trigger position");
    EXPECT_EQ(shown("trigger_position_combo"), "Center trigger position");

    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    refresh();
    EXPECT_FALSE(enabled("trigger_position_combo")) << "a locked power-up trigger takes no change at all";
    tx()->set_instance(0);
    refresh();
    EXPECT_TRUE(enabled("trigger_position_combo"));
    EXPECT_FALSE(enabled("sample_depth_combo")) << "the lock holds on the instance itself";
    position = control<QComboBox>("trigger_position_combo");
    EXPECT_EQ(position->palette().color(QPalette::Active, QPalette::Base),
              QApplication::palette().color(QPalette::Active, QPalette::Base));
    EXPECT_TRUE(position->view()->styleSheet().isEmpty());
}

TEST_F(config_widget_test, a_device_without_hps_disables_the_hps_trigger_options)
{
    std::string error;
    ASSERT_TRUE(standin::project::load_json(R"({"project": {"top_entity": "top"},
        "assignments": [{"var": 623, "value": "SIMPART-1"}],
        "parts": [{"name": "SIMPART-1", "resources": {"32": 0}}]})",
                                            m_dir.path().toStdString(), &error))
        << error;
    open();
    tx()->enable_trigger_in(true);
    tx()->enable_trigger_out(true);
    tx()->set_trigger_out_hps_event_selected(true);
    settle();
    EXPECT_TRUE(m_frame->get_layout_widget()->get_view()->hide_hps_trigger());
    for (const char* name : {"trigger_in_hps_radio", "trigger_out_hps_trigger_in_check",
                             "trigger_out_hps_event_check", "trigger_out_hps_event_combo"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_TRUE(enabled("trigger_in_node_radio"));
    EXPECT_TRUE(enabled("trigger_out_pin_check"));
}

TEST_F(config_widget_test, a_pane_out_of_sight_shows_the_document_when_it_comes_back)
{
    open({instance_spec("probe"), instance_spec("other")});
    QAction* toggle = action(m_frame, AFCQ_SEDQ_CONFIG_PANE_ACTION);
    toggle->setChecked(false);
    settle();
    ASSERT_FALSE(pane()->isVisible());
    ASSERT_TRUE(trigger()->set_position(SDR_TPOS_CENTER));
    refresh();
    toggle->setChecked(true);
    settle();
    EXPECT_EQ(shown("trigger_position_combo"), "Center trigger position")
        << "no refresh came while it showed";

    ASSERT_TRUE(SEDQ_REPOSITORY::trigger_nodes(tx(), 1)->set_position(SDR_TPOS_POST));
    m_frame->get_layout_widget()->get_instance_tab_widget()->setCurrentIndex(1);
    settle();
    ASSERT_EQ(pane()->get_instance(), 1);
    EXPECT_EQ(shown("trigger_position_combo"), "Post trigger position");
}

TEST_F(config_widget_test, every_instance_page_shows_its_controls_uncut)
{
    open({instance_spec("probe"), instance_spec("other")});
    for (int tab : {0, 1})
    {
        m_frame->get_layout_widget()->get_instance_tab_widget()->setCurrentIndex(tab);
        settle();
        ASSERT_EQ(pane()->get_instance(), tab);
        auto* scroll = pane()->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        ASSERT_NE(scroll->widget(), nullptr) << "built once shown";
        EXPECT_GE(scroll->viewport()->width(), scroll->widget()->minimumSizeHint().width()) << tab;
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << tab;
    }
}

// Instance names of kilobytes (a generated design's hierarchy paths) leave the pane as wide as
// short names do; the trigger in and out lists still name every other instance in full.
TEST_F(config_widget_test, long_instance_names_are_listed_whole_in_a_pane_of_the_usual_width)
{
    auto names = [](bool long_names)
    {
        std::vector<instance_spec> specs;
        for (const char* leaf : {"probe", "other", "third"})
        {
            std::string name = leaf;
            while (long_names && name.size() < 2000)
                name = "gen_block_" + std::to_string(name.size()) + "_datapath|" + name;
            specs.emplace_back(name);
        }
        return specs;
    };
    int short_width = 0;
    for (bool long_names : {false, true})
    {
        const std::vector<instance_spec> specs = names(long_names);
        m_frame = open_frame(write_document(specs, long_names ? "long.vtl" : "short.vtl"));
        auto* scroll = pane()->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        const int width = scroll->widget()->minimumSizeHint().width();
        if (!long_names)
            short_width = width;
        EXPECT_EQ(width, short_width) << "long names";
        EXPECT_GE(scroll->viewport()->width(), width) << long_names;
        for (const char* list : {"trigger_in_instance_combo", "trigger_out_instance_combo"})
        {
            auto* box = control<QComboBox>(list);
            ASSERT_EQ(box->count(), 2) << list;
            EXPECT_EQ(box->itemText(0).toStdString(), specs[1].name) << list;
            EXPECT_EQ(box->itemText(1).toStdString(), specs[2].name) << list;
        }
    }
}

// Time units and time bars by value: the two dialogs on their own (fields, validators, range
// checks, the unit walk, the sample offset of a typed time, numbers read with "." whatever the
// locale) and the view's five commands run through the host's modal responder.
#include "sedq_modal_step.h"
#include "sedq_view_test_support.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/standin/qui_control.h"
#include "sedq/view/sedq_insert_time_bar_dlg.h"
#include "sedq/view/sedq_time_units_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <climits>

namespace
{
constexpr int TRIGGER = 512;
constexpr int DEPTH = 1023;
enum UNIT_INDEX
{
    S,
    MS,
    US,
    NS,
    PS,
    MHZ
};

QValidator::State validate(QLineEdit* edit, QString text)
{
    int position = 0;
    return edit->validator()->validate(text, position);
}

bool ok_enabled(QDialogButtonBox* box)
{
    return box->button(QDialogButtonBox::Ok)->isEnabled();
}

std::vector<int> bars_of(SEDQ_VIEW* view)
{
    std::vector<int> bars;
    for (int i = 0; i < view->get_timebar_count(); ++i)
        bars.push_back(view->get_timebar(i));
    return bars;
}

class time_units_test : public view_test
{
protected:
    // A document with acquired data: 1023 samples, the trigger at 512.
    void open_data()
    {
        open(write_document(
            [](SDR_DATA_SESSION& s)
            {
                add_leaves(trigger_of(s), {"top|a"});
                standin::sdr::log_spec log;
                log.depth = DEPTH;
                log.trigger_position = TRIGGER;
                log.channels = {"0101"};
                standin::sdr::make_log(trigger_of(s), log);
            }));
    }

    // The view's Time Units command with `text` typed and `unit` chosen.
    void set_time_units(const QString& text, int unit)
    {
        on_next_modal<SEDQ_TIME_UNITS_DLG>(
            [=](SEDQ_TIME_UNITS_DLG* dialog)
            {
                ASSERT_NE(dialog, nullptr);
                dialog->get_widgets().time_edit->setText(text);
                dialog->get_widgets().unit_combo->setCurrentIndex(unit);
            });
        view()->on_time_units();
    }

    // The view's Insert Time Bar command in time mode, with `text` typed and the master box.
    void insert_by_time(const QString& text, bool master)
    {
        on_next_modal<SEDQ_TIME_UNITS_DLG>(
            [=](SEDQ_TIME_UNITS_DLG* dialog)
            {
                ASSERT_NE(dialog, nullptr);
                dialog->get_widgets().time_edit->setText(text);
                dialog->get_widgets().master_check_box->setChecked(master);
            });
        view()->on_insert_time_bar();
    }

    void insert_by_sample(const QString& text)
    {
        on_next_modal<SEDQ_INSERT_TIME_BAR_DLG>(
            [=](SEDQ_INSERT_TIME_BAR_DLG* dialog)
            {
                ASSERT_NE(dialog, nullptr);
                dialog->get_widgets().sample_edit->setText(text);
            });
        view()->on_insert_time_bar();
    }
};
} // namespace

// ---- the dialogs on their own ------------------------------------------------------------------------

TEST(time_units_dialog, opens_with_an_empty_field_and_ok_disabled_and_refuses_a_minus_sign)
{
    SEDQ_TIME_UNITS_DLG dialog(nullptr);
    dialog.set_time_units_number(40.0);
    dialog.set_time_units_string("us");
    dialog.on_init_dlg();
    EXPECT_EQ(dialog.windowTitle(), "Time Units");
    EXPECT_TRUE(dialog.get_widgets().time_edit->text().isEmpty()) << "never pre-filled";
    EXPECT_FALSE(ok_enabled(dialog.get_widgets().button_box));
    EXPECT_EQ(dialog.get_widgets().unit_combo->currentText(), "us");
    EXPECT_TRUE(dialog.get_widgets().sample_label->isHidden());
    EXPECT_TRUE(dialog.get_widgets().sample_edit->isHidden());
    EXPECT_TRUE(dialog.get_widgets().master_check_box->isHidden());
    dialog.get_widgets().unit_combo->setCurrentIndex(MS);
    EXPECT_FALSE(ok_enabled(dialog.get_widgets().button_box)) << "a unit alone cannot be confirmed";
    EXPECT_EQ(validate(dialog.get_widgets().time_edit, "-"), QValidator::Invalid);
    EXPECT_EQ(validate(dialog.get_widgets().time_edit, "-5"), QValidator::Invalid);
    EXPECT_EQ(dialog.get_widgets().time_edit->maxLength(), 10);
    dialog.get_widgets().time_edit->setText("0");
    EXPECT_TRUE(ok_enabled(dialog.get_widgets().button_box));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "a period of 0 is accepted";
    double value = -1;
    QString unit;
    dialog.get_time_units_number(&value);
    dialog.get_time_units_string(&unit);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(unit, "ms");
}

TEST(time_units_dialog, a_typed_time_becomes_a_sample_offset_rounded_up)
{
    const struct
    {
        const char* name;
        double period;
        const char* unit;
        const char* text;
        int expected;
    } rows[] = {
        {"25 ns at 10 ns", 10.0, "ns", "25", 3},
        {"-25 ns at 10 ns", 10.0, "ns", "-25", -2},
        {"exactly on a sample", 10.0, "ns", "30", 3},
        {"on a sample within rounding", 0.1, "us", "1.1", 11},
        {"an empty field is the trigger", 10.0, "ns", "", 0},
        {"a period of 0 gives no offset", 0.0, "ns", "5", 0},
        {"beyond int", 1e-3, "ns", "1e10", INT_MAX},
        {"below int", 1e-3, "ns", "-1e10", INT_MIN},
    };
    for (const auto& row : rows)
    {
        SEDQ_TIME_UNITS_DLG dialog(nullptr, -1000, 1000, row.period, false);
        dialog.set_time_units_string(row.unit);
        dialog.on_init_dlg();
        dialog.get_widgets().time_edit->setText(row.text);
        EXPECT_EQ(dialog.get_transition_number(), row.expected) << row.name;
    }
}

TEST(time_units_dialog, changing_the_unit_re_expresses_the_scale_and_range_but_not_the_value)
{
    SEDQ_TIME_UNITS_DLG dialog(nullptr, -TRIGGER, DEPTH - TRIGGER, 10.0, true);
    dialog.set_time_units_string("ns");
    dialog.on_init_dlg();
    EXPECT_EQ(dialog.windowTitle(), "Insert Time Bar");
    EXPECT_FALSE(dialog.get_widgets().master_check_box->isEnabled()) << "a checked master box is fixed";
    EXPECT_DOUBLE_EQ(dialog.get_lower_bound(), -5120.0);
    dialog.get_widgets().time_edit->setText("2");
    dialog.get_widgets().unit_combo->setCurrentIndex(US);
    EXPECT_DOUBLE_EQ(dialog.get_scale(), 0.01);
    EXPECT_DOUBLE_EQ(dialog.get_lower_bound(), -5.12);
    EXPECT_DOUBLE_EQ(dialog.get_upper_bound(), 5.11);
    EXPECT_EQ(dialog.get_transition_number(), 200) << "2 us at 10 ns a sample";
    dialog.get_widgets().unit_combo->setCurrentIndex(MHZ);
    EXPECT_DOUBLE_EQ(dialog.get_scale(), 100.0) << "a period of 0.01 us is 100 MHz";
    EXPECT_DOUBLE_EQ(dialog.get_upper_bound(), 5.11) << "times against MHz are microseconds";
    EXPECT_EQ(dialog.get_transition_number(), 200);
    dialog.get_widgets().unit_combo->setCurrentIndex(PS);
    EXPECT_DOUBLE_EQ(dialog.get_scale(), 10000.0);
    dialog.get_widgets().unit_combo->setCurrentIndex(NS);
    EXPECT_DOUBLE_EQ(dialog.get_scale(), 10.0);
    EXPECT_DOUBLE_EQ(dialog.get_lower_bound(), -5120.0);
    EXPECT_DOUBLE_EQ(dialog.get_upper_bound(), 5110.0);
    double value = 0;
    dialog.get_time_units_number(&value);
    EXPECT_EQ(value, 2.0);
}

TEST(time_units_dialog, a_scale_of_zero_stays_zero_through_the_unit_walk)
{
    SEDQ_TIME_UNITS_DLG dialog(nullptr, -5, 5, 0.0, false);
    dialog.set_time_units_string("us");
    dialog.on_init_dlg();
    for (int unit : {MHZ, S, PS, US})
    {
        dialog.get_widgets().unit_combo->setCurrentIndex(unit);
        EXPECT_EQ(dialog.get_scale(), 0.0) << unit;
        EXPECT_EQ(dialog.get_lower_bound(), 0.0) << unit;
        EXPECT_EQ(dialog.get_upper_bound(), 0.0) << unit;
    }
}

TEST(time_units_dialog, numbers_use_a_point_whatever_the_locale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bool ok = false;
    EXPECT_EQ(sedq_read_time_number("2.5", &ok), 2.5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sedq_read_time_number("2,5", &ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(sedq_read_time_number("inf", &ok), 0.0);
    EXPECT_FALSE(ok);
    SEDQ_TIME_UNITS_DLG dialog(nullptr);
    EXPECT_EQ(validate(dialog.get_widgets().time_edit, "2.5"), QValidator::Acceptable);
    EXPECT_NE(validate(dialog.get_widgets().time_edit, "2,5"), QValidator::Acceptable);
    dialog.get_widgets().time_edit->setText("2.5");
    double value = 0;
    dialog.get_time_units_number(&value);
    EXPECT_EQ(value, 2.5);
    QLocale::setDefault(saved);
}

TEST(time_units_dialog, a_value_out_of_range_names_the_range_and_keeps_the_dialog_open)
{
    SEDQ_TIME_UNITS_DLG dialog(nullptr, -TRIGGER, DEPTH - TRIGGER, 2.5, false);
    dialog.set_time_units_string("ns");
    dialog.on_init_dlg();
    dialog.get_widgets().time_edit->setText("1278");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text, "Enter a value between -1280 and 1277.5");
    dialog.get_widgets().time_edit->setText("1277.5");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "the bounds are inclusive";
}

TEST(insert_time_bar_dialog, reads_the_sample_number_as_a_number_cut_to_a_sample)
{
    SEDQ_INSERT_TIME_BAR_DLG dialog(nullptr, -TRIGGER, DEPTH - TRIGGER, false);
    EXPECT_EQ(dialog.windowTitle(), "Insert Time Bar");
    EXPECT_EQ(dialog.get_widgets().sample_edit->text(), "0");
    EXPECT_FALSE(dialog.get_widgets().time_edit->isEnabled());
    EXPECT_FALSE(dialog.get_widgets().unit_combo->isEnabled());
    EXPECT_FALSE(dialog.get_widgets().master_check_box->isEnabled());
    const struct
    {
        const char* text;
        int expected;
    } rows[] = {{"3.7", 3}, {"-3.7", -3}, {"", 0}, {"x", 0}, {"511", 511}, {"-512", -512}};
    for (const auto& row : rows)
    {
        dialog.get_widgets().sample_edit->setText(row.text);
        EXPECT_EQ(dialog.get_sample_offset(), row.expected) << row.text;
    }
}

// ---- the view's commands -----------------------------------------------------------------------------

TEST_F(time_units_test, time_units_switch_the_axis_to_times_and_sample_numbers_back)
{
    open_data();
    EXPECT_FALSE(view()->is_show_time());
    bool checked = false;
    on_next_modal<SEDQ_TIME_UNITS_DLG>(
        [&](SEDQ_TIME_UNITS_DLG* dialog)
        {
            ASSERT_NE(dialog, nullptr);
            checked = true;
            EXPECT_TRUE(dialog->get_widgets().time_edit->text().isEmpty());
            EXPECT_FALSE(ok_enabled(dialog->get_widgets().button_box));
            EXPECT_EQ(dialog->get_widgets().unit_combo->currentText(), "ns");
            dialog->get_widgets().time_edit->setText("2.5");
            dialog->get_widgets().unit_combo->setCurrentIndex(US);
        });
    view()->on_time_units();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(view()->is_show_time());
    EXPECT_EQ(view()->get_time_unit_value(), 2.5);
    EXPECT_EQ(view()->get_time_unit_text(), "us");
    view()->on_sample_numbers();
    EXPECT_FALSE(view()->is_show_time());
    EXPECT_EQ(view()->get_time_unit_text(), "us") << "the unit is kept for the next switch";
    EXPECT_FALSE(tx()->get_tx_session()->is_modified()) << "nothing of it goes into the document";
}

TEST_F(time_units_test, cancelling_time_units_changes_nothing)
{
    open_data();
    standin::qui::push_dialog_answer("Time Units", QDialog::Rejected);
    view()->on_time_units();
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
    EXPECT_FALSE(view()->is_show_time());
    EXPECT_EQ(view()->get_time_unit_value(), 100.0);
    EXPECT_EQ(view()->get_time_unit_text(), "ns");
}

TEST_F(time_units_test, sample_numbers_and_time_units_are_checked_one_at_a_time_while_there_is_data)
{
    open_empty();
    QAction* samples = tx()->get_action(AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION, QVariant());
    QAction* times = tx()->get_action(AFCQ_SEDQ_TIME_UNITS_ACTION, QVariant());
    view()->on_update_waveform_menu();
    EXPECT_FALSE(samples->isEnabled());
    EXPECT_FALSE(samples->isChecked());
    EXPECT_FALSE(times->isEnabled());
    EXPECT_FALSE(times->isChecked());
    open_data();
    samples = tx()->get_action(AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION, QVariant());
    times = tx()->get_action(AFCQ_SEDQ_TIME_UNITS_ACTION, QVariant());
    view()->on_update_waveform_menu();
    EXPECT_TRUE(samples->isCheckable());
    EXPECT_TRUE(samples->isEnabled());
    EXPECT_TRUE(samples->isChecked());
    EXPECT_FALSE(times->isChecked());
    set_time_units("10", NS);
    view()->on_update_waveform_menu();
    EXPECT_FALSE(samples->isChecked());
    EXPECT_TRUE(times->isChecked());
    EXPECT_TRUE(times->isEnabled());
}

TEST_F(time_units_test, a_sample_number_out_of_range_names_the_samples_around_the_trigger)
{
    open_data();
    bool master_shown = false;
    on_next_modal<SEDQ_INSERT_TIME_BAR_DLG>(
        [&](SEDQ_INSERT_TIME_BAR_DLG* dialog)
        {
            ASSERT_NE(dialog, nullptr);
            master_shown = dialog->get_widgets().master_check_box->isChecked() &&
                           !dialog->get_widgets().master_check_box->isEnabled();
            dialog->get_widgets().sample_edit->setText("600");
        });
    view()->on_insert_time_bar();
    EXPECT_TRUE(master_shown) << "the first bar is the master";
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text, "Enter a value between -512 and 511");
    EXPECT_EQ(view()->get_timebar_count(), 0) << "refused, then cancelled";
}

TEST_F(time_units_test, sample_numbers_place_bars_relative_to_the_trigger)
{
    open_data();
    insert_by_sample("");
    EXPECT_EQ(bars_of(view()), std::vector<int>{TRIGGER}) << "an empty field is the trigger";
    bool ordinary = false;
    on_next_modal<SEDQ_INSERT_TIME_BAR_DLG>(
        [&](SEDQ_INSERT_TIME_BAR_DLG* dialog)
        {
            ordinary = dialog != nullptr && !dialog->get_widgets().master_check_box->isChecked() &&
                       !dialog->get_widgets().master_check_box->isEnabled();
            dialog->get_widgets().sample_edit->setText("-3.7");
        });
    view()->on_insert_time_bar();
    EXPECT_TRUE(ordinary) << "with bars the new one is never the master";
    EXPECT_EQ(bars_of(view()), (std::vector<int>{TRIGGER, TRIGGER - 3}));
    insert_by_sample("511");
    EXPECT_EQ(view()->get_timebar(2), DEPTH) << "the end of the data";
    const SDR_TX_INSTANCE* instance = tx()->get_tx_instance();
    int stored[3] = {};
    EXPECT_EQ(instance->get_position_data("timebars", stored, 3), 3) << "the bars are saved";
    EXPECT_EQ(stored[1], TRIGGER - 3);
}

TEST_F(time_units_test, times_place_bars_and_may_make_them_the_master)
{
    open_data();
    set_time_units("10", NS);
    const struct
    {
        const char* name;
        std::vector<int> before;
        const char* text;
        bool master;
        std::vector<int> after;
    } rows[] = {
        {"the first bar is the master", {}, "25", false, {TRIGGER + 3}},
        {"an ordinary bar goes last", {100}, "-25", false, {100, TRIGGER - 2}},
        {"an ordinary bar on a bar adds nothing", {100, TRIGGER}, "0", false, {100, TRIGGER}},
        {"a master on a bar swaps the two", {100, 200, TRIGGER}, "0", true, {TRIGGER, 200, 100}},
        {"a master on the master changes nothing", {TRIGGER, 200}, "0", true, {TRIGGER, 200}},
        {"a master where no bar stands keeps the former one",
         {100, 200},
         "10",
         true,
         {TRIGGER + 1, 200, 100}},
    };
    for (const auto& row : rows)
    {
        view()->reset_timebars();
        for (int bar : row.before)
            view()->insert_timebar(bar);
        insert_by_time(row.text, row.master);
        EXPECT_EQ(bars_of(view()), row.after) << row.name;
    }
}

TEST_F(time_units_test, with_a_hundred_bars_a_new_master_drops_the_former_one)
{
    open_data();
    set_time_units("1", NS);
    for (int bar = 0; bar < SEDQ_VIEW::MAX_TIMEBARS; ++bar)
        view()->insert_timebar(bar);
    EXPECT_FALSE(view()->insert_timebar(900)) << "the list is full";
    insert_by_time("300", true);
    ASSERT_EQ(view()->get_timebar_count(), SEDQ_VIEW::MAX_TIMEBARS);
    EXPECT_EQ(view()->get_timebar(0), TRIGGER + 300);
    EXPECT_EQ(view()->find_timebar(0), -1) << "the former master is gone";
    EXPECT_EQ(view()->get_timebar(1), 1);
}

// A period of 0 has no times to type: the bar is asked for by sample number.
TEST_F(time_units_test, a_period_of_zero_inserts_by_sample_number)
{
    open_data();
    set_time_units("0", NS);
    ASSERT_TRUE(view()->is_show_time());
    insert_by_sample("7");
    EXPECT_EQ(bars_of(view()), std::vector<int>{TRIGGER + 7});
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty());
}

// The view labels times of a frequency in microseconds, and so does the dialog.
TEST_F(time_units_test, a_frequency_is_asked_for_in_microseconds)
{
    open_data();
    set_time_units("50", MHZ);
    bool asked = false;
    on_next_modal<SEDQ_TIME_UNITS_DLG>(
        [&](SEDQ_TIME_UNITS_DLG* dialog)
        {
            ASSERT_NE(dialog, nullptr);
            asked = dialog->get_widgets().unit_combo->currentText() == "us";
            dialog->get_widgets().time_edit->setText("2");
        });
    view()->on_insert_time_bar();
    EXPECT_TRUE(asked);
    EXPECT_EQ(bars_of(view()), std::vector<int>{TRIGGER + 100}) << "2 us at 50 MHz";
}

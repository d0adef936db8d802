// The export dialog: its texts and defaults, the file names and clock intervals it derives,
// the period it refuses while staying open, the files the exporter writes compared with the
// log's bits, failures it reports, and pictures of the view read back at their size with the
// view given back as it was.
#include "sedq_view_test_support.h"

#include "host/standin/afcq_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/sli_control.h"
#include "sedq/view/sedq_export_dlg.h"
#include "sedq/view/sedq_image_export_option.h"
#include "support/sli_test_support.h"
#include "support/special_files.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace
{
class export_dlg_test : public view_test
{
protected:
    // A document of `wires` leaves over a log of `depth` samples, shown in data mode.
    void open_log(int wires, int depth, QSize size = QSize(1200, 800))
    {
        std::string valid;
        m_wires = sli_test::varied_wires(wires, depth, 7, &valid);
        open(write_document(
                 [&](SDR_DATA_SESSION& s)
                 {
                     SDR_DATA_TRIGGER* trigger = trigger_of(s);
                     standin::sdr::log_spec log;
                     log.depth = depth;
                     for (const auto& wire : m_wires)
                     {
                         add_leaves(trigger, {wire.name});
                         log.channels.push_back(wire.bits);
                         log.connected.push_back(wire.connected);
                     }
                     log.valid = valid;
                     log.trigger_position = depth / 4;
                     standin::sdr::make_log(trigger, log);
                 }),
             size);
        show_data_tab(true);
    }

    const SDR_DATA_LOG* log()
    {
        const SDR_DATA_LOG* current = nullptr;
        tx()->is_data_available(false, -1, &current);
        return current;
    }

    std::unique_ptr<SEDQ_EXPORT_DLG> dialog()
    {
        return std::make_unique<SEDQ_EXPORT_DLG>(log(), frame(), frame(), tx());
    }

    // Accepts the shown dialog with the typed file, format and period.
    void export_as(SEDQ_EXPORT_DLG* dlg, const QString& file, int format, const QString& period = "1",
                   int unit = 0)
    {
        dlg->show();
        dlg->get_file_widget()->get_line_edit()->setText(file);
        dlg->get_format_combo()->setCurrentIndex(format);
        dlg->get_period_edit()->setText(period);
        dlg->get_unit_combo()->setCurrentIndex(unit);
        dlg->accept();
    }

    static std::string last_message()
    {
        const auto& shown = standin::msg::shown();
        return shown.empty() ? std::string() : shown.back().text;
    }

    std::vector<sli_test::wire> m_wires;
};

QStringList items_of(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
} // namespace

TEST_F(export_dlg_test, texts_and_defaults)
{
    open_log(3, 16);
    auto dlg = dialog();
    EXPECT_EQ(dlg->windowTitle(), "Export");
    EXPECT_EQ(dlg->get_description_label()->text(), "Specify settings for exporting Vantrel waveform data");
    EXPECT_EQ(items_of(dlg->get_format_combo()),
              QStringList({"Comma Separated Values - (*.csv)", "Table File - (*.tbl)", "Value Change Dump - (*.vcd)",
                           "BMP Image File - (*.bmp)", "JPEG Image File - (*.jpg)"}));
    EXPECT_EQ(items_of(dlg->get_unit_combo()), QStringList({"s", "ms", "us", "ns", "ps", "MHz"}));
    EXPECT_EQ(dlg->get_file_widget()->get_line_edit()->text(), m_dir.filePath("view.csv"))
        << "beside the analyzer file, with the format's extension";
    EXPECT_EQ(dlg->get_file_widget()->get_filters(),
              QStringList({"Export Types(*.csv;*.tbl;*.vcd;*.bmp;*.jpg)", "All Files(*.*)"}));
    EXPECT_EQ(dlg->get_period_edit()->text(), "1");
    EXPECT_EQ(dlg->get_unit_combo()->currentIndex(), 0);
    EXPECT_TRUE(dlg->get_clock_edit()->isReadOnly());
    EXPECT_EQ(dlg->get_clock_edit()->text().toStdString(), log()->get_signal_set()->get_clock_name());
    const QDialogButtonBox* buttons = dlg->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    for (int format : {0, 1, 2, 3, 4})
    {
        dlg->get_format_combo()->setCurrentIndex(format);
        EXPECT_EQ(dlg->get_period_edit()->isEnabled(), format < 3) << format;
        EXPECT_EQ(dlg->get_unit_combo()->isEnabled(), format < 3) << format;
    }
}

TEST(sedq_export_dlg_names, default_and_export_file_names)
{
    const struct
    {
        const char* session;
        const char* proposed;
    } defaults[] = {{"/work/designs/counter.vtl", "/work/designs/counter.csv"},
                    {"/data/v1.2/design", "/data/v1.2/design.csv"},
                    {"C:\\designs\\top.vtl", "C:\\designs\\top.csv"},
                    {"relative.vtl", "relative.csv"},
                    {"", ""}};
    for (const auto& row : defaults)
        EXPECT_EQ(SEDQ_EXPORT_DLG::proposed_file_name(row.session, ".csv"), row.proposed) << row.session;
    const struct
    {
        const char* typed;
        const char* extension;
        const char* file;
    } names[] = {{"trace.csv.bak", ".csv", "trace.csv"},
                 {"trace", ".csv", "trace.csv"},
                 {"trace.csv", ".csv", "trace.csv"},
                 {"trace.vcd", ".csv", "trace.vcd.csv"},
                 {"trace.CSV", ".csv", "trace.CSV.csv"},
                 {"/data/x.csv_dir/out", ".csv", "/data/x.csv_dir/out.csv"},
                 {"/data/x.csv_dir/out.csv", ".csv", "/data/x.csv_dir/out.csv"},
                 {"pic.bmp", ".bmp", "pic.bmp"}};
    for (const auto& row : names)
        EXPECT_EQ(SEDQ_EXPORT_DLG::export_file_name(row.typed, row.extension), row.file) << row.typed;
}

TEST(sedq_export_dlg_names, clock_intervals_and_formats)
{
    const struct
    {
        const char* name;
        double period;
        int unit_index;
        long long interval;
        BIG_TIME::TIME_UNIT unit;
    } rows[] = {{"1 s", 1, 0, 1000000000000LL, BIG_TIME::S},  {"2 ms", 2, 1, 2000000000LL, BIG_TIME::MS},
                {"3 us", 3, 2, 3000000LL, BIG_TIME::US},      {"10 ns", 10, 3, 10000, BIG_TIME::NS},
                {"7 ps", 7, 4, 7, BIG_TIME::PS},              {"100 MHz", 100, 5, 10000, BIG_TIME::MHZ},
                {"3 MHz truncates", 3, 5, 333333, BIG_TIME::MHZ}, {"unknown unit is ps", 12, 9, 12, BIG_TIME::PS},
                {"10000 s", 10000, 0, 10000000000000000LL, BIG_TIME::S}};
    for (const auto& row : rows)
    {
        BIG_TIME::TIME_UNIT unit = BIG_TIME::NS;
        EXPECT_EQ(SEDQ_EXPORT_DLG::clock_interval(row.period, row.unit_index, &unit), row.interval) << row.name;
        EXPECT_EQ(unit, row.unit) << row.name;
    }
    const std::pair<int, SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT> formats[] = {
        {0, SLI_OUTPUT_FORMAT_CSV}, {1, SLI_OUTPUT_FORMAT_TBL}, {2, SLI_OUTPUT_FORMAT_VCD},
        {3, SLI_OUTPUT_FORMAT_BMP}, {4, SLI_OUTPUT_FORMAT_JPG}, {7, SLI_OUTPUT_FORMAT_TBL}};
    for (const auto& format : formats)
    {
        SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT found = SLI_OUTPUT_FORMAT_CSV;
        SEDQ_EXPORT_DLG::format_extension(format.first, &found);
        EXPECT_EQ(found, format.second) << format.first;
    }
}

// The dialog proposes the sample period the view's time axis was given, in a unit the period
// field takes, and a file beside the document whose extension follows the chosen format.
TEST_F(export_dlg_test, the_proposal_is_the_known_period_and_a_file_beside_the_document)
{
    open_log(2, 8);
    const struct
    {
        const char* name;
        bool show_time;
        double value;
        const char* unit;
        const char* period;
        const char* proposed_unit;
    } rows[] = {{"no period known", false, 10, "ns", "1", "s"},
                {"10 ns", true, 10, "ns", "10", "ns"},
                {"half a nanosecond is 500 ps", true, 0.5, "ns", "500", "ps"},
                {"a long period in a larger unit", true, 25000, "us", "25", "ms"},
                {"100 MHz", true, 100, "MHz", "100", "MHz"},
                {"50 GHz as its period", true, 50000, "MHz", "20", "ps"}};
    for (const auto& row : rows)
    {
        view()->set_time_units(row.show_time, row.value, row.unit);
        auto dlg = dialog();
        EXPECT_EQ(dlg->get_period_edit()->text(), row.period) << row.name;
        EXPECT_EQ(dlg->get_unit_combo()->currentText(), row.proposed_unit) << row.name;
    }
    view()->set_time_units(true, 10, "ns");
    auto dlg = dialog();
    QLineEdit* file = dlg->get_file_widget()->get_line_edit();
    dlg->get_format_combo()->setCurrentIndex(2);
    EXPECT_EQ(file->text(), m_dir.filePath("view.vcd"));
    file->setText(m_dir.filePath("trace.csv.bak"));
    dlg->get_format_combo()->setCurrentIndex(1);
    EXPECT_EQ(file->text(), m_dir.filePath("trace.csv.bak")) << "a name of the user's own stays";
    dlg->get_format_combo()->setCurrentIndex(0);
    dlg->show();
    dlg->accept();
    EXPECT_EQ(standin::sli::last_request().clock_interval_ps, 10000) << "10 ns per sample";
}

// A period the exporter cannot use is refused with the dialog still open and nothing written.
TEST_F(export_dlg_test, a_period_out_of_range_keeps_the_dialog_open)
{
    open_log(2, 8);
    const char* periods[] = {"0.5", "20000", "abc", "", "0"};
    for (const char* period : periods)
    {
        auto dlg = dialog();
        export_as(dlg.get(), m_dir.filePath("p"), 0, period);
        EXPECT_TRUE(dlg->isVisible()) << period;
        EXPECT_EQ(last_message(), "Enter a value between 1 and 10000") << period;
        EXPECT_FALSE(QFile::exists(m_dir.filePath("p.csv"))) << period;
    }
    auto dlg = dialog();
    export_as(dlg.get(), m_dir.filePath("p"), 0, "10000", 3);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(QFile::exists(m_dir.filePath("p.csv")));
    EXPECT_EQ(standin::sli::last_request().clock_interval_ps, 10000000);
}

TEST_F(export_dlg_test, csv_and_vcd_hold_the_log_bits)
{
    open_log(24, 300);
    const std::vector<std::string> expected = sli_test::expected_values(log());
    auto dlg = dialog();
    export_as(dlg.get(), m_dir.filePath("trace.csv.bak"), 0, "10", 3);
    EXPECT_EQ(last_message(), "Successfully exported data to file \"" + m_dir.filePath("trace.csv").toStdString() + "\"");
    const sli_test::table csv = sli_test::read_csv(m_dir.filePath("trace.csv"));
    ASSERT_EQ(csv.header.size(), m_wires.size() + 1);
    ASSERT_EQ(csv.rows.size(), 300u);
    for (size_t c = 0; c < m_wires.size(); ++c)
    {
        EXPECT_EQ(csv.header[c + 1], m_wires[c].name);
        for (size_t s = 0; s < csv.rows.size(); ++s)
            ASSERT_EQ(csv.rows[s][c + 1], std::string(1, expected[c][s])) << "wire " << c << " sample " << s;
    }
    EXPECT_EQ(csv.rows[75][0], "0") << "times count from the trigger";
    dlg = dialog();
    export_as(dlg.get(), m_dir.filePath("trace"), 2, "100", 5);
    const sli_test::dump dump = sli_test::read_dump(m_dir.filePath("trace.vcd"), 1, 300);
    ASSERT_EQ(dump.error, "");
    EXPECT_EQ(dump.timescale, "10ns") << "100 MHz";
    EXPECT_EQ(dump.values, expected);
}

// A bus of the node list reaches a waveform viewer as one bus: its bits are given again under
// the bus's name, most significant first as the list shows them.
TEST_F(export_dlg_test, a_vcd_gives_the_bits_of_a_bus_under_its_name)
{
    const std::vector<sli_test::wire> wires = {{"top|fsm.idle", "1100"}, {"top|fsm.busy", "0110"},
                                               {"top|fsm.done", "0011"}, {"top|irq", "0101"}};
    open(write_document(
        [&](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            standin::sdr::log_spec log;
            log.depth = 4;
            for (const auto& wire : wires)
            {
                add_leaves(trigger, {wire.name});
                log.channels.push_back(wire.bits);
            }
            standin::sdr::add_group(trigger, 0, 2, "top|fsm");
            standin::sdr::make_log(trigger, log);
        }));
    show_data_tab(true);
    auto dlg = dialog();
    export_as(dlg.get(), m_dir.filePath("states"), 2);
    const sli_test::dump dump = sli_test::read_dump(m_dir.filePath("states.vcd"), 1, 4);
    ASSERT_EQ(dump.error, "");
    const std::vector<std::string> names = {"top|fsm.idle", "top|fsm.busy", "top|fsm.done", "top|irq",
                                            "top|fsm[2]",   "top|fsm[1]",   "top|fsm[0]"};
    EXPECT_EQ(dump.names, names);
    const std::vector<std::string> values = {"1100", "0110", "0011", "0101", "1100", "0110", "0011"};
    EXPECT_EQ(dump.values, values);
}

TEST_F(export_dlg_test, failures_are_reported_and_write_nothing)
{
    open_log(2, 8);
    standin::sli::fail_next_export();
    auto dlg = dialog();
    export_as(dlg.get(), m_dir.filePath("full"), 1);
    EXPECT_EQ(last_message(), "Cannot export data to file \"" + m_dir.filePath("full.tbl").toStdString() + "\"")
        << "a failed write is not a log without data";
    ASSERT_EQ(standin::msg::shown().back().children.size(), 1u);
    EXPECT_EQ(standin::msg::shown().back().children[0].text,
              m_dir.filePath("full.tbl").toStdString() + ": the file could not be written whole");
    EXPECT_FALSE(QFile::exists(m_dir.filePath("full.tbl")));
    SEDQ_EXPORT_DLG without_log(nullptr, frame(), frame(), tx());
    export_as(&without_log, m_dir.filePath("none"), 0);
    EXPECT_EQ(last_message(), "Cannot export data -- data log contains no data");
    EXPECT_EQ(internal_errors(), std::vector<std::string>({"signal_set != NULL"}));
    EXPECT_FALSE(QFile::exists(m_dir.filePath("none.csv")));
}

// An export over a FIFO, a socket or a device replaced it with a plain file and said it had
// succeeded; a name holding the replacement character wrote another file. The table and the
// picture say why they wrote nothing, and leave the thing as it is.
TEST_F(export_dlg_test, what_is_no_place_for_a_file_is_named_and_left_as_it_is)
{
    open_log(2, 8);
    for (const sedq_special_file& special : sedq_make_special_files(m_dir.filePath(".")))
        for (const int format : {0, 3})
        {
            SCOPED_TRACE(std::string(special.label) + (format == 0 ? ", csv" : ", bmp"));
            const QString typed = special.path + (format == 0 ? ".csv" : ".bmp");
            ASSERT_TRUE(QFile::link(special.path, typed));
            standin::msg::reset();
            auto dlg = dialog();
            export_as(dlg.get(), typed, format);
            ASSERT_EQ(standin::msg::shown().size(), 1u);
            const standin::msg::message_record& shown = standin::msg::shown().back();
            EXPECT_EQ(shown.text, "Cannot export data to file \"" + typed.toStdString() + "\"");
            ASSERT_EQ(shown.children.size(), 1u);
            EXPECT_EQ(shown.children[0].text, typed.toStdString() + ": " + special.reason);
            EXPECT_TRUE(sedq_is_unchanged(special));
        }
    auto dlg = dialog();
    const QString unreadable = m_dir.filePath(QStringLiteral("bad") + QChar(QChar::ReplacementCharacter) + ".csv");
    export_as(dlg.get(), unreadable, 0);
    EXPECT_EQ(last_message(), "Cannot export data to file \"" + unreadable.toStdString() + "\"");
    EXPECT_FALSE(QFile::exists(unreadable));
}

// The view goes back to its place in the window, so the next export paints the same picture.
TEST_F(export_dlg_test, two_pictures_in_a_row_are_the_same)
{
    open_log(5, 64, QSize(1000, 700));
    const QRect place = view()->geometry();
    QImage pictures[2];
    for (QImage& picture : pictures)
    {
        auto dlg = dialog();
        export_as(dlg.get(), m_dir.filePath("pic"), 3);
        settle();
        picture = QImage(m_dir.filePath("pic.bmp"));
        EXPECT_EQ(view()->geometry(), place) << "the view is given back its place";
    }
    EXPECT_EQ(pictures[1].size(), pictures[0].size());
    EXPECT_TRUE(pictures[1] == pictures[0]);
}

TEST_F(export_dlg_test, pictures_read_back_at_the_view_size)
{
    open_log(5, 64, QSize(1000, 700));
    const QSize view_size = view()->size();
    const int needed_height = view()->calculate_needed_vertical_pixels();
    for (int format : {3, 4})
    {
        auto dlg = dialog();
        export_as(dlg.get(), m_dir.filePath("pic"), format);
        const QString file = m_dir.filePath(format == 3 ? "pic.bmp" : "pic.jpg");
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), format == 3 ? QByteArray("bmp") : QByteArray("jpeg"));
        EXPECT_EQ(reader.size(), QSize(view()->calculate_needed_horizontal_pixels(), needed_height)) << format;
        EXPECT_FALSE(reader.read().isNull()) << format;
        EXPECT_EQ(view()->size(), view_size) << "the view is given back its size";
    }
}

// A picture wider than images may be asks; the answer decides its width, closing it exports
// nothing.
TEST_F(export_dlg_test, the_size_limit_question_decides_the_width)
{
    open_log(3, 64);
    view()->set_column_width(SEDQ_COLUMN_NAME, QPoint(40000, 5), false);
    ASSERT_GE(view()->calculate_needed_horizontal_pixels(), 32766);
    view()->get_horizontal_scroll_bar()->setMaximum(50);
    view()->get_horizontal_scroll_bar()->setValue(7);
    const QSize view_size = view()->size();
    struct chooser : QObject
    {
        bool fit_all = false;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (auto* option = qobject_cast<SEDQ_IMAGE_EXPORT_OPTION*>(watched); option && event->type() == QEvent::Show)
                (fit_all ? option->get_fitall_button() : option->get_truncate_button())->click();
            return false;
        }
    } choose;
    qApp->installEventFilter(&choose);
    const struct
    {
        const char* name;
        bool fit_all;
        int answer;
        int width; // 0: no file
    } rows[] = {{"fit all", true, QDialog::Accepted, 32765},
                {"maintain spacing", false, QDialog::Accepted, view_size.width()},
                {"closed", true, QDialog::Rejected, 0}};
    for (const auto& row : rows)
    {
        choose.fit_all = row.fit_all;
        standin::qui::push_dialog_answer("Image Size Limit Reached", row.answer);
        const QString file = m_dir.filePath(QStringLiteral("%1.bmp").arg(row.name));
        EXPECT_EQ(view()->export_image(file), row.width != 0) << row.name;
        EXPECT_EQ(QImageReader(file).size().width(), row.width != 0 ? row.width : -1) << row.name;
        EXPECT_EQ(view()->size(), view_size) << row.name;
        EXPECT_EQ(view()->get_horizontal_scroll_bar()->value(), 7) << row.name;
    }
    qApp->removeEventFilter(&choose);
}

TEST_F(export_dlg_test, the_window_export_command_runs_the_dialog)
{
    open_log(2, 8);
    standin::qui::push_dialog_answer("Export", QDialog::Rejected);
    ASSERT_TRUE(QMetaObject::invokeMethod(frame(), "export_action"));
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "the dialog was shown";
    EXPECT_TRUE(standin::msg::shown().empty()) << "a cancelled export says nothing";
}

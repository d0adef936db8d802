// The host's file name field with a browse button: filters in the host's form, the dialog it
// opens and what a chosen, cancelled or typed file does to the field.
#include "host/afcq.h"
#include "host/standin/afcq_control.h"

#include <QCompleter>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace
{
const QStringList EXPORT_FILTERS = {"Export Types(*.csv;*.tbl;*.vcd;*.bmp;*.jpg)", "All Files(*.*)"};
} // namespace

TEST(afcq_browse, filters_read_in_either_form)
{
    const struct
    {
        const char* name;
        const char* filter;
        QStringList patterns;
    } rows[] = {{"host form", "Export Types(*.csv;*.tbl;*.vcd)", {"*.csv", "*.tbl", "*.vcd"}},
                {"any file", "All Files(*.*)", {"*"}},
                {"Qt form", "Vantrel File (*.vtl)", {"*.vtl"}},
                {"mixed separators, repeated", "X (*.a; *.b  *.a)", {"*.a", "*.b"}},
                {"bare patterns", "*.txt;*.log", {"*.txt", "*.log"}},
                {"parentheses in the name", "Logs (old) (*.log)", {"*.log"}},
                {"empty", "", {}}};
    for (const auto& row : rows)
        EXPECT_EQ(AFCQ_LINE_EDIT_BROWSE_BUTTON::filter_patterns(row.filter), row.patterns) << row.name;
}

TEST(afcq_browse, browse_opens_on_the_folder_of_the_text_and_takes_the_chosen_file)
{
    QTemporaryDir dir;
    AFCQ_LINE_EDIT_BROWSE_BUTTON field;
    field.set_filters(EXPORT_FILTERS);
    field.set_save_mode(true);
    field.set_dialog_title("Export To");
    field.get_line_edit()->setText(dir.filePath("trace.csv"));
    QSignalSpy chosen(&field, &AFCQ_LINE_EDIT_BROWSE_BUTTON::browse_editing_finished);
    standin::afcq::push_file_dialog_result(true, dir.filePath("other.vcd"));
    field.get_browse_button()->click();
    const standin::afcq::file_dialog_settings shown = standin::afcq::last_file_dialog();
    EXPECT_EQ(shown.name_filters, (QStringList{"Export Types (*.csv *.tbl *.vcd *.bmp *.jpg)", "All Files (*)"}));
    EXPECT_TRUE(shown.save);
    EXPECT_EQ(shown.directory, QDir(dir.path()).absolutePath());
    EXPECT_EQ(shown.proposed, dir.filePath("trace.csv"));
    EXPECT_EQ(standin::afcq::file_dialog_titles(), QStringList{"Export To"});
    EXPECT_EQ(field.get_line_edit()->text(), dir.filePath("other.vcd"));
    EXPECT_EQ(chosen.count(), 1);
}

TEST(afcq_browse, a_cancelled_browse_keeps_the_text)
{
    AFCQ_LINE_EDIT_BROWSE_BUTTON field;
    field.get_line_edit()->setText("kept.vtl");
    QSignalSpy chosen(&field, &AFCQ_LINE_EDIT_BROWSE_BUTTON::browse_editing_finished);
    standin::afcq::push_file_dialog_result(false);
    field.browse();
    EXPECT_EQ(field.get_line_edit()->text(), "kept.vtl");
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_FALSE(standin::afcq::last_file_dialog().save) << "a field picks an existing file unless told";
    EXPECT_EQ(standin::afcq::pending_file_dialog_results(), 0);
}

TEST(afcq_browse, completion_shows_the_files_of_any_filter)
{
    AFCQ_LINE_EDIT_BROWSE_BUTTON field;
    ASSERT_NE(field.get_line_edit()->completer(), nullptr);
    EXPECT_EQ(field.get_line_edit()->completer()->model(), field.get_file_system_model());
    field.set_name_filters({EXPORT_FILTERS[0]});
    EXPECT_EQ(field.get_file_system_model()->nameFilters(), (QStringList{"*.csv", "*.tbl", "*.vcd", "*.bmp", "*.jpg"}));
    EXPECT_FALSE(field.get_file_system_model()->nameFilterDisables()) << "other files are hidden, not greyed";
    field.set_name_filters(EXPORT_FILTERS);
    EXPECT_EQ(field.get_file_system_model()->nameFilters(), QStringList()) << "All Files shows every file";
}

TEST(afcq_browse, a_typed_name_is_reported_once_when_editing_ends)
{
    AFCQ_LINE_EDIT_BROWSE_BUTTON field;
    QSignalSpy finished(&field, &AFCQ_LINE_EDIT_BROWSE_BUTTON::browse_editing_finished);
    QTest::keyClicks(field.get_line_edit(), "out.csv");
    QTest::keyClick(field.get_line_edit(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 1);
    QTest::keyClick(field.get_line_edit(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 1) << "nothing changed since";
    EXPECT_EQ(standin::afcq::file_dialog_titles(), QStringList()) << "typing opens no dialog";
}

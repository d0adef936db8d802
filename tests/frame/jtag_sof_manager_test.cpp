// The SOF Manager: the table of embedded programming files with a compatibility column per
// instance, attaching, embedding, extracting, renaming and deleting, and the commands the
// selection allows.
#include "jtag_widget_test_support.h"

#include "sedq/frame/sedq_name_delegate.h"

#include <QHeaderView>
#include <QTreeView>
#include "sedq/model/sedq_repository.h"

namespace
{
using jtag_widget_test::jtag_widget_fixture;
using jtag_widget_test::probe;

class jtag_sof_manager_test : public jtag_widget_fixture
{
protected:
    // Attaches copies of a compiled file under these names.
    void attach_copies(const QStringList& names)
    {
        const QString compiled = compile_to("compiled.sof");
        for (const QString& name : names)
        {
            QFile::copy(compiled, m_dir.filePath(name));
            attach(m_dir.filePath(name));
        }
    }

    QStringList row_texts(int row) const
    {
        QStringList texts;
        for (int column = 0; column < sof_model()->columnCount(); ++column)
            texts << (sof_model()->item(row, column) ? sof_model()->item(row, column)->text() : QString("<none>"));
        return texts;
    }
};

TEST_F(jtag_sof_manager_test, attached_files_are_listed_with_their_compatibility_per_instance)
{
    open_jtag({{"alpha"}, {"beta", true}, {"gamma"}});
    EXPECT_EQ(sof_headers(), QStringList({"Attached SOF Files", "alpha", "beta", "gamma"}))
        << "power-up views get no column";
    attach(compile_to("top.sof"));
    ASSERT_EQ(sof_names(), QStringList{"top.sof"});
    EXPECT_EQ(row_texts(0), QStringList({"top.sof", "compatible", "compatible", "compatible"}));
    EXPECT_TRUE(m_frame->isWindowModified());
    EXPECT_FALSE(sof_model()->item(0, 1)->isEditable());

    // A changed instance no longer matches the file; a file without instance information
    // says nothing.
    tx()->set_instance(0);
    tx()->set_sample_depth("256");
    ASSERT_TRUE(SEDQ_REPOSITORY::session(tx())->embed_sof_file(m_dir.filePath("top.sof").toLocal8Bit().constData(), "bare.sof"));
    tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
    refresh();
    EXPECT_EQ(row_texts(0), QStringList({"top.sof", "not compatible", "compatible", "compatible"}));
    EXPECT_EQ(row_texts(1), QStringList({"bare.sof", "", "", ""}));
}

TEST_F(jtag_sof_manager_test, a_document_without_instances_shows_only_the_file_column)
{
    open_jtag({});
    EXPECT_EQ(sof_headers(), QStringList{"Attached SOF Files"});
}

TEST_F(jtag_sof_manager_test, attaching_a_missing_file_says_so_and_adds_nothing)
{
    open_jtag({{"alpha"}});
    const QString missing = m_dir.filePath("missing.sof");
    attach(missing);
    ASSERT_FALSE(standin::msg::shown().empty());
    EXPECT_EQ(standin::msg::shown().back().text,
              "Cannot attach SRAM Object File \"" + missing.toStdString() +
                  "\" -- file does not exist or cannot be read");
    EXPECT_TRUE(sof_names().isEmpty());
    standin::afcq::push_file_dialog_result(false);
    const size_t shown = standin::msg::shown().size();
    jtag()->on_sof_manager_attach();
    EXPECT_EQ(standin::msg::shown().size(), shown) << "a cancelled dialog embeds nothing";
    EXPECT_EQ(standin::afcq::last_file_dialog().name_filters,
              QStringList({"SRAM Object Files (*.sof)", "*.sof", "Programmer Object File (*.pof)", "*.pof"}));
    EXPECT_EQ(standin::afcq::file_dialog_titles().last(), "Attach SOF File");
}

// The button beside the file field embeds the document's programming file.
TEST_F(jtag_sof_manager_test, the_attach_button_embeds_the_documents_programming_file)
{
    open_jtag({{"alpha"}});
    tx()->set_jtag_chain(compile_to("output.sof"));
    refresh();
    ASSERT_TRUE(jtag()->get_attach_button()->isEnabled());
    jtag()->get_attach_button()->click();
    refresh();
    EXPECT_EQ(sof_names(), QStringList{"output.sof"});
}

TEST_F(jtag_sof_manager_test, an_extracted_file_is_byte_for_byte_the_attached_one)
{
    open_jtag({{"alpha"}});
    const QString original = compile_to("top.sof");
    attach(original);
    select_sof_rows({0});
    const QString extracted = m_dir.filePath("extracted.sof");
    standin::afcq::push_file_dialog_result(true, extracted);
    action_of(ACTION_SOF_EXTRACT)->trigger();
    ASSERT_FALSE(contents(original).isEmpty());
    EXPECT_EQ(contents(extracted), contents(original));
    EXPECT_TRUE(standin::afcq::last_file_dialog().save);
    EXPECT_EQ(standin::afcq::file_dialog_titles().last(), "Extract SOF File");

    // The file survives a save and a reopen of the document.
    ASSERT_TRUE(m_frame->save_file(m_dir.filePath("saved.vtl")));
    close_frame(m_frame);
    m_frame = open_frame(m_dir.filePath("saved.vtl"));
    select_sof_rows({0});
    standin::afcq::push_file_dialog_result(true, m_dir.filePath("again.sof"));
    jtag()->on_sof_manager_extract();
    EXPECT_EQ(contents(m_dir.filePath("again.sof")), contents(original));
}

TEST_F(jtag_sof_manager_test, an_extraction_that_cannot_write_says_so)
{
    open_jtag({{"alpha"}});
    attach(compile_to("top.sof"));
    select_sof_rows({0});
    standin::afcq::push_file_dialog_result(true, m_dir.filePath("no_such_folder/x.sof"));
    jtag()->on_sof_manager_extract();
    ASSERT_FALSE(standin::msg::shown().empty());
    EXPECT_EQ(standin::msg::shown().back().text,
              "Cannot extract SRAM Object File. Attached SOF in Vantrel File is corrupt, or you do not have "
              "permission to write to SOF.");
}

// The user's edit arrives as a changed item; what the session refuses shows the stored name.
TEST_F(jtag_sof_manager_test, renaming_stores_the_name_and_a_refused_one_shows_the_stored_name)
{
    const struct
    {
        const char* name;
        const char* typed;
        const char* shown;
    } rows[] = {{"new name", "renamed.sof", "renamed.sof"},
                {"empty", "", "renamed.sof"},
                {"taken", "b.sof", "renamed.sof"}};
    open_jtag({{"alpha"}});
    attach_copies({"a.sof", "b.sof"});
    select_sof_rows({0});
    action_of(ACTION_SOF_RENAME)->trigger();
    EXPECT_EQ(jtag()->get_sof_table()->viewport()->findChildren<QLineEdit*>().size(), 1) << "editing started";
    for (const auto& row : rows)
    {
        sof_model()->item(0, 0)->setText(row.typed);
        refresh();
        EXPECT_EQ(sof_model()->item(0, 0)->text(), row.shown) << row.name;
        EXPECT_STREQ(tx()->get_tx_session()->get_embedded_sof_file_name_at(0), "renamed.sof") << row.name;
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(jtag_sof_manager_test, deleting_removes_exactly_the_selected_files_in_any_selection_order)
{
    open_jtag({{"alpha"}});
    attach_copies({"a.sof", "b.sof", "c.sof", "d.sof"});
    select_sof_rows({3, 0, 2});
    action_of(ACTION_SOF_DELETE)->trigger();
    refresh();
    EXPECT_EQ(sof_names(), QStringList{"b.sof"});
    EXPECT_EQ(tx()->get_tx_session()->get_embedded_sof_file_count(), 1);
    EXPECT_TRUE(standin::msg::shown().empty()) << "no question is asked";
}

TEST_F(jtag_sof_manager_test, the_selection_decides_the_commands)
{
    struct row
    {
        const char* name;
        bool jtag;
        std::vector<int> selected;
        bool del, rename, extract, program;
    };
    const row rows[] = {{"nothing", true, {}, false, false, false, false},
                        {"one", true, {1}, true, true, true, true},
                        {"two", true, {0, 1}, true, false, false, false},
                        {"one without a chain", false, {0}, true, true, true, false}};
    for (const row& r : rows)
    {
        open_jtag({{"alpha"}}, r.jtag);
        attach_copies({"a.sof", "b.sof"});
        select_sof_rows(r.selected);
        EXPECT_TRUE(action_of(ACTION_SOF_ATTACH)->isEnabled()) << r.name;
        EXPECT_EQ(action_of(ACTION_SOF_DELETE)->isEnabled(), r.del) << r.name;
        EXPECT_EQ(action_of(ACTION_SOF_RENAME)->isEnabled(), r.rename) << r.name;
        EXPECT_EQ(action_of(ACTION_SOF_EXTRACT)->isEnabled(), r.extract) << r.name;
        EXPECT_EQ(action_of(ACTION_SOF_PROGRAM)->isEnabled(), r.program) << r.name;
        close_frame(m_frame);
        m_frame = nullptr;
    }
}

TEST_F(jtag_sof_manager_test, the_opened_table_shows_its_attached_file_at_the_default_size)
{
    open_jtag({{"alpha"}});
    attach(compile_to("top.sof"));
    QPushButton* toggle = nullptr;
    for (QPushButton* button : jtag()->findChildren<QPushButton*>())
        if (button->text() == ">>")
            toggle = button;
    ASSERT_NE(toggle, nullptr);
    QTest::mouseClick(toggle, Qt::LeftButton);
    refresh();
    QTreeView* table = jtag()->get_sof_table();
    const QRect row = table->visualRect(sof_model()->index(0, 0));
    EXPECT_GT(row.height(), 0);
    EXPECT_GE(row.top(), 0);
    EXPECT_LT(row.bottom(), table->viewport()->height()) << "the whole row shows";
}

TEST_F(jtag_sof_manager_test, the_table_opens_and_closes_with_its_state_kept_in_the_document)
{
    open_jtag({{"alpha"}});
    const QList<QAction*> menu = jtag()->get_sof_table()->actions();
    ASSERT_EQ(menu.size(), 6);
    EXPECT_TRUE(menu[1]->isSeparator());
    EXPECT_EQ(menu[0], action_of(ACTION_SOF_DELETE));
    EXPECT_EQ(menu[5], action_of(ACTION_SOF_PROGRAM));
    EXPECT_FALSE(jtag()->get_sof_table()->isVisibleTo(jtag()));
    QPushButton* toggle = nullptr;
    for (QPushButton* button : jtag()->findChildren<QPushButton*>())
        if (button->text() == ">>")
            toggle = button;
    ASSERT_NE(toggle, nullptr);
    toggle->click();
    EXPECT_TRUE(jtag()->is_sof_manager_visible());
    EXPECT_TRUE(jtag()->get_sof_table()->isVisibleTo(jtag()));
    EXPECT_TRUE(tx()->get_visible_state("sof manager visible", false));
    toggle->click();
    EXPECT_FALSE(jtag()->is_sof_manager_visible());
    EXPECT_FALSE(tx()->get_visible_state("sof manager visible", true));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
} // namespace

// A name of kilobytes (a generated design's hierarchy path) widens the instance list's name
// column and its SOF Manager column only as far as its first characters need; both still hold
// the whole name, which the SOF column shows as its tooltip.
TEST_F(jtag_sof_manager_test, a_long_instance_name_takes_the_room_of_its_first_characters)
{
    std::string path = "top";
    while (path.size() < 2000)
        path += "|gen_block_" + std::to_string(path.size()) + "_datapath";
    const std::string long_name = path + "|probe";
    open_jtag({{"alpha"}, {long_name}, {"gamma"}});
    for (QPushButton* button : jtag()->findChildren<QPushButton*>())
        if (button->text() == ">>")
            QTest::mouseClick(button, Qt::LeftButton);
    refresh();
    ASSERT_TRUE(jtag()->get_sof_table()->isVisible());
    const QString name = QString::fromStdString(long_name);
    const QString first = name.left(SEDQ_NAME_DELEGATE::MEASURED_CHARACTERS);
    QTreeView* list = pane()->get_tree();
    QHeaderView* sof = jtag()->get_sof_table()->header();
    QFont bold = sof->font();
    bold.setBold(true);
    const struct
    {
        const char* what;
        QString shown;
        int width;
        QFontMetrics metrics;
    } columns[] = {{"instance list", text(1, SEDQ_INSTANCE_COLUMN_NAME), list->columnWidth(SEDQ_INSTANCE_COLUMN_NAME),
                    list->fontMetrics()},
                   {"SOF Manager", sof_headers().value(2), sof->sectionSize(2), QFontMetrics(bold)}};
    for (const auto& column : columns)
    {
        EXPECT_EQ(column.shown, name) << column.what;
        EXPECT_GE(column.width, column.metrics.horizontalAdvance(first)) << column.what;
        EXPECT_LT(column.width, column.metrics.horizontalAdvance(name) / 4) << column.what;
    }
    EXPECT_EQ(sof_model()->headerData(2, Qt::Horizontal, Qt::ToolTipRole).toString(), name);
}

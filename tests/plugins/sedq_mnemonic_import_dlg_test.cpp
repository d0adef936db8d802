// Tables copied from another analyzer file: the source chosen through the setup dialog and the
// browse field, the two lists, the overwrite question per name, and what the document keeps.
#include "view/sedq_modal_step.h"
#include "view/sedq_view_test_support.h"

#include "host/standin/afcq_control.h"
#include "host/standin/msg_control.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"
#include "sedq/plugins/sedq_mnemonic_new_table_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int ANSWER_OK = 1;
constexpr int ANSWER_CANCEL = 2;

QStringList texts_of(const QListView* list)
{
    QStringList texts;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        texts << list->model()->index(i, 0).data().toString();
    return texts;
}
} // namespace

class mnemonic_import_test : public view_test
{
protected:
    // The document has "shared" (A 0) and "mine"; the source file, in a folder of its own, has
    // "shared" (B 11), "extra" (C 1) and "unsized" of width 0.
    void SetUp() override
    {
        view_test::SetUp();
        ASSERT_TRUE(m_other.isValid());
        m_source = m_other.filePath(QStringLiteral("source.vtl"));
        auto source = standin::sdr::make_session(m_source.toStdString());
        source->get_mnemonics()->create_table("shared", 2)->add_entry("B", "11");
        source->get_mnemonics()->create_table("extra", 1)->add_entry("C", "1");
        source->get_mnemonics()->create_table("unsized", 0);
        std::string error;
        ASSERT_TRUE(sdr_write_session_file(*source, m_source.toStdString(), &error)) << error;
        open(write_document([](SDR_DATA_SESSION& s) {
            s.get_mnemonics()->create_table("shared", 1)->add_entry("A", "0");
            s.get_mnemonics()->create_table("mine", 1);
        }));
    }

    SDR_DATA_SESSION* document() { return SEDQ_REPOSITORY::session(tx())->get_data_session(); }
    SDR_DATA_MNEMONICS* tables() { return document()->get_mnemonics(); }

    std::unique_ptr<SEDQ_MNEMONIC_IMPORT_DLG> import_from(const QString& path)
    {
        auto dialog = std::make_unique<SEDQ_MNEMONIC_IMPORT_DLG>(document(), path, view(), tx());
        dialog->show();
        settle();
        return dialog;
    }

    static void choose(SEDQ_MNEMONIC_IMPORT_DLG* dialog, const QStringList& names)
    {
        for (const QString& name : names)
        {
            QListView* list = dialog->get_available_list();
            const QModelIndexList found =
                list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            list->selectionModel()->select(found[0], QItemSelectionModel::ClearAndSelect);
            QTest::mouseClick(dialog->get_select_button(), Qt::LeftButton);
        }
    }

    static void press_ok(SEDQ_MNEMONIC_IMPORT_DLG* dialog)
    {
        QTest::mouseClick(dialog->get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }

    QString first_symbol(const char* table)
    {
        const SDR_DATA_MNEMONICS_TABLE* found = tables()->find_table(table);
        return found != nullptr && found->get_num_entries() > 0 ? QString::fromUtf8(found->get_first_symbol(0))
                                                                : QString();
    }

    QTemporaryDir m_other;
    QString m_source;
};

TEST_F(mnemonic_import_test, the_setup_dialog_imports_from_a_file_outside_the_working_folder)
{
    standin::afcq::push_file_dialog_result(true, m_source);
    on_next_modal<SEDQ_MNEMONIC_IMPORT_DLG>([](SEDQ_MNEMONIC_IMPORT_DLG* dialog) {
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->get_browse()->get_line_edit()->text(), QStringLiteral("source.vtl"));
        EXPECT_TRUE(dialog->get_browse()->get_line_edit()->isReadOnly());
        EXPECT_EQ(texts_of(dialog->get_available_list()), QStringList({"shared", "extra", "unsized"}));
        choose(dialog, {"extra", "unsized", "extra"});
        EXPECT_EQ(texts_of(dialog->get_selected_list()), QStringList({"extra", "unsized"})) << "one entry a name";
        press_ok(dialog);
    });
    auto setup = std::make_unique<SEDQ_MNEMONIC_DLG>(view(), frame());
    setup->show();
    QTest::mouseClick(setup->get_import_button(), Qt::LeftButton);
    EXPECT_EQ(setup->get_table_combo()->count(), 4) << "the working copy is loaded again";
    EXPECT_EQ(first_symbol("extra"), QStringLiteral("C"));
    ASSERT_NE(tables()->find_table("unsized"), nullptr);
    EXPECT_EQ(tables()->find_table("unsized")->get_width(), 0);
    EXPECT_TRUE(standin::msg::shown().empty()) << "no name was taken: no question";
    tx()->on_edit_undo();
    EXPECT_EQ(tables()->find_table("extra"), nullptr) << "the import is one edit";
    EXPECT_EQ(tables()->find_table("unsized"), nullptr);
    tx()->on_edit_redo();
    const QString saved = m_dir.filePath(QStringLiteral("saved.vtl"));
    ASSERT_TRUE(frame()->save_file(saved));
    std::string error;
    const std::unique_ptr<SDR_DATA_SESSION> reread = sdr_read_session_file(saved.toStdString(), &error);
    ASSERT_NE(reread, nullptr) << "imported tables survive save and reopen: " << error;
    ASSERT_NE(reread->get_mnemonics()->find_table("extra"), nullptr);
    EXPECT_STREQ(reread->get_mnemonics()->find_table("extra")->get_first_symbol("1"), "C");
    ASSERT_NE(reread->get_mnemonics()->find_table("unsized"), nullptr);
    EXPECT_EQ(reread->get_mnemonics()->find_table("unsized")->get_width(), 0);
}

TEST_F(mnemonic_import_test, the_overwrite_question_is_asked_for_each_existing_name)
{
    // The first pass copies "extra", so the second asks for both names.
    const struct
    {
        const char* name;
        int answer;
        size_t questions;
        const char* shared_symbol;
        int shared_width;
    } rows[] = {{"cancel keeps the document's table", ANSWER_CANCEL, 1, "A", 1},
                {"ok overwrites it, width and all", ANSWER_OK, 2, "B", 2}};
    for (const auto& row : rows)
    {
        standin::msg::reset();
        for (size_t i = 0; i < row.questions; ++i)
            standin::msg::push_answer(row.answer);
        auto dialog = import_from(m_source);
        choose(dialog.get(), {"shared", "extra"});
        press_ok(dialog.get());
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << row.name;
        ASSERT_EQ(standin::msg::shown().size(), row.questions) << row.name;
        EXPECT_EQ(standin::msg::shown()[0].text, "Mnemonic table \"shared\" already exists. Do you want to overwrite it?");
        EXPECT_EQ(first_symbol("shared"), QLatin1String(row.shared_symbol)) << row.name;
        EXPECT_EQ(tables()->find_table("shared")->get_width(), row.shared_width) << row.name;
        EXPECT_EQ(first_symbol("extra"), QStringLiteral("C")) << row.name << ": the next name goes on";
    }
}

// "<" takes back the chosen names wherever they stand in the list, one or several, together or
// apart, picked in any order; ">>" then adds what is missing after what stayed.
TEST_F(mnemonic_import_test, names_taken_back_leave_the_others_in_order)
{
    const struct
    {
        const char* what;
        std::vector<int> picked;
        QStringList left;
    } rows[] = {
        {"none", {}, {"shared", "extra", "unsized"}},
        {"the middle one", {1}, {"shared", "unsized"}},
        {"first and last, the last picked first", {2, 0}, {"extra"}},
        {"a run of two", {1, 2}, {"shared"}},
        {"all three", {0, 2, 1}, {}},
    };
    for (const auto& row : rows)
    {
        auto dialog = import_from(m_source);
        QTest::mouseClick(dialog->get_select_all_button(), Qt::LeftButton);
        QListView* selected = dialog->get_selected_list();
        selected->clearSelection();
        for (int picked : row.picked)
            selected->selectionModel()->select(selected->model()->index(picked, 0), QItemSelectionModel::Select);
        QTest::mouseClick(dialog->get_unselect_button(), Qt::LeftButton);
        EXPECT_EQ(texts_of(selected), row.left) << row.what;
        QTest::mouseClick(dialog->get_select_all_button(), Qt::LeftButton);
        QStringList again = row.left;
        for (const QString& name : {"shared", "extra", "unsized"})
            if (!again.contains(name))
                again << name;
        EXPECT_EQ(texts_of(selected), again) << row.what << ": each name once, the missing ones after";
        QTest::mouseClick(dialog->get_unselect_all_button(), Qt::LeftButton);
        EXPECT_TRUE(texts_of(selected).isEmpty()) << row.what;
        EXPECT_EQ(texts_of(dialog->get_available_list()), QStringList({"shared", "extra", "unsized"})) << row.what;
    }
}

TEST_F(mnemonic_import_test, importing_from_the_documents_own_file_overwrites_nothing)
{
    const QString own = QString::fromStdString(document()->m_name);
    auto dialog = import_from(own);
    EXPECT_EQ(dialog->get_source(), document());
    QTest::mouseClick(dialog->get_select_all_button(), Qt::LeftButton);
    press_ok(dialog.get());
    EXPECT_EQ(standin::msg::shown().size(), 2u) << "asked for each name";
    EXPECT_EQ(first_symbol("shared"), QStringLiteral("A"));
    EXPECT_FALSE(tx()->get_tx_instance()->is_undo_available());
    // Browsing away from the document's own file must not close the document.
    standin::afcq::push_file_dialog_result(true, m_source);
    QTest::mouseClick(dialog->get_browse()->get_browse_button(), Qt::LeftButton);
    EXPECT_EQ(texts_of(dialog->get_available_list()), QStringList({"shared", "extra", "unsized"}));
    ASSERT_NE(tx()->get_tx_session()->get_data_session(), nullptr);
    EXPECT_NE(tables()->find_table("mine"), nullptr) << "the document is still usable";
}

TEST_F(mnemonic_import_test, a_missing_or_foreign_file_is_reported_and_ok_without_selection_rejects)
{
    auto dialog = import_from(m_source);
    QLineEdit* field = dialog->get_browse()->get_line_edit();
    const QString missing = m_other.filePath(QStringLiteral("gone.vtl"));
    standin::afcq::push_file_dialog_result(true, missing);
    QTest::mouseClick(dialog->get_browse()->get_browse_button(), Qt::LeftButton);
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text, "Cannot find Vantrel File \"" + missing.toStdString() + "\"");
    EXPECT_EQ(field->text(), QStringLiteral("source.vtl")) << "the field is restored";
    EXPECT_EQ(dialog->get_available_list()->model()->rowCount(), 3) << "the source stays";
    choose(dialog.get(), {"extra"});
    const QString junk = m_other.filePath(QStringLiteral("junk.vtl"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not an analyzer file");
    file.close();
    standin::afcq::push_file_dialog_result(true, junk);
    QTest::mouseClick(dialog->get_browse()->get_browse_button(), Qt::LeftButton);
    ASSERT_EQ(standin::msg::shown().size(), 2u);
    EXPECT_EQ(standin::msg::shown()[1].text, "Invalid Vantrel File \"junk.vtl\"");
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(dialog->get_available_list()->model()->rowCount() + dialog->get_selected_list()->model()->rowCount(), 0);
    press_ok(dialog.get());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(tables()->find_table("extra"), nullptr);
}

// Tables added in the setup dialog and not saved yet survive an import; one the import would
// replace is replaced only after the overwrite question, and OK then writes them all.
class mnemonic_import_after_edits_test : public mnemonic_import_test, public testing::WithParamInterface<int>
{
};

TEST_P(mnemonic_import_after_edits_test, keeps_the_tables_added_before_it_in_the_same_dialog)
{
    const int answer = GetParam();
    auto source = standin::sdr::make_session(m_source.toStdString());
    source->get_mnemonics()->create_table("extra", 1)->add_entry("C", "1");
    source->get_mnemonics()->create_table("added : width = 1", 1)->add_entry("D", "0");
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*source, m_source.toStdString(), &error)) << error;
    auto setup = std::make_unique<SEDQ_MNEMONIC_DLG>(view(), frame());
    setup->show();
    for (const char* name : {"kept", "added"})
    {
        on_next_modal<SEDQ_MNEMONIC_NEW_TABLE_DLG>([name](SEDQ_MNEMONIC_NEW_TABLE_DLG* dialog) {
            ASSERT_NE(dialog, nullptr);
            dialog->get_name_edit()->setText(QString::fromLatin1(name));
            dialog->get_width_edit()->setText(QStringLiteral("1"));
        });
        QTest::mouseClick(setup->get_add_table_button(), Qt::LeftButton);
    }
    standin::msg::reset();
    standin::msg::push_answer(answer);
    standin::afcq::push_file_dialog_result(true, m_source);
    on_next_modal<SEDQ_MNEMONIC_IMPORT_DLG>([](SEDQ_MNEMONIC_IMPORT_DLG* dialog) {
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->get_select_all_button(), Qt::LeftButton);
        press_ok(dialog);
    });
    QTest::mouseClick(setup->get_import_button(), Qt::LeftButton);
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text,
              "Mnemonic table \"added : width = 1\" already exists. Do you want to overwrite it?");
    QStringList shown;
    for (int i = 0; i < setup->get_table_combo()->count(); ++i)
        shown << setup->get_table_combo()->itemText(i);
    EXPECT_EQ(shown, QStringList({"shared", "mine", "kept : width = 1", "added : width = 1", "extra"}));
    QTest::mouseClick(setup->get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    ASSERT_NE(tables()->find_table("kept : width = 1"), nullptr);
    ASSERT_NE(tables()->find_table("added : width = 1"), nullptr);
    EXPECT_EQ(first_symbol("added : width = 1"), answer == ANSWER_OK ? QStringLiteral("D") : QString());
    EXPECT_EQ(first_symbol("extra"), QStringLiteral("C"));
}

INSTANTIATE_TEST_SUITE_P(answers, mnemonic_import_after_edits_test, testing::Values(ANSWER_CANCEL, ANSWER_OK),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == ANSWER_OK ? "ok_replaces_the_added_table"
                                                                        : "cancel_keeps_the_added_table");
                         });

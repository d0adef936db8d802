// The mnemonic table setup dialog on an open document, driven through its widgets: the layout,
// tables added and deleted, entries typed into cells, and OK, Undo and Redo on the document.
#include "view/sedq_modal_step.h"
#include "view/sedq_view_test_support.h"

#include "host/standin/msg_control.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"
#include "sedq/plugins/sedq_mnemonic_dlg_table_view.h"
#include "sedq/plugins/sedq_mnemonic_new_table_dlg.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include "sedq/model/sedq_repository.h"

class mnemonic_dlg_test : public view_test
{
protected:
    // A document with the table "states : width = 2" (IDLE 00, RUN 01).
    void open_with_states()
    {
        open(write_document([](SDR_DATA_SESSION& s) {
            SDR_DATA_MNEMONICS_TABLE* table = s.get_mnemonics()->create_table("states : width = 2", 2);
            table->add_entry("RUN", "01");
            table->add_entry("IDLE", "00");
        }));
    }

    std::unique_ptr<SEDQ_MNEMONIC_DLG> shown_dialog()
    {
        auto dialog = std::make_unique<SEDQ_MNEMONIC_DLG>(view(), frame());
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        settle();
        return dialog;
    }

    // Types `text` into a cell through its editor and presses Return (an empty text clears it).
    static void type_into(SEDQ_MNEMONIC_DLG* dialog, int row, int column, const QString& text)
    {
        SEDQ_MNEMONIC_TABLE_VIEW* view = dialog->get_view();
        const QModelIndex index = view->get_model()->index(row, column);
        QApplication::setActiveWindow(view->window()); // a closed nested dialog leaves none active
        view->setCurrentIndex(index);
        view->edit(index);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "no editor on row " << row;
        editor->selectAll();
        if (text.isEmpty())
            QTest::keyClick(editor, Qt::Key_Backspace);
        else
            QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
    }

    static QStringList rows_of(SEDQ_MNEMONIC_DLG* dialog)
    {
        QStringList rows;
        const QStandardItemModel* model = dialog->get_view()->get_model();
        for (int r = 0; r < model->rowCount(); ++r)
            rows << model->item(r, 0)->text() + QLatin1Char('=') + model->item(r, 1)->text();
        return rows;
    }

    SDR_DATA_MNEMONICS* tables() { return SEDQ_REPOSITORY::session(tx())->get_data_session()->get_mnemonics(); }

    QStringList document_entries(const char* name)
    {
        QStringList entries;
        const SDR_DATA_MNEMONICS_TABLE* table = tables()->find_table(name);
        for (int j = 0; table != nullptr && j < table->get_num_entries(); ++j)
            entries << QString::fromUtf8(table->get_value(j)) + QLatin1Char('=') + table->get_first_symbol(j);
        return entries;
    }
};

TEST_F(mnemonic_dlg_test, the_dialog_shows_its_title_buttons_legend_and_two_columns)
{
    open_with_states();
    auto dialog = shown_dialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Mnemonic Table Setup"));
    EXPECT_EQ(dialog->get_table_combo()->currentText(), QStringLiteral("states : width = 2"));
    const QHeaderView* header = dialog->get_view()->horizontalHeader();
    for (int column : {SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN})
        EXPECT_EQ(header->sectionSize(column), SEDQ_MNEMONIC_TABLE_VIEW::COLUMN_WIDTH);
    EXPECT_EQ(dialog->get_view()->get_model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Pattern"));
    EXPECT_EQ(rows_of(dialog.get()), QStringList({"00=IDLE", "01=RUN", "<<new>>=<<new>>"})) << "pattern order";
    QStringList legend;
    for (const QLabel* label : dialog->get_legend()->findChildren<QLabel*>())
        legend << label->text();
    EXPECT_EQ(legend, QStringList({"1 - High", "0 - Low", "H - High", "L - Low", "R - Rising Edge", "F - Falling Edge",
                                   "E - Either Edge", "X - Don't Care"}));
    EXPECT_EQ(dialog->get_add_table_button()->text(), QStringLiteral("Add &Table..."));
    EXPECT_TRUE(dialog->get_delete_table_button()->isEnabled());
    EXPECT_TRUE(dialog->get_add_entry_button()->isEnabled());
    EXPECT_FALSE(dialog->get_delete_entry_button()->isEnabled()) << "until an entry is selected";
    dialog->get_view()->setCurrentIndex(dialog->get_view()->get_model()->index(0, 0));
    EXPECT_TRUE(dialog->get_delete_entry_button()->isEnabled());
    dialog->get_view()->setCurrentIndex(dialog->get_view()->get_model()->index(2, 0));
    EXPECT_FALSE(dialog->get_delete_entry_button()->isEnabled()) << "the <<new>> row";
}

TEST_F(mnemonic_dlg_test, typed_cells_become_entries_in_pattern_order)
{
    open(write_document([](SDR_DATA_SESSION& s) { s.get_mnemonics()->create_table("wide : width = 5", 5); }));
    auto dialog = shown_dialog();
    type_into(dialog.get(), 0, SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN, QStringLiteral("1x0z"));
    EXPECT_EQ(rows_of(dialog.get()), QStringList({"001X0=<enter symbol>", "<<new>>=<<new>>"}));
    type_into(dialog.get(), 1, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QStringLiteral("ANY"));
    type_into(dialog.get(), 2, SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN, QStringLiteral("1111111"));
    type_into(dialog.get(), 0, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QStringLiteral("LOW"));
    type_into(dialog.get(), 1, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QString());
    EXPECT_EQ(rows_of(dialog.get()),
              QStringList({"001X0=LOW", "XXXXX=<enter symbol>", "XXXXX=ANY", "<<new>>=<<new>>"}))
        << "a new entry goes before equal ones; a cleared mnemonic asks for one";
}

// Row r must always be the entry that editing or deleting row r changes, also after the
// working copy took a new entry at another place than the "<<new>>" row.
TEST_F(mnemonic_dlg_test, edits_after_a_new_row_change_the_entry_the_user_sees)
{
    open_with_states();
    auto dialog = shown_dialog();
    type_into(dialog.get(), 2, SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN, QStringLiteral("0")); // 00, before IDLE
    type_into(dialog.get(), 0, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QStringLiteral("NEW"));
    dialog->get_view()->setCurrentIndex(dialog->get_view()->get_model()->index(1, 0));
    QTest::mouseClick(dialog->get_delete_entry_button(), Qt::LeftButton);
    const QStringList seen = rows_of(dialog.get());
    EXPECT_EQ(seen, QStringList({"00=NEW", "01=RUN", "<<new>>=<<new>>"}));
    QTest::mouseClick(dialog->get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(document_entries("states : width = 2"), seen.mid(0, 2));
}

TEST_F(mnemonic_dlg_test, add_table_asks_name_and_width_once)
{
    open_empty();
    SEDQ_MNEMONIC_NEW_TABLE_DLG dialog(nullptr);
    const struct
    {
        const char* name;
        const char* table;
        const char* width;
        const char* message; // "" when it closes with OK
        const char* full_name;
    } rows[] = {{"plain", "state", "8", "", "state : width = 8"},
                {"a sign is read with the number", "state", "+8", "", "state : width = 8"},
                {"no name", "", "8", "Mnemonic table must have a name", ""},
                {"zero", "state", "0", "Enter a value between 1 and 1024", ""},
                {"past the top", "state", "1025", "Enter a value between 1 and 1024", ""},
                {"the top", "state", "1024", "", "state : width = 1024"},
                {"no number", "state", "x", "Enter a value between 1 and 1024", ""}};
    for (const auto& row : rows)
    {
        standin::msg::reset();
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        dialog.get_name_edit()->setText(QString::fromLatin1(row.table));
        dialog.get_width_edit()->setText(QString::fromLatin1(row.width));
        QTest::mouseClick(dialog.get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        const bool closed = *row.message == '\0';
        EXPECT_EQ(dialog.result() == QDialog::Accepted, closed) << row.name;
        EXPECT_EQ(dialog.isVisible(), !closed) << row.name;
        if (closed)
            EXPECT_EQ(dialog.get_full_name(), QLatin1String(row.full_name)) << row.name;
        const std::string shown = standin::msg::shown().empty() ? std::string() : standin::msg::shown()[0].text;
        EXPECT_EQ(shown, row.message) << row.name;
    }
}

TEST_F(mnemonic_dlg_test, ok_writes_one_undoable_change_in_working_copy_order)
{
    open_with_states();
    on_next_modal<SEDQ_MNEMONIC_NEW_TABLE_DLG>([](SEDQ_MNEMONIC_NEW_TABLE_DLG* dialog) {
        ASSERT_NE(dialog, nullptr);
        dialog->get_name_edit()->setText(QStringLiteral("opcode"));
        dialog->get_width_edit()->setText(QStringLiteral("8"));
    });
    {
        auto dialog = shown_dialog();
        QTest::mouseClick(dialog->get_add_table_button(), Qt::LeftButton);
        EXPECT_EQ(dialog->get_table_combo()->currentText(), QStringLiteral("opcode : width = 8"));
        type_into(dialog.get(), 0, SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN, QStringLiteral("10"));
        type_into(dialog.get(), 0, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QStringLiteral("ADD"));
        QTest::mouseClick(dialog->get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
    EXPECT_EQ(document_entries("opcode : width = 8"), QStringList({"00000010=ADD"}));
    EXPECT_STREQ(tables()->get_table(1)->get_name(), "opcode : width = 8") << "working-copy order";
    EXPECT_TRUE(tx()->get_tx_instance()->is_modified());
    EXPECT_TRUE(frame()->isWindowModified());
    tx()->on_edit_undo();
    EXPECT_EQ(tables()->find_table("opcode : width = 8"), nullptr) << "the whole OK is one step";
    EXPECT_EQ(document_entries("states : width = 2"), QStringList({"01=RUN", "00=IDLE"})) << "as it stood";
    tx()->on_edit_redo();
    EXPECT_EQ(document_entries("opcode : width = 8"), QStringList({"00000010=ADD"}));
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(mnemonic_dlg_test, cancel_and_an_unchanged_ok_leave_the_document_alone)
{
    open_with_states();
    for (const bool ok : {false, true})
    {
        auto dialog = shown_dialog();
        if (!ok)
            type_into(dialog.get(), 2, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QStringLiteral("DROPPED"));
        QTest::mouseClick(dialog->get_button_box()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible()) << ok;
    }
    EXPECT_EQ(document_entries("states : width = 2"), QStringList({"01=RUN", "00=IDLE"}))
        << "an unchanged OK does not even sort the document's table";
    EXPECT_FALSE(tx()->get_tx_instance()->is_undo_available());
    EXPECT_FALSE(tx()->get_tx_instance()->is_modified());
}

TEST_F(mnemonic_dlg_test, deleting_every_table_disables_the_table_and_entry_buttons)
{
    open_with_states();
    auto dialog = shown_dialog();
    dialog->get_view()->setCurrentIndex(dialog->get_view()->get_model()->index(0, 0));
    QTest::mouseClick(dialog->get_delete_table_button(), Qt::LeftButton);
    EXPECT_EQ(dialog->get_table_combo()->count(), 0);
    EXPECT_EQ(dialog->get_view()->get_model()->rowCount(), 0) << "the view is empty";
    for (const QPushButton* button :
         {dialog->get_delete_table_button(), dialog->get_add_entry_button(), dialog->get_delete_entry_button()})
        EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
    dialog->on_delete();
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text, "Cannot delete -- no tables exist");
    QTest::mouseClick(dialog->get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(tables()->get_num_tables(), 0);
}

TEST_F(mnemonic_dlg_test, add_entry_takes_the_value_dialog_pattern_at_the_table_width)
{
    open_with_states();
    auto dialog = shown_dialog();
    dialog->set_entry_dialog(&SEDQ_VIEW::ask_mnemonic_entry);
    on_next_modal<SEDQ_TRIGGER_VALUE_DLG>([](SEDQ_TRIGGER_VALUE_DLG* value) {
        ASSERT_NE(value, nullptr);
        value->get_value_edit()->setText(QStringLiteral("3"));
        value->get_mnemonic_edit()->setText(QStringLiteral("BOTH"));
        QTest::mouseClick(value->get_ok_button(), Qt::LeftButton);
    });
    QTest::mouseClick(dialog->get_add_entry_button(), Qt::LeftButton);
    EXPECT_EQ(rows_of(dialog.get()), QStringList({"00=IDLE", "01=RUN", "11=BOTH", "<<new>>=<<new>>"}));
}

// The mnemonic table setup on the demo, through the node view's command: a table added and
// filled in the dialog, a bus shown through it, and the whole OK undone and redone.
#include "view/sedq_modal_step.h"
#include "view/sedq_view_test_support.h"
#include "support/demo_files.h"

#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/standin/msg_control.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"
#include "sedq/plugins/sedq_mnemonic_dlg_table_view.h"
#include "sedq/plugins/sedq_mnemonic_new_table_dlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>

namespace
{
const QString TABLE = QStringLiteral("mode : width = 2");

void type_into(SEDQ_MNEMONIC_TABLE_VIEW* view, int row, int column, const QString& text)
{
    const QModelIndex index = view->get_model()->index(row, column);
    QApplication::setActiveWindow(view->window()); // a closed nested dialog leaves none active
    view->setCurrentIndex(index);
    view->edit(index);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// Inside the setup dialog: "Add Table" with "mode" and 2, then 11 BUSY and 00 IDLE, then OK.
void fill_the_setup(SEDQ_MNEMONIC_DLG* dialog)
{
    ASSERT_NE(dialog, nullptr);
    on_next_modal<SEDQ_MNEMONIC_NEW_TABLE_DLG>([](SEDQ_MNEMONIC_NEW_TABLE_DLG* table) {
        ASSERT_NE(table, nullptr);
        table->get_name_edit()->setText(QStringLiteral("mode"));
        table->get_width_edit()->setText(QStringLiteral("2"));
    });
    QTest::mouseClick(dialog->get_add_table_button(), Qt::LeftButton);
    QApplication::setActiveWindow(dialog);
    type_into(dialog->get_view(), 0, SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN, QStringLiteral("11"));
    type_into(dialog->get_view(), 0, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QStringLiteral("BUSY"));
    type_into(dialog->get_view(), 1, SEDQ_MNEMONIC_TABLE_VIEW::PATTERN_COLUMN, QStringLiteral("0"));
    type_into(dialog->get_view(), 0, SEDQ_MNEMONIC_TABLE_VIEW::MNEMONIC_COLUMN, QStringLiteral("IDLE"));
    QTest::mouseClick(dialog->get_button_box()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}
} // namespace

class mnemonic_demo_test : public view_test
{
protected:
    int row_of(const char* name)
    {
        const SDR_TX_SIGNAL_NODES* nodes = tx()->get_trigger_nodes(-1);
        for (int row = 0; nodes != nullptr && row < nodes->get_num_nodes(); ++row)
            if (QString::fromLocal8Bit(nodes->get_node_name(row)).startsWith(QLatin1String(name)))
                return row;
        return -1;
    }

    QString symbol_of(int row, const char* bits)
    {
        QString symbol;
        tx()->get_node_mnemonics_symbol(row, QString::fromLatin1(bits), &symbol, nullptr);
        return symbol;
    }
};

TEST_F(mnemonic_demo_test, a_table_made_in_the_setup_names_the_values_of_a_demo_bus)
{
    const QString copy = m_dir.filePath(QStringLiteral("demo.vtl"));
    ASSERT_TRUE(QFile::copy(sedq_demo_file("demo.vtl"), copy));
    open(copy);
    const int bus = row_of("ctrl|mode[1..0]");
    ASSERT_GE(bus, 0);
    on_next_modal<SEDQ_MNEMONIC_DLG>(&fill_the_setup);
    view()->on_mnemonic_table_setup();
    const SDR_DATA_MNEMONICS* tables = tx()->get_tx_session()->get_data_session()->get_mnemonics();
    ASSERT_NE(tables->find_table(TABLE.toUtf8().constData()), nullptr);
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION_IF_POWERUP);
        ASSERT_TRUE(tx()->set_node_group_display_type(bus, SDR_GTYPE_MNEMONICS));
        ASSERT_TRUE(tx()->set_node_mnemonics_table_name(bus, TABLE));
    }
    EXPECT_EQ(symbol_of(bus, "11"), QStringLiteral("BUSY"));
    EXPECT_EQ(symbol_of(bus, "00"), QStringLiteral("IDLE"));
    tx()->on_edit_undo(); // the bus's display format
    tx()->on_edit_undo(); // the whole OK
    EXPECT_EQ(tables->find_table(TABLE.toUtf8().constData()), nullptr);
    tx()->on_edit_redo();
    const SDR_DATA_MNEMONICS_TABLE* table = tables->find_table(TABLE.toUtf8().constData());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->get_num_entries(), 2);
    EXPECT_STREQ(table->get_first_symbol("11"), "BUSY");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

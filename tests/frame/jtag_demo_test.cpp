// The bundled demo as a user runs it from the window: it opens on its simulated cable and
// device, the toolbar's compile button writes the programming file it names, the JTAG pane's
// Program button loads it into the device, and Run acquires new data for both instances.
#include "jtag_widget_test_support.h"
#include "support/demo_files.h"

#include "host/standin/project_control.h"
#include "sedq/view/sedq_view.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QSplitter>
#include <QToolTip>
#include <QTreeView>


namespace
{
using jtag_widget_test::jtag_widget_fixture;

class jtag_demo_test : public jtag_widget_fixture
{
protected:
    void SetUp() override
    {
        jtag_widget_fixture::SetUp();
        m_previous_folder = QDir::currentPath();
    }

    void TearDown() override
    {
        jtag_widget_fixture::TearDown();
        QDir::setCurrent(m_previous_folder);
    }

    // The demo beside a copy of its project; the host works in the project folder.
    void open_demo()
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("output"));
        for (const char* file : {"demo.vtl", "standin_project.json", "output/demo_top.sof"})
            ASSERT_TRUE(QFile::copy(sedq_demo_file(file), m_dir.filePath(file))) << file;
        std::string error;
        ASSERT_TRUE(standin::project::load(m_dir.filePath("standin_project.json").toStdString(), &error)) << error;
        QDir::setCurrent(m_dir.path());
        m_frame = open_frame(m_dir.filePath("demo.vtl"));
    }

    // The compile button of the window's toolbar; the flow ends on a later turn of the event
    // loop.
    void compile_from_the_toolbar()
    {
        QAction* compile = action_of(ACTION_TOOLBAR_COMPILE);
        ASSERT_TRUE(compile->isEnabled());
        compile->trigger();
    }

    // The tooltip a widget shows for the point, empty when it shows none.
    static QString tooltip_of(QWidget* widget, QPoint point)
    {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, point, widget->mapToGlobal(point));
        QApplication::sendEvent(widget, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    static constexpr int ACTION_TOOLBAR_COMPILE = AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION;
    QString m_previous_folder;
};

TEST_F(jtag_demo_test, the_demo_is_compiled_programmed_and_run_from_the_window)
{
    open_demo();
    EXPECT_EQ(hardware_combo()->currentText(), instance_widget_test::CABLE);
    EXPECT_EQ(device_combo()->currentText(), instance_widget_test::DEVICE);
    EXPECT_EQ(file_edit()->text(), "output/demo_top.sof");
    EXPECT_EQ(jtag_status(), "JTAG ready");
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR) << "the demo is shipped compiled";

    compile_from_the_toolbar();
    QTest::qWait(20);
    refresh();
    ASSERT_TRUE(QFile::exists(m_dir.filePath("output/demo_top.sof")));
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR);

    ASSERT_TRUE(program_button()->isEnabled());
    program_button()->click();
    QTest::qWait(20);
    refresh();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);

    select({0, 1});
    press(ACTION_RUN);
    end_all_runs();
    for (int instance : {0, 1})
    {
        const SDR_DATA_LOG* shown = tx()->get_tx_session()->get_log_at(instance, false);
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->is_data_available(false)) << instance;
        EXPECT_STREQ(shown->get_name(), "log_1") << "the demo keeps a log per acquisition";
        EXPECT_EQ(status_text(instance), SEDQ_INSTANCE_WIDGET::SEDQ_NOT_RUNNING_STR);
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
    EXPECT_TRUE(m_frame->grab().save(QString(SEDQ_BINARY_DIR) + "/jtag_demo.png", "PNG"));
}

// The compiled file kept in the demo document, shown in the opened SOF Manager.
TEST_F(jtag_demo_test, the_compiled_file_is_kept_in_the_demo_and_matches_both_instances)
{
    open_demo();
    compile_from_the_toolbar();
    QTest::qWait(20);
    refresh();
    jtag()->get_attach_button()->click();
    jtag()->on_sof_manager_toggle();
    refresh();
    ASSERT_EQ(sof_model()->rowCount(), 1);
    EXPECT_EQ(sof_headers(), QStringList({"Attached SOF Files", "counter_probe", "fsm_uart"}));
    EXPECT_EQ(sof_model()->item(0, 0)->text(), "demo_top.sof");
    EXPECT_EQ(sof_model()->item(0, 1)->text(), "compatible");
    EXPECT_EQ(sof_model()->item(0, 2)->text(), "compatible");
    EXPECT_TRUE(jtag()->get_sof_table()->isVisible());
    EXPECT_TRUE(m_frame->grab().save(QString(SEDQ_BINARY_DIR) + "/jtag_demo_sof_manager.png", "PNG"));
}

// At the window's size the instance list shows every column, the resource columns with their
// whole headers (the block columns' tooltips, which name the block families, are checked in the
// host's window); a cell or the programming-file field too narrow for its text leaves out the
// middle and shows the whole text as its tooltip.
TEST_F(jtag_demo_test, the_demo_shows_every_column_and_the_whole_file_name_on_demand)
{
    open_demo();
    m_frame->resize(1280, 715); // the editor's part of the host window at its default size
    refresh();
    QTreeView* list = pane()->get_tree();
    QHeaderView* header = list->header();
    for (int column = SEDQ_INSTANCE_COLUMN_ENABLED; column < model()->columnCount(); ++column)
    {
        const QString title = model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << title.toStdString();
    }
    // Names and states are never cut to fit the pane: a narrow pane scrolls instead.
    for (int column : {SEDQ_INSTANCE_COLUMN_NAME, SEDQ_INSTANCE_COLUMN_STATUS})
        for (int row = 0; row < model()->rowCount(); ++row)
        {
            const QModelIndex index = model()->index(row, column);
            EXPECT_GE(header->sectionSize(column), list->sizeHintForIndex(index).width())
                << index.data().toString().toStdString();
        }
    // A column the user narrowed elides its texts and shows them whole as tooltips.
    header->resizeSection(SEDQ_INSTANCE_COLUMN_NAME, 30);
    const QModelIndex narrowed = model()->index(0, SEDQ_INSTANCE_COLUMN_NAME);
    EXPECT_EQ(tooltip_of(list->viewport(), list->visualRect(narrowed).center()), narrowed.data().toString());

    QLineEdit* field = file_edit();
    field->setText(m_dir.filePath("output/demo_top.sof"));
    field->clearFocus();
    const QString whole = field->text();
    ASSERT_GT(field->fontMetrics().horizontalAdvance(whole), field->width()) << "the path is wider than the field";
    EXPECT_EQ(tooltip_of(field, field->rect().center()), whole);
    QLineEdit reference;
    reference.setFont(field->font());
    reference.setPalette(field->palette());
    reference.setEnabled(field->isEnabled());
    reference.resize(field->size());
    reference.setText(field->fontMetrics().elidedText(whole, Qt::ElideMiddle, field->width() - 8));
    reference.setCursorPosition(0);
    EXPECT_TRUE(reference.text().endsWith("sof")) << reference.text().toStdString();
    // Inside the frame, which the two may draw apart (hover, activation), the texts are the same.
    const QRect inside = field->rect().adjusted(3, 3, -3, -3);
    const QImage shown = field->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(inside);
    const QImage expected = reference.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(inside);
    EXPECT_EQ(shown, expected) << "the field shows the start and the end of the path";
}

// The demo gives the node table most of the window, and a change asks for the compile the
// demo's device family offers.
TEST_F(jtag_demo_test, the_demo_opens_on_a_large_node_table_and_asks_for_a_compile_it_can_run)
{
    open_demo();
    SEDQ_LAYOUT_WIDGET* layout = m_frame->get_layout_widget();
    const int table = layout->get_view()->height();
    auto* page = qobject_cast<QSplitter*>(layout->get_instance_tab_widget()->currentWidget());
    ASSERT_NE(page, nullptr);
    EXPECT_GE(table, 3 * page->sizes().value(1)) << "the hierarchy and log row stays low";
    EXPECT_GT(table, m_frame->height() * 2 / 5);
    auto* depth = m_frame->findChild<QComboBox*>("sample_depth_combo");
    ASSERT_NE(depth, nullptr);
    depth->setCurrentIndex(depth->findText("128"));
    refresh();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_COMPILE_DESIGN_STR);
    EXPECT_TRUE(action_of(ACTION_TOOLBAR_COMPILE)->isEnabled()) << "the instruction can be followed";
}
} // namespace

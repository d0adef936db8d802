// What the user sees of the panes in the host's window at its default size, on the demo beside
// its project: the instance list's columns and their tooltips, the SOF Manager opened by its
// button, and the pictures File > Export writes of the waveform, read back from the files.
#include "app/host_window_support.h"

#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/frame/sedq_jtag_widget.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_export_dlg.h"
#include "sedq/view/sedq_view.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QImageReader>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>


namespace
{
class demo_window_panes_test : public demo_window_test
{
protected:
    QString document() override { return sedq_copy_demo_project(m_dir); }

    SEDQ_LAYOUT_WIDGET* layout() const { return m_frame->get_layout_widget(); }

    // The SOF Manager's ">>" / "<<" button.
    QPushButton* sof_toggle() const
    {
        for (QPushButton* button : layout()->get_jtag_widget()->findChildren<QPushButton*>())
            if (button->text() == ">>" || button->text() == "<<")
                return button;
        return nullptr;
    }
};

// The instance list as the window first shows it: Instance at its own width, each memory-block
// column naming the family of blocks it counts.
TEST_F(demo_window_panes_test, the_instance_list_opens_with_its_name_width_and_block_tooltips)
{
    QTreeView* list = layout()->get_instance_widget()->get_tree();
    EXPECT_EQ(list->columnWidth(SEDQ_INSTANCE_COLUMN_NAME), 200);
    constexpr int SMALL = SEDQ_INSTANCE_COLUMN_FIRST_USAGE + 2;
    const struct
    {
        int column;
        QString tip;
    } blocks[] = {{SMALL, "Small Memory Block Types:" + SEDQ_RAM_TYPE_DISPLAY_STR_SMALL},
                  {SMALL + 1, "Medium Memory Block Types:" + SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM},
                  {SMALL + 2, "Large Memory Block Types" + SEDQ_RAM_TYPE_DISPLAY_STR_LARGE}};
    for (const auto& block : blocks)
        EXPECT_EQ(list->model()->headerData(block.column, Qt::Horizontal, Qt::ToolTipRole).toString().toStdString(),
                  block.tip.toStdString());
}

// The button opens the table of attached files with room for a whole row under its header,
// also when its instance columns are wider than the pane and it scrolls across; closing and
// opening again gives the same room.
TEST_F(demo_window_panes_test, the_sof_manager_opens_with_a_whole_row_in_view)
{
    QPushButton* toggle = sof_toggle();
    ASSERT_NE(toggle, nullptr);
    QTreeView* table = layout()->get_jtag_widget()->get_sof_table();
    for (int opening = 0; opening < 2; ++opening)
    {
        click(toggle, toggle->rect().center());
        ASSERT_TRUE(table->isVisible());
        const int row = std::max(table->sizeHintForRow(0), table->fontMetrics().height() + 4);
        EXPECT_GE(table->viewport()->height(), row) << "opening " << opening;
        if (table->model()->rowCount() > 0)
            EXPECT_LE(table->visualRect(table->model()->index(0, 0)).bottom(), table->viewport()->height())
                << "opening " << opening;
        click(toggle, toggle->rect().center());
        EXPECT_FALSE(table->isVisible());
    }
}

// ---- pictures -----------------------------------------------------------------------------------

// Answers the export dialog as the user does: types the file name, picks the format, presses OK.
class export_answer : public QObject
{
public:
    export_answer(const QString& file, int format) : m_file(file), m_format(format) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<SEDQ_EXPORT_DLG*>(watched);
        if (dialog == nullptr || event->type() != QEvent::Show)
            return false;
        QLineEdit* name = dialog->get_file_widget()->get_line_edit();
        name->selectAll();
        QTest::keyClicks(name, m_file);
        dialog->get_format_combo()->setCurrentIndex(m_format);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QMetaObject::invokeMethod(buttons->button(QDialogButtonBox::Ok), "click", Qt::QueuedConnection);
        return false;
    }

private:
    QString m_file;
    int m_format;
};

// Picks `entry` from the window's menu bar as the user does: the menu holding it opens (its
// refresh runs), then the entry is chosen when it can be.
bool choose(QWidget* window, QAction* entry)
{
    auto* main = qobject_cast<QMainWindow*>(window);
    for (QAction* title : main != nullptr ? main->menuBar()->actions() : QList<QAction*>())
        if (QMenu* menu = title->menu(); menu != nullptr && menu->actions().contains(entry))
        {
            menu->popup(QPoint(0, 0));
            menu->hide();
            if (!entry->isEnabled())
                return false;
            entry->trigger();
            return true;
        }
    return false;
}

// After a zoom, each picture of the data page is as large as the whole table and acquisition at
// that zoom, the second and third as the first whatever their format; the view keeps its place,
// zoom and scroll position.
TEST_F(demo_window_panes_test, each_picture_of_the_zoomed_waveform_has_the_whole_size)
{
    QTabBar* pages = layout()->get_data_setup_tab_widget(SEDQ_CURRENT)->tabBar();
    click(pages, pages->tabRect(0).center());
    SEDQ_VIEW* view = layout()->get_view();
    const double zoom_before = double(view->get_zoom_level());
    QRect wave;
    view->get_item_rect(SEDQ_VIEW::HEADER_ROWS + 1, SEDQ_COLUMN_WAVEFORM, &wave);
    click(view, wave.center()); // a click in the waveform zooms in there
    ASSERT_NE(double(view->get_zoom_level()), zoom_before);
    const QRect place = view->geometry();
    const double zoom = double(view->get_zoom_level());
    const int scroll = view->get_horizontal_scroll_bar()->value();
    const QSize whole(view->calculate_needed_horizontal_pixels(), view->calculate_needed_vertical_pixels());
    ASSERT_GT(whole.width(), view->width()) << "the zoomed data is wider than the window shows";
    QAction* export_data = m_frame->get_tx_manager()->get_action(AFCQ_SEDQ_EXPORT_DATA_ACTION, QVariant());
    const struct
    {
        const char* file;
        int format;
    } pictures[] = {{"wave.bmp", 3}, {"wave.jpg", 4}, {"again.bmp", 3}};
    for (const auto& picture : pictures)
    {
        export_answer answer(m_dir.filePath(picture.file), picture.format);
        qApp->installEventFilter(&answer);
        const bool chosen = choose(m_frame->window(), export_data);
        qApp->removeEventFilter(&answer);
        ASSERT_TRUE(chosen) << "File > Export is offered on the data page";
        settle();
        EXPECT_EQ(QImageReader(m_dir.filePath(picture.file)).size(), whole) << picture.file;
        EXPECT_EQ(view->geometry(), place) << picture.file;
        EXPECT_EQ(double(view->get_zoom_level()), zoom) << picture.file;
        EXPECT_EQ(view->get_horizontal_scroll_bar()->value(), scroll) << picture.file;
    }
}
} // namespace

// The object library palette: its categories and entries (each entry a kind the canvas can
// make, each with the palette icon) and the drag it starts from the tree.
#include "host/afcq.h"
#include "host/standin/afcq_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QTreeView>
#include <gtest/gtest.h>

#include <iterator>
#include <memory>

namespace
{
// The kind the canvas makes of a dropped entry's text.
SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind_of(const QString& text)
{
    SEDQ_OBJECT object(SEDQ_OBJECT_COPY(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
    object.set_type(text);
    return object.get_type();
}

class operator_widget_test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::afcq::record_icons(true);
        m_palette = std::make_unique<SEDQ_OPERATOR_WIDGET>(nullptr);
        m_palette->resize(240, 600);
        m_palette->show();
        m_palette->get_tree_view()->expandAll();
    }

    QStandardItemModel* model() { return m_palette->get_model(); }
    QTreeView* tree() { return m_palette->get_tree_view(); }

    // What the palette's tree sees of a press and a drag far enough to start a drag.
    void drag_from(QStandardItem* item)
    {
        QWidget* viewport = tree()->viewport();
        const QPoint start = tree()->visualRect(item->index()).center();
        QMouseEvent press(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        for (int step = 1; step <= 2; ++step)
        {
            const QPoint to = start + QPoint(0, step * 2 * QApplication::startDragDistance());
            QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &move);
        }
        QMouseEvent release(QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    }

    std::unique_ptr<SEDQ_OPERATOR_WIDGET> m_palette;
};
} // namespace

// A row without entries is itself an entry; a category names no kind and makes nothing of its
// own; every entry under one is a kind the canvas makes. The counters stay out of the palette.
TEST_F(operator_widget_test, rows_are_entries_or_categories_of_entries_that_each_name_a_kind)
{
    const struct
    {
        const char* text;
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE own_kind;
        int entries;
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE entry_kind;
    } rows[] = {
        {"Edge & Level Detector", SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, 0, SEDQ_OBJECT::UNKNOWN},
        {"Input Objects", SEDQ_OBJECT::UNKNOWN, 3, SEDQ_OBJECT::UNKNOWN},
        {"Comparison Operators", SEDQ_OBJECT::UNKNOWN, 6, SEDQ_OBJECT::COMPARISON_OPERATOR},
        {"Bitwise Operators", SEDQ_OBJECT::UNKNOWN, 4, SEDQ_OBJECT::BITWISE_OPERATOR},
        {"Logical Operators", SEDQ_OBJECT::UNKNOWN, 4, SEDQ_OBJECT::LOGICAL_OPERATOR},
        {"Reduction Operators", SEDQ_OBJECT::UNKNOWN, 3, SEDQ_OBJECT::REDUCTION_OPERATOR},
        {"Shift Operators", SEDQ_OBJECT::UNKNOWN, 2, SEDQ_OBJECT::SHIFT_OPERATOR},
        {"Custom Trigger HDL", SEDQ_OBJECT::CUSTOM_TRIGGER_HDL, 0, SEDQ_OBJECT::UNKNOWN},
    };
    ASSERT_EQ(model()->rowCount(), int(std::size(rows)));
    for (int row = 0; row < model()->rowCount(); ++row)
    {
        const QStandardItem* item = model()->item(row);
        EXPECT_EQ(item->text(), QString::fromLatin1(rows[row].text)) << row;
        EXPECT_EQ(kind_of(item->text()), rows[row].own_kind) << rows[row].text;
        ASSERT_EQ(item->rowCount(), rows[row].entries) << rows[row].text;
        for (int child = 0; child < item->rowCount(); ++child)
        {
            const SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind = kind_of(item->child(child)->text());
            EXPECT_NE(kind, SEDQ_OBJECT::UNKNOWN) << item->child(child)->text().toStdString();
            if (rows[row].entry_kind != SEDQ_OBJECT::UNKNOWN)
                EXPECT_EQ(kind, rows[row].entry_kind) << item->child(child)->text().toStdString();
        }
    }
    const QStandardItem* inputs = model()->item(1);
    EXPECT_EQ(kind_of(inputs->child(0)->text()), SEDQ_OBJECT::BIT_VALUE);
    EXPECT_EQ(kind_of(inputs->child(1)->text()), SEDQ_OBJECT::BUS_VALUE);
    EXPECT_EQ(kind_of(inputs->child(2)->text()), SEDQ_OBJECT::BUS);
    m_palette->update_operator_tree();
    EXPECT_EQ(model()->rowCount(), int(std::size(rows))) << "rebuilt, not appended";
}

TEST_F(operator_widget_test, every_item_shows_the_palette_icon)
{
    int items = 0;
    for (int row = 0; row < model()->rowCount(); ++row)
    {
        QStandardItem* category = model()->item(row);
        items += 1 + category->rowCount();
        EXPECT_FALSE(category->icon().isNull()) << row;
        for (int child = 0; child < category->rowCount(); ++child)
            EXPECT_FALSE(category->child(child)->icon().isNull()) << row << "/" << child;
    }
    const QList<int> asked = standin::afcq::asked_icons();
    EXPECT_EQ(asked.count(AFCQ_ICON_HIERARCHY_LEVEL), items);
    EXPECT_EQ(asked.size(), items) << "no other icon";
    QStandardItem* added = m_palette->add_item(QStringLiteral("Logical And"), model()->item(4));
    EXPECT_EQ(model()->item(4)->child(4), added) << "appended as the last entry";
}

// The tree hands a drag of its selection to the host; the drag's source is the tree, whose
// parent is the palette, which is how a canvas tells a palette drag from any other.
TEST_F(operator_widget_test, dragging_an_entry_hands_the_host_a_drag_from_the_palette_tree)
{
    QObject* source = nullptr;
    QStringList formats;
    standin::afcq::set_drag_handler([&](QDrag* drag, Qt::DropActions actions) {
        source = drag->source();
        formats = drag->mimeData()->formats();
        EXPECT_TRUE(actions & Qt::CopyAction);
        EXPECT_EQ(m_palette->get_selected_items().size(), 1) << "the selection stays while the drag runs";
        return Qt::CopyAction;
    });
    QStandardItem* logical_and = model()->item(4)->child(1);
    drag_from(logical_and);
    ASSERT_EQ(standin::afcq::drags_run(), 1);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source, tree());
    ASSERT_NE(source->parent(), nullptr);
    EXPECT_STREQ(source->parent()->metaObject()->className(), "SEDQ_OPERATOR_WIDGET");
    EXPECT_TRUE(formats.contains(QStringLiteral("application/x-qstandarditemmodeldatalist")));
    EXPECT_EQ(m_palette->get_selected_items(), QList<QStandardItem*>{logical_and});
}

TEST_F(operator_widget_test, selected_entries_come_in_palette_order_and_none_starts_no_drag)
{
    EXPECT_EQ(m_palette->start_drag(Qt::CopyAction), Qt::IgnoreAction);
    EXPECT_EQ(standin::afcq::drags_run(), 0) << "nothing selected";
    QItemSelectionModel* selection = tree()->selectionModel();
    QStandardItem* shift = model()->item(6)->child(0);
    QStandardItem* inputs = model()->item(1);
    QStandardItem* bus = inputs->child(2);
    for (QStandardItem* item : {shift, bus, inputs})
        selection->select(item->index(), QItemSelectionModel::Select);
    EXPECT_EQ(m_palette->get_selected_items(), (QList<QStandardItem*>{inputs, bus, shift}));
    EXPECT_EQ(m_palette->start_drag(Qt::CopyAction), Qt::IgnoreAction) << "a headless host runs no real drag";
    EXPECT_EQ(standin::afcq::drags_run(), 1);
}

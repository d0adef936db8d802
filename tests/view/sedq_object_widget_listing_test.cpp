// The advanced trigger canvas's kept paint work: the listing follows every change of what it
// shows, a repaint of part of the canvas paints there what a whole repaint paints, a repaint of
// the picture leaves the scroll bars alone, and the listing's cut matches a plain scan.
#include "sedq_view_test_support.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QHash>
#include <QPainter>
#include <QScrollBar>

#include <functional>

namespace
{
class canvas_listing_test : public view_test
{
protected:
    void SetUp() override
    {
        view_test::SetUp();
        open_advanced_level();
        ASSERT_NE(canvas()->get_object_list(), nullptr);
        // Result <- Logical <- (Comparison <- (Node a, Bus Value), Node b)
        m_logical = add(SEDQ_OBJECT::LOGICAL_OPERATOR, result());
        m_comparison = add(SEDQ_OBJECT::COMPARISON_OPERATOR, m_logical);
        m_node = add(SEDQ_OBJECT::NODE, m_comparison);
        m_node->set_name("top|a");
        m_value = add(SEDQ_OBJECT::BUS_VALUE, m_comparison);
        m_other = add(SEDQ_OBJECT::NODE, m_logical);
        m_other->set_name("top|b");
        canvas()->arrange_objects();
        settle();
    }

    SEDQ_OBJECT_WIDGET* canvas() { return frame()->get_layout_widget()->get_object_widget(); }
    SEDQ_OBJECT* result()
    {
        QList<SEDQ_OBJECT*>* list = canvas()->get_object_list();
        return list->at(sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT));
    }
    SEDQ_OBJECT* add(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent)
    {
        auto* input = static_cast<SEDQ_OBJECT*>(parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
        input->set_type(type);
        parent->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        return input;
    }
    // The listing's band under the title, as a whole repaint draws it.
    QImage listing()
    {
        const int right = canvas()->width() - canvas()->get_vertical_scroll_bar()->width();
        return canvas()->grab(QRect(QPoint(0, 23), QPoint(right - 1, canvas()->get_header_height() - 1))).toImage();
    }

    SEDQ_OBJECT* m_logical = nullptr;
    SEDQ_OBJECT* m_comparison = nullptr;
    SEDQ_OBJECT* m_node = nullptr;
    SEDQ_OBJECT* m_value = nullptr;
    SEDQ_OBJECT* m_other = nullptr;
};

// Counts the paint events each watched widget receives.
class paint_counter : public QObject
{
public:
    explicit paint_counter(const QList<QWidget*>& widgets)
    {
        for (QWidget* widget : widgets)
        {
            m_counts[widget] = 0;
            widget->installEventFilter(this);
        }
    }
    int count(QWidget* widget) const { return m_counts.value(widget); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_counts[static_cast<QWidget*>(watched)];
        return false;
    }

private:
    QHash<QWidget*, int> m_counts;
};
} // namespace

// What the listing shows is kept between paints; each change shows at the next paint, and
// undoing it brings back the same picture.
TEST_F(canvas_listing_test, the_listing_follows_every_change_of_what_it_shows)
{
    const int kind = m_logical->get_property()[SEDQ_PROPERTY::LOGICAL];
    const struct
    {
        const char* name;
        std::function<void()> change;
        std::function<void()> undo;
    } rows[] = {
        {"a node's name", [this] { m_node->set_name("top|c"); }, [this] { m_node->set_name("top|a"); }},
        {"an operator's kind", [&] { m_logical->get_property().set(SEDQ_PROPERTY::LOGICAL, (kind + 1) % 3); },
         [&] { m_logical->get_property().set(SEDQ_PROPERTY::LOGICAL, kind); }},
        {"a value",
         [this] {
             m_value->get_property().set_setting_text(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("1f"),
                                                      SEDQ_PROPERTY::BY_CONTEXT);
         },
         [this] { m_value->get_property().set(SEDQ_PROPERTY::BUS_VALUE, QString()); }},
        {"the Result's alias", [this] { result()->get_property().set(SEDQ_PROPERTY::ALIAS, QStringLiteral("fire")); },
         [this] { result()->get_property().set(SEDQ_PROPERTY::ALIAS, QString()); }},
        {"the selection", [this] { canvas()->select(m_comparison); }, [this] { canvas()->select(nullptr); }},
        {"an input taken out", [this] { m_logical->detach_child(m_other); },
         [this] { m_logical->attach(m_other, false); }},
    };
    for (const auto& row : rows)
    {
        const QImage before = listing();
        row.change();
        EXPECT_NE(listing(), before) << row.name;
        row.undo();
        EXPECT_EQ(listing(), before) << row.name << ": undone";
    }
}

// A listing wider than the canvas follows the horizontal bar.
TEST_F(canvas_listing_test, a_cut_listing_follows_the_bar_and_the_width)
{
    m_node->set_name("top|a_signal_whose_name_is_longer_than_the_canvas_is_wide");
    canvas()->resize(260, canvas()->height());
    settle();
    QScrollBar* bar = canvas()->get_horizontal_scroll_bar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(0);
    const QImage start = listing();
    bar->setValue(bar->maximum());
    EXPECT_NE(listing(), start) << "past the middle the end shows";
    bar->setValue(0);
    EXPECT_EQ(listing(), start);
    canvas()->resize(300, canvas()->height());
    settle();
    bar->setValue(0);
    EXPECT_NE(listing().width(), start.width());
    EXPECT_NE(listing().copy(start.rect()), start) << "a wider band keeps more of the text";
}

// The picture a part of the canvas gets from a repaint of that part alone is the one a whole
// repaint gives it: the title, the listing, the drawing, the error message and the strip
// under the horizontal bar.
TEST_F(canvas_listing_test, a_repaint_of_a_part_paints_there_what_a_whole_repaint_paints)
{
    m_other->set_name("");
    canvas()->select(m_node);
    const QImage whole = canvas()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_NE(canvas()->get_error(), SEDQ_OBJECT::ERROR_NONE) << "the message shows";
    const int w = canvas()->width();
    const int h = canvas()->height();
    const int header = canvas()->get_header_height();
    const struct
    {
        const char* name;
        QRect part;
    } rows[] = {
        {"the title", QRect(0, 0, w, 20)},
        {"the listing", QRect(0, 24, w, header - 24)},
        {"the listing's end", QRect(w / 2, 24, w / 2, header - 24)},
        {"the drawing", QRect(0, header + 10, w, h / 2)},
        {"the error message", QRect(0, h - 40, w / 3, 20)},
        {"under the horizontal bar", QRect(0, h - 14, w, 14)},
        {"across title, listing and drawing", QRect(w / 3, 5, 80, header + 100)},
    };
    for (const auto& row : rows)
    {
        QImage part(canvas()->size(), QImage::Format_ARGB32_Premultiplied);
        part.fill(Qt::magenta);
        canvas()->render(&part, row.part.topLeft(), QRegion(row.part));
        EXPECT_EQ(part.copy(row.part), whole.copy(row.part)) << row.name;
    }
}

// The scroll bars repaint themselves when their values change; a change of the picture alone
// repaints the canvas and leaves them as they are.
TEST_F(canvas_listing_test, a_repaint_of_the_picture_leaves_the_scroll_bars_alone)
{
    QScrollBar* horizontal = canvas()->get_horizontal_scroll_bar();
    QScrollBar* vertical = canvas()->get_vertical_scroll_bar();
    ASSERT_TRUE(horizontal->isVisible() && vertical->isVisible());
    settle();
    paint_counter paints({canvas(), horizontal, vertical});
    canvas()->on_multiple_input();
    settle();
    canvas()->on_multiple_input();
    settle();
    EXPECT_GT(paints.count(canvas()), 0);
    EXPECT_EQ(paints.count(horizontal), 0);
    EXPECT_EQ(paints.count(vertical), 0);
    horizontal->setValue(horizontal->value() + 10);
    settle();
    EXPECT_GT(paints.count(horizontal), 0) << "a bar that moved repaints";
}

// The canvas paints every pixel of a repaint itself, with no condition on show too.
TEST_F(canvas_listing_test, a_canvas_without_a_condition_paints_its_base)
{
    canvas()->on_update(nullptr, SEDQ_UPDATE_TRIGGER_CANVAS | SEDQ_UPDATE_REBUILD);
    ASSERT_EQ(canvas()->get_object_list(), nullptr);
    const QImage picture = canvas()->grab().toImage();
    const QColor base = canvas()->palette().color(QPalette::Base);
    for (const QPoint& at : {QPoint(5, 5), QPoint(canvas()->width() / 2, canvas()->height() / 2)})
        EXPECT_EQ(picture.pixelColor(at), base) << at.x() << "," << at.y();
}

namespace
{
// The listing's cut by the plainest means: the longest start followed by "..." that fits, and
// the fewest blanks as wide as the shift, each found by trying every length in turn.
QString scanned_fit(const QFontMetrics& metrics, const QString& text, int label, int area, int position,
                    int maximum, int* x)
{
    const int total = label + metrics.horizontalAdvance(text);
    const int shift = total > area && maximum > 0 && position > maximum / 2
                          ? int((2.0 * position / maximum - 1.0) * (total - area))
                          : 0;
    const QString dots = QStringLiteral("...");
    QString fitted = text;
    if (total - shift > area)
    {
        int kept = 0;
        while (kept < text.size() && metrics.horizontalAdvance(text.left(kept + 1) + dots) + label - shift <= area)
            ++kept;
        fitted = text.left(kept) + dots;
    }
    if (shift > 0)
    {
        int blanks = 0;
        while (metrics.horizontalAdvance(QString(blanks, QLatin1Char(' '))) < shift)
            ++blanks;
        fitted = QString(blanks, QLatin1Char(' ')) + dots + fitted.mid(blanks + 3);
    }
    *x = label - shift;
    return fitted;
}
} // namespace

// The cut starts its search from the text's mean width, which a proportional font or a text of
// wide and narrow letters makes a poor guess; it still lands where a plain scan does.
TEST(canvas_listing, the_cut_matches_a_plain_scan_in_every_font_and_position)
{
    const QString formula = QStringLiteral("({a,b,c,d}=8'h1f&&{e,f}!=2'b01)||(counter*12&&~{g,h,i})");
    const struct
    {
        const char* name;
        QString text;
    } texts[] = {
        {"letters", QStringLiteral("abcdefghijklmnopqrstuvwxyz")},
        {"wide then narrow", QString(40, QLatin1Char('W')) + QString(80, QLatin1Char('i'))},
        {"narrow then wide", QString(80, QLatin1Char('i')) + QString(40, QLatin1Char('W'))},
        {"a long formula", formula.repeated(6)},
        {"nothing", QString()},
    };
    for (const QFont& font : {QFont(QStringLiteral("Courier"), 12), QFont(QStringLiteral("Sans Serif"), 10)})
    {
        const QFontMetrics metrics(font);
        const int label = metrics.horizontalAdvance(QStringLiteral("Result: "));
        for (const auto& row : texts)
            for (int area : {label - 5, label + 40, label + 170, label + 600})
                for (int position : {0, 50, 51, 75, 100})
                {
                    int x = 0;
                    int expected_x = 0;
                    const QString fitted =
                        SEDQ_OBJECT_WIDGET::fit_listing(metrics, row.text, label, area, position, 100, &x);
                    EXPECT_EQ(fitted, scanned_fit(metrics, row.text, label, area, position, 100, &expected_x))
                        << font.family().toStdString() << " " << row.name << " area " << area << " at " << position;
                    EXPECT_EQ(x, expected_x) << row.name;
                }
    }
}

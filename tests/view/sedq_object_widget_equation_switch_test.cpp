// The host switch that adds the validated equation to the canvas's title band. The canvas reads
// it once per process, so each case runs in a process of its own that exits 0 when every
// expectation held.
#include "sedq_view_test_support.h"

#include "host/standin/cfg_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QImage>
#include <QScrollBar>

#include <unistd.h>

namespace
{
const char* const SWITCH = "sed_show_equation";
// The title band's height in widget pixels; the equation follows the title text on it.
constexpr int TITLE_BAND = 22;

class canvas_equation_switch_test : public view_test
{
protected:
    // A canvas showing Result <- the Node "top|a", whose equation is valid.
    SEDQ_OBJECT_WIDGET* canvas_with_a_condition()
    {
        open_advanced_level();
        SEDQ_OBJECT_WIDGET* canvas = frame()->get_layout_widget()->get_object_widget();
        // The canvas gives the shown condition its Result.
        QList<SEDQ_OBJECT*>* list = canvas->get_object_list();
        const int index = list != nullptr ? sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT) : -1;
        if (index < 0)
            return canvas;
        SEDQ_OBJECT* result = list->at(index);
        result->move(500, 200);
        auto* node = static_cast<SEDQ_OBJECT*>(result->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TYPE(0)));
        node->set_type(SEDQ_OBJECT::NODE);
        node->set_name("top|a");
        node->move(370, 200);
        result->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        canvas->resize(900, 400);
        refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
        return canvas;
    }

    // Whether anything is drawn on the title band right of its title text (an equation that
    // overprints the title's end does not count).
    static bool band_shows_more_than_the_title(SEDQ_OBJECT_WIDGET* canvas)
    {
        const QImage picture = canvas->grab().toImage();
        const int after_title = canvas->fontMetrics().horizontalAdvance(canvas->get_title()) + 10;
        const QColor face = picture.pixelColor(picture.width() - canvas->get_vertical_scroll_bar()->width() - 2, 2);
        for (int y = 1; y < TITLE_BAND - 1; ++y)
            for (int x = after_title; x < picture.width() - canvas->get_vertical_scroll_bar()->width() - 2; ++x)
                if (picture.pixelColor(x, y) != face)
                    return true;
        return false;
    }
};
} // namespace

TEST_F(canvas_equation_switch_test, the_switch_is_read_once_and_shows_the_equation_in_the_title)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct
    {
        const char* name;
        bool on;
    } rows[] = {{"switched on", true}, {"switched off", false}};
    for (const auto& row : rows)
    {
        auto run = [this, &row]
        {
            standin::cfg::set(SWITCH, row.on);
            SEDQ_OBJECT_WIDGET* canvas = canvas_with_a_condition();
            const bool first = SEDQ_OBJECT_WIDGET::show_equation();
            const bool shown = band_shows_more_than_the_title(canvas);
            // Turned the other way while the process runs, the switch is not read again.
            standin::cfg::set(SWITCH, !row.on);
            const bool later =
                SEDQ_OBJECT_WIDGET::show_equation() == row.on && band_shows_more_than_the_title(canvas) == row.on;
            const bool ok = first == row.on && shown == row.on && later && standin::cfg::read_count(SWITCH) == 1 &&
                            canvas->get_error() == SEDQ_OBJECT::ERROR_NONE;
            _exit(ok ? 0 : 1);
        };
        EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "") << row.name;
    }
}

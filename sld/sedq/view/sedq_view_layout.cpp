// SEDQ_VIEW: fitting the view to its size — the ranges of both scroll bars, the layout margins
// that keep the vertical bar below the header, the lock-mode combo beside its title, then the
// level-type combos and the transition buttons.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

namespace
{
constexpr int ZOOM_BASE = 0x20000;
constexpr int LOCK_MODE_COMBO_HEIGHT = 21;
constexpr int LOCK_MODE_COMBO_MIN_WIDTH = 21;
constexpr int LOCK_MODE_COMBO_MAX_WIDTH = 222;
} // namespace

void SEDQ_VIEW::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (is_resize_flag_set() || m_tx_manager.isNull())
        return;
    layout_scroll_bars();
    place_lock_mode_combo();
    update_advanced_trigger_combo_positions();
    show_timebar_buttons();
}

void SEDQ_VIEW::layout_scroll_bars()
{
    int total = 0;
    for (int column = 0; column < STORED_COLUMN_COUNT; ++column)
        total += get_column_width(column);
    int available_width = width();
    const auto fit_horizontally = [&]()
    {
        m_horizontal_scrolling = total >= available_width;
        if (m_horizontal_scrolling)
        {
            m_horizontal_scroll_bar->setRange(0, total + 1 - available_width);
            m_horizontal_scroll_bar->setPageStep(available_width);
            m_horizontal_scroll_bar->show();
        }
        return m_horizontal_scrolling;
    };
    if (!fit_horizontally())
    {
        int depth = 0;
        m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
        if (double(m_zoom_level) == 0.0)
        {
            m_zoom_level = 1;
            m_zoom_offset = 0;
        }
        const int window = depth > 0 && m_tx_manager->is_data_mode(SEDQ_CURRENT)
                               ? static_cast<int>(ZOOM_BASE / double(m_zoom_level) - get_fudge_factor())
                               : depth;
        if (window != depth && window > 0)
        {
            m_horizontal_scroll_bar->setRange(0, std::max(depth - window, 0));
            m_horizontal_scroll_bar->setPageStep(window);
            m_horizontal_scroll_bar->show();
        }
        else
        {
            m_horizontal_scroll_bar->setValue(0);
            m_horizontal_scroll_bar->hide();
        }
    }
    // Rows that fit below the header, counted from the last one up, make a page.
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    int available_height =
        height() - (m_horizontal_scroll_bar->isHidden() ? 0 : m_horizontal_scroll_bar->sizeHint().height());
    const int below_header = available_height - layout.get_header_height();
    // A resize that had to clamp the top row leaves the row it wanted on the bar; a later resize
    // that makes room again gives it back unless the user scrolled since, so passing sizes (the
    // host laying out its bars again when the window is activated) never move the rows.
    const int shown_top = m_vertical_scroll_bar->value();
    const int value =
        m_clamped_top_row && shown_top == m_clamped_top_row->shown ? m_clamped_top_row->wanted : shown_top;
    m_vertical_scroll_bar->setValue(0);
    int page = 0;
    int used = 0;
    for (int shown = layout.get_shown_count() - 1; shown >= 0; --shown)
    {
        used += layout.get_row_height(layout.get_shown_node(shown) + HEADER_ROWS);
        if (used >= below_header)
            break;
        ++page;
    }
    page = std::max(page, 1);
    if (layout.get_shown_count() > page)
    {
        m_vertical_scroll_bar->setRange(0, layout.get_shown_count() - page);
        m_vertical_scroll_bar->setPageStep(page);
        m_vertical_scroll_bar->setValue(value);
        m_vertical_scroll_bar->show();
        available_width -= m_vertical_scroll_bar->sizeHint().width();
        fit_horizontally();
    }
    else
        m_vertical_scroll_bar->hide();
    m_clamped_top_row = CLAMPED_TOP_ROW{m_vertical_scroll_bar->value(), value};
    const bool data = m_tx_manager->is_data_mode(SEDQ_CURRENT);
    const int top = m_vertical_scroll_bar->isHidden() ? 0 : layout.get_header_height() + 1;
    const int left = data && !m_horizontal_scrolling && !m_horizontal_scroll_bar->isHidden() ? total + 1 : 0;
    m_layout->setContentsMargins(left, top, 0, 0);
}

// Beside its "Lock mode:" title, as wide as the view leaves room for, up to a combo's width.
void SEDQ_VIEW::place_lock_mode_combo()
{
    if (m_frame_wnd == nullptr || !m_tx_manager->is_setup_mode())
        return;
    static const int title_width = [this]()
    {
        const QRect bounds = QFontMetrics(font()).boundingRect(QStringLiteral("Lock mode:"));
        return bounds.right() - bounds.left() + 14;
    }();
    const int x = get_column_width(SEDQ_COLUMN_TYPE) + get_column_width(SEDQ_COLUMN_ALIAS) +
                  get_column_width(SEDQ_COLUMN_NAME) + title_width;
    const int room = width() - x;
    if (room < LOCK_MODE_COMBO_MIN_WIDTH)
    {
        m_lock_mode_combo->hide();
        return;
    }
    m_lock_mode_combo->setGeometry(x, 0, std::min(room, LOCK_MODE_COMBO_MAX_WIDTH),
                                   LOCK_MODE_COMBO_HEIGHT + 1);
    m_lock_mode_combo->show();
}

// SEDQ_VIEW_PRINTER: the page grid of a printout, the rows and columns of each page, and the
// run of the printer.
#include "sedq/view/sedq_view_printer.h"
#include "sedq/model/sedq_util.h"

#include "host/afcq.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_view.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>

#include <algorithm>

namespace
{
std::vector<int> shown_rows(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx)
{
    std::vector<int> shown;
    const int count = tx->get_node_count(SEDQ_CURRENT);
    for (int node = 0; node < count; ++node)
        if (view->get_row_height(sedq_row_of_node(node)) != 0)
            shown.push_back(node);
    return shown;
}

// The samples the data really holds: the reads fill this many, whatever the set-up asks for;
// none without acquired data.
int data_depth(SEDQ_TX_MANAGER* tx)
{
    int depth = 0;
    if (!tx->get_data_sample_depth(&depth, SEDQ_CURRENT))
        return 0;
    return std::max(depth, 0);
}

} // namespace

SEDQ_VIEW_PRINTER::SEDQ_VIEW_PRINTER(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx)
    : m_view(view), m_tx(tx), m_settings(read_settings(tx)), m_shown(shown_rows(view, tx)),
      m_depth(data_depth(tx)), m_grid(m_settings, int(m_shown.size()), m_depth)
{
}

SEDQ_PRINT_SETTINGS SEDQ_VIEW_PRINTER::read_settings(SEDQ_TX_MANAGER* tx)
{
    SEDQ_PRINT_SETTINGS settings;
    settings.rows_per_page = tx->m_print_rows_per_page;
    settings.samples_per_page = tx->m_print_columns_per_page;
    settings.pages_wide = tx->m_print_pages_wide;
    settings.pages_tall = tx->m_print_pages_tall;
    settings.fit_data = tx->m_print_fit_data;
    settings.name_width = tx->m_print_name_width;
    settings.show_type = tx->m_show_type;
    settings.show_alias = tx->m_show_alias;
    return settings;
}

std::vector<int> SEDQ_VIEW_PRINTER::get_printed_pages(QPrinter const* printer) const
{
    std::vector<int> pages;
    const int from = printer != nullptr ? printer->fromPage() : 0;
    const int to = printer != nullptr ? printer->toPage() : 0;
    for (int page = 0; page < m_grid.get_page_count(); ++page)
        if (from == 0 || (page + 1 >= from && page + 1 <= to))
            pages.push_back(page);
    return pages;
}

// Each page is recorded at the screen's resolution and played onto the printer: fonts keep the
// size they have on screen relative to the logical page, where the printer's own resolution
// would make them many times larger.
bool SEDQ_VIEW_PRINTER::print(QPrinter* printer)
{
    const std::vector<int> pages = get_printed_pages(printer);
    if (pages.empty())
        return true;
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    const QRect area = printer->pageLayout().paintRectPixels(printer->resolution());
    for (size_t index = 0; index < pages.size(); ++index)
    {
        if (index > 0)
            printer->newPage();
        QPicture picture;
        QPainter recorder(&picture);
        print_page(pages[index], &recorder);
        recorder.end();
        // Each page is placed afresh: a scale left from the page before would compound.
        painter.save();
        painter.setWindow(0, 0, SEDQ_PRINT_GRID::PAGE_SIZE, SEDQ_PRINT_GRID::PAGE_SIZE);
        painter.setViewport(0, 0, area.width() - 1, area.height() - 1);
        // Playing a picture scales it from its resolution to the printer's; the window
        // already maps the logical page onto the paper.
        painter.scale(double(picture.logicalDpiX()) / printer->logicalDpiX(),
                      double(picture.logicalDpiY()) / printer->logicalDpiY());
        painter.drawPicture(0, 0, picture);
        painter.restore();
    }
    return painter.end();
}

void SEDQ_VIEW_PRINTER::print_page(int page, QPainter* painter)
{
    const int size = SEDQ_PRINT_GRID::PAGE_SIZE;
    painter->fillRect(QRect(0, 0, size, size), AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color());
    const int rows = m_grid.get_rows_per_page();
    const size_t begin = std::min(m_shown.size(), size_t(m_grid.get_row_block(page)) * size_t(rows));
    const size_t end = std::min(m_shown.size(), begin + size_t(rows));
    if (begin == end)
        return;
    int name = 0;
    int alias = 0;
    longest_texts(m_shown[end - 1], &name, &alias);
    const auto columns =
        SEDQ_PRINT_COLUMNS::make(m_settings, m_grid.get_sample_window(page) == 0, name, alias);
    const int first = m_grid.get_first_sample(page);
    const int last = m_grid.get_end_sample(page);
    const int height = m_grid.get_row_height(m_tx->get_node_count(SEDQ_CURRENT));
    int y = 0;
    print_row(0, 0, y, height, columns, first, last, painter);
    y += height;
    for (size_t index = begin; index < end && y < size; ++index, y += height)
        print_row(sedq_row_of_node(m_shown[index]), int(index) + 1, y, height, columns, first, last, painter);
}

// The widest name and alias of the nodes up to three past the page's last one; a group's name
// makes room for its box, a member's for its indent.
void SEDQ_VIEW_PRINTER::longest_texts(int last_node, int* name, int* alias)
{
    const int end = std::min(last_node + 4, m_tx->get_node_count(SEDQ_CURRENT));
    *name = 4;
    *alias = 5;
    for (int node = 0; node < end; ++node)
    {
        SDR_DATA_NODE_DISPLAY_TYPE type = SDR_NTYPE_STANDALONE;
        QString text;
        QString alias_text;
        m_tx->get_node(node, &type, &text, nullptr, &alias_text, nullptr, nullptr, nullptr, 0, nullptr);
        const int extra = sedq_is_group_display(type) ? 2 : m_view->is_child_item(node) ? 5 : 0;
        *name = std::max(*name, int(text.size()) + extra);
        *alias = std::max(*alias, int(alias_text.size()));
    }
}

// The row number's cell is given row 3 + the running count, so that it shows that count.
void SEDQ_VIEW_PRINTER::print_row(int row, int number, int y, int height,
                                  std::vector<SEDQ_PRINT_COLUMN> const& columns, int first, int end,
                                  QPainter* painter)
{
    for (const SEDQ_PRINT_COLUMN& column : columns)
    {
        const QRect cell(QPoint(column.left, y), QPoint(column.right, y + height + 1));
        const int item_row = column.id == SEDQ_PRINT_COLUMNS::ROW_NUMBER_COLUMN && row != 0
                                 ? SEDQ_VIEW::HEADER_ROWS + number
                                 : row;
        m_view->print_rect(row, column.kind, cell, painter);
        m_view->print_item(item_row, column.id, cell.adjusted(2, 2, -2, -2), painter, first, end);
    }
}

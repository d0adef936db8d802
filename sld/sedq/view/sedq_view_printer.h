#pragma once
// One printout of the acquired data of a view: the page grid of the shown node rows against the
// data's samples, fixed when the printer is built, and the painting of one page on the logical
// page of 800 x 800 units through the view's print functions. Pages are numbered from 0, sample
// window by sample window within each block of rows.

#include "sedq/view/sedq_print_layout.h"

#include <vector>

class QPainter;
class QPrinter;
class SEDQ_TX_MANAGER;
class SEDQ_VIEW;

class SEDQ_VIEW_PRINTER
{
public:
    SEDQ_VIEW_PRINTER(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx);

    static SEDQ_PRINT_SETTINGS read_settings(SEDQ_TX_MANAGER* tx);
    SEDQ_PRINT_GRID const& get_grid() const { return m_grid; }
    // The pages a printer's page range selects (all without a range), in order.
    std::vector<int> get_printed_pages(QPrinter const* printer) const;

    // Paints page `page` over the painter's window, which must be the logical page.
    void print_page(int page, QPainter* painter);
    // Prints the selected pages; false when the printer could not be painted on.
    bool print(QPrinter* printer);

private:
    void longest_texts(int last_node, int* name, int* alias);
    void print_row(int row, int number, int y, int height, std::vector<SEDQ_PRINT_COLUMN> const& columns,
                   int first, int end, QPainter* painter);

    SEDQ_VIEW* m_view;
    SEDQ_TX_MANAGER* m_tx;
    SEDQ_PRINT_SETTINGS m_settings;
    // The shown node rows (non-zero height), in list order.
    std::vector<int> m_shown;
    int m_depth = 0;
    SEDQ_PRINT_GRID m_grid;
};

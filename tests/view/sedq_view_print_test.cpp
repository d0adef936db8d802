// Printing the acquired data: the pages a printer receives (counted in the PDF it writes), the
// printer's page range, and what a page shows — row numbers across row blocks, type letters,
// node columns only beside the first samples, the box of data that cannot be read.
#include "sedq_view_test_support.h"

#include "host/afcq.h"
#include "sedq/view/sedq_view_printer.h"

#include <QFile>
#include <QPrinter>
#include <QtEndian>

#include <map>

namespace
{
// The page objects of a PDF, in page order ("/Type /Page", not the page tree's "/Pages").
std::vector<QByteArray> page_objects(const QByteArray& pdf)
{
    const QByteArray type("/Type /Page");
    std::vector<QByteArray> pages;
    for (int at = pdf.indexOf(type); at >= 0; at = pdf.indexOf(type, at + 1))
        if (at + type.size() < pdf.size() && pdf[at + type.size()] != 's')
            pages.push_back(pdf.mid(at, pdf.indexOf(">>", at) - at));
    return pages;
}

// The drawing operators of a page: its content stream, inflated.
QByteArray page_content(const QByteArray& pdf, const QByteArray& page)
{
    const QByteArray key("/Contents ");
    const int at = page.indexOf(key);
    if (at < 0)
        return QByteArray();
    const QByteArray id = page.mid(at + key.size()).split(' ').value(0);
    const int object = pdf.indexOf("\n" + id + " 0 obj");
    const int start = pdf.indexOf("stream\n", object) + 7;
    const int end = pdf.indexOf("endstream", start);
    if (object < 0 || start < 7 || end < 0)
        return QByteArray();
    QByteArray sized(4, '\0');
    qToBigEndian<quint32>(quint32(64 * 1024 * 1024), sized.data());
    return qUncompress(sized + pdf.mid(start, end - start));
}

// The box around the points of every path a page draws. The PDF writer sets each page's
// transformation once, before its paths, so the points of all pages are in one coordinate space.
QRectF drawn_box(const QByteArray& content)
{
    static const std::map<QByteArray, int> point_operands = {{"m", 2}, {"l", 2}, {"c", 6}, {"v", 4}, {"y", 4}};
    std::vector<double> numbers;
    QRectF box;
    const auto add = [&box](double x, double y) { box = box.united(QRectF(x, y, 0.001, 0.001)); };
    for (const QByteArray& token : content.simplified().split(' '))
    {
        bool number = false;
        const double value = token.toDouble(&number);
        if (number)
        {
            numbers.push_back(value);
            continue;
        }
        const auto operands = point_operands.find(token);
        const size_t count = token == "re" ? 4 : operands != point_operands.end() ? size_t(operands->second) : 0;
        if (count > 0 && numbers.size() >= count)
        {
            const double* at = &numbers[numbers.size() - count];
            if (token == "re")
            {
                add(at[0], at[1]);
                add(at[0] + at[2], at[1] + at[3]);
            }
            else
                for (size_t k = 0; k < count; k += 2)
                    add(at[k], at[k + 1]);
        }
        numbers.clear();
    }
    return box;
}

class view_print_test : public view_test
{
protected:
    // A document of `nodes` leaves over a log of `depth` samples, in data mode.
    void open_data(int nodes, int depth, const std::function<void(SDR_DATA_TRIGGER*)>& shape = nullptr)
    {
        open(write_document(
            [&](SDR_DATA_SESSION& s)
            {
                SDR_DATA_TRIGGER* trigger = trigger_of(s);
                std::vector<std::string> names;
                for (int i = 0; i < nodes; ++i)
                    names.push_back("top|n" + std::to_string(i));
                add_leaves(trigger, names);
                if (shape)
                    shape(trigger);
                standin::sdr::log_spec log;
                log.depth = depth;
                for (int i = 0; i < nodes; ++i)
                    log.channels.push_back(std::string(size_t(depth), '0').replace(size_t(i % std::max(depth, 1)), 1, "1"));
                standin::sdr::make_log(trigger, log);
            }));
        show_data_tab(true);
    }

    // The bytes of the PDF the view prints.
    QByteArray print_pdf(const std::function<void(QPrinter&)>& setup = nullptr)
    {
        const QString path = m_dir.filePath(QStringLiteral("print_%1.pdf").arg(++m_prints));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        if (setup)
            setup(printer);
        view()->on_print(&printer);
        QFile pdf(path);
        return pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
    }

    // Pages of the PDF the view prints (each page object carries "/Type /Page").
    int printed_pages(const std::function<void(QPrinter&)>& setup = nullptr)
    {
        return int(page_objects(print_pdf(setup)).size());
    }

    // Page `page` painted on a white image of the logical page.
    QImage page_image(int page)
    {
        QImage image(800, 800, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        SEDQ_VIEW_PRINTER(view(), tx()).print_page(page, &painter);
        painter.end();
        return image;
    }

    int m_prints = 0;
};

int dark_pixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qGray(image.pixel(x, y)) < 64 ? 1 : 0;
    return count;
}
} // namespace

TEST_F(view_print_test, page_counts_follow_the_settings_and_the_printer_range)
{
    open_data(100, 1000);
    EXPECT_EQ(printed_pages(), 102) << "34 sample windows x 3 blocks of 35 rows";
    tx()->m_print_fit_data = 1;
    EXPECT_EQ(printed_pages(), 1) << "fit to 1 x 1";
    tx()->m_print_fit_data = 0;
    EXPECT_EQ(printed_pages([](QPrinter& p) { p.setFromTo(2, 3); }), 2) << "no blank page after the range";
    EXPECT_EQ(printed_pages([](QPrinter& p) { p.setFromTo(200, 300); }), 0) << "a range past the grid prints nothing";
    tx()->m_print_rows_per_page = 0;
    tx()->m_print_columns_per_page = -5;
    tx()->m_print_fit_data = 1;
    tx()->m_print_pages_tall = 0;
    tx()->m_print_pages_wide = -1;
    EXPECT_EQ(printed_pages(), 1) << "page counts below one count as one";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(view_print_test, nothing_is_printed_without_samples_or_rows)
{
    open_data(3, 0);
    EXPECT_EQ(printed_pages(), 0) << "no samples";
    m_frames.clear();
    open_data(0, 100);
    EXPECT_EQ(printed_pages(), 0) << "no rows";
}

// A set-up depth below the data's must neither cut the printout nor read past the buffers.
TEST_F(view_print_test, the_grid_and_buffers_follow_the_data_depth)
{
    open_data(2, 300, [](SDR_DATA_TRIGGER* trigger) { trigger->m_signal_set->edit_transient().sample_depth = 64; });
    tx()->m_print_columns_per_page = 100;
    EXPECT_EQ(SEDQ_VIEW_PRINTER(view(), tx()).get_grid().get_pages_across(), 3);
    EXPECT_EQ(printed_pages(), 3);
}

TEST_F(view_print_test, row_numbers_continue_across_row_blocks)
{
    open_data(40, 60);
    const SEDQ_PRINT_GRID grid = SEDQ_VIEW_PRINTER(view(), tx()).get_grid();
    ASSERT_EQ(grid.get_pages_across(), 2);
    const int height = grid.get_row_height(40);
    const QImage second_block = page_image(2);
    const QRect first_row(QPoint(2, height + 2), QPoint(49, 2 * height - 1));
    EXPECT_TRUE(shows_text(second_block, first_row, QStringLiteral("36"), QFont(), Qt::black))
        << "the second block starts at row 36";
    const QImage header = page_image(0);
    EXPECT_TRUE(shows_text(header, QRect(QPoint(2, 2), QPoint(49, height - 1)), QStringLiteral("Row"), QFont(),
                           Qt::black));
    EXPECT_TRUE(shows_text(header, QRect(QPoint(52, 2), QPoint(99, height - 1)), QStringLiteral("Type"), QFont(),
                           Qt::black));
    const QImage later_window = page_image(1);
    EXPECT_FALSE(shows_text(later_window, QRect(QPoint(52, 2), QPoint(99, height - 1)), QStringLiteral("Type"),
                            QFont(), Qt::black))
        << "the node columns are printed beside the first samples only";
}

TEST_F(view_print_test, type_letters_double_for_groups)
{
    open_data(1, 10);
    const struct
    {
        SDR_DATA_SIGNAL_TYPE type;
        bool parent;
        const char* text;
    } cases[] = {{SDR_STYPE_INPUT_PIN, false, "I"},  {SDR_STYPE_INPUT_PIN, true, "II"}, {SDR_STYPE_OUTPUT_PIN, false, "O"},
                 {SDR_STYPE_BIDIR_PIN, false, "B"},  {SDR_STYPE_MEMORY, true, "MM"},   {SDR_STYPE_REGISTERED, false, "R"},
                 {SDR_STYPE_COMBINATIONAL, false, "C"}, {SDR_STYPE_MACHINE, false, "S"}};
    const QRect cell(0, 0, 40, 20);
    for (const auto& c : cases)
    {
        QImage image(40, 20, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        EXPECT_TRUE(view()->print_type(c.type, c.parent, cell, &painter)) << c.text;
        painter.end();
        EXPECT_TRUE(shows_text(image, cell, QString::fromLatin1(c.text), QFont(), Qt::black)) << c.text;
    }
    QImage image(40, 20, QImage::Format_ARGB32);
    QPainter painter(&image);
    EXPECT_FALSE(view()->print_type(SDR_STYPE_PLAIN, false, cell, &painter)) << "a plain node has no letter";
}

// A bus whose member has no acquired connection cannot be read: its cell is cross-hatched,
// while a readable bus draws a band.
TEST_F(view_print_test, an_unreadable_bus_prints_the_cross_hatched_box)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|a0", "top|a1", "top|b0", "top|b1"});
            standin::sdr::add_group(trigger, 0, 1, "good", SDR_GTYPE_HEX);
            standin::sdr::add_group(trigger, 3, 4, "broken", SDR_GTYPE_HEX);
            standin::sdr::log_spec log;
            log.depth = 20;
            log.channels = {"0101", "0011", "0101", "0011"};
            log.connected = {true, true, true, false};
            standin::sdr::make_log(trigger, log);
        }));
    show_data_tab(true);
    const QRect cell(0, 0, 300, 24);
    const auto paint_bus = [&](int node)
    {
        QImage image(301, 25, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        view()->print_item(node + 3, 23, cell, &painter, 0, 20);
        return image;
    };
    const QRect inside(QPoint(20, 6), QPoint(280, 16));
    EXPECT_GT(dark_pixels(paint_bus(3), inside), inside.width() * inside.height() / 4) << "hatched";
    EXPECT_LT(dark_pixels(paint_bus(0), inside), inside.width() * inside.height() / 10) << "a band";
}

// Every page of a printout is drawn at one scale: the page before leaves nothing behind, so each
// page's drawing spans the paper as the first page's does.
TEST_F(view_print_test, every_printed_page_draws_at_the_scale_of_the_first)
{
    open_data(40, 90);
    const QByteArray pdf = print_pdf();
    const std::vector<QByteArray> pages = page_objects(pdf);
    ASSERT_EQ(pages.size(), 6u) << "3 sample windows x 2 blocks of rows";
    const QRectF first = drawn_box(page_content(pdf, pages[0]));
    ASSERT_GT(first.width(), 100.0);
    for (size_t page = 1; page < pages.size(); ++page)
    {
        const QRectF box = drawn_box(page_content(pdf, pages[page]));
        EXPECT_NEAR(box.width(), first.width(), first.width() / 100) << "page " << page + 1;
        EXPECT_NEAR(box.height(), first.height(), first.height() / 100) << "page " << page + 1;
        EXPECT_NEAR(box.left(), first.left(), 1.0) << "page " << page + 1;
    }
}
